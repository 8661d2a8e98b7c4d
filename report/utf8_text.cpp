#include "report/utf8_text.h"

namespace report {

char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    ++at;
    if (lead < 0x80) {
        return lead;
    }
    // The length of the sequence and the bounds of its second byte, which exclude overlong
    // forms, surrogates and code points beyond U+10FFFF.
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return kReplacementCharacter;
    }
    for (int i = 1; i < length; ++i) {
        if (at == text.size() || byte(at) < low || byte(at) > high) {
            return kReplacementCharacter;
        }
        codePoint = codePoint << 6 | (byte(at) & 0x3F);
        ++at;
        low = 0x80;
        high = 0xBF;
    }
    return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | codePoint >> 6);
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | codePoint >> 12);
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | codePoint >> 18);
        put(0x80 | (codePoint >> 12 & 0x3F));
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

} // namespace report

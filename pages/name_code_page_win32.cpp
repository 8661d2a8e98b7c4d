#include <string>
#include <windows.h>

#include "pages/name_code_page.h"

namespace {

constexpr UINT kCodePage = 932;

} // namespace

QString CodePage932Text(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(kCodePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    if (length == 0 ||
        MultiByteToWideChar(kCodePage, 0, bytes.data(), size, text.data(), length) != length) {
        return QString(static_cast<qsizetype>(bytes.size()), QChar::ReplacementCharacter);
    }
    return QString::fromStdWString(text);
}

std::optional<std::string> CodePage932Bytes(const QString& text) {
    if (text.isEmpty()) {
        return std::string();
    }
    const std::wstring wide = text.toStdWString();
    const int size = static_cast<int>(wide.size());
    // No best-fit characters: a character the code page lacks is refused, never replaced by a
    // look-alike.
    constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
    BOOL replaced = FALSE;
    const int length =
        WideCharToMultiByte(kCodePage, kFlags, wide.data(), size, nullptr, 0, nullptr, &replaced);
    if (length == 0 || replaced) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(kCodePage, kFlags, wide.data(), size, bytes.data(), length, nullptr,
                            &replaced) != length ||
        replaced) {
        return std::nullopt;
    }
    return bytes;
}

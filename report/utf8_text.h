// Texts taken from a measurement file (the serial number comes from the instrument's serial line
// byte for byte) or from the command line may hold any bytes. The JSON and the page must be
// UTF-8: these walk such a text by code point, a byte that is not part of a well-formed UTF-8
// sequence standing for U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace report {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point that begins at `at`, and `at` moved past it. A byte that begins no well-formed
// sequence, or the well-formed start of a sequence cut short, gives U+FFFD and is skipped as
// one (the "maximal subpart" of the Unicode standard).
char32_t NextCodePoint(std::string_view text, std::size_t& at);

// `codePoint` (at most U+10FFFF, no surrogate) as UTF-8 at the end of `out`.
void AppendUtf8(std::string& out, char32_t codePoint);

// The columns that `text` takes on a terminal: two for a wide character (CJK ideographs, kana,
// Hangul, full-width forms), one for any other code point.
std::size_t DisplayWidth(std::string_view text);

// `text` with blanks after it up to `width` columns (as it is when it is as wide or wider).
std::string PaddedToWidth(std::string text, std::size_t width);

// C0 controls, DEL and the C1 controls (U+0080 to U+009F).
inline bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

} // namespace report

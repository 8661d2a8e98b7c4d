#include "comp/comp_table.h"

#include <charconv>
#include <cstdint>

namespace comp {

namespace {

// How a table file may write a range, and the range's code.
struct FileForm {
    std::string_view text;
    int code;
};

// Full-width forms are code page 932 bytes: "\x82\x52" is a full-width 3, "\x82\x4F" a 0,
// "\x82\x55" a 6, "\x82\x8D" / "\x82\x6C" a small / capital M, "\x82\x96" / "\x82\x75" a small /
// capital V.
constexpr std::array<FileForm, 14> kResistanceFileForms{{
    {"3m", 0},
    {"3M", 0},
    {"\x82\x52\x82\x8D", 0},
    {"\x82\x52\x82\x6C", 0},
    {"30m", 1},
    {"30M", 1},
    {"\x82\x52\x82\x4F\x82\x8D", 1},
    {"\x82\x52\x82\x4F\x82\x6C", 1},
    {"300m", 2},
    {"300M", 2},
    {"\x82\x52\x82\x4F\x82\x4F\x82\x8D", 2},
    {"\x82\x52\x82\x4F\x82\x4F\x82\x6C", 2},
    {"3", 3},
    {"\x82\x52", 3},
}};

constexpr std::array<FileForm, 8> kVoltageFileForms{{
    {"6V", 0},
    {"6v", 0},
    {"\x82\x55\x82\x75", 0},
    {"\x82\x55\x82\x96", 0},
    {"60V", 1},
    {"60v", 1},
    {"\x82\x55\x82\x4F\x82\x75", 1},
    {"\x82\x55\x82\x4F\x82\x96", 1},
}};

template <std::size_t N>
std::optional<int> CodeOfForm(const std::array<FileForm, N>& forms, std::string_view text) {
    for (const FileForm& form : forms) {
        if (form.text == text) {
            return form.code;
        }
    }
    return std::nullopt;
}

// Counts saturate here, far beyond any bound of the table or the entry record.
constexpr long long kCountCeiling = 1'000'000'000;
// An exponent beyond this cannot matter for any count; reading stops growing it there.
constexpr long long kExponentCeiling = 1'000'000'000;

// The blanks the C library skips before a number, in its "C" locale.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Scan {
    Decimal value;
    std::size_t end = 0; // just past the number; 0 when there is none
};

// Reads the decimal number that begins at `text` after blanks.
Scan ScanDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string digits;
    long long fractionDigits = 0;
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        digits.push_back(text[i]);
        anyDigit = true;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        for (; j < text.size() && IsDigit(text[j]); ++j) {
            digits.push_back(text[j]);
            ++fractionDigits;
            anyDigit = true;
        }
        if (anyDigit) {
            i = j;
        }
    }
    if (!anyDigit) {
        return {};
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (exponent < kExponentCeiling) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
            }
            exponent = negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    Scan scan;
    scan.end = i;
    const std::size_t firstSignificant = digits.find_first_not_of('0');
    if (firstSignificant == std::string::npos) {
        return scan; // zero, whatever its sign
    }
    const std::size_t lastSignificant = digits.find_last_not_of('0');
    scan.value.negative = negative;
    scan.value.digits = digits.substr(firstSignificant, lastSignificant + 1 - firstSignificant);
    scan.value.exponent =
        exponent - fractionDigits + static_cast<long long>(digits.size() - 1 - lastSignificant);
    return scan;
}

struct Scaled {
    long long count = 0; // magnitude, cut toward zero and saturated at kCountCeiling
    bool exact = true;   // nothing was cut
};

// |value| * 10^decimals on the digits.
Scaled ScaleMagnitude(const Decimal& value, int decimals) {
    if (value.digits.empty()) {
        return {};
    }
    const long long shift = value.exponent + decimals;
    const auto length = static_cast<long long>(value.digits.size());
    // The digits are normalised (no trailing zeros), so any digit cut off is not zero.
    const long long kept = shift >= 0 ? length : length + shift;
    const bool exact = shift >= 0;
    if (kept <= 0) {
        return {0, exact};
    }
    const long long integerDigits = shift >= 0 ? length + shift : kept;
    if (integerDigits > 10) {
        return {kCountCeiling, exact};
    }
    long long count = 0;
    for (long long i = 0; i < kept; ++i) {
        count = count * 10 + (value.digits[static_cast<std::size_t>(i)] - '0');
    }
    for (long long i = 0; shift > 0 && i < shift; ++i) {
        count *= 10;
    }
    return {count < kCountCeiling ? count : kCountCeiling, exact};
}

} // namespace

const RangeSpec& ResistanceRange(int code) {
    return code >= 0 && code < 3 ? kResistanceRanges[static_cast<std::size_t>(code)]
                                 : kResistanceRanges[3];
}

const RangeSpec& VoltageRange(int code) {
    return code == 0 ? kVoltageRanges[0] : kVoltageRanges[1];
}

int ResistanceCodeOf(std::string_view tableText) {
    for (int code = 0; code < 3; ++code) {
        if (tableText == kResistanceRanges[static_cast<std::size_t>(code)].tableText) {
            return code;
        }
    }
    return 3;
}

int VoltageCodeOf(std::string_view tableText) {
    return tableText == kVoltageRanges[0].tableText ? 0 : 1;
}

std::optional<int> ResistanceCodeOfFileText(std::string_view text) {
    return CodeOfForm(kResistanceFileForms, text);
}

std::optional<int> VoltageCodeOfFileText(std::string_view text) {
    return CodeOfForm(kVoltageFileForms, text);
}

Decimal ReadLeadingDecimal(std::string_view text) {
    return ScanDecimal(text).value;
}

std::optional<Decimal> ParseDecimal(std::string_view text) {
    const Scan scan = ScanDecimal(text);
    if (scan.end == 0) {
        return std::nullopt;
    }
    for (std::size_t i = scan.end; i < text.size(); ++i) {
        if (!IsBlank(text[i])) {
            return std::nullopt;
        }
    }
    return scan.value;
}

int LimitCount(const Decimal& value, int decimals) {
    const long long magnitude = ScaleMagnitude(value, decimals).count;
    return static_cast<int>(value.negative ? -magnitude : magnitude);
}

std::optional<int> CountWithinRange(const Decimal& value, const RangeSpec& range) {
    if (value.negative && !value.digits.empty()) {
        return std::nullopt;
    }
    const Scaled scaled = ScaleMagnitude(value, range.decimals);
    if (scaled.count > range.upperCount || (scaled.count == range.upperCount && !scaled.exact)) {
        return std::nullopt;
    }
    return static_cast<int>(scaled.count);
}

std::string FormatLimit(int count, int decimals) {
    const long long wide = count;
    const long long magnitude = wide < 0 ? -wide : wide;
    std::string digits = std::to_string(magnitude);
    if (decimals < 0) {
        decimals = 0;
    }
    const auto width = static_cast<std::size_t>(decimals) + 1;
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    if (decimals > 0) {
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return wide < 0 ? "-" + digits : digits;
}

std::optional<int> CountOfCanonicalLimit(std::string_view text, const RangeSpec& range) {
    std::string digits;
    for (const char c : text) {
        if (IsDigit(c)) {
            digits.push_back(c);
        } else if (c != '.') {
            return std::nullopt;
        }
    }
    int count = 0;
    const char* end = digits.data() + digits.size();
    if (digits.empty() || std::from_chars(digits.data(), end, count).ptr != end ||
        FormatLimit(count, range.decimals) != text) {
        return std::nullopt;
    }
    return count;
}

bool IsAcceptableName(std::string_view name) {
    if (name.size() > kNameMaxBytes) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(name[i]);
        if (byte < 0x20 || byte == 0x7F || byte == ',') {
            return false;
        }
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) {
            continue; // ASCII or a half-width katakana
        }
        const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        if (!lead || i + 1 == name.size()) {
            return false;
        }
        const auto trail = static_cast<std::uint8_t>(name[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
            return false;
        }
    }
    return true;
}

bool NameSurvivesFile(std::string_view name) {
    return name.size() <= kNameMaxBytes && name.find_first_of(",\n") == std::string_view::npos;
}

} // namespace comp

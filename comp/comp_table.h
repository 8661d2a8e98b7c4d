// The comparator table: 200 numbered entries, each with a name, a resistance range with two limits
// and a voltage range with one limit. Rows hold texts exactly as the table file and the editor's
// list show them; a limit is always the canonical text of a count of its range's step, so that
// nothing is lost or rounded between loading, editing, saving and sending.
//
// Numbers are read from their decimal digits, never through the C library's locale-dependent
// conversions and never as floating point: 1.16 in the 30 mohm range is 116 steps under every
// locale and through any number of load and save cycles.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/texts.h"

namespace comp {

inline constexpr int kEntryCount = 200;
// The longest Name in bytes (a two-byte character of code page 932 counts two).
inline constexpr std::size_t kNameMaxBytes = 40;

// One entry's texts. Its number (No) is its place in the table: entry k is CompTable[k - 1].
struct CompRow {
    std::string name = "No Name"; // raw bytes, code page 932
    std::string rRange = "3m";    // "3m", "30m", "300m" or "3"
    std::string rLim1 = "0.000";  // canonical limit texts of rRange
    std::string rLim2 = "0.000";
    std::string vRange = "6V";  // "6V" or "60V"
    std::string vLim = "0.000"; // canonical limit text of vRange
    bool operator==(const CompRow&) const = default;
};

// A table of 200 default entries when default-constructed.
using CompTable = std::array<CompRow, kEntryCount>;

// A resistance or voltage range: its code in the entry record (and place in the editor's range
// box), its texts, the decimals of its limits and the largest limit count. The smallest is 0.
struct RangeSpec {
    int code;
    std::string_view tableText; // in files, table texts and rows
    std::string_view boxText;   // in the editor's range box
    int decimals;
    int upperCount;
    // The editor's refusal of a limit out of bounds: a marked literal (so NUL-terminated) in
    // English, translated where it is shown.
    std::string_view boundsMessage;
};

inline constexpr std::array<RangeSpec, 4> kResistanceRanges{{
    {0, "3m", "3mohm", 3, 3100,
     K720_TEXT("Messages", "Please enter a number between 0.000 and 3.100.  ")},
    {1, "30m", "30mohm", 2, 3100,
     K720_TEXT("Messages", "Please enter a number between 0.00 and 31.00.  ")},
    {2, "300m", "300mohm", 1, 3100,
     K720_TEXT("Messages", "Please enter a number between 0.0 and 310.0.  ")},
    {3, "3", "3ohm", 0, 3100, K720_TEXT("Messages", "Please enter a number between 0 and 3100.  ")},
}};

inline constexpr std::array<RangeSpec, 2> kVoltageRanges{{
    {0, "6V", "6V", 3, 6000,
     K720_TEXT("Messages", "Please enter a number between 0.000 and 6.000.  ")},
    {1, "60V", "60V", 2, 6000,
     K720_TEXT("Messages", "Please enter a number between 0.00 and 60.00.  ")},
}};

// The range of a code; a code outside the table gives the last range, as a text that is not
// one of the others does.
const RangeSpec& ResistanceRange(int code);
const RangeSpec& VoltageRange(int code);

// The code of a row's range text: "3m" 0, "30m" 1, "300m" 2, any other 3; "6V" 0, any other 1.
int ResistanceCodeOf(std::string_view tableText);
int VoltageCodeOf(std::string_view tableText);

// The code of a range as a table file may write it (letter case and the full-width forms of code
// page 932 accepted, nothing else); empty when the text is none of them.
std::optional<int> ResistanceCodeOfFileText(std::string_view text);
std::optional<int> VoltageCodeOfFileText(std::string_view text);

// A decimal number held as its digits: value = (negative ? -1 : 1) * digits * 10^exponent.
// `digits` has no leading zeros; it is empty for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    long exponent = 0;
};

// The number at the start of `text` as the table file's limit fields are read: leading blanks, a
// sign, digits with a decimal point, an exponent part; whatever follows the number is ignored,
// and a text that does not begin with a number reads as zero.
Decimal ReadLeadingDecimal(std::string_view text);

// The number that makes up the whole of `text` (blanks around it allowed): what a limit field of
// the editor must hold. Empty when the text is not a number.
std::optional<Decimal> ParseDecimal(std::string_view text);

// The count of `value` in steps of 10^-decimals: the value times 10^decimals, cut toward zero,
// computed on the decimal digits. Counts beyond a billion in magnitude saturate there.
int LimitCount(const Decimal& value, int decimals);

// The count of a limit that lies between 0 and the range's upper bound, both included; empty
// when it lies outside (3.1001 in the 3 mohm range, any negative value).
std::optional<int> CountWithinRange(const Decimal& value, const RangeSpec& range);

// The canonical text of a count: zero-padded to at least decimals + 1 digits, with a point before
// the last `decimals` digits (5 with 2 decimals is "0.05", 3100 with 0 decimals is "3100").
std::string FormatLimit(int count, int decimals);

// The count of a canonical limit text of a range; empty when `text` is not exactly
// FormatLimit(count, range.decimals) for some count >= 0.
std::optional<int> CountOfCanonicalLimit(std::string_view text, const RangeSpec& range);

// Whether the editor may take a Name's bytes: at most 40 bytes of code page 932 (single bytes
// from blank to '~' and the half-width katakana, or valid lead and trail byte pairs), without a
// comma (the file has no quoting) and without control bytes.
bool IsAcceptableName(std::string_view name);

// Whether a Name comes back unchanged from a table file: at most 40 bytes, no comma, no line
// feed. The writers refuse a table holding any other.
bool NameSurvivesFile(std::string_view name);

} // namespace comp

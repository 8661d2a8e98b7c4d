// The entry record: five bytes that carry one comparator entry over the serial line in both
// directions (received as the reply to ":COMP:TABLE? n", sent during a table transfer). It holds
// the two range codes and the three limit counts; the Name stays on the PC.
//
//   byte 0: R-Range code (bits 7-6), R-Lim1 count bits 11-6 (bits 5-0)
//   byte 1: R-Lim1 count bits 5-0 (bits 7-2), R-Lim2 count bits 11-10 (bits 1-0)
//   byte 2: R-Lim2 count bits 9-2
//   byte 3: R-Lim2 count bits 1-0 (bits 7-6), V-Range code (bit 5), V-Lim count bits 12-8
//   byte 4: V-Lim count bits 7-0
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "comp/comp_table.h"

namespace comp {

inline constexpr std::size_t kEntryRecordSize = 5;
using EntryRecord = std::array<std::uint8_t, kEntryRecordSize>;

// The largest counts the record's fields can hold (the table's bounds, 3100 and 6000, fit).
inline constexpr int kRecordResistanceCountMax = 4095;
inline constexpr int kRecordVoltageCountMax = 8191;

// An entry as the record carries it.
struct EntryCodes {
    int rRange = 0; // 0 to 3 (kResistanceRanges)
    int rLim1 = 0;
    int rLim2 = 0;
    int vRange = 0; // 0 or 1 (kVoltageRanges)
    int vLim = 0;
    bool operator==(const EntryCodes&) const = default;
};

// The record of `codes`; empty when a code or count does not fit its field (it would spill into
// its neighbour).
[[nodiscard]] std::optional<EntryRecord> PackEntry(const EntryCodes& codes);

// The record of a row: the range codes of its texts ("3m" 0, "30m" 1, "300m" 2, any other 3;
// "6V" 0, any other 1) and the counts of its canonical limit texts. Empty when a limit is not the
// canonical text of a count of its range, or the count does not fit the record.
[[nodiscard]] std::optional<EntryRecord> PackEntry(const CompRow& row);

// The codes and counts of a record, unchecked: counts beyond the table's bounds are caught when
// the table text holding them is parsed.
EntryCodes UnpackEntry(const EntryRecord& record);

// The row of a received entry: "No Name", the range texts of the codes and the limit counts as
// canonical texts of their ranges.
CompRow RowOfEntry(const EntryCodes& codes);

} // namespace comp

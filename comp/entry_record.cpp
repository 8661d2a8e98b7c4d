#include "comp/entry_record.h"

namespace comp {

std::optional<EntryRecord> PackEntry(const EntryCodes& codes) {
    const auto fits = [](int value, int max) { return value >= 0 && value <= max; };
    if (!fits(codes.rRange, 3) || !fits(codes.vRange, 1) ||
        !fits(codes.rLim1, kRecordResistanceCountMax) ||
        !fits(codes.rLim2, kRecordResistanceCountMax) ||
        !fits(codes.vLim, kRecordVoltageCountMax)) {
        return std::nullopt;
    }
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value & 0xFF); };
    return EntryRecord{byte(codes.rRange * 64 + (codes.rLim1 >> 6)),
                       byte((codes.rLim1 & 0x3F) * 4 + (codes.rLim2 >> 10)), byte(codes.rLim2 >> 2),
                       byte((codes.rLim2 & 3) * 64 + codes.vRange * 32 + (codes.vLim >> 8)),
                       byte(codes.vLim)};
}

std::optional<EntryRecord> PackEntry(const CompRow& row) {
    EntryCodes codes;
    codes.rRange = ResistanceCodeOf(row.rRange);
    codes.vRange = VoltageCodeOf(row.vRange);
    const RangeSpec& rRange = ResistanceRange(codes.rRange);
    const std::optional<int> rLim1 = CountOfCanonicalLimit(row.rLim1, rRange);
    const std::optional<int> rLim2 = CountOfCanonicalLimit(row.rLim2, rRange);
    const std::optional<int> vLim = CountOfCanonicalLimit(row.vLim, VoltageRange(codes.vRange));
    if (!rLim1 || !rLim2 || !vLim) {
        return std::nullopt;
    }
    codes.rLim1 = *rLim1;
    codes.rLim2 = *rLim2;
    codes.vLim = *vLim;
    return PackEntry(codes);
}

EntryCodes UnpackEntry(const EntryRecord& record) {
    const int b0 = record[0];
    const int b1 = record[1];
    const int b2 = record[2];
    const int b3 = record[3];
    const int b4 = record[4];
    return {b0 >> 6, (b0 & 0x3F) * 64 + (b1 >> 2), (b1 & 3) * 1024 + b2 * 4 + (b3 >> 6),
            (b3 >> 5) & 1, (b3 & 0x1F) * 256 + b4};
}

CompRow RowOfEntry(const EntryCodes& codes) {
    const RangeSpec& rRange = ResistanceRange(codes.rRange);
    const RangeSpec& vRange = VoltageRange(codes.vRange);
    CompRow row;
    row.rRange = std::string(rRange.tableText);
    row.rLim1 = FormatLimit(codes.rLim1, rRange.decimals);
    row.rLim2 = FormatLimit(codes.rLim2, rRange.decimals);
    row.vRange = std::string(vRange.tableText);
    row.vLim = FormatLimit(codes.vLim, vRange.decimals);
    return row;
}

} // namespace comp

#include "history/selected_points.h"

#include <algorithm>

#include "base/texts.h"
#include "history/store_texts.h"
#include "measure/reading_record.h"

namespace history {

// The under-range code and the temperature out of range are kept as texts with a NULL number;
// the two flags say which NULLs they are, so that no text has to come over.
const char* const kPointColumns =
    "id, serial, unit, slot, result, resistance, voltage, "
    "CASE WHEN voltage IS NULL AND voltage_text NOT IN ('--', '9999') THEN 1 ELSE 0 END, "
    "temperature, CASE WHEN temperature IS NULL AND temperature_text <> '' THEN 1 ELSE 0 END, "
    "limit1, limit2, voltage_limit, date_text, time_text, temperature_unit";

namespace {

constexpr std::size_t kBlockRows = 1 << 16;

// Every number a reading holds fits 32 bits (at most report::Milli::kMaxMagnitude).
bool Fits(const std::optional<std::int64_t>& value) {
    return !value ||
           (*value >= -report::Milli::kMaxMagnitude && *value <= report::Milli::kMaxMagnitude);
}

std::string NotAReadingText(std::int64_t id) {
    return FillText(kMessages,
                    K720_TEXT("Messages", "row %1 of the readings holds what no reading has"),
                    {std::to_string(id)});
}

} // namespace

std::uint32_t SelectedPointsBuilder::SerialIndex(std::string_view serial) {
    // Rows come instrument by instrument: the last one met is the likely one.
    if (!serials_.empty() && serials_.back() == serial) {
        return static_cast<std::uint32_t>(serials_.size() - 1);
    }
    const auto found = serialIndex_.find(serial);
    if (found != serialIndex_.end()) {
        return found->second;
    }
    serials_.emplace_back(serial);
    const auto index = static_cast<std::uint32_t>(serials_.size() - 1);
    serialIndex_.emplace(serials_.back(), index);
    return index;
}

std::string SelectedPointsBuilder::Add(const PointRow& row) {
    if (row.unit < 0 || row.unit >= measure::kUnitCount) {
        return UnknownUnitText(row.unit);
    }
    report::Point point;
    point.source = row.id;
    int result = 0;
    while (result <= 3 && row.result != measure::ResultText(result)) {
        ++result;
    }
    report::MeasurementTime when;
    if (result > 3 || row.slot < 1 || row.slot > measure::kSlotsPerUnit || !Fits(row.resistance) ||
        !Fits(row.voltage) || !Fits(row.temperature) || !Fits(row.limit1) || !Fits(row.limit2) ||
        !Fits(row.voltageLimit) ||
        (result != 0 && (!row.limit1 || !row.limit2 || !row.voltageLimit)) ||
        !report::ParseMeasurementTime(row.date, row.time, when)) {
        return NotAReadingText(row.id);
    }
    point.result = static_cast<report::Result>(result);
    point.slot = static_cast<std::int16_t>(row.slot);
    const auto set = [&point](const std::optional<std::int64_t>& value, std::int32_t& to,
                              std::uint8_t flag) {
        if (value) {
            to = static_cast<std::int32_t>(*value);
            point.flags |= flag;
        }
    };
    set(row.resistance, point.resistance, report::Point::kResistance);
    set(row.voltage, point.voltage, report::Point::kVoltage);
    set(row.temperature, point.temperatureTenths, report::Point::kTemperature);
    set(row.limit1, point.limit1, 0);
    set(row.limit2, point.limit2, 0);
    set(row.voltageLimit, point.voltageLimit, 0);
    if (row.voltageUnderRange) {
        point.flags |= report::Point::kVoltageUnderRange;
    }
    if (row.temperatureOutOfRange) {
        point.flags |= report::Point::kTemperatureOutOfRange;
    }
    if (when.usable) {
        point.stamp = when.Stamp();
        point.flags |= report::Point::kUsable;
    }
    (row.temperatureUnit == "F" ? fahrenheit_ : celsius_) = true;
    UnitRows& rows = units_[static_cast<std::size_t>(row.unit)];
    if (rows.blocks.empty() || rows.blocks.back().size() == kBlockRows) {
        rows.blocks.emplace_back().reserve(kBlockRows);
    } else if (rows.blocks.back().back().point.source >= row.id) {
        rows.ascending = false;
    }
    rows.blocks.back().push_back({SerialIndex(row.serial), point});
    ++rows.count;
    return "";
}

std::vector<report::Point>
SelectedPointsBuilder::Ordered(UnitRows& rows, const std::vector<std::uint32_t>& rank) const {
    std::vector<report::Point> points;
    points.reserve(rows.count);
    // The place of a point among its unit's: by serial, then slot (1 to 400).
    constexpr std::size_t kSlotKeys = measure::kSlotsPerUnit + 1;
    const auto key = [&rank](const Collected& c) {
        return rank[c.serial] * kSlotKeys + static_cast<std::size_t>(c.point.slot);
    };
    if (!rows.ascending) {
        // Rows out of their order (an index walked): sorted whole.
        std::vector<Collected> all;
        all.reserve(rows.count);
        for (const std::vector<Collected>& block : rows.blocks) {
            all.insert(all.end(), block.begin(), block.end());
        }
        std::sort(all.begin(), all.end(), [&key](const Collected& a, const Collected& b) {
            return key(a) != key(b) ? key(a) < key(b) : a.point.source < b.point.source;
        });
        for (const Collected& c : all) {
            points.push_back(c.point);
        }
        return points;
    }
    // Rows in the order of their ids: a counting sort by serial and slot keeps that order within
    // a slot, in two passes without comparisons.
    std::vector<std::size_t> start(rank.size() * kSlotKeys + 1, 0);
    for (const std::vector<Collected>& block : rows.blocks) {
        for (const Collected& c : block) {
            ++start[key(c) + 1];
        }
    }
    for (std::size_t i = 1; i < start.size(); ++i) {
        start[i] += start[i - 1];
    }
    points.resize(rows.count);
    for (std::vector<Collected>& block : rows.blocks) {
        for (const Collected& c : block) {
            points[start[key(c)]++] = c.point;
        }
        std::vector<Collected>().swap(block);
    }
    return points;
}

SelectedPoints SelectedPointsBuilder::Finish() {
    SelectedPoints selected;
    // The serials in byte order, as the engines order texts in Select.
    std::vector<std::uint32_t> rank(serials_.size());
    std::uint32_t next = 0;
    for (const auto& [serial, index] : serialIndex_) {
        rank[index] = next++;
        selected.serials.push_back(serial);
    }
    for (int unit = 0; unit < measure::kUnitCount; ++unit) {
        UnitRows& rows = units_[static_cast<std::size_t>(unit)];
        if (rows.count > 0) {
            selected.units.push_back({measure::UnitCommandLetter(unit), Ordered(rows, rank), 0});
        }
    }
    selected.celsius = celsius_;
    selected.fahrenheit = fahrenheit_;
    return selected;
}

} // namespace history

#include "history/selected_points.h"

#include <algorithm>

#include "base/texts.h"
#include "history/reading_columns.h"
#include "history/store_texts.h"

namespace history {

const char* const kPointColumns = "id, serial, unit, point";

namespace {

constexpr std::size_t kBlockRows = 1 << 16;

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
    bool fahrenheit = false;
    if (!PointOfBytes(row.point, point, fahrenheit)) {
        return NotAReadingText(row.id);
    }
    point.source = row.id;
    (fahrenheit ? fahrenheit_ : celsius_) = true;
    UnitRows& rows = units_[static_cast<std::size_t>(row.unit)];
    if (rows.blocks.empty() || rows.blocks.back().size() == kBlockRows) {
        rows.blocks.emplace_back().reserve(kBlockRows);
    }
    rows.blocks.back().push_back({SerialIndex(row.serial), point});
    ++rows.count;
    return "";
}

std::vector<report::Point>
SelectedPointsBuilder::Ordered(UnitRows& rows, const std::vector<std::uint32_t>& rank) const {
    // A counting sort by serial and slot (1 to 400), in two passes without comparisons; it keeps
    // the order the rows came in within a slot, the table's, which is the rows' order or, where
    // the server started its scan in the middle of the table or walked an index, nearly so: the
    // points of a slot are then sorted by row, each slot alone.
    constexpr std::size_t kSlotKeys = measure::kSlotsPerUnit + 1;
    const auto key = [&rank](const Collected& c) {
        return rank[c.serial] * kSlotKeys + static_cast<std::size_t>(c.point.slot);
    };
    std::vector<std::size_t> start(rank.size() * kSlotKeys + 1, 0);
    for (const std::vector<Collected>& block : rows.blocks) {
        for (const Collected& c : block) {
            ++start[key(c) + 1];
        }
    }
    for (std::size_t i = 1; i < start.size(); ++i) {
        start[i] += start[i - 1];
    }
    std::vector<report::Point> points(rows.count);
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    for (std::vector<Collected>& block : rows.blocks) {
        for (const Collected& c : block) {
            points[next[key(c)]++] = c.point;
        }
        std::vector<Collected>().swap(block);
    }
    const auto byRow = [](const report::Point& a, const report::Point& b) {
        return a.source < b.source;
    };
    for (std::size_t k = 0; k + 1 < start.size(); ++k) {
        const auto first = points.begin() + static_cast<std::ptrdiff_t>(start[k]);
        const auto last = points.begin() + static_cast<std::ptrdiff_t>(start[k + 1]);
        if (!std::is_sorted(first, last, byRow)) {
            std::sort(first, last, byRow);
        }
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

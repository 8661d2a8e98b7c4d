#include "packs/cells.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

namespace packs {

namespace {

// "C-017": the unit's letter as the file writes it and the slot in three digits.
std::string CellName(const std::string& prefix, char unit, int slot) {
    char name[16];
    std::snprintf(name, sizeof name, "%c-%03d", unit, slot);
    return prefix + name;
}

// A reading is a cell when its result is asked for and both its numbers are there; else it is
// listed with why.
void Take(std::string name, report::Result result, std::optional<std::int64_t> resistance,
          std::optional<std::int64_t> voltage, const std::vector<report::Result>& results,
          CellList& list) {
    if (std::find(results.begin(), results.end(), result) == results.end()) {
        list.leftOut.push_back({std::move(name), NotACell::ResultNotAsked, result});
    } else if (!resistance) {
        list.leftOut.push_back({std::move(name), NotACell::ResistanceOverRange, result});
    } else if (!voltage) {
        list.leftOut.push_back({std::move(name), NotACell::VoltageOutOfRange, result});
    } else {
        list.cells.push_back({std::move(name), *resistance, *voltage});
    }
}

std::optional<std::int64_t> Thousandths(const std::optional<report::Milli>& value) {
    return value ? std::optional(value->thousandths) : std::nullopt;
}

} // namespace

CellList CellsOf(const std::vector<report::MeasurementReport>& files,
                 const std::vector<report::Result>& results) {
    std::set<std::string> serials;
    for (const report::MeasurementReport& file : files) {
        serials.insert(file.serial);
    }
    const bool named = serials.size() > 1;
    CellList list;
    for (const report::MeasurementReport& file : files) {
        const std::string prefix = named ? file.serial + ' ' : "";
        for (const report::Summary& unit : file.units) {
            for (const report::Point& point : unit.points) {
                Take(CellName(prefix, unit.unit, point.slot), point.result,
                     Thousandths(point.Resistance()), Thousandths(point.Voltage()), results, list);
            }
        }
    }
    return list;
}

CellList CellsOf(const std::vector<RecordedReading>& readings,
                 const std::vector<report::Result>& results) {
    std::set<std::string> serials;
    for (const RecordedReading& recorded : readings) {
        serials.insert(recorded.serial);
    }
    const bool named = serials.size() > 1;
    CellList list;
    for (const RecordedReading& recorded : readings) {
        const report::Reading& reading = *recorded.reading;
        Take(CellName(named ? recorded.serial + ' ' : "", recorded.unit, reading.slot) + ' ' +
                 reading.date + ' ' + reading.time,
             reading.result, Thousandths(reading.resistance), Thousandths(reading.voltage), results,
             list);
    }
    return list;
}

} // namespace packs

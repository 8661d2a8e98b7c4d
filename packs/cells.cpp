#include "packs/cells.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace packs {

namespace {

// "C-017": the unit's letter as the file writes it and the slot in three digits.
std::string CellName(const std::string& prefix, char unit, int slot) {
    char name[16];
    std::snprintf(name, sizeof name, "%c-%03d", unit, slot);
    return prefix + name;
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
                const std::string name = CellName(prefix, unit.unit, point.slot);
                if (std::find(results.begin(), results.end(), point.result) == results.end()) {
                    list.leftOut.push_back({name, NotACell::ResultNotAsked, point.result});
                } else if (!point.Has(report::Point::kResistance)) {
                    list.leftOut.push_back({name, NotACell::ResistanceOverRange, point.result});
                } else if (!point.Has(report::Point::kVoltage)) {
                    list.leftOut.push_back({name, NotACell::VoltageOutOfRange, point.result});
                } else {
                    list.cells.push_back({name, point.resistance, point.voltage});
                }
            }
        }
    }
    return list;
}

} // namespace packs

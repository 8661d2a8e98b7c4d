#include "history/history_export.h"

#include "history/history_report.h"
#include "measure/measurement_csv.h"
#include "measure/reading_record.h"
#include "measure/units.h"

namespace history {

namespace {} // namespace

ExportedTable ExportTable(const std::vector<StoredReading>& readings) {
    ExportedTable table;
    bool fahrenheit = false;
    table.error = CheckReadings(readings, fahrenheit);
    if (!table.error.empty()) {
        return table;
    }
    // The file's column header after its "No" column.
    const std::string columns = measure::CsvColumnHeader(
        fahrenheit ? measure::TemperatureUnit::Fahrenheit : measure::TemperatureUnit::Celsius);
    const std::size_t readingColumns = columns.find(',') + 1;
    const std::size_t dateColumn = columns.rfind(",Date,Time");
    table.text = "Serial,Unit,Slot,Date,Time," +
                 columns.substr(readingColumns, dateColumn - readingColumns) + measure::kCsvLineEnd;
    for (const StoredReading& stored : readings) {
        const report::Reading& r = stored.reading;
        table.text += measure::CsvCell(stored.serial) + ',' +
                      measure::UnitCommandLetter(stored.unit) + ',' + std::to_string(r.slot) + ',' +
                      r.date + ',' + r.time + ',' + r.resistanceRange + ',' + r.resistanceText +
                      ',' + r.limit1Text + ',' + r.limit2Text + ',' + r.voltageRange + ',' +
                      r.voltageText + ',' + r.voltageLimitText + ',' + r.temperatureText + ',' +
                      measure::ResultText(static_cast<int>(r.result)) + measure::kCsvLineEnd;
    }
    return table;
}

} // namespace history

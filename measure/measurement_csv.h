// The measurement CSV file: a header (model, serial number, date of the transfer,
// software version), then for each unit read a unit heading, a column header and one line per
// memory slot from slot 1 to the unit's last reading. Raw bytes, every line ending with CR LF.
//
// The writer takes the readings in the order the reception queues them, each with the unit and
// slot it was asked for, so that a record is filed there whatever its bytes say. It writes a new
// temporary file beside the destination, each record's lines at once; a record whose lines cannot
// be written whole is taken back, so the file always ends after the last complete line. Commit
// renames it over the destination (a link there is replaced, not written through); Discard leaves
// the destination as it was.
#pragma once

#include <array>
#include <string>

#include "files/replacement_file.h"
#include "measure/reading_record.h"
#include "measure/units.h"

namespace measure {

// One reading as the receiver hands it to the writer: the unit and slot it was asked for (the
// writer files it there, whatever its bytes say), and whether the slot map marks the slot as
// holding a reading.
struct QueuedReading {
    int unit = 0;
    int slot = 0;
    bool marked = false;
    ReadingRecord bytes{};
};

// A calendar date as the file's "Date," line writes it: "%d-%d-%d", no leading zeros.
struct CsvDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CsvDate&) const = default;
};

// The PC's current local date.
CsvDate LocalDateToday();

// What the file's header and column header say.
struct CsvFileInfo {
    std::string serialNumber; // written as received, not quoted
    CsvDate date;             // the date of the transfer
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
};

using UnitCounts = std::array<int, kUnitCount>;

inline constexpr const char* kCsvLineEnd = "\r\n";

// Lines 1 to 4 of the file, with the two empty lines after the date line.
std::string CsvHeaderText(const CsvFileInfo& info);
// "UNIT C", an empty line and the column header with Temperature[C] or [F].
std::string CsvUnitHeadingText(int unitIndex, TemperatureUnit unit);
// The column header line without its CR LF.
std::string CsvColumnHeader(TemperatureUnit unit);
// A cell of a table that programs derive from readings (an export, a label list): as it is, or
// quoted with its quotes doubled when it holds a comma, a quote or a line end.
std::string CsvCell(const std::string& text);

class MeasurementCsvWriter {
public:
    // Creates the temporary file beside `path`, empty. False when it cannot be created (see
    // Error()).
    [[nodiscard]] bool Open(const std::string& path);
    // Writes the header into the file Open created. `unitCounts` are the readings stored in each
    // unit that is read (0 for the others). False when it cannot be written (see Error()).
    [[nodiscard]] bool WriteHeader(const CsvFileInfo& info, const UnitCounts& unitCounts);
    // Open, then WriteHeader.
    [[nodiscard]] bool Create(const std::string& path, const CsvFileInfo& info,
                              const UnitCounts& unitCounts) {
        return Open(path) && WriteHeader(info, unitCounts);
    }

    // Appends the lines of the next reading: the unit heading before the first reading of a unit
    // (after the two empty lines that close the unit before it, if it was left incomplete), the
    // slot's line, and the two empty lines after the marked reading that completes its unit.
    // False when the lines cannot be written whole or the file is not open; nothing is written
    // after a failure.
    [[nodiscard]] bool Write(const QueuedReading& reading);

    // Puts the file in place of the destination, with every line written whole. False when that
    // fails (see Error()); the destination is then left as it was.
    [[nodiscard]] bool Commit();
    // Removes the temporary file; the destination is left as it was.
    void Discard() { file_.Discard(); }

    bool IsOpen() const { return file_.IsOpen(); }
    bool Failed() const { return Error() != 0; }
    // The system's error number of the first failure (0 when none).
    int Error() const { return file_.Error() != 0 ? file_.Error() : refused_; }
    // Readings (slots the map marks) whose lines were written.
    int ReadingsWritten() const { return readingsWritten_; }

private:
    int CountOf(int unit) const;

    files::ReplacementFile file_;
    TemperatureUnit temperatureUnit_ = TemperatureUnit::Celsius;
    UnitCounts unitCounts_{};
    int currentUnit_ = -1;      // the unit whose heading was written last; -1 before the first
    bool unitComplete_ = false; // its two closing empty lines are written
    int markedWritten_ = 0;     // marked readings written in the current unit
    int readingsWritten_ = 0;
    int refused_ = 0; // a write refused before it reached the file
};

} // namespace measure

// The measurement CSV file: a header (model, serial number, date of the transfer,
// software version), then for each unit read a unit heading, a column header and one line per
// memory slot from slot 1 to the unit's last reading. Raw bytes, every line ending with CR LF.
//
// The writer takes the reading records in the order the reception queues them (one per slot, units
// one after the other) and finds the unit boundaries from the unit counts. Each record's lines are
// written and flushed at once, so a failed write (full disk) shows at the record that met it and
// the file on disk always ends after the last complete line.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "reading_record.h"
#include "units.h"

namespace measure {

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

class MeasurementCsvWriter {
public:
    MeasurementCsvWriter() = default;
    ~MeasurementCsvWriter();
    MeasurementCsvWriter(const MeasurementCsvWriter&) = delete;
    MeasurementCsvWriter& operator=(const MeasurementCsvWriter&) = delete;

    // Creates the file anew (an existing file of that name is replaced) and writes the header.
    // `unitCounts` are the readings stored in each unit that is read (0 for the others);
    // `currentUnit` is the unit the first record belongs to (the single unit, or 0 for all).
    // False when the file cannot be created or the header cannot be written (see Error()).
    [[nodiscard]] bool Create(const std::string& path, const CsvFileInfo& info,
                              const UnitCounts& unitCounts, int currentUnit);

    // Appends the lines of the next record: the unit heading before a unit's first record, the
    // slot's line, and the two empty lines after the record that completes the unit. False when
    // the write fails or the file is not open; nothing is written after a failure.
    [[nodiscard]] bool Write(const ReadingRecord& record);

    // Flushes and closes the file. False when this or an earlier step failed. Harmless when the
    // file is not open (then it reports the earlier state).
    [[nodiscard]] bool Close();

    bool IsOpen() const { return file_ != nullptr; }
    bool Failed() const { return error_ != 0; }
    // The system's error number of the first failure (0 when none).
    int Error() const { return error_; }
    // The unit whose records are being written, and the slot number of the last record written in
    // it (0 after a completed unit).
    int CurrentUnit() const { return currentUnit_; }
    int SlotNumber() const { return slotNumber_; }

private:
    bool Put(const std::string& bytes);
    void Fail(int error);
    int CountOf(int unit) const;

    std::FILE* file_ = nullptr;
    int error_ = 0;
    TemperatureUnit temperatureUnit_ = TemperatureUnit::Celsius;
    UnitCounts unitCounts_{};
    int currentUnit_ = 0;
    int slotNumber_ = 0; // "No": slot number within the current unit
    int readingsWritten_ = 0;
};

} // namespace measure

#include "measure/measurement_csv.h"

#include <cerrno>

#include "base/local_time.h"
#include "base/version.h"

namespace measure {

namespace {

constexpr const char* kModelLine = "Model,K720 BATTERY TARVELIN";

} // namespace

CsvDate LocalDateToday() {
    const LocalTime now = LocalTimeNow();
    return {now.year, now.month, now.day};
}

std::string CsvHeaderText(const CsvFileInfo& info) {
    std::string text;
    text += kModelLine;
    text += kCsvLineEnd;
    text += "Serial," + info.serialNumber + kCsvLineEnd;
    text += "Date," + std::to_string(info.date.year) + '-' + std::to_string(info.date.month) + '-' +
            std::to_string(info.date.day) + ",," + g_csvVersion + kCsvLineEnd;
    text += kCsvLineEnd;
    text += kCsvLineEnd;
    return text;
}

std::string CsvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

std::string CsvColumnHeader(TemperatureUnit unit) {
    return std::string("No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
                       "Voltage[volt],V-Lim[volt],") +
           (unit == TemperatureUnit::Fahrenheit ? "Temperature[F]" : "Temperature[C]") +
           ",Result,Date,Time";
}

std::string CsvUnitHeadingText(int unitIndex, TemperatureUnit unit) {
    std::string text = "UNIT ";
    text += UnitCommandLetter(unitIndex);
    text += kCsvLineEnd;
    text += kCsvLineEnd;
    text += CsvColumnHeader(unit) + kCsvLineEnd;
    return text;
}

bool MeasurementCsvWriter::Open(const std::string& path) {
    currentUnit_ = -1;
    unitComplete_ = false;
    markedWritten_ = 0;
    readingsWritten_ = 0;
    refused_ = 0;
    return file_.Create(path);
}

bool MeasurementCsvWriter::WriteHeader(const CsvFileInfo& info, const UnitCounts& unitCounts) {
    temperatureUnit_ = info.temperatureUnit;
    unitCounts_ = unitCounts;
    const std::string header = CsvHeaderText(info);
    return file_.Append(header.data(), header.size());
}

bool MeasurementCsvWriter::Write(const QueuedReading& reading) {
    if (!file_.IsOpen() || Failed()) {
        refused_ = refused_ != 0 ? refused_ : EBADF;
        return false;
    }
    if (reading.unit < 0 || reading.unit >= kUnitCount) {
        refused_ = EINVAL;
        return false;
    }
    std::string bytes;
    if (reading.unit != currentUnit_) {
        if (currentUnit_ >= 0 && !unitComplete_) {
            bytes += kCsvLineEnd;
            bytes += kCsvLineEnd;
        }
        currentUnit_ = reading.unit;
        unitComplete_ = false;
        markedWritten_ = 0;
        bytes += CsvUnitHeadingText(currentUnit_, temperatureUnit_);
    }
    bytes += std::to_string(reading.slot);
    if (IsEmptySlot(reading.bytes)) {
        bytes += ",,,,,,,,,,,";
    } else {
        bytes += ReadingColumns(DecodeReading(reading.bytes), temperatureUnit_);
    }
    bytes += kCsvLineEnd;
    if (reading.marked && ++markedWritten_ == CountOf(currentUnit_)) {
        unitComplete_ = true;
        bytes += kCsvLineEnd;
        bytes += kCsvLineEnd;
    }
    if (!file_.Append(bytes.data(), bytes.size())) {
        return false;
    }
    readingsWritten_ += reading.marked ? 1 : 0;
    return true;
}

bool MeasurementCsvWriter::Commit() {
    return file_.Commit();
}

int MeasurementCsvWriter::CountOf(int unit) const {
    return unit >= 0 && unit < kUnitCount ? unitCounts_[static_cast<std::size_t>(unit)] : 0;
}

} // namespace measure

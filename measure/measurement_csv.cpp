#include "measurement_csv.h"

#include <cerrno>
#include <ctime>

#include "format_int.h"

namespace measure {

namespace {

constexpr const char* kModelLine = "Model,K720 BATTERY TARVELIN";

} // namespace

CsvDate LocalDateToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
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

MeasurementCsvWriter::~MeasurementCsvWriter() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool MeasurementCsvWriter::Create(const std::string& path, const CsvFileInfo& info,
                                  const UnitCounts& unitCounts, int currentUnit) {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    error_ = 0;
    temperatureUnit_ = info.temperatureUnit;
    unitCounts_ = unitCounts;
    currentUnit_ = currentUnit >= 0 && currentUnit < kUnitCount ? currentUnit : 0;
    slotNumber_ = 0;
    readingsWritten_ = 0;
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb"); // binary: CR LF goes out untranslated
    if (file_ == nullptr) {
        Fail(errno != 0 ? errno : EIO);
        return false;
    }
    return Put(CsvHeaderText(info));
}

bool MeasurementCsvWriter::Write(const ReadingRecord& record) {
    if (file_ == nullptr || error_ != 0) {
        if (error_ == 0) {
            error_ = EBADF;
        }
        return false;
    }
    std::string bytes;
    ++slotNumber_;
    if (slotNumber_ == 1) {
        // First record of a unit: the first unit from the current one on that holds readings.
        for (int unit = currentUnit_; unit < kUnitCount; ++unit) {
            if (unitCounts_[static_cast<std::size_t>(unit)] != 0) {
                currentUnit_ = unit;
                break;
            }
        }
        if (currentUnit_ >= kUnitCount) {
            currentUnit_ = kUnitCount - 1; // more records than the counts announced
        }
        bytes += CsvUnitHeadingText(currentUnit_, temperatureUnit_);
    }
    bytes += std::to_string(slotNumber_);
    if (IsEmptySlot(record)) {
        bytes += ",,,,,,,,,,,";
    } else {
        ++readingsWritten_;
        bytes += ReadingColumns(DecodeReading(record), temperatureUnit_);
    }
    bytes += kCsvLineEnd;
    if (readingsWritten_ == CountOf(currentUnit_)) {
        slotNumber_ = 0;
        readingsWritten_ = 0;
        ++currentUnit_;
        bytes += kCsvLineEnd;
        bytes += kCsvLineEnd;
    }
    return Put(bytes);
}

bool MeasurementCsvWriter::Close() {
    if (file_ != nullptr) {
        errno = 0;
        const int flushed = std::fflush(file_);
        const int flushError = errno;
        errno = 0;
        const int closed = std::fclose(file_);
        const int closeError = errno;
        file_ = nullptr;
        if (flushed != 0) {
            Fail(flushError != 0 ? flushError : EIO);
        } else if (closed != 0) {
            Fail(closeError != 0 ? closeError : EIO);
        }
    }
    return error_ == 0;
}

bool MeasurementCsvWriter::Put(const std::string& bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() ||
        std::fflush(file_) != 0) {
        Fail(errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

void MeasurementCsvWriter::Fail(int error) {
    if (error_ == 0) {
        error_ = error;
    }
}

int MeasurementCsvWriter::CountOf(int unit) const {
    return unit >= 0 && unit < kUnitCount ? unitCounts_[static_cast<std::size_t>(unit)] : 0;
}

} // namespace measure

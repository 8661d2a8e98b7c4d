#include "measure/reading_record.h"

#include <cmath>

#include "base/format_int.h"

namespace measure {

namespace {

// Reads unsigned fields most significant bit first, from the top bit of byte 0 on.
class BitReader {
public:
    explicit BitReader(const ReadingRecord& record) : record_(record) {}
    int Take(int width) {
        unsigned value = 0;
        for (int i = 0; i < width; ++i, ++position_) {
            const unsigned bit =
                (record_[static_cast<std::size_t>(position_ / 8)] >> (7 - position_ % 8)) & 1U;
            value = (value << 1) | bit;
        }
        return static_cast<int>(value);
    }

private:
    const ReadingRecord& record_;
    int position_ = 0;
};

int DecodeResistance(int code) {
    switch (code) {
    case 4092:
        return 10000;
    case 4093:
        return 11000;
    case 4094:
        return 12000;
    case 4095:
        return 13000;
    default:
        return code;
    }
}

int DecodeVoltage(int code) {
    switch (code) {
    case 16381:
        return kUnderRange;
    case 16382:
        return kOverRange;
    case 16383:
        return 11000;
    default:
        return code - 6000;
    }
}

int DecodeTemperature(int code) {
    switch (code) {
    case 1021:
        return kUnderRange;
    case 1022:
        return kOverRange;
    case 1023:
        return kNoTemperature;
    default:
        return code - 100;
    }
}

// Decimals of the resistance ranges "3m", "30m", "300m", "3" and the voltage ranges "6V", "60V".
int ResistanceDecimals(int range) {
    return range >= 0 && range <= 3 ? 3 - range : 0;
}
int VoltageDecimals(int range) {
    return range == 1 ? 2 : 3;
}

// The rule of the resistance and voltage columns.
std::string MeasuredColumn(int value, const std::string& numberText) {
    if (value > kOverRange) {
        return "--";
    }
    if (value == kOverRange) {
        return "9999";
    }
    return numberText;
}

} // namespace

ReadingFields ExtractFields(const ReadingRecord& record) {
    BitReader bits(record);
    ReadingFields f;
    bits.Take(1); // not used
    f.year = bits.Take(5);
    f.month = bits.Take(4);
    f.day = bits.Take(5);
    f.hour = bits.Take(5);
    f.minute = bits.Take(6);
    f.resistanceRange = bits.Take(2);
    f.resistance = bits.Take(12);
    f.voltageRange = bits.Take(1);
    f.voltage = bits.Take(14);
    f.temperature = bits.Take(10);
    f.result = bits.Take(2);
    f.limit1 = bits.Take(12);
    f.limit2 = bits.Take(12);
    f.voltageLimit = bits.Take(13);
    return f;
}

Reading DecodeFields(const ReadingFields& f) {
    Reading r;
    r.year = f.year + 2006;
    r.month = f.month;
    r.day = f.day;
    r.hour = f.hour;
    r.minute = f.minute;
    r.resistanceRange = f.resistanceRange;
    r.voltageRange = f.voltageRange;
    r.result = f.result;
    r.resistance = DecodeResistance(f.resistance);
    r.voltage = DecodeVoltage(f.voltage);
    r.temperature = DecodeTemperature(f.temperature);
    r.limit1 = f.limit1;
    r.limit2 = f.limit2;
    r.voltageLimit = f.voltageLimit;
    return r;
}

Reading DecodeReading(const ReadingRecord& record) {
    return DecodeFields(ExtractFields(record));
}

std::string NumberText(int value, int decimals) {
    // The digits of the magnitude, zero-filled to one more than the decimals. A negative value
    // gets its '-' in front afterwards: zero-filling it directly would put the '-' among the
    // zeros ("00-5").
    std::string digits = FormatInt(0, 0, value);
    const bool negative = digits.front() == '-';
    if (negative) {
        digits.erase(0, 1);
    }
    const std::size_t width = static_cast<std::size_t>(decimals < 0 ? 0 : decimals) + 1;
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    if (decimals > 0) {
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return negative ? "-" + digits : digits;
}

const char* ResistanceRangeText(int range) {
    static constexpr const char* kTexts[] = {"3m", "30m", "300m", "3"};
    return range >= 0 && range <= 3 ? kTexts[range] : "";
}

const char* VoltageRangeText(int range) {
    static constexpr const char* kTexts[] = {"6V", "60V"};
    return range >= 0 && range <= 1 ? kTexts[range] : "";
}

const char* ResultText(int result) {
    static constexpr const char* kTexts[] = {"", "PASS", "FAIL", "WARNING"};
    return result >= 0 && result <= 3 ? kTexts[result] : "";
}

std::string ResistanceText(int range, int value) {
    return NumberText(value, ResistanceDecimals(range));
}

std::string VoltageText(int range, int value) {
    return NumberText(value, VoltageDecimals(range));
}

std::string TemperatureText(int tenths) {
    return NumberText(tenths, 1);
}

int FahrenheitTenths(int celsiusTenths) {
    return static_cast<int>(std::trunc(celsiusTenths * 9 / 5.0 + 320.501));
}

std::string ResistanceColumn(const Reading& reading) {
    return MeasuredColumn(reading.resistance,
                          ResistanceText(reading.resistanceRange, reading.resistance));
}

std::string VoltageColumn(const Reading& reading) {
    return MeasuredColumn(reading.voltage, VoltageText(reading.voltageRange, reading.voltage));
}

std::string TemperatureColumn(const Reading& reading, TemperatureUnit unit) {
    switch (reading.temperature) {
    case kNoTemperature:
        return "";
    case kOverRange:
        return "9999";
    case kUnderRange:
        return "-9999";
    default:
        return TemperatureText(unit == TemperatureUnit::Fahrenheit
                                   ? FahrenheitTenths(reading.temperature)
                                   : reading.temperature);
    }
}

std::string ReadingColumns(const Reading& reading, TemperatureUnit unit) {
    const bool judged = reading.result != 0;
    std::string line;
    line.reserve(96);
    line += ',';
    line += ResistanceRangeText(reading.resistanceRange);
    line += ',';
    line += ResistanceColumn(reading);
    line += ',';
    if (judged) {
        line += ResistanceText(reading.resistanceRange, reading.limit1);
    }
    line += ',';
    if (judged) {
        line += ResistanceText(reading.resistanceRange, reading.limit2);
    }
    line += ',';
    line += VoltageRangeText(reading.voltageRange);
    line += ',';
    line += VoltageColumn(reading);
    line += ',';
    if (judged) {
        line += VoltageText(reading.voltageRange, reading.voltageLimit);
    }
    line += ',';
    line += TemperatureColumn(reading, unit);
    line += ',';
    line += ResultText(reading.result);
    // ",%d-%d-%d,%d:%02d": the date's comma is the first character.
    line += ',';
    line += std::to_string(reading.year) + '-' + std::to_string(reading.month) + '-' +
            std::to_string(reading.day);
    line += ',';
    line += std::to_string(reading.hour) + ':' + FormatInt(0, 2, reading.minute);
    return line;
}

} // namespace measure

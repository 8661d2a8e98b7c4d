// The instrument's 13-byte reading record (the reply to ":MEM:DATA? %d") and the texts of its
// columns in the measurement CSV file.
//
// The record is a bit string of 104 bits read from the most significant bit of byte 0 on; every
// field is unsigned, most significant bit first. A record whose byte 0 is 0xFF stands for an
// empty memory slot.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace measure {

inline constexpr std::size_t kReadingRecordSize = 13;
using ReadingRecord = std::array<std::uint8_t, kReadingRecordSize>;

// Byte 0 of an empty-slot record; only that byte of such a record is meaningful.
inline constexpr std::uint8_t kEmptySlotMark = 0xFF;

enum class TemperatureUnit { Celsius, Fahrenheit };

// The fields of a record as the instrument codes them (year - 2006, voltage + 6000, ...).
struct ReadingFields {
    int year = 0; // year - 2006, 0 to 31
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int resistanceRange = 0; // 0 "3m", 1 "30m", 2 "300m", 3 "3"
    int resistance = 0;      // 12 bits; 4092 to 4095 special
    int voltageRange = 0;    // 0 "6V", 1 "60V"
    int voltage = 0;         // 14 bits: count + 6000; 16381 to 16383 special
    int temperature = 0;     // 10 bits: tenths of a degree Celsius + 100; 1021 to 1023 special
    int result = 0;          // 0 none, 1 PASS, 2 FAIL, 3 WARNING
    int limit1 = 0;          // 12 bits
    int limit2 = 0;          // 12 bits
    int voltageLimit = 0;    // 13 bits
    bool operator==(const ReadingFields&) const = default;
};

// Special decoded values.
inline constexpr int kOverRange = 10000;     // resistance 4092, voltage 16382, temperature 1022
inline constexpr int kUnderRange = -10000;   // voltage 16381, temperature 1021
inline constexpr int kNoTemperature = 20000; // temperature 1023

// A decoded reading: the date as written (year in full), the special codes replaced.
struct Reading {
    int year = 2006;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int resistanceRange = 0;
    int voltageRange = 0;
    int result = 0;
    int resistance = 0;  // count; 10000 for code 4092, 11000 to 13000 for 4093 to 4095
    int voltage = 0;     // count (code - 6000); -10000, 10000, 11000 for 16381 to 16383
    int temperature = 0; // tenths of a degree Celsius; -10000, 10000, 20000 for 1021 to 1023
    int limit1 = 0;
    int limit2 = 0;
    int voltageLimit = 0;
    bool operator==(const Reading&) const = default;
};

// True when the record stands for an empty slot (byte 0 is 0xFF).
inline bool IsEmptySlot(const ReadingRecord& record) {
    return record[0] == kEmptySlotMark;
}

// The raw fields of a record.
ReadingFields ExtractFields(const ReadingRecord& record);

// The decoded reading of a record (not meaningful for an empty-slot record).
Reading DecodeReading(const ReadingRecord& record);
Reading DecodeFields(const ReadingFields& fields);

// The decimal text of value / 10^decimals with exactly `decimals` digits after the point and at
// least one before it ("0.005", "12.34", "1234"); a negative value is "-" followed by the text of
// its magnitude ("-0.005", "-12.50").
std::string NumberText(int value, int decimals);

// "3m", "30m", "300m", "3" for the resistance ranges 0 to 3 ("" for others).
const char* ResistanceRangeText(int range);
// "6V", "60V" for the voltage ranges 0 and 1 ("" for others).
const char* VoltageRangeText(int range);
// "", "PASS", "FAIL", "WARNING" for the results 0 to 3.
const char* ResultText(int result);

// A resistance or resistance limit count as a number of its range (3, 2, 1 or 0 decimals).
std::string ResistanceText(int range, int value);
// A voltage or voltage limit count as a number of its range (3 or 2 decimals).
std::string VoltageText(int range, int value);
// Tenths of a degree as a number with one decimal ("25.3", "-0.5").
std::string TemperatureText(int tenths);

// Tenths of a degree Celsius to tenths of a degree Fahrenheit: the whole part, truncated toward
// zero, of t * 9 / 5.0 + 320.501 (253 -> 775, 0 -> 320, -100 -> 140).
int FahrenheitTenths(int celsiusTenths);

// The column texts with the rules for the special values.
std::string ResistanceColumn(const Reading& reading); // "--" above 10000, "9999" at 10000
std::string VoltageColumn(const Reading& reading);    // "--" above 10000, "9999" at 10000
std::string TemperatureColumn(const Reading& reading, TemperatureUnit unit);

// Columns 2 to 12 of a reading's line, each preceded by its comma:
// ",30m,12.34,15.00,10.00,6V,3.712,3.500,25.3,PASS,2014-3-5,9:07".
std::string ReadingColumns(const Reading& reading, TemperatureUnit unit);

} // namespace measure

// The instrument's 13-byte reading record, as the simulated instrument stores and sends it.
#pragma once

#include <array>
#include <cstdint>

using ReadingRecord = std::array<std::uint8_t, 13>;

// One stored measurement with the codes as the instrument keeps them.
struct ReadingCodes {
    int year = 2006; // 2006 to 2037
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int resistanceRange = 0; // 0 "3m", 1 "30m", 2 "300m", 3 "3"
    int resistance = 0;      // count, 4092 to 4095 special
    int voltageRange = 0;    // 0 "6V", 1 "60V"
    int voltage = 6000;      // count + 6000, 16381 to 16383 special
    int temperature = 100;   // tenths of a degree Celsius + 100, 1021 to 1023 special
    int result = 0;          // 0 none, 1 PASS, 2 FAIL, 3 WARNING
    int limit1 = 0;
    int limit2 = 0;
    int voltageLimit = 0;
};

// Packs the fields most significant bit first, from the top bit of byte 0 on; byte 0's top bit
// stays clear, so a stored record never starts with 0xFF (the empty-slot mark).
ReadingRecord EncodeReading(const ReadingCodes& codes);

#include <gtest/gtest.h>

#include "sim/reading_encoder.h"

namespace {

// The two records of the worked file example: a judged 30 mohm reading and an unjudged
// over-range one without a temperature.
TEST(ReadingEncoder, ProducesTheInstrumentsBitLayout) {
    ReadingCodes judged;
    judged.year = 2014;
    judged.month = 3;
    judged.day = 5;
    judged.hour = 9;
    judged.minute = 7;
    judged.resistanceRange = 1;
    judged.resistance = 1234;
    judged.voltageRange = 0;
    judged.voltage = 9712;
    judged.temperature = 353;
    judged.result = 1;
    judged.limit1 = 1500;
    judged.limit2 = 1000;
    judged.voltageLimit = 3500;
    EXPECT_EQ(EncodeReading(judged), (ReadingRecord{0x20, 0xCA, 0x91, 0xD4, 0xD2, 0x4B, 0xE0, 0xB0,
                                                    0xAB, 0xB8, 0x7D, 0x0D, 0xAC}));

    ReadingCodes unjudged;
    unjudged.year = 2014;
    unjudged.month = 3;
    unjudged.day = 5;
    unjudged.hour = 9;
    unjudged.minute = 8;
    unjudged.resistanceRange = 0;
    unjudged.resistance = 4092;
    unjudged.voltageRange = 1;
    unjudged.voltage = 7250;
    unjudged.temperature = 1023;
    EXPECT_EQ(EncodeReading(unjudged), (ReadingRecord{0x20, 0xCA, 0x92, 0x0F, 0xFC, 0xB8, 0xA5,
                                                      0xFF, 0x80, 0x00, 0x00, 0x00, 0x00}));
}

TEST(ReadingEncoder, FieldsAtTheirMaximumStayInTheirBits) {
    ReadingCodes codes;
    codes.year = 2037;
    codes.month = 15;
    codes.day = 31;
    codes.hour = 31;
    codes.minute = 63;
    codes.resistanceRange = 3;
    codes.resistance = 4095;
    codes.voltageRange = 1;
    codes.voltage = 16383;
    codes.temperature = 1023;
    codes.result = 3;
    codes.limit1 = 4095;
    codes.limit2 = 4095;
    codes.voltageLimit = 8191;
    ReadingRecord all;
    all.fill(0xFF);
    all[0] = 0x7F; // the unused top bit
    EXPECT_EQ(EncodeReading(codes), all);
}

} // namespace

// The reading record: bit layout, special codes, number texts, columns; and the unit
// table.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "measure/reading_record.h"
#include "measure/units.h"
#include "sim/reading_encoder.h"

namespace {

using measure::DecodeReading;
using measure::ExtractFields;
using measure::Reading;
using measure::ReadingColumns;
using measure::ReadingFields;
using measure::TemperatureUnit;

measure::ReadingRecord Record(std::initializer_list<int> bytes) {
    measure::ReadingRecord record{};
    std::size_t i = 0;
    for (int byte : bytes) {
        record[i++] = static_cast<std::uint8_t>(byte);
    }
    return record;
}

// The two records of the worked example file.
const measure::ReadingRecord kSlot1 =
    Record({0x20, 0xCA, 0x91, 0xD4, 0xD2, 0x4B, 0xE0, 0xB0, 0xAB, 0xB8, 0x7D, 0x0D, 0xAC});
const measure::ReadingRecord kSlot3 =
    Record({0x20, 0xCA, 0x92, 0x0F, 0xFC, 0xB8, 0xA5, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x00});

// A judged reading with the given codes, in the ranges 30m and 6V.
ReadingCodes Codes(int resistance, int voltage, int temperature, int result = 1) {
    ReadingCodes c;
    c.year = 2026;
    c.month = 12;
    c.day = 31;
    c.hour = 23;
    c.minute = 5;
    c.resistanceRange = 1;
    c.resistance = resistance;
    c.voltageRange = 0;
    c.voltage = voltage;
    c.temperature = temperature;
    c.result = result;
    c.limit1 = 4095;
    c.limit2 = 1;
    c.voltageLimit = 8191;
    return c;
}

Reading Decoded(const ReadingCodes& codes) {
    return DecodeReading(EncodeReading(codes));
}

TEST(UnitTable, CodesLettersAndIndexes) {
    const char* display[] = {"A", "b", "C", "d", "E", "F", "G", "H", "J", "L", "n", "P"};
    const char command[] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'J', 'L', 'N', 'P'};
    for (int i = 0; i < measure::kUnitCount; ++i) {
        EXPECT_EQ(measure::UnitCode(i), 1 << i);
        EXPECT_EQ(measure::UnitIndexOfCode(1 << i), i);
        EXPECT_TRUE(measure::IsUnitCode(1 << i));
        EXPECT_STREQ(measure::UnitDisplayLetter(i), display[i]);
        EXPECT_EQ(measure::UnitCommandLetter(i), command[i]);
        EXPECT_EQ(measure::UnitIndexOfLetter(command[i]), i);
        EXPECT_EQ(measure::UnitIndexOfLetter(display[i][0]), i);
    }
    EXPECT_EQ(measure::UnitIndexOfCode(4096), measure::kAllUnits);
    EXPECT_TRUE(measure::IsUnitCode(4096));
    // Any other value counts as unit 0.
    for (int other : {0, 3, 5, 8192, -1, 4097}) {
        EXPECT_EQ(measure::UnitIndexOfCode(other), 0) << other;
        EXPECT_FALSE(measure::IsUnitCode(other)) << other;
    }
    EXPECT_EQ(measure::UnitIndexOfLetter('I'), -1);
    EXPECT_EQ(measure::UnitIndexOfLetter('o'), -1);
    EXPECT_STREQ(measure::UnitDisplayLetter(12), "");
    EXPECT_EQ(measure::UnitCommandLetter(-1), '\0');
    EXPECT_TRUE(measure::UnitHoldsData(0x809, 0));
    EXPECT_TRUE(measure::UnitHoldsData(0x809, 3));
    EXPECT_TRUE(measure::UnitHoldsData(0x809, 11));
    EXPECT_FALSE(measure::UnitHoldsData(0x809, 1));
    EXPECT_FALSE(measure::UnitHoldsData(0x1FFF, 12));
}

TEST(ReadingRecord, DecodesTheWorkedExample) {
    Reading slot1 = DecodeReading(kSlot1);
    Reading expected1{2014, 3, 5, 9, 7, 1, 0, 1, 1234, 3712, 253, 1500, 1000, 3500};
    EXPECT_EQ(slot1, expected1);

    Reading slot3 = DecodeReading(kSlot3);
    Reading expected3{2014, 3, 5, 9, 8, 0, 1, 0, 10000, 1250, 20000, 0, 0, 0};
    EXPECT_EQ(slot3, expected3);

    EXPECT_FALSE(measure::IsEmptySlot(kSlot1));
    measure::ReadingRecord empty{};
    empty[0] = 0xFF;
    EXPECT_TRUE(measure::IsEmptySlot(empty));
}

TEST(ReadingRecord, AgreesWithTheSimulatorsEncoder) {
    // Every field at its lowest, its highest and a value with alternating bits, so that a field
    // read one bit off or from the wrong byte shows.
    std::vector<ReadingCodes> cases;
    ReadingCodes low;
    low.year = 2006;
    low.voltage = 0;
    low.temperature = 0;
    cases.push_back(low);
    ReadingCodes high{2037, 15, 31, 31, 63, 3, 4095, 1, 16383, 1023, 3, 4095, 4095, 8191};
    cases.push_back(high);
    cases.push_back({2027, 10, 21, 10, 42, 2, 0xAAA, 0, 0x2AAA, 0x2AA, 2, 0x555, 0xAAA, 0x1555});
    cases.push_back({2020, 5, 10, 21, 21, 1, 0x555, 1, 0x1555, 0x155, 1, 0xAAA, 0x555, 0x0AAA});
    cases.push_back(Codes(1234, 9712, 353));
    for (const ReadingCodes& c : cases) {
        const ReadingFields f = ExtractFields(EncodeReading(c));
        const ReadingFields expected{c.year - 2006, c.month,           c.day,        c.hour,
                                     c.minute,      c.resistanceRange, c.resistance, c.voltageRange,
                                     c.voltage,     c.temperature,     c.result,     c.limit1,
                                     c.limit2,      c.voltageLimit};
        EXPECT_EQ(f, expected) << "year " << c.year << " resistance " << c.resistance;
        EXPECT_FALSE(measure::IsEmptySlot(EncodeReading(c)));
    }
}

TEST(ReadingRecord, ReplacesTheSpecialCodes) {
    struct Case {
        int resistance, voltage, temperature;
        int decodedResistance, decodedVoltage, decodedTemperature;
    };
    const Case cases[] = {
        {4091, 16380, 1020, 4091, 10380, 920},    {4092, 16381, 1021, 10000, -10000, -10000},
        {4093, 16382, 1022, 11000, 10000, 10000}, {4094, 16383, 1023, 12000, 11000, 20000},
        {4095, 0, 0, 13000, -6000, -100},         {0, 6000, 100, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Reading r = Decoded(Codes(c.resistance, c.voltage, c.temperature));
        EXPECT_EQ(r.resistance, c.decodedResistance) << c.resistance;
        EXPECT_EQ(r.voltage, c.decodedVoltage) << c.voltage;
        EXPECT_EQ(r.temperature, c.decodedTemperature) << c.temperature;
        // The limits are never replaced.
        EXPECT_EQ(r.limit1, 4095);
        EXPECT_EQ(r.voltageLimit, 8191);
    }
}

TEST(NumberTexts, FollowTheRanges) {
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {measure::ResistanceText(0, 5), "0.005"},
        {measure::ResistanceText(0, 1234), "1.234"},
        {measure::ResistanceText(1, 5), "0.05"},
        {measure::ResistanceText(1, 1234), "12.34"},
        {measure::ResistanceText(2, 5), "0.5"},
        {measure::ResistanceText(2, 1234), "123.4"},
        {measure::ResistanceText(3, 1234), "1234"},
        {measure::ResistanceText(3, 0), "0"},
        {measure::ResistanceText(0, 0), "0.000"},
        {measure::ResistanceText(0, 4095), "4.095"},
        {measure::VoltageText(0, 3712), "3.712"},
        {measure::VoltageText(1, 1250), "12.50"},
        {measure::VoltageText(0, 0), "0.000"},
        {measure::VoltageText(1, 8191), "81.91"},
        {measure::TemperatureText(253), "25.3"},
        {measure::TemperatureText(-5), "-0.5"},
        {measure::TemperatureText(-100), "-10.0"},
        {measure::TemperatureText(0), "0.0"},
        // A negative voltage is "-" and the text of its magnitude.
        {measure::VoltageText(0, -5), "-0.005"},
        {measure::VoltageText(1, -1250), "-12.50"},
        {measure::VoltageText(0, -6000), "-6.000"},
        {measure::VoltageText(1, -6000), "-60.00"},
        {measure::NumberText(-2147483647 - 1, 2), "-21474836.48"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, c.expected);
    }
    EXPECT_STREQ(measure::ResistanceRangeText(0), "3m");
    EXPECT_STREQ(measure::ResistanceRangeText(1), "30m");
    EXPECT_STREQ(measure::ResistanceRangeText(2), "300m");
    EXPECT_STREQ(measure::ResistanceRangeText(3), "3");
    EXPECT_STREQ(measure::VoltageRangeText(0), "6V");
    EXPECT_STREQ(measure::VoltageRangeText(1), "60V");
    EXPECT_STREQ(measure::ResultText(0), "");
    EXPECT_STREQ(measure::ResultText(1), "PASS");
    EXPECT_STREQ(measure::ResultText(2), "FAIL");
    EXPECT_STREQ(measure::ResultText(3), "WARNING");
}

TEST(NumberTexts, FahrenheitConversion) {
    EXPECT_EQ(measure::FahrenheitTenths(253), 775);
    EXPECT_EQ(measure::FahrenheitTenths(0), 320);
    EXPECT_EQ(measure::FahrenheitTenths(-100), 140);
    EXPECT_EQ(measure::FahrenheitTenths(-178), 0);  // 0.101 truncated
    EXPECT_EQ(measure::FahrenheitTenths(-179), -1); // -1.699 truncated toward zero
    EXPECT_EQ(measure::FahrenheitTenths(-300), -219);
    EXPECT_EQ(measure::FahrenheitTenths(920), 1976);
}

TEST(Columns, WorkedExampleLines) {
    EXPECT_EQ(ReadingColumns(DecodeReading(kSlot1), TemperatureUnit::Celsius),
              ",30m,12.34,15.00,10.00,6V,3.712,3.500,25.3,PASS,2014-3-5,9:07");
    EXPECT_EQ(ReadingColumns(DecodeReading(kSlot3), TemperatureUnit::Celsius),
              ",3m,9999,,,60V,12.50,,,,2014-3-5,9:08");
    EXPECT_EQ(ReadingColumns(DecodeReading(kSlot1), TemperatureUnit::Fahrenheit),
              ",30m,12.34,15.00,10.00,6V,3.712,3.500,77.5,PASS,2014-3-5,9:07");
}

TEST(Columns, SpecialValuesInValuesAndLimits) {
    struct Case {
        int resistance, voltage, temperature;
        const char* resistanceText;
        const char* voltageText;
        const char* celsius;
        const char* fahrenheit;
    };
    const Case cases[] = {
        {4091, 16100, 1020, "40.91", "--", "92.0", "197.6"},
        {4092, 16382, 1022, "9999", "9999", "9999", "9999"}, // exactly 10000
        {4093, 16383, 1023, "--", "--", "", ""},             // above 10000; no temperature
        {4094, 16001, 1021, "--", "--", "-9999", "-9999"},
        {4095, 16381, 95, "--", "-10.000", "-0.5", "31.1"}, // -10000: a negative voltage
        {0, 5995, 0, "0.00", "-0.005", "-10.0", "14.0"},
    };
    for (const Case& c : cases) {
        const Reading r = Decoded(Codes(c.resistance, c.voltage, c.temperature));
        EXPECT_EQ(measure::ResistanceColumn(r), c.resistanceText) << c.resistance;
        EXPECT_EQ(measure::VoltageColumn(r), c.voltageText) << c.voltage;
        EXPECT_EQ(measure::TemperatureColumn(r, TemperatureUnit::Celsius), c.celsius)
            << c.temperature;
        EXPECT_EQ(measure::TemperatureColumn(r, TemperatureUnit::Fahrenheit), c.fahrenheit)
            << c.temperature;
    }
    // The same special codes in the limits are written as numbers.
    ReadingCodes limits = Codes(4095, 16383, 1023, 3);
    limits.resistanceRange = 0;
    limits.limit1 = 4095;
    limits.limit2 = 4092;
    limits.voltageLimit = 8191;
    EXPECT_EQ(ReadingColumns(Decoded(limits), TemperatureUnit::Celsius),
              ",3m,--,4.095,4.092,6V,--,8.191,,WARNING,2026-12-31,23:05");
    // The voltage in the 60V range; a temperature code of 1023 leaves only its own column empty.
    limits.voltageRange = 1;
    limits.voltage = 6000 + 1250;
    limits.result = 2;
    EXPECT_EQ(ReadingColumns(Decoded(limits), TemperatureUnit::Fahrenheit),
              ",3m,--,4.095,4.092,60V,12.50,81.91,,FAIL,2026-12-31,23:05");
}

TEST(Columns, LimitsOnlyForJudgedReadingsAndDateTimeFormat) {
    ReadingCodes c = Codes(1234, 9712, 353, 0);
    c.year = 2031;
    c.month = 1;
    c.day = 2;
    c.hour = 0;
    c.minute = 0;
    EXPECT_EQ(ReadingColumns(Decoded(c), TemperatureUnit::Celsius),
              ",30m,12.34,,,6V,3.712,,25.3,,2031-1-2,0:00");
    c.hour = 13;
    c.minute = 59;
    c.month = 11;
    c.day = 30;
    c.result = 1;
    c.limit1 = 0;
    c.limit2 = 0;
    c.voltageLimit = 0;
    EXPECT_EQ(ReadingColumns(Decoded(c), TemperatureUnit::Celsius),
              ",30m,12.34,0.00,0.00,6V,3.712,0.000,25.3,PASS,2031-11-30,13:59");
}

} // namespace

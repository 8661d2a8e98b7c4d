// The measurement CSV file, byte for byte.
#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "measurement_csv.h"
#include "reading_encoder.h"
#include "support/measure_support.h"

namespace {

using measure::CsvDate;
using measure::CsvFileInfo;
using measure::MeasurementCsvWriter;
using measure::ReadingRecord;
using measure::TemperatureUnit;
using measure::UnitCounts;
using measure_test::ReadFileBytes;
using measure_test::ScratchFolder;

ReadingRecord Record(std::initializer_list<int> bytes) {
    ReadingRecord record{};
    std::size_t i = 0;
    for (int byte : bytes) {
        record[i++] = static_cast<std::uint8_t>(byte);
    }
    return record;
}

const ReadingRecord kSlot1 =
    Record({0x20, 0xCA, 0x91, 0xD4, 0xD2, 0x4B, 0xE0, 0xB0, 0xAB, 0xB8, 0x7D, 0x0D, 0xAC});
const ReadingRecord kSlot3 =
    Record({0x20, 0xCA, 0x92, 0x0F, 0xFC, 0xB8, 0xA5, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x00});
// Only byte 0 of an empty-slot record counts.
const ReadingRecord kEmpty = Record({0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});

const CsvDate kTransferDate{2014, 3, 10};

// The worked example file, every line with CR LF.
const char* const kWorkedExample =
    "Model,K720 BATTERY TARVELIN\r\n"
    "Serial,123456789\r\n"
    "Date,2014-3-10,,V1.03\r\n"
    "\r\n"
    "\r\n"
    "UNIT A\r\n"
    "\r\n"
    "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,Voltage[volt],V-Lim[volt],"
    "Temperature[C],Result,Date,Time\r\n"
    "1,30m,12.34,15.00,10.00,6V,3.712,3.500,25.3,PASS,2014-3-5,9:07\r\n"
    "2,,,,,,,,,,,\r\n"
    "3,3m,9999,,,60V,12.50,,,,2014-3-5,9:08\r\n"
    "\r\n"
    "\r\n";

UnitCounts CountsOf(std::initializer_list<std::pair<int, int>> unitCounts) {
    UnitCounts counts{};
    for (auto [unit, count] : unitCounts) {
        counts[static_cast<std::size_t>(unit)] = count;
    }
    return counts;
}

std::string WriteFile(const std::string& path, const CsvFileInfo& info, const UnitCounts& counts,
                      int currentUnit, const std::vector<ReadingRecord>& records) {
    MeasurementCsvWriter writer;
    EXPECT_TRUE(writer.Create(path, info, counts, currentUnit));
    for (const ReadingRecord& record : records) {
        EXPECT_TRUE(writer.Write(record));
    }
    EXPECT_TRUE(writer.Close());
    return ReadFileBytes(path);
}

ReadingRecord Reading(int day, int hour, int minute) {
    ReadingCodes c;
    c.year = 2026;
    c.month = 2;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    c.resistanceRange = 2;
    c.resistance = 55;
    c.voltage = 6000 + 1200;
    c.temperature = 300;
    return EncodeReading(c);
}

TEST(MeasurementCsv, WorkedExampleByteForByte) {
    ScratchFolder folder;
    const std::string path = folder.File("example.csv");
    const std::string bytes =
        WriteFile(path, {"123456789", kTransferDate, TemperatureUnit::Celsius}, CountsOf({{0, 2}}),
                  0, {kSlot1, kEmpty, kSlot3});
    EXPECT_EQ(bytes, kWorkedExample);
}

TEST(MeasurementCsv, FahrenheitChangesOnlyHeaderAndTemperatures) {
    ScratchFolder folder;
    const std::string path = folder.File("example.csv");
    const std::string bytes =
        WriteFile(path, {"123456789", kTransferDate, TemperatureUnit::Fahrenheit},
                  CountsOf({{0, 2}}), 0, {kSlot1, kEmpty, kSlot3});
    std::string expected = kWorkedExample;
    expected.replace(expected.find("Temperature[C]"), 14, "Temperature[F]");
    expected.replace(expected.find(",25.3,"), 6, ",77.5,");
    EXPECT_EQ(bytes, expected);
}

TEST(MeasurementCsv, TheSimulatorEncodesTheWorkedExampleAlike) {
    ReadingCodes slot1{2014, 3, 5, 9, 7, 1, 1234, 0, 9712, 353, 1, 1500, 1000, 3500};
    ReadingCodes slot3{2014, 3, 5, 9, 8, 0, 4092, 1, 7250, 1023, 0, 0, 0, 0};
    EXPECT_EQ(EncodeReading(slot1), kSlot1);
    EXPECT_EQ(EncodeReading(slot3), kSlot3);
}

TEST(MeasurementCsv, UnitsFollowEachOtherAndSlotNumbersRestart) {
    ScratchFolder folder;
    const std::string path = folder.File("all.csv");
    // Units B (1 reading in slot 2), N (2 readings in slots 1 and 2), P (1 reading in slot 1);
    // the writer starts at unit 0 and finds each unit from the counts.
    const std::string bytes = WriteFile(
        path, {"S-1", {2026, 12, 1}, TemperatureUnit::Celsius},
        CountsOf({{1, 1}, {10, 2}, {11, 1}}), 0,
        {kEmpty, Reading(1, 8, 0), Reading(2, 9, 1), Reading(2, 9, 2), Reading(3, 10, 3)});
    const std::string header = "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
                               "Voltage[volt],V-Lim[volt],Temperature[C],Result,Date,Time\r\n";
    const std::string expected = "Model,K720 BATTERY TARVELIN\r\n"
                                 "Serial,S-1\r\n"
                                 "Date,2026-12-1,,V1.03\r\n\r\n\r\n"
                                 "UNIT B\r\n\r\n" +
                                 header +
                                 "1,,,,,,,,,,,\r\n"
                                 "2,300m,5.5,,,6V,1.200,,20.0,,2026-2-1,8:00\r\n\r\n\r\n"
                                 "UNIT N\r\n\r\n" +
                                 header +
                                 "1,300m,5.5,,,6V,1.200,,20.0,,2026-2-2,9:01\r\n"
                                 "2,300m,5.5,,,6V,1.200,,20.0,,2026-2-2,9:02\r\n\r\n\r\n"
                                 "UNIT P\r\n\r\n" +
                                 header + "1,300m,5.5,,,6V,1.200,,20.0,,2026-2-3,10:03\r\n\r\n\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST(MeasurementCsv, InterruptedUnitHasNoClosingEmptyLines) {
    ScratchFolder folder;
    const std::string path = folder.File("part.csv");
    const std::string bytes =
        WriteFile(path, {"123456789", kTransferDate, TemperatureUnit::Celsius}, CountsOf({{0, 2}}),
                  0, {kSlot1, kEmpty});
    const std::string full = kWorkedExample;
    EXPECT_EQ(bytes, full.substr(0, full.find("3,3m")));
}

TEST(MeasurementCsv, ReplacesAnExistingFile) {
    ScratchFolder folder;
    const std::string path = folder.File("example.csv");
    {
        std::FILE* old = std::fopen(path.c_str(), "wb");
        ASSERT_NE(old, nullptr);
        const std::string junk(10000, 'x');
        std::fwrite(junk.data(), 1, junk.size(), old);
        std::fclose(old);
    }
    EXPECT_EQ(WriteFile(path, {"123456789", kTransferDate, TemperatureUnit::Celsius},
                        CountsOf({{0, 2}}), 0, {kSlot1, kEmpty, kSlot3}),
              kWorkedExample);
}

TEST(MeasurementCsv, FileThatCannotBeCreatedIsReported) {
    ScratchFolder folder;
    const std::string path = folder.File("missing-folder/x.csv");
    MeasurementCsvWriter writer;
    EXPECT_FALSE(
        writer.Create(path, {"1", kTransferDate, TemperatureUnit::Celsius}, CountsOf({{0, 1}}), 0));
    EXPECT_EQ(writer.Error(), ENOENT);
    EXPECT_FALSE(writer.Write(kSlot1));
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(measure_test::FileExists(path));
}

TEST(MeasurementCsv, FullDiskIsReportedAtTheFirstWrite) {
    ScratchFolder folder;
    const std::string path = folder.File("full.csv");
    ASSERT_EQ(symlink("/dev/full", path.c_str()), 0);
    MeasurementCsvWriter writer;
    EXPECT_FALSE(
        writer.Create(path, {"1", kTransferDate, TemperatureUnit::Celsius}, CountsOf({{0, 1}}), 0));
    EXPECT_EQ(writer.Error(), ENOSPC);
    EXPECT_TRUE(writer.Failed());
    EXPECT_FALSE(writer.Write(kSlot1)); // nothing more after a failure
    EXPECT_FALSE(writer.Close());
    EXPECT_EQ(writer.Error(), ENOSPC); // the first failure is the one kept
}

TEST(MeasurementCsv, HeaderAndHeadingTexts) {
    EXPECT_EQ(measure::CsvHeaderText({"0", {2031, 11, 9}, TemperatureUnit::Fahrenheit}),
              "Model,K720 BATTERY TARVELIN\r\nSerial,0\r\nDate,2031-11-9,,V1.03\r\n\r\n\r\n");
    EXPECT_EQ(measure::CsvUnitHeadingText(10, TemperatureUnit::Fahrenheit),
              "UNIT N\r\n\r\nNo,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
              "Voltage[volt],V-Lim[volt],Temperature[F],Result,Date,Time\r\n");
    const CsvDate today = measure::LocalDateToday();
    EXPECT_GE(today.year, 2024);
    EXPECT_GE(today.month, 1);
    EXPECT_LE(today.month, 12);
    EXPECT_GE(today.day, 1);
    EXPECT_LE(today.day, 31);
}

} // namespace

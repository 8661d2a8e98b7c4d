// The measurement CSV file, byte for byte.
#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "measure/measurement_csv.h"
#include "sim/reading_encoder.h"
#include "tests/support/measure_support.h"

namespace {

using measure::CsvDate;
using measure::CsvFileInfo;
using measure::MeasurementCsvWriter;
using measure::QueuedReading;
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

// The readings of one unit from slot 1 on, as the receiver queues them: a slot is marked when its
// record is not an empty-slot record.
std::vector<QueuedReading> UnitReadings(int unit, const std::vector<ReadingRecord>& records) {
    std::vector<QueuedReading> readings;
    for (const ReadingRecord& record : records) {
        const int slot = static_cast<int>(readings.size()) + 1;
        readings.push_back({unit, slot, !measure::IsEmptySlot(record), record});
    }
    return readings;
}

std::vector<QueuedReading> Joined(std::initializer_list<std::vector<QueuedReading>> parts) {
    std::vector<QueuedReading> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::string WriteFile(const std::string& path, const CsvFileInfo& info, const UnitCounts& counts,
                      const std::vector<QueuedReading>& readings) {
    MeasurementCsvWriter writer;
    EXPECT_TRUE(writer.Create(path, info, counts));
    for (const QueuedReading& reading : readings) {
        EXPECT_TRUE(writer.Write(reading));
    }
    EXPECT_TRUE(writer.Commit());
    return ReadFileBytes(path);
}

const CsvFileInfo kInfo{"123456789", kTransferDate, TemperatureUnit::Celsius};

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

// Written over an older, longer file, which it replaces.
TEST(MeasurementCsv, WorkedExampleByteForByte) {
    ScratchFolder folder;
    const std::string path = folder.File("example.csv");
    measure_test::WriteFileBytes(path, std::string(10000, 'x'));
    const std::string bytes =
        WriteFile(path, kInfo, CountsOf({{0, 2}}), UnitReadings(0, {kSlot1, kEmpty, kSlot3}));
    EXPECT_EQ(bytes, kWorkedExample);
}

TEST(MeasurementCsv, FahrenheitChangesOnlyHeaderAndTemperatures) {
    ScratchFolder folder;
    const std::string path = folder.File("example.csv");
    const std::string bytes =
        WriteFile(path, {"123456789", kTransferDate, TemperatureUnit::Fahrenheit},
                  CountsOf({{0, 2}}), UnitReadings(0, {kSlot1, kEmpty, kSlot3}));
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
    // Units B (1 reading in slot 2), N (2 readings in slots 1 and 2), P (1 reading in slot 1).
    const std::string bytes =
        WriteFile(path, {"S-1", {2026, 12, 1}, TemperatureUnit::Celsius},
                  CountsOf({{1, 1}, {10, 2}, {11, 1}}),
                  Joined({UnitReadings(1, {kEmpty, Reading(1, 8, 0)}),
                          UnitReadings(10, {Reading(2, 9, 1), Reading(2, 9, 2)}),
                          UnitReadings(11, {Reading(3, 10, 3)})}));
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

// The instrument sends an empty-slot record for a slot its map marks: the record stays in its
// unit and slot, the unit is closed by its last marked slot, and the next unit is not shifted.
TEST(MeasurementCsv, ARecordThatLooksEmptyInAMarkedSlotStaysWhereItWasAskedFor) {
    ScratchFolder folder;
    const std::string path = folder.File("all.csv");
    std::vector<QueuedReading> unitA = UnitReadings(0, {kSlot1, kSlot3});
    unitA[1].bytes = kEmpty; // marked, but its bytes say empty
    const std::string bytes = WriteFile(path, kInfo, CountsOf({{0, 2}, {2, 1}}),
                                        Joined({unitA, UnitReadings(2, {kSlot3})}));
    const std::string full = kWorkedExample;
    const std::string unitAHead = full.substr(0, full.find("2,,,"));
    const std::string heading =
        full.substr(full.find("UNIT A") + 6, full.find("1,30m") - full.find("UNIT A") - 6);
    EXPECT_EQ(bytes, unitAHead + "2,,,,,,,,,,,\r\n\r\n\r\nUNIT C" + heading +
                         "1,3m,9999,,,60V,12.50,,,,2014-3-5,9:08\r\n\r\n\r\n");
}

TEST(MeasurementCsv, InterruptedUnitHasNoClosingEmptyLines) {
    ScratchFolder folder;
    const std::string path = folder.File("part.csv");
    const std::string bytes =
        WriteFile(path, kInfo, CountsOf({{0, 2}}), UnitReadings(0, {kSlot1, kEmpty}));
    const std::string full = kWorkedExample;
    EXPECT_EQ(bytes, full.substr(0, full.find("3,3m")));
}

TEST(MeasurementCsv, FileThatCannotBeCreatedIsReported) {
    ScratchFolder folder;
    const std::string path = folder.File("missing-folder/x.csv");
    MeasurementCsvWriter writer;
    EXPECT_FALSE(writer.Create(path, kInfo, CountsOf({{0, 1}})));
    EXPECT_EQ(writer.Error(), ENOENT);
    EXPECT_FALSE(writer.Write(UnitReadings(0, {kSlot1})[0]));
    EXPECT_FALSE(writer.Commit());
    EXPECT_FALSE(measure_test::FileExists(path));
}

// A full disk at the second reading: that reading's line is taken back, nothing more is written,
// and the file put in place ends after the last complete line.
TEST(MeasurementCsv, AFullDiskLeavesNoTornLine) {
    ScratchFolder folder;
    const std::string path = folder.File("full.csv");
    const std::string full = kWorkedExample;
    const std::string upToSlot2 = full.substr(0, full.find("3,3m"));
    MeasurementCsvWriter writer;
    ASSERT_TRUE(writer.Create(path, kInfo, CountsOf({{0, 2}})));
    const std::vector<QueuedReading> readings = UnitReadings(0, {kSlot1, kEmpty, kSlot3});
    ASSERT_TRUE(writer.Write(readings[0]));
    ASSERT_TRUE(writer.Write(readings[1]));
    {
        measure_test::FileSizeLimit limit(upToSlot2.size() + 10);
        EXPECT_FALSE(writer.Write(readings[2]));
    }
    EXPECT_EQ(writer.Error(), EFBIG);
    EXPECT_FALSE(writer.Write(readings[2])) << "nothing more after a failure";
    EXPECT_EQ(writer.ReadingsWritten(), 1);
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadFileBytes(path), upToSlot2);
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

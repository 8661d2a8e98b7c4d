// The five-byte entry record: the worked examples, every code and count through a record and
// back, and what cannot be packed.
#include <gtest/gtest.h>

#include "comp/entry_record.h"
#include "comp/table_file.h"
#include "sim/instrument.h"

namespace {

using namespace comp;

TEST(EntryRecord, WorkedExamplesPackAndUnpack) {
    struct Case {
        EntryCodes codes;
        EntryRecord record;
    };
    const Case cases[] = {
        {{1, 1234, 3100, 1, 1200}, {0x53, 0x4B, 0x07, 0x24, 0xB0}},
        {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
        {{3, 3100, 3100, 1, 6000}, {0xF0, 0x73, 0x07, 0x37, 0x70}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackEntry(c.codes), c.record);
        EXPECT_EQ(PackEntry(RowOfEntry(c.codes)), c.record) << "through the row's texts";
        EXPECT_EQ(UnpackEntry(c.record), c.codes);
    }
    EXPECT_EQ(PackEntry(CompRow{}), (EntryRecord{0, 0, 0, 0, 0})) << "the default entry";
    EXPECT_EQ(EntryLine(7, RowOfEntry(UnpackEntry({0x53, 0x4B, 0x07, 0x24, 0xB0}))),
              "7,No Name,30m,12.34,31.00,60V,12.00");
}

// Every code and every count within the table's bounds, in each field, packed from the row's
// canonical texts and unpacked again.
TEST(EntryRecord, EveryCodeAndCountRoundTrips) {
    for (int rRange = 0; rRange < 4; ++rRange) {
        for (int vRange = 0; vRange < 2; ++vRange) {
            for (int count = 0; count <= 6000; ++count) {
                const int r = count % 3101;
                const EntryCodes codes{rRange, r, 3100 - r, vRange, count};
                const std::optional<EntryRecord> record = PackEntry(RowOfEntry(codes));
                ASSERT_TRUE(record) << count;
                ASSERT_EQ(UnpackEntry(*record), codes) << count;
            }
        }
    }
}

// The simulated instrument packs its table on its own; its records read back as it meant them.
TEST(EntryRecord, SimulatedInstrumentsTableUnpacksAsStored) {
    const sim::InstrumentState demo = sim::DemoInstrument();
    EXPECT_EQ(UnpackEntry(demo.comparatorTable[0]), (EntryCodes{1, 2500, 2800, 0, 3700}));
    EXPECT_EQ(UnpackEntry(demo.comparatorTable[3]), (EntryCodes{3, 3100, 3100, 1, 6000}));
}

TEST(EntryRecord, WhatDoesNotFitIsNotPacked) {
    EXPECT_EQ(PackEntry(EntryCodes{0, 4095, 4095, 1, 8191}),
              (EntryRecord{0x3F, 0xFF, 0xFF, 0xFF, 0xFF}));
    for (const EntryCodes& spill :
         {EntryCodes{4, 0, 0, 0, 0}, EntryCodes{0, 4096, 0, 0, 0}, EntryCodes{0, 0, 4096, 0, 0},
          EntryCodes{0, 0, 0, 2, 0}, EntryCodes{0, 0, 0, 0, 8192}, EntryCodes{0, -1, 0, 0, 0}}) {
        EXPECT_FALSE(PackEntry(spill));
    }
    // A limit that is not the canonical text of its range would be sent as another value.
    CompRow row;
    row.rLim1 = "1.5";
    EXPECT_FALSE(PackEntry(row));
    row.rLim1 = "1.500";
    EXPECT_EQ(UnpackEntry(*PackEntry(row)).rLim1, 1500);
}

// A received count beyond the table's bounds is caught when the received text is parsed.
TEST(EntryRecord, ReceivedCountsBeyondTheBoundsFailTheParse) {
    std::string text = BuiltTableHeader();
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        const EntryRecord record =
            entry == 9 ? EntryRecord{0x3F, 0xFF, 0xFF, 0xFF, 0xFF} : EntryRecord{};
        text += EntryLine(entry, RowOfEntry(UnpackEntry(record))) + "\r\n";
    }
    EXPECT_EQ(ParseTableText(text).message,
              "File corrupted.  \nCan not open. \n\n( No.9, R-Lim1 )");
}

} // namespace

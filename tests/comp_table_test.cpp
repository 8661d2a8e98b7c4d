// The comparator table model: limit texts and counts of every range, the reading of numbers, and
// which Names the editor may take.
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comp/comp_table.h"

namespace {

using namespace comp;

std::vector<RangeSpec> AllRanges() {
    std::vector<RangeSpec> ranges(kResistanceRanges.begin(), kResistanceRanges.end());
    ranges.insert(ranges.end(), kVoltageRanges.begin(), kVoltageRanges.end());
    return ranges;
}

int Count(const char* text, int decimals) {
    return LimitCount(ReadLeadingDecimal(text), decimals);
}

TEST(CompTable, FormatLimitPadsAndPlacesThePoint) {
    struct Case {
        int count;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {5, 3, "0.005"},    {3100, 3, "3.100"}, {5, 2, "0.05"},     {999, 2, "9.99"},
        {1000, 2, "10.00"}, {5, 1, "0.5"},      {100, 1, "10.0"},   {3100, 1, "310.0"},
        {0, 0, "0"},        {3100, 0, "3100"},  {6000, 3, "6.000"}, {1200, 2, "12.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatLimit(c.count, c.decimals), c.text) << c.count << " / " << c.decimals;
    }
}

// The range table's texts agree with its bounds: the box's message names 0 and the upper bound
// in the range's canonical form.
TEST(CompTable, BoundsMessagesNameTheCanonicalBounds) {
    const char* uppers[] = {"3.100", "31.00", "310.0", "3100", "6.000", "60.00"};
    const std::vector<RangeSpec> ranges = AllRanges();
    ASSERT_EQ(ranges.size(), std::size(uppers));
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const RangeSpec& range = ranges[i];
        EXPECT_EQ(FormatLimit(range.upperCount, range.decimals), uppers[i]);
        EXPECT_EQ(range.boundsMessage, "Please enter a number between " +
                                           FormatLimit(0, range.decimals) + " and " + uppers[i] +
                                           ".  ");
    }
}

TEST(CompTable, LimitCountCutsOnlyDigitsBeyondTheRange) {
    struct Case {
        const char* value;
        int decimals;
        int count;
    };
    const Case cases[] = {
        {"1.16", 2, 116},   {"2.3", 3, 2300},
        {"1.001", 3, 1001}, {"1.2345", 3, 1234},
        {"12.7", 0, 12},    {"0.0004", 3, 0},
        {"2.345", 3, 2345}, {"31.00", 2, 3100},
        {"12.5", 1, 125},   {"60.00", 2, 6000},
        {"0.29", 2, 29},    {"4.35", 2, 435},
        {"116e-2", 2, 116}, {"1.16E1", 2, 1160},
        {".5", 1, 5},       {"-1.2345", 3, -1234},
        {"abc", 3, 0},      {"  2.5xyz", 3, 2500},
        {"7e", 0, 7},       {"1e999999999999", 0, 1'000'000'000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Count(c.value, c.decimals), c.count) << c.value << " / " << c.decimals;
    }
}

// Every count of every range comes back from its canonical text unchanged: no step is lost to
// a product that lands just below a whole number.
TEST(CompTable, EveryCanonicalLimitKeepsItsCount) {
    for (const RangeSpec& range : AllRanges()) {
        for (int count = 0; count <= range.upperCount; ++count) {
            const std::string text = FormatLimit(count, range.decimals);
            ASSERT_EQ(CountWithinRange(ReadLeadingDecimal(text), range), count) << text;
            ASSERT_EQ(CountOfCanonicalLimit(text, range), count) << text;
        }
    }
}

TEST(CompTable, BoundsIncludeZeroAndTheUpperBoundOnly) {
    const RangeSpec& milli3 = kResistanceRanges[0];
    struct Case {
        const char* value;
        std::optional<int> count;
    };
    const Case cases[] = {
        {"3.1", 3100},  {"3.100000", 3100}, {"0", 0},      {"-0", 0},
        {"3.1001", {}}, {"-0.001", {}},     {"1e400", {}}, {"1e-400", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountWithinRange(ReadLeadingDecimal(c.value), milli3), c.count) << c.value;
    }
    EXPECT_EQ(CountWithinRange(ReadLeadingDecimal("31.01"), kResistanceRanges[1]), std::nullopt);
    EXPECT_EQ(CountWithinRange(ReadLeadingDecimal("60.00"), kVoltageRanges[1]), 6000);
}

// A whole field holds one number with a decimal point, whatever the user's locale writes.
TEST(CompTable, AFieldIsANumberOnlyAsAWhole) {
    for (const char* number : {"1.5", " 1.5 ", "+2", "-0.5", "3.", ".25", "1e2"}) {
        EXPECT_TRUE(ParseDecimal(number)) << number;
    }
    for (const char* notNumber : {"", " ", ".", "-", "1,5", "1.5x", "e5", "1e", "1.2.3"}) {
        EXPECT_FALSE(ParseDecimal(notNumber)) << notNumber;
    }
}

TEST(CompTable, NamesTheEditorMayTake) {
    const std::string kanji20 = [] {
        std::string text;
        for (int i = 0; i < 20; ++i) {
            text += "\x93\xFA"; // a two-byte character of code page 932
        }
        return text;
    }();
    struct Case {
        std::string name;
        bool acceptable;
    };
    const Case cases[] = {
        {"", true},
        {std::string(40, 'x'), true},
        {kanji20, true},
        {"\xB1\xB2 Cell-7", true}, // half-width katakana
        {std::string(41, 'x'), false},
        {kanji20 + "x", false},
        {"a,b", false},
        {"a\tb", false},
        {"tail\x82", false}, // a lead byte without its trail byte
        {"\x82\x20", false}, // a trail byte out of range
        {"\x80", false},
        {"\x7F", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAcceptableName(c.name), c.acceptable) << c.name;
    }
}

} // namespace

#include <climits>

#include <gtest/gtest.h>

#include "base/format_int.h"

namespace {

struct Case {
    int spaceFill;
    int width;
    int value;
    const char* text;
};

TEST(FormatInt, PadsSignsAndNeverCuts) {
    const Case cases[] = {
        {0, 3, 7, "007"},
        {1, 3, 7, "  7"},
        {0, 3, 12345, "12345"},
        {0, 4, -5, "00-5"},
        {1, 4, -5, "  -5"},
        {0, 2, -5, "-5"},
        {0, 1, 0, "0"},
        {0, 3, 0, "000"},
        {1, 0, 42, "42"},
        {0, 11, INT_MIN, "-2147483648"},
        {1, 11, INT_MAX, " 2147483647"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatInt(c.spaceFill, c.width, c.value), c.text)
            << "fill " << c.spaceFill << " width " << c.width << " value " << c.value;
    }
}

} // namespace

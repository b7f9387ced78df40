#include <gtest/gtest.h>

#include <cmath>

#include "text/number_reading.h"

namespace plovix {
namespace {

std::vector<double> read(std::initializer_list<std::string> texts) {
    std::vector<double> values;
    for (const std::string& text : texts) values.push_back(readNumber(text));
    return values;
}

TEST(NumberReading, BlanksSignPointExponentsAndTheFirstOtherCharacter) {
    // Blanks, tabs and line feeds are ignored anywhere.
    EXPECT_EQ(read({"1 2", "  +3e2x", "\t- 1 . 5", "1\n0", "1 e 2"}),
              (std::vector<double>{12, 300, -1.5, 10, 100}));
    EXPECT_EQ(read({"-.5", "1D3", "2.5d-1", "5.", "1.2.3", "007"}),
              (std::vector<double>{-0.5, 1000, 0.25, 5, 1.2, 7}));
    // The number ends at the first other character; an exponent letter without digits after
    // it is not part of it.
    EXPECT_EQ(read({"12:30", "4,5", "3in", "1.5e", "1.5E+", "7Dx"}),
              (std::vector<double>{12, 4, 3, 1.5, 1.5, 7}));
}

TEST(NumberReading, NoNumberIsZeroAndOutOfRangeNumbers) {
    EXPECT_EQ(read({"abc", "", ".", "-", "+-5", "e5", "1e-400", "0e99999",
                    "0." + std::string(400, '0') + "1"}),
              std::vector<double>(9, 0.0));
    EXPECT_FALSE(std::signbit(readNumber("-0")));
    const double inf = HUGE_VAL;
    EXPECT_EQ(read({"1e400", "-1e400", std::string(400, '9') + "e-1", "1e99999999999999999999999"}),
              (std::vector<double>{inf, -inf, inf, inf}));
}

}  // namespace
}  // namespace plovix

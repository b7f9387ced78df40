#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string_view>

#include "text/line_columns.h"
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

TEST(NumberReading, BitForBitAsACorrectlyRoundedReadingAlsoWhereAWordStands) {
    // Signs, digits and points in any order, with characters that end a number or go on with
    // it; std::strtod reads the same numbers from those it knows, correctly rounded. A word of a
    // line is read where it stands, up to its blank or the end of the line.
    std::mt19937 rng(20261206);
    const std::string_view chars = "0123456789012345678901234567890123456789.-+:/.-+eD\t";
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    for (int round = 0; round < 100000; ++round) {
        std::string text;
        for (auto n = 1 + rng() % 24; n > 0; --n) text += chars[rng() % chars.size()];
        const double expected = std::strtod(text.c_str(), nullptr);
        if (text.find_first_of("eD\t") == std::string::npos) {
            ASSERT_EQ(bits(readNumber(text)), bits(expected == 0 ? 0.0 : expected)) << text;
        }
        const std::string words = " 1 " + text + (round % 2 == 0 ? " 2" : "");
        const LineColumns line(words);
        ASSERT_EQ(bits(line.wordNumber(2)), bits(readNumber(text))) << text;
    }
}

}  // namespace
}  // namespace plovix

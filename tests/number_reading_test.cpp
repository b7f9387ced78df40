#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <regex>
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

// Edited reading lines against a plain reading by regular expression.
TEST(NumberReading, AgreesWithAStraightforwardReadingOfEditedLines) {
    static const char* const kSamples[] = {
        "0.0125 144 0.0031",
        "  1  0:05  0.0100  12.5",
        "12.5,0.2,0.01,30",
        "-.5D-3 x 2",
        "1e308 1e308 -1e308",
        "+3.E2\t\"7\"",
        "",
    };
    static constexpr char kBytes[] = "0123456789.+-eEdD \t\r\n,\":x\xff\0";
    constexpr std::string_view kAlphabet{kBytes, sizeof kBytes - 1};
    std::mt19937 rng(7);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    const std::regex number(R"(^[+-]?(\d+\.?\d*|\.\d+)([Ee][+-]?\d+)?)");
    for (int round = 0; round < 3000; ++round) {
        std::string text = kSamples[pick(std::size(kSamples))];
        for (std::size_t e = pick(8); e > 0; --e) {
            const std::size_t at = pick(text.size() + 1);
            const char c = kAlphabet[pick(kAlphabet.size())];
            if (pick(3) == 0 && at < text.size())
                text.erase(at, 1 + pick(4));
            else
                text.insert(at, 1, c);
        }
        std::string squeezed;
        for (char c : text)
            if (c != ' ' && c != '\t' && c != '\n') squeezed += (c == 'D' || c == 'd') ? 'E' : c;
        std::smatch match;
        double expected = 0.0;
        if (std::regex_search(squeezed, match, number))
            expected = std::strtod(match.str(0).c_str(), nullptr);
        const double got = readNumber(text);
        if (std::isinf(expected)) {
            EXPECT_EQ(got, expected) << text;
        } else {
            EXPECT_DOUBLE_EQ(got, expected) << text;
        }
    }
}

}  // namespace
}  // namespace plovix

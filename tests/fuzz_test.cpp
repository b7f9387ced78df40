// Number reading against a plain reading by regular expression, over edited reading lines.
// Crashes anywhere in the reading are the fuzz targets' business (their corpora replay in ctest).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <regex>

#include "text/number_reading.h"

namespace plovix {
namespace {

TEST(Fuzz, NumberReadingAgreesWithAStraightforwardReading) {
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

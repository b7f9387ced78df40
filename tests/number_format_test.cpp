#include "text/number_format.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "text/number_reading.h"

namespace plovix {
namespace {

TEST(NumberFormatGeneral, FixedAndScientificForms) {
    EXPECT_EQ(formatGeneralNumber(8669), "8669");
    EXPECT_EQ(formatGeneralNumber(-2.5), "-2.5");
    EXPECT_EQ(formatGeneralNumber(0.05), "0.05");
    EXPECT_EQ(formatGeneralNumber(0.0001), "0.0001");
    EXPECT_EQ(formatGeneralNumber(0.00001), "1E-05");
    EXPECT_EQ(formatGeneralNumber(1.5e-7), "1.5E-07");
    EXPECT_EQ(formatGeneralNumber(123456789012345), "123456789012345");
    EXPECT_EQ(formatGeneralNumber(1e15), "1E+15");
    EXPECT_EQ(formatGeneralNumber(1e20), "1E+20");
    EXPECT_EQ(formatGeneralNumber(1.25e120), "1.25E+120");
    EXPECT_EQ(formatGeneralNumber(1.0 / 3), "0.333333333333333");
    // Rounding to 15 digits can carry into the next power of ten.
    EXPECT_EQ(formatGeneralNumber(999999999999999.9), "1E+15");
    EXPECT_EQ(formatGeneralNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatGeneralNumber(0), "0");
    EXPECT_EQ(formatGeneralNumber(-0.0), "0");
}

TEST(NumberFormatGeneral, NonFiniteAndPrinted) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatGeneralNumber(inf), "1.#INF");
    EXPECT_EQ(formatGeneralNumber(-inf), "-1.#INF");
    EXPECT_EQ(formatGeneralNumber(std::nan("")), "-1.#IND");
    EXPECT_EQ(formatPrintedNumber(5), " 5");
    EXPECT_EQ(formatPrintedNumber(-5), "-5");
    EXPECT_EQ(formatPrintedNumber(0), " 0");
}

TEST(NumberFormatRoundTrip, ReadsBackAsTheSameValue) {
    using Limits = std::numeric_limits<double>;
    // "General Number" wherever it is exact, so texts written before keep their form.
    EXPECT_EQ(formatRoundTripNumber(0.05), "0.05");
    EXPECT_EQ(formatRoundTripNumber(8669), "8669");
    EXPECT_EQ(formatRoundTripNumber(100000), "100000");
    EXPECT_EQ(formatRoundTripNumber(1e-5), "1E-05");
    EXPECT_EQ(formatRoundTripNumber(-0.0), "0");
    EXPECT_EQ(formatRoundTripNumber(Limits::max()), "1.7976931348623157E+308");
    EXPECT_EQ(formatRoundTripNumber(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(formatRoundTripNumber(-Limits::min()), "-2.2250738585072014E-308");

    std::mt19937_64 bits(7);
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t pattern = bits();
        double value;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) continue;
        const std::string text = formatRoundTripNumber(value);
        ASSERT_EQ(readNumber(text), value) << text;
    }
}

TEST(NumberFormatPicture, RoundsHalfAwayFromZeroInDecimal) {
    EXPECT_EQ(formatPicture(2.675, "0.00"), "2.68");
    EXPECT_EQ(formatPicture(1.005, "0.00"), "1.01");
    EXPECT_EQ(formatPicture(9.995, "0.00"), "10.00");
    EXPECT_EQ(formatPicture(0.5, "0"), "1");
    EXPECT_EQ(formatPicture(1e20, "0.00"), "100000000000000000000.00");
    EXPECT_EQ(formatPicture(0.00001, "0.00"), "0.00");
}

TEST(NumberFormatPicture, IntegerPlaceholders) {
    EXPECT_EQ(formatPicture(0.5, "#.00"), ".50");
    EXPECT_EQ(formatPicture(0, "#.00"), ".00");
    EXPECT_EQ(formatPicture(0, "###.0"), ".0");
    EXPECT_EQ(formatPicture(12.3, "00000.00"), "00012.30");
    EXPECT_EQ(formatPicture(5, "#00"), "05");
    EXPECT_EQ(formatPicture(5, "0#"), "05");
    EXPECT_EQ(formatPicture(12345, "##"), "12345");
    EXPECT_EQ(formatPicture(0, "##"), "");
    EXPECT_EQ(formatPicture(7, "###"), "7");
    EXPECT_EQ(formatPicture(12, "### "), "12 ");
    EXPECT_EQ(formatPicture(0, "## "), " ");
    EXPECT_EQ(formatPicture(1234, "#-###"), "1-234");
}

TEST(NumberFormatPicture, DecimalPlaceholders) {
    EXPECT_EQ(formatPicture(5, "###.#"), "5.");
    EXPECT_EQ(formatPicture(1.25, "###.####"), "1.25");
    EXPECT_EQ(formatPicture(1.5, "##.##"), "1.5");
    EXPECT_EQ(formatPicture(1.5, "0.0#"), "1.5");
    EXPECT_EQ(formatPicture(1.506, "0.0#"), "1.51");
}

TEST(NumberFormatPicture, SignsAndSections) {
    EXPECT_EQ(formatPicture(-5, "0.0"), "-5.0");
    EXPECT_EQ(formatPicture(-0.001, "0.00"), "-0.00");
    EXPECT_EQ(formatPicture(-5, " 0.0 "), "- 5.0 ");
    EXPECT_EQ(formatPicture(-0.0, "0.00"), "0.00");
    EXPECT_EQ(formatPicture(1.23456, " 0.0000;-0.0000"), " 1.2346");
    EXPECT_EQ(formatPicture(-1.23456, " 0.0000;-0.0000"), "-1.2346");
    EXPECT_EQ(formatPicture(0, " 0.0000;-0.0000"), " 0.0000");
    EXPECT_EQ(formatPicture(-5, "0;(0)"), "(5)");
    EXPECT_EQ(formatPicture(123.456, " ####0.00 ;-####0.00 "), " 123.46 ");
    EXPECT_EQ(formatPicture(-5, " ####0.00 ;-####0.00 "), "-5.00 ");
    EXPECT_EQ(formatPicture(-2.5, " 0.000000       ;-0.000000       "), "-2.500000       ");
    // An empty negative section falls back to the positive one with a minus.
    EXPECT_EQ(formatPicture(-5, "0.0;"), "-5.0");
    EXPECT_EQ(formatPicture(-5, "0.0;(0);zero"), "(5)");
    EXPECT_EQ(formatPicture(2.5, ""), "2.5");
}

TEST(NumberFormatText, AlignsIntoPlaceholders) {
    EXPECT_EQ(formatTextPicture("ab", "@@@@"), "  ab");
    EXPECT_EQ(formatTextPicture("ab", "!@@@@"), "ab  ");
    EXPECT_EQ(formatTextPicture("abcdef", "@@@"), "abcdef");
    EXPECT_EQ(formatTextPicture("ab", "(@@@)"), "( ab)");
}

TEST(NumberFormatRound, HalvesGoToEven) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-3.5), -4);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(4503599627370497.0), 4503599627370497);
    using Limits = std::numeric_limits<std::int64_t>;
    EXPECT_EQ(roundHalfEven(1e19), Limits::max());
    EXPECT_EQ(roundHalfEven(-1e19), Limits::min());
    EXPECT_EQ(roundHalfEven(-9223372036854775808.0), Limits::min());
    EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

}  // namespace
}  // namespace plovix

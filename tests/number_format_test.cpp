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

using Texts = std::vector<std::string>;

// What `format` makes of each value.
template <typename Format>
auto each(Format format, std::initializer_list<double> values) {
    std::vector<decltype(format(0.0))> results;
    for (double value : values) results.push_back(format(value));
    return results;
}
Texts pictured(const char* picture, std::initializer_list<double> values) {
    return each([&](double v) { return formatPicture(v, picture); }, values);
}

TEST(NumberFormat, GeneralNumberAndPrintedNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(each(formatGeneralNumber, {8669, -2.5, 0.05, 0.0001, 0.00001, 1.5e-7, 123456789012345,
                                         1e15, 1e20, 1.25e120, 1.0 / 3, 0.1 + 0.2, 0, -0.0}),
              (Texts{"8669", "-2.5", "0.05", "0.0001", "1E-05", "1.5E-07", "123456789012345",
                     "1E+15", "1E+20", "1.25E+120", "0.333333333333333", "0.3", "0", "0"}));
    // Rounding to 15 digits can carry into the next power of ten.
    EXPECT_EQ(formatGeneralNumber(999999999999999.9), "1E+15");
    EXPECT_EQ(each(formatGeneralNumber, {inf, -inf, std::nan("")}),
              (Texts{"1.#INF", "-1.#INF", "-1.#IND"}));
    EXPECT_EQ(each(formatPrintedNumber, {5, -5, 0}), (Texts{" 5", "-5", " 0"}));
}

TEST(NumberFormat, RoundTripNumbersReadBackAsTheSameValue) {
    using Limits = std::numeric_limits<double>;
    // "General Number" wherever it is exact, so texts written before keep their form.
    EXPECT_EQ(each(formatRoundTripNumber,
                   {0.05, 8669, 100000, 1e-5, -0.0, Limits::max(), 0.1 + 0.2, -Limits::min()}),
              (Texts{"0.05", "8669", "100000", "1E-05", "0", "1.7976931348623157E+308",
                     "0.30000000000000004", "-2.2250738585072014E-308"}));
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

TEST(NumberFormat, PicturesRoundHalfAwayFromZeroInDecimal) {
    EXPECT_EQ(
        pictured("0.00", {2.675, 1.005, 9.995, 1e20, 0.00001, -0.001, -0.0}),
        (Texts{"2.68", "1.01", "10.00", "100000000000000000000.00", "0.00", "-0.00", "0.00"}));
    EXPECT_EQ(formatPicture(0.5, "0"), "1");
}

TEST(NumberFormat, PicturePlaceholders) {
    EXPECT_EQ(pictured("#.00", {0.5, 0}), (Texts{".50", ".00"}));
    EXPECT_EQ(pictured("##", {12345, 0}), (Texts{"12345", ""}));
    EXPECT_EQ(pictured("0.0#", {1.5, 1.506}), (Texts{"1.5", "1.51"}));
    EXPECT_EQ(formatPicture(0, "###.0"), ".0");
    EXPECT_EQ(formatPicture(12.3, "00000.00"), "00012.30");
    EXPECT_EQ(formatPicture(5, "#00") + formatPicture(5, "0#"), "0505");
    EXPECT_EQ(formatPicture(7, "###"), "7");
    EXPECT_EQ(formatPicture(12, "### "), "12 ");
    EXPECT_EQ(formatPicture(0, "## "), " ");
    EXPECT_EQ(formatPicture(1234, "#-###"), "1-234");
    EXPECT_EQ(formatPicture(5, "###.#"), "5.");
    EXPECT_EQ(formatPicture(1.25, "###.####"), "1.25");
    EXPECT_EQ(formatPicture(1.5, "##.##"), "1.5");
}

TEST(NumberFormat, PictureSignsAndSections) {
    EXPECT_EQ(pictured(" 0.0000;-0.0000", {1.23456, -1.23456, 0}),
              (Texts{" 1.2346", "-1.2346", " 0.0000"}));
    EXPECT_EQ(pictured(" ####0.00 ;-####0.00 ", {123.456, -5}), (Texts{" 123.46 ", "-5.00 "}));
    EXPECT_EQ(formatPicture(-5, "0.0"), "-5.0");
    EXPECT_EQ(formatPicture(-5, " 0.0 "), "- 5.0 ");
    EXPECT_EQ(formatPicture(-5, "0;(0)"), "(5)");
    EXPECT_EQ(formatPicture(-2.5, " 0.000000       ;-0.000000       "), "-2.500000       ");
    // An empty negative section falls back to the positive one with a minus.
    EXPECT_EQ(formatPicture(-5, "0.0;"), "-5.0");
    EXPECT_EQ(formatPicture(-5, "0.0;(0);zero"), "(5)");
    EXPECT_EQ(formatPicture(2.5, ""), "2.5");
}

TEST(NumberFormat, TextPicturesAndHalvesToEven) {
    EXPECT_EQ(formatTextPicture("ab", "@@@@") + "|" + formatTextPicture("ab", "!@@@@") + "|" +
                  formatTextPicture("abcdef", "@@@") + "|" + formatTextPicture("ab", "(@@@)"),
              "  ab|ab  |abcdef|( ab)");
    using Limits = std::numeric_limits<std::int64_t>;
    EXPECT_EQ(each(roundHalfEven, {2.5, 3.5, -2.5, -3.5, 2.4999, 4503599627370497.0, 1e19, -1e19,
                                   -9223372036854775808.0, std::nan("")}),
              (std::vector<std::int64_t>{2, 4, -2, -4, 2, 4503599627370497, Limits::max(),
                                         Limits::min(), Limits::min(), 0}));
}

}  // namespace
}  // namespace plovix

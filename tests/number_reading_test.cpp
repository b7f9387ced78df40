#include <gtest/gtest.h>

#include <cmath>

#include "text/number_reading.h"

using plovix::readNumber;

TEST(NumberReading, BlanksTabsAndLineFeedsAreIgnoredAnywhere) {
    EXPECT_DOUBLE_EQ(readNumber("1 2"), 12.0);
    EXPECT_DOUBLE_EQ(readNumber("  +3e2x"), 300.0);
    EXPECT_DOUBLE_EQ(readNumber("\t- 1 . 5"), -1.5);
    EXPECT_DOUBLE_EQ(readNumber("1\n0"), 10.0);
    EXPECT_DOUBLE_EQ(readNumber("1 e 2"), 100.0);
}

TEST(NumberReading, SignPointAndBothExponentLetters) {
    EXPECT_DOUBLE_EQ(readNumber("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(readNumber("1D3"), 1000.0);
    EXPECT_DOUBLE_EQ(readNumber("2.5d-1"), 0.25);
    EXPECT_DOUBLE_EQ(readNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(readNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(readNumber("007"), 7.0);
}

TEST(NumberReading, StopsAtTheFirstOtherCharacter) {
    EXPECT_DOUBLE_EQ(readNumber("12:30"), 12.0);
    EXPECT_DOUBLE_EQ(readNumber("4,5"), 4.0);
    EXPECT_DOUBLE_EQ(readNumber("3in"), 3.0);
    // An exponent letter without digits after it is not part of the number.
    EXPECT_DOUBLE_EQ(readNumber("1.5e"), 1.5);
    EXPECT_DOUBLE_EQ(readNumber("1.5E+"), 1.5);
    EXPECT_DOUBLE_EQ(readNumber("7Dx"), 7.0);
}

TEST(NumberReading, TextWithoutANumberIsZero) {
    EXPECT_EQ(readNumber("abc"), 0.0);
    EXPECT_EQ(readNumber(""), 0.0);
    EXPECT_EQ(readNumber("."), 0.0);
    EXPECT_EQ(readNumber("-"), 0.0);
    EXPECT_EQ(readNumber("+-5"), 0.0);
    EXPECT_EQ(readNumber("e5"), 0.0);
    EXPECT_FALSE(std::signbit(readNumber("-0")));
}

TEST(NumberReading, OutOfRangeNumbers) {
    EXPECT_TRUE(std::isinf(readNumber("1e400")));
    EXPECT_TRUE(std::isinf(readNumber("-1e400")));
    EXPECT_LT(readNumber("-1e400"), 0);
    EXPECT_EQ(readNumber("1e-400"), 0.0);
    EXPECT_EQ(readNumber("0e99999"), 0.0);
    EXPECT_TRUE(std::isinf(readNumber(std::string(400, '9') + "e-1")));
    EXPECT_EQ(readNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_TRUE(std::isinf(readNumber("1e99999999999999999999999")));
}

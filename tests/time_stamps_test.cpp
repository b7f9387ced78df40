#include <gtest/gtest.h>

#include "filter/time_stamps.h"

namespace plovix {
namespace {

constexpr double kDay = 86400;

// Day numbers from 30 December 1899: 1 January 2000 is day 36526, so 2 January 2003 is
// 36526 + 366 + 365 + 365 + 1 = 37623; 1 January 1930 is 2 + 30 x 365 + 7 leap days = 10959.
TEST(TimeStamps, DatesInUsOrderAndTheirYears) {
    EXPECT_EQ(fTimeStampSeconds("1/2/2003"), 37623 * kDay);
    EXPECT_EQ(fTimeStampSeconds(" 01-02-03 "), 37623 * kDay);  // 03 is 2003
    EXPECT_EQ(fTimeStampSeconds("2003-01-02 10:30"), 37623 * kDay + 37800);
    EXPECT_EQ(fTimeStampSeconds("2003/1/2"), 37623 * kDay);
    EXPECT_EQ(fTimeStampSeconds("1/2/30"), 10960 * kDay);  // 30 is 1930
    // 29 is 2029: 36526 + 29 x 365 + 8 leap days (2000 to 2028).
    EXPECT_EQ(fTimeStampSeconds("1/1/29"), 47119 * kDay);
    EXPECT_EQ(fTimeStampSeconds("2/29/2000"), (36526 + 59) * kDay);
    EXPECT_EQ(fTimeStampSeconds("12/30/1899 6:00 AM"), 21600);
}

TEST(TimeStamps, TimesAloneAndTheClockFace) {
    EXPECT_EQ(fTimeStampSeconds("10:00:00 AM"), 36000);
    EXPECT_EQ(fTimeStampSeconds("12:00 AM"), 0);
    EXPECT_EQ(fTimeStampSeconds("12:30 PM"), 45000);
    EXPECT_EQ(fTimeStampSeconds("1:05:09 pm"), 47109);  // 13 x 3600 + 5 x 60 + 9
    EXPECT_EQ(fTimeStampSeconds("23:59:59"), 86399);
    EXPECT_EQ(fTimeStampSeconds("00:59:30 "), 3570);
    EXPECT_EQ(fCleanDate("10:02 a.m."), "10:02 am");
    EXPECT_EQ(fTimeStampSeconds(fCleanDate("10:02 a.m.")), 36120);
    // 11:59 PM to 12:01 AM of the next day.
    EXPECT_EQ(fSecondsBetween("1/15/2010 11:59:00 PM", "01/16/2010 12:01:00 AM"), 120);
    EXPECT_EQ(fSecondsBetween("10:00:30", "10:00:00"), -30);
}

TEST(TimeStamps, TextsThatAreNoDate) {
    for (const char* text : {"", "abc", "12", "1/2", "2/30/2003", "13/1/2003", "2/29/1900",
                             "1/2/123", "24:00", "10:60", "10:00 PM PM", "13:00 PM", "1/2/2003x",
                             "1/2/200310:00", "1/2-2003", "-1", "01//15/20 10:00:00"}) {
        EXPECT_FALSE(fIsDate(text)) << text;
    }
    EXPECT_TRUE(fIsDate("10:00"));
    try {
        fSecondsBetween("10:00", "xx");
        ADD_FAILURE() << "no type mismatch";
    } catch (const DateTypeMismatch& e) {
        EXPECT_EQ(e.text, "xx");
    }
}

}  // namespace
}  // namespace plovix

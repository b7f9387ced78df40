#include <gtest/gtest.h>

#include "app/session.h"
#include "sources/columns.h"
#include "sources/source_table.h"
#include "text/fields.h"

namespace plovix {
namespace {

TEST(TabField, ColumnsEmptyMissingAndEndingInCarriageReturn) {
    Session s;
    s.settings.SourceType = kGeotac;
    EXPECT_EQ(fTabField(s, 1, "a\t\tc"), "a");
    EXPECT_EQ(fTabField(s, 2, "a\t\tc"), "");  // two separators in a row
    EXPECT_EQ(fTabField(s, 3, "a\t\tc"), "c");
    EXPECT_EQ(fTabField(s, 5, "a\tb"), "");
    EXPECT_EQ(fTabField(s, 2, "a\t 2.5 \r"), "2.5");
    // A carriage return ends a column only when no separator follows it.
    EXPECT_EQ(fTabField(s, 1, "x\ry\tz"), "x\ry");
    EXPECT_EQ(fTabField(s, 2, "x\tb\rz"), "b");
    EXPECT_EQ(fTabField(s, 0, "a\tb"), "");
    EXPECT_EQ(fTabField(s, -3, "a\tb"), "");
    EXPECT_EQ(fTabField(s, 1, ""), "");
    EXPECT_EQ(fTabField(s, 2, "a,b"), "");
}

TEST(TabField, CommaSeparatedForEnKayAndTheFourColumnGeoTestLayout) {
    Session s;
    s.settings.SourceType = kEnKay;
    EXPECT_EQ(fTabField(s, 2, "a, b ,c"), "b");
    s.settings.SourceType = kGeoTest;
    EXPECT_EQ(fTabField(s, 2, "a,b"), "");
    s.specimens.KWDSFile = true;
    EXPECT_EQ(fTabField(s, 2, "a,b"), "b");
}

TEST(ListItem, CommaModeAndTheOtherSeparators) {
    EXPECT_EQ(fListItem(",2,", 1, true), "2");
    EXPECT_EQ(fListItem("1,2,3", 3, true), "3");
    EXPECT_EQ(fListItem("1,,3", 2, true), "");
    EXPECT_EQ(fListItem("1,2", 0, true), "");
    EXPECT_EQ(fListItem("1,2", 5, true), "");
    EXPECT_EQ(fListItem(" a ,b", 1, true), " a ");  // untrimmed
    const std::string c255 = std::string("x") + char(255) + "y\rz";
    EXPECT_EQ(fListItem(c255, 2, false), "y\rz");
    EXPECT_EQ(fListItem("x\ry\tz", 2, false), "y\tz");
    EXPECT_EQ(fListItem("x\ty", 2, false), "y");
    EXPECT_EQ(fListItem("x,y", 1, false), "x,y");
}

TEST(ListPos, PositionsInCommaLists) {
    EXPECT_EQ(fListPos(1, "1,2,3,"), 1);
    EXPECT_EQ(fListPos(3, ",1,2,3"), 3);
    EXPECT_EQ(fListPos(3, ",2,"), 0);
    EXPECT_EQ(fListPos(2, ",12,2,"), 2);
    EXPECT_EQ(fListPos(1, ",12,"), 0);
    EXPECT_EQ(fListPos(1, ""), 0);
    EXPECT_EQ(fListPos("b", "a,b"), 2);
}

TEST(SourceIn, OnlyALeadingCommaIsAdded) {
    Session s;
    s.settings.SourceType = 3;
    EXPECT_TRUE(fSourceIn(s, ",3,4,5,"));
    EXPECT_TRUE(fSourceIn(s, "3,4,"));
    EXPECT_FALSE(fSourceIn(s, ",13,"));
    EXPECT_FALSE(fSourceIn(s, ",4,3"));  // no trailing comma: not found
}

TEST(SplitPath, FolderAndFileName) {
    EXPECT_EQ(fSplitPath("C:\\DATA\\TEST", 1), "TEST.NDT");
    EXPECT_EQ(fSplitPath("C:\\DATA\\TEST", 0), "C:\\DATA\\");
    EXPECT_EQ(fSplitPath("C:\\DATA\\T.DAT", 1), "T.DAT");
    EXPECT_EQ(fSplitPath("TEST.NDT", 0), "");
    EXPECT_EQ(fSplitPath("TEST", 1), "TEST.NDT");
    EXPECT_EQ(fSplitPath("/home/lab/run1.ndt", 0), "/home/lab/");
    EXPECT_EQ(fSplitPath("/home/lab/run1.ndt", 1), "run1.ndt");
    EXPECT_EQ(fSplitPath("C:\\lab/x", 0), "C:\\lab/");
    EXPECT_EQ(fSplitPath("\\a", 0), "\\a");  // at least two characters
    EXPECT_EQ(fSplitPath("a", 0), "");
    EXPECT_EQ(fSplitPath("a", 1), "");
    EXPECT_EQ(fSplitPath("C:\\X", 2), "");
    EXPECT_EQ(fSplitPath("C:\\DATA\\", 1), ".NDT");
}

TEST(TextHelpers, QuotesWordsAndBlanks) {
    EXPECT_EQ(fStripQuotes("\" 12.5 \""), "12.5");
    EXPECT_EQ(fStripQuotes("\"abc"), "\"abc");
    EXPECT_EQ(fStripQuotes("\""), "\"");
    EXPECT_EQ(fStripQuotes("  x  "), "x");

    std::string t = "word  rest";
    SkipWord(t);
    EXPECT_EQ(t, "  rest");
    SkipBlanks(t);
    EXPECT_EQ(t, "rest");
    SkipWord(t);
    EXPECT_EQ(t, "");
    SkipBlanks(t);
    EXPECT_EQ(t, "");

    EXPECT_EQ(fFirstBlank("ab cd"), 3);
    EXPECT_EQ(fFirstBlank("abcd"), 4);
    EXPECT_EQ(fFirstBlank(""), 0);

    EXPECT_EQ(fMin(1, 2), 1);
    EXPECT_EQ(fMin(2, 1), 1);
    EXPECT_EQ(fMax(1, 2), 2);
    EXPECT_EQ(fMax(2, 1), 2);
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include "app/session.h"
#include "sources/columns.h"
#include "sources/source_codes.h"
#include "sources/source_table.h"
#include "text/fields.h"

namespace plovix {
namespace {

using Texts = std::vector<std::string>;

TEST(TabField, ColumnsEmptyMissingEndingInCarriageReturnAndByLayout) {
    Session s;
    s.settings.SourceType = kGeotac;
    const auto field = [&](int n, const std::string& line) { return fTabField(s, n, line); };
    // Two separators in a row make an empty column; a carriage return ends a column only when
    // no separator follows it.
    EXPECT_EQ((Texts{field(1, "a\t\tc"), field(2, "a\t\tc"), field(3, "a\t\tc"), field(5, "a\tb"),
                     field(2, "a\t 2.5 \r"), field(1, "x\ry\tz"), field(2, "x\tb\rz"),
                     field(0, "a\tb"), field(-3, "a\tb"), field(1, ""), field(2, "a,b")}),
              (Texts{"a", "", "c", "", "2.5", "x\ry", "b", "", "", "", ""}));
    // Commas separate the columns of EnKay files and the four-column GeoTest layout.
    s.settings.SourceType = kEnKay;
    EXPECT_EQ(field(2, "a, b ,c"), "b");
    s.settings.SourceType = kGeoTest;
    EXPECT_EQ(field(2, "a,b"), "");
    s.specimens.KWDSFile = true;
    EXPECT_EQ(field(2, "a,b"), "b");
}

TEST(ListItem, CommaModeTheOtherSeparatorsAndPositions) {
    EXPECT_EQ(
        (Texts{fListItem(",2,", 1, true), fListItem("1,2,3", 3, true), fListItem("1,,3", 2, true),
               fListItem("1,2", 0, true), fListItem("1,2", 5, true), fListItem(" a ,b", 1, true)}),
        (Texts{"2", "3", "", "", "", " a "}));  // untrimmed
    const std::string c255 = std::string("x") + char(255) + "y\rz";
    EXPECT_EQ((Texts{fListItem(c255, 2, false), fListItem("x\ry\tz", 2, false),
                     fListItem("x\ty", 2, false), fListItem("x,y", 1, false)}),
              (Texts{"y\rz", "y\tz", "y", "x,y"}));
    EXPECT_EQ((std::vector{fListPos(1, "1,2,3,"), fListPos(3, ",1,2,3"), fListPos(3, ",2,"),
                           fListPos(2, ",12,2,"), fListPos(1, ",12,"), fListPos(1, ""),
                           fListPos("b", "a,b")}),
              (std::vector{1, 3, 0, 2, 0, 0, 2}));
}

TEST(SplitPath, FolderAndFileName) {
    const auto folder = [](const char* path) { return fSplitPath(path, 0); };
    const auto name = [](const char* path) { return fSplitPath(path, 1); };
    EXPECT_EQ((Texts{folder("C:\\DATA\\TEST"), folder("TEST.NDT"), folder("/home/lab/run1.ndt"),
                     folder("C:\\lab/x"), folder("\\a"), folder("a")}),
              (Texts{"C:\\DATA\\", "", "/home/lab/", "C:\\lab/", "\\a", ""}));  // "\a": too short
    EXPECT_EQ((Texts{name("C:\\DATA\\TEST"), name("C:\\DATA\\T.DAT"), name("TEST"),
                     name("/home/lab/run1.ndt"), name("a"), name("C:\\DATA\\")}),
              (Texts{"TEST.NDT", "T.DAT", "TEST.NDT", "run1.ndt", "", ".NDT"}));
    EXPECT_EQ(fSplitPath("C:\\X", 2), "");
}

TEST(TextHelpers, QuotesWordsAndBlanks) {
    EXPECT_EQ((Texts{fStripQuotes("\" 12.5 \""), fStripQuotes("\"abc"), fStripQuotes("\""),
                     fStripQuotes("  x  ")}),
              (Texts{"12.5", "\"abc", "\"", "x"}));
    std::string t = "word  rest";
    Texts steps;
    using Step = void (*)(std::string&);
    for (Step step : {Step{SkipWord}, Step{SkipBlanks}, Step{SkipWord}, Step{SkipBlanks}}) {
        step(t);
        steps.push_back(t);
    }
    EXPECT_EQ(steps, (Texts{"  rest", "rest", "", ""}));
    EXPECT_EQ((std::vector{fFirstBlank("ab cd"), fFirstBlank("abcd"), fFirstBlank("")}),
              (std::vector<long long>{3, 4, 0}));
}

}  // namespace
}  // namespace plovix

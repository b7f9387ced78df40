// The columns and words of a line, found once and handed out in any order, must be exactly
// those that cutting the line afresh for each field gives.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/fields.h"
#include "text/line_columns.h"
#include "text/number_reading.h"

namespace plovix {
namespace {

// Word k as the blank-separated readers cut it: blanks and a word removed k - 1 times, the
// blanks once more, then up to and including the first blank.
std::string wordByTheRule(std::string text, long long k) {
    for (long long i = 1; i < k; ++i) {
        SkipBlanks(text);
        SkipWord(text);
    }
    SkipBlanks(text);
    return text.substr(0, static_cast<std::size_t>(fFirstBlank(text)));
}

TEST(LineColumns, ColumnsWordsAndNumbersInAnyOrderAsCutAfresh) {
    std::string many;  // more columns and words than are kept
    for (int i = 1; i <= 20; ++i) many += " " + std::to_string(i) + ".5\t";
    many += "\r 7";
    const std::vector<std::string> lines = {
        "  1  0:05  0.0100  12.5  0.5",  // leading blanks
        "12.5,\"0.2\" ,, 3 4\r,x",       // quotes, empty column, CR inside
        "a\t\tc",
        "",
        "   ",
        many,
    };
    const std::vector<long long> order = {3, 1, 17, 2, 20, 3, 0, 25, 16, -1, 5, 21, 4};
    for (const std::string& text : lines) {
        LineColumns line(text);
        for (long long k : order) {
            for (char separator : {'\t', ','}) {
                EXPECT_EQ(line.column(k, separator), separatedField(k, text, separator))
                    << text << " column " << k;
                EXPECT_EQ(line.columnNumber(k, separator),
                          readNumber(separatedField(k, text, separator)));
                EXPECT_EQ(line.quotedColumnNumber(k, separator),
                          readNumber(fStripQuotes(separatedField(k, text, separator))));
            }
            const std::string word = k >= 1 ? wordByTheRule(text, k) : "";
            EXPECT_EQ(line.word(k), word) << text << " word " << k;
            EXPECT_EQ(line.wordNumber(k), readNumber(word));
        }
        EXPECT_EQ(line.hasBlank(), text.find(' ') != std::string::npos);
    }
    // Another line in the same object forgets what was found in the first.
    LineColumns line(lines[0]);
    EXPECT_EQ(line.wordNumber(4), 12.5);
    line.reset(lines[5]);
    EXPECT_EQ(line.wordNumber(4), 4.5);
    EXPECT_EQ(line.column(22, '\t'), "7");
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"
#include "text/line_reader.h"

namespace plovix {
namespace {

std::vector<std::string> allLines(LineReader& r, bool byLF = false) {
    std::vector<std::string> lines;
    while (auto line = r.next(byLF)) lines.push_back(*line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, CarriageReturnEndsALineAndABareLineFeedStaysInside) {
    auto r = LineReader::fromBytes("a\r\nb\rc\nd\r\n\r\ne");
    EXPECT_FALSE(r.readsByLF());
    EXPECT_EQ(allLines(r), (Lines{"a", "b", "c\nd", "", "e"}));
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.next().has_value());
    EXPECT_EQ(r.linesConsumed(), 5);
}

TEST(LineReader, AFileWithoutCarriageReturnsIsReadByLineFeed) {
    auto r = LineReader::fromBytes("one\ntwo\n\nthree");
    EXPECT_TRUE(r.readsByLF());
    EXPECT_EQ(allLines(r), (Lines{"one", "two", "", "three"}));
}

TEST(LineReader, ByLineFeedKeepsCarriageReturnsAndStopsAtTheEnd) {
    auto r = LineReader::fromBytes("a\r\nb\rc\nlast");
    EXPECT_EQ(allLines(r, true), (Lines{"a\r", "b\rc", "last"}));
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.next(true), std::nullopt);
}

TEST(LineReader, EmptyFilesAndFinalLineEndings) {
    auto empty = LineReader::fromBytes("");
    EXPECT_TRUE(empty.atEnd());
    EXPECT_EQ(empty.next(), std::nullopt);
    auto one = LineReader::fromBytes("x\r\n");
    EXPECT_EQ(allLines(one), (Lines{"x"}));
    auto onlyCr = LineReader::fromBytes("\r");
    EXPECT_EQ(allLines(onlyCr), (Lines{""}));
}

TEST(LineReader, ReturningToARememberedPositionRestoresTheLineCount) {
    auto r = LineReader::fromBytes("h1\r\nh2\r\nh3\r\nd1\r\n");
    r.next();
    const auto mark = r.tell();
    EXPECT_EQ(r.next(), "h2");
    EXPECT_EQ(r.next(), "h3");
    EXPECT_EQ(r.linesConsumed(), 3);
    r.seek(mark);
    EXPECT_EQ(r.linesConsumed(), 1);
    EXPECT_EQ(r.next(), "h2");
    r.rewind();
    EXPECT_EQ(r.linesConsumed(), 0);
    EXPECT_EQ(r.next(), "h1");
}

TEST(LineReader, LinesLongerThanTheReadBufferAndCrLfSplitAcrossIt) {
    // A block less one byte, then CR: the LF that completes the ending is the first byte of the
    // next block. The next line is longer than a block.
    const std::string longLine(LineReader::kBlockSize - 1, 'x');
    const std::size_t longer = LineReader::kBlockSize * 3 / 2;
    const std::string bytes = longLine + "\r\n" + std::string(longer, 'y') + "\r\nz";
    testing::TempFolder temp;
    const auto path = temp.path / "long.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    auto r = LineReader::open(path);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->next(), longLine);
    const auto mark = r->tell();
    EXPECT_EQ(r->next()->size(), longer);
    EXPECT_EQ(r->next(), "z");
    r->seek(mark);  // far behind the current block
    EXPECT_EQ(r->next()->size(), longer);
    EXPECT_EQ(r->linesConsumed(), 2);
}

TEST(LineReader, AViewOfALineStaysValidWhileTheReaderLooksAhead) {
    // The first line and its CR LF fill the first block: asking whether anything is left
    // reads the next one.
    const std::string first(LineReader::kBlockSize - 2, 'a');
    auto r = LineReader::fromBytes(first + "\r\nsecond\r\n");
    const auto line = r.nextView();
    ASSERT_TRUE(line.has_value());
    EXPECT_FALSE(r.atEnd());
    EXPECT_EQ(line->size(), first.size());
    EXPECT_EQ(line->find_first_not_of('a'), std::string_view::npos);
    EXPECT_EQ(r.tell().offset, LineReader::kBlockSize);
    EXPECT_EQ(r.nextView(), "second");
    EXPECT_TRUE(r.atEnd());
}

TEST(LineReader, MissingFileIsReported) {
    std::string error;
    EXPECT_FALSE(LineReader::open("/nonexistent/plovix/file.dat", &error).has_value());
    EXPECT_NE(error.find("/nonexistent/plovix/file.dat"), std::string::npos);
}

}  // namespace
}  // namespace plovix

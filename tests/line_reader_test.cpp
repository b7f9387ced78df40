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
    // 65535 bytes then CR: the LF that completes the ending is the first byte of the next chunk.
    const std::string longLine(65535, 'x');
    const std::string bytes = longLine + "\r\n" + std::string(200000, 'y') + "\r\nz";
    testing::TempFolder temp;
    const auto path = temp.path / "long.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    auto r = LineReader::open(path);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->next(), longLine);
    const auto mark = r->tell();
    EXPECT_EQ(r->next()->size(), 200000u);
    EXPECT_EQ(r->next(), "z");
    r->seek(mark);  // far behind the current chunk
    EXPECT_EQ(r->next()->size(), 200000u);
    EXPECT_EQ(r->linesConsumed(), 2);
}

TEST(LineReader, MissingFileIsReported) {
    std::string error;
    EXPECT_FALSE(LineReader::open("/nonexistent/plovix/file.dat", &error).has_value());
    EXPECT_NE(error.find("/nonexistent/plovix/file.dat"), std::string::npos);
}

}  // namespace
}  // namespace plovix

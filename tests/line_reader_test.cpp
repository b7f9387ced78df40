#include <gtest/gtest.h>

#include <filesystem>

#include "support/norvo_files.h"
#include "support/temp_folder.h"
#include "text/line_reader.h"

namespace plovix {
namespace {

using Lines = std::vector<std::string>;

Lines allLines(LineReader& r, bool byLF = false) {
    Lines lines;
    while (auto line = r.next(byLF)) lines.push_back(*line);
    return lines;
}
Lines allLines(const std::string& bytes, bool byLF = false) {
    auto r = LineReader::fromBytes(bytes);
    return allLines(r, byLF);
}

TEST(LineReader, LineEnds) {
    // A carriage return ends a line; a bare line feed stays inside it.
    auto r = LineReader::fromBytes("a\r\nb\rc\nd\r\n\r\ne");
    EXPECT_FALSE(r.readsByLF());
    EXPECT_EQ(allLines(r), (Lines{"a", "b", "c\nd", "", "e"}));
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.next().has_value());
    EXPECT_EQ(r.linesConsumed(), 5);
    // A file without carriage returns is read by line feed.
    EXPECT_TRUE(LineReader::fromBytes("one\ntwo").readsByLF());
    EXPECT_EQ(allLines("one\ntwo\n\nthree"), (Lines{"one", "two", "", "three"}));
    // Read by line feed, carriage returns stay in the lines.
    EXPECT_EQ(allLines("a\r\nb\rc\nlast", true), (Lines{"a\r", "b\rc", "last"}));
    EXPECT_EQ(allLines(""), Lines{});
    EXPECT_EQ(allLines("x\r\n"), Lines{"x"});
    EXPECT_EQ(allLines("\r"), Lines{""});
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

TEST(LineReader, LongLinesAcrossTheReadBufferAndAMissingFile) {
    // A block less one byte, then CR: the LF that completes the ending is the first byte of the
    // next block. The next line is longer than a block.
    const std::string longLine(LineReader::kBlockSize - 1, 'x');
    const std::size_t longer = LineReader::kBlockSize * 3 / 2;
    testing::TempFolder temp;
    const auto path = temp.path / "long.txt";
    testing::writeBytes(path, longLine + "\r\n" + std::string(longer, 'y') + "\r\nz");
    auto r = LineReader::open(path);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->next(), longLine);
    const auto mark = r->tell();
    EXPECT_EQ(r->next()->size(), longer);
    EXPECT_EQ(r->next(), "z");
    r->seek(mark);  // far behind the current block
    EXPECT_EQ(r->next()->size(), longer);
    EXPECT_EQ(r->linesConsumed(), 2);

    std::string error;
    EXPECT_FALSE(LineReader::open("/nonexistent/plovix/file.dat", &error).has_value());
    EXPECT_NE(error.find("/nonexistent/plovix/file.dat"), std::string::npos);
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

}  // namespace
}  // namespace plovix

#pragma once
// Reads a data file line by line, as bytes. A line ends at CR or CR LF (neither kept; a bare
// LF stays inside the line), or, read by line feed, at LF (kept: every character but the LF,
// carriage returns included). A file that holds no CR at all is always read by line feed, so
// files saved on Linux read like their Windows originals. The reader never reads past the end
// of the file: a last line without its ending is returned as it stands.
//
// The reader counts the lines it hands out. A remembered position carries that count, so a
// caller that goes back to it (a header reader that looks ahead) leaves the count exactly as
// it was, and every caller knows how many lines have really been consumed.

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plovix {

class LineReader {
  public:
    struct Position {
        std::uint64_t offset = 0;
        std::int64_t lines = 0;
    };

    // Opens `path` for reading; nullopt (and `error` set) when it cannot be opened.
    static std::optional<LineReader> open(const std::filesystem::path& path,
                                          std::string* error = nullptr);
    // A reader over bytes held in memory.
    static LineReader fromBytes(std::string bytes);

    // The next line; nullopt at the end of the file.
    std::optional<std::string> next(bool byLF = false);
    // True when no byte is left to read.
    bool atEnd();

    Position tell() const { return {bufferStart_ + index_, lines_}; }
    void seek(Position position);
    void rewind() { seek({}); }

    // Lines handed out since the start of the file.
    std::int64_t linesConsumed() const { return lines_; }
    // True when the file holds no CR and is therefore read by line feed.
    bool readsByLF() const { return noCR_; }

  private:
    explicit LineReader(std::unique_ptr<std::istream> in);
    bool fill();  // loads the next chunk; false at end of data
    int peekByte();
    void detectLineEnds();

    std::unique_ptr<std::istream> in_;
    std::vector<char> buffer_;
    std::size_t index_ = 0;          // next byte in buffer_
    std::uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
    std::int64_t lines_ = 0;
    bool noCR_ = false;
};

}  // namespace plovix

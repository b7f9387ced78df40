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
//
// The file is read in large blocks. `nextView` hands out a line as a view into the block, so
// that a pass over a file of a million readings copies nothing; the memory held is two blocks
// (more only for a line longer than a block), whatever the size of the file.

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plovix {

class LineReader {
  public:
    struct Position {
        std::uint64_t offset = 0;
        std::int64_t lines = 0;
    };

    // The size of the blocks the file is read in.
    static constexpr std::size_t kBlockSize = std::size_t{1} << 18;

    // Opens `path` for reading; nullopt (and `error` set) when it cannot be opened.
    static std::optional<LineReader> open(const std::filesystem::path& path,
                                          std::string* error = nullptr);
    // A reader over bytes held in memory.
    static LineReader fromBytes(std::string bytes);

    // The next line; nullopt at the end of the file.
    std::optional<std::string> next(bool byLF = false);
    // The next line as a view into the reader's block. The view stays valid until the next
    // call of next, nextView, seek or rewind (atEnd and tell leave it valid).
    std::optional<std::string_view> nextView(bool byLF = false);
    // True when no byte is left to read.
    bool atEnd() { return index_ >= size_ && !refill(size_); }

    Position tell() const { return {blockStart_ + index_, lines_}; }
    void seek(Position position);
    void rewind() { seek({}); }

    // Lines handed out since the start of the file.
    std::int64_t linesConsumed() const { return lines_; }
    // True when the file holds no CR and is therefore read by line feed.
    bool readsByLF() const { return noCR_; }

  private:
    explicit LineReader(std::unique_ptr<std::istream> in);
    // Reads the next block behind the bytes from `keepFrom` on, which move to the front of
    // the other buffer (the line being cut); false, and nothing changed, at the end of data.
    bool refill(std::size_t keepFrom);
    void detectLineEnds();

    std::unique_ptr<std::istream> in_;
    // Two buffers take turns, so that a view handed out stays valid while the next block is
    // read (atEnd may need to read ahead).
    std::vector<char> block_;
    std::vector<char> spare_;
    std::size_t size_ = 0;          // bytes of block_ in use
    std::size_t index_ = 0;         // next byte in block_
    std::uint64_t blockStart_ = 0;  // file offset of block_[0]
    std::int64_t lines_ = 0;
    bool ended_ = false;  // the stream has no more bytes (until a seek)
    bool noCR_ = false;
};

}  // namespace plovix

#include "text/line_reader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace plovix {

namespace {
constexpr char kCR = '\r';
constexpr char kLF = '\n';

// The first `c` in [from, from + count), or nullptr.
const char* find(const char* from, std::size_t count, char c) {
    if (count == 0) return nullptr;
    return static_cast<const char*>(std::memchr(from, c, count));
}
}  // namespace

LineReader::LineReader(std::unique_ptr<std::istream> in) : in_(std::move(in)) {
    detectLineEnds();
}

std::optional<LineReader> LineReader::open(const std::filesystem::path& path, std::string* error) {
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open()) {
        if (error) *error = "cannot open " + path.string();
        return std::nullopt;
    }
    return LineReader(std::move(file));
}

LineReader LineReader::fromBytes(std::string bytes) {
    return LineReader(std::make_unique<std::istringstream>(std::move(bytes), std::ios::binary));
}

bool LineReader::refill(std::size_t keepFrom) {
    if (ended_) return false;
    const std::size_t kept = size_ - keepFrom;
    // Each read adds at least half a buffer, so a long line is copied a bounded number of times.
    std::size_t capacity = std::max(kBlockSize, spare_.size());
    while (kept > capacity / 2) capacity *= 2;
    if (spare_.size() < capacity) spare_.resize(capacity);
    if (kept > 0) std::memcpy(spare_.data(), block_.data() + keepFrom, kept);
    const std::size_t wanted = capacity - kept;
    in_->read(spare_.data() + kept, static_cast<std::streamsize>(wanted));
    const auto got = static_cast<std::size_t>(in_->gcount());
    if (got < wanted) ended_ = true;  // a short read is the end of the data
    if (got == 0) return false;
    block_.swap(spare_);
    blockStart_ += keepFrom;
    size_ = kept + got;
    index_ -= keepFrom;
    return true;
}

void LineReader::seek(Position position) {
    if (position.offset >= blockStart_ && position.offset <= blockStart_ + size_) {
        index_ = static_cast<std::size_t>(position.offset - blockStart_);
    } else {
        in_->clear();
        in_->seekg(static_cast<std::streamoff>(position.offset));
        size_ = 0;
        index_ = 0;
        blockStart_ = position.offset;
        ended_ = false;
    }
    lines_ = position.lines;
}

void LineReader::detectLineEnds() {
    // Scans until the first CR; a file without one is read by line feed. When the first block
    // holds a CR (the usual case) it stays as the first block read.
    noCR_ = true;
    for (bool first = true;; first = false) {
        index_ = size_;
        if (!refill(size_)) break;
        if (find(block_.data(), size_, kCR) != nullptr) {
            noCR_ = false;
            if (first) return;
            break;
        }
    }
    in_->clear();
    in_->seekg(0);
    size_ = 0;
    index_ = 0;
    blockStart_ = 0;
    ended_ = false;
}

std::optional<std::string_view> LineReader::nextView(bool byLF) {
    if (atEnd()) return std::nullopt;
    const char ending = byLF || noCR_ ? kLF : kCR;
    std::size_t start = index_;
    // Reads the next block behind the line cut so far, which moves to the front.
    const auto more = [&] {
        const std::size_t moved = start;
        if (!refill(start)) return false;
        start -= moved;
        return true;
    };
    std::size_t scan = start;
    std::size_t stop = 0;
    for (;;) {
        if (const char* hit = find(block_.data() + scan, size_ - scan, ending)) {
            stop = static_cast<std::size_t>(hit - block_.data());
            break;
        }
        const std::size_t scanned = size_ - start;
        if (!more()) {
            stop = size_;
            break;
        }
        scan = start + scanned;
    }
    const std::size_t length = stop - start;
    index_ = stop;
    if (stop < size_) {
        ++index_;  // the CR or LF that ends the line
        if (ending == kCR && (index_ < size_ || more()) && block_[index_] == kLF) ++index_;
    }
    ++lines_;
    return std::string_view(block_.data() + start, length);
}

std::optional<std::string> LineReader::next(bool byLF) {
    const auto line = nextView(byLF);
    if (!line) return std::nullopt;
    return std::string(*line);
}

}  // namespace plovix

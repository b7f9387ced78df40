#include "text/line_reader.h"

#include <fstream>
#include <sstream>

namespace plovix {

namespace {
constexpr std::size_t kChunk = 1 << 16;
constexpr char kCR = '\r';
constexpr char kLF = '\n';
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

bool LineReader::fill() {
    bufferStart_ += buffer_.size();
    buffer_.resize(kChunk);
    in_->read(buffer_.data(), static_cast<std::streamsize>(kChunk));
    buffer_.resize(static_cast<std::size_t>(in_->gcount()));
    index_ = 0;
    return !buffer_.empty();
}

int LineReader::peekByte() {
    if (index_ >= buffer_.size() && !fill()) return -1;
    return static_cast<unsigned char>(buffer_[index_]);
}

bool LineReader::atEnd() {
    return peekByte() < 0;
}

void LineReader::seek(Position position) {
    if (position.offset >= bufferStart_ && position.offset <= bufferStart_ + buffer_.size()) {
        index_ = static_cast<std::size_t>(position.offset - bufferStart_);
    } else {
        in_->clear();
        in_->seekg(static_cast<std::streamoff>(position.offset));
        buffer_.clear();
        bufferStart_ = position.offset;
        index_ = 0;
    }
    lines_ = position.lines;
}

void LineReader::detectLineEnds() {
    // Scans until the first CR; a file without one is read by line feed.
    noCR_ = true;
    while (fill()) {
        for (char c : buffer_) {
            if (c == kCR) {
                noCR_ = false;
                break;
            }
        }
        if (!noCR_) break;
    }
    in_->clear();
    in_->seekg(0);
    buffer_.clear();
    bufferStart_ = 0;
    index_ = 0;
}

std::optional<std::string> LineReader::next(bool byLF) {
    if (atEnd()) return std::nullopt;
    const bool lineFeedEnds = byLF || noCR_;
    std::string line;
    for (;;) {
        if (index_ >= buffer_.size() && !fill()) break;
        // Copy the run of ordinary bytes in one go.
        const char* begin = buffer_.data() + index_;
        const char* end = buffer_.data() + buffer_.size();
        const char* stop = begin;
        if (lineFeedEnds) {
            while (stop != end && *stop != kLF) ++stop;
        } else {
            while (stop != end && *stop != kCR) ++stop;
        }
        line.append(begin, stop);
        index_ += static_cast<std::size_t>(stop - begin);
        if (stop == end) continue;
        ++index_;  // the CR or LF that ends the line
        if (!lineFeedEnds && peekByte() == kLF) ++index_;
        break;
    }
    ++lines_;
    return line;
}

}  // namespace plovix

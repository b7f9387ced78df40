#include "app/ini_file.h"

#include "app/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace plovix {

namespace fs = std::filesystem;

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isQuote(char c) {
    return c == '"' || c == '\'';
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlankLine(std::string_view line) {
    return trim(line).empty();
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// The name of a section header line ("[name]", blanks allowed around the name).
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    const auto close = line.find(']');
    if (close != std::string_view::npos) line = line.substr(0, close);
    return trim(line);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// A "key=value" line; comments, headers and lines without "=" are not keys.
std::optional<KeyLine> keyLine(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[')
        return std::nullopt;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const auto key = trim(line.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return KeyLine{key, trim(line.substr(eq + 1))};
}

std::string cutToBuffer(std::string_view value) {
    return std::string(value.substr(0, std::min(value.size(), kIniValueMax)));
}

std::error_code lastError() {
    return {errno, std::system_category()};
}

}  // namespace

std::error_code IniFile::load(const fs::path& path) {
    lines_.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return {};
        return lastError();
    }
    std::string bytes;
    char buffer[8192];
    std::error_code error;
    for (;;) {
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = lastError();  // EISDIR for a folder lands here
            break;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!error) setText(bytes);
    return error;
}

std::error_code IniFile::save(const fs::path& path) const {
    return writeFileAtomically(path, text());
}

void IniFile::setText(std::string_view bytes) {
    lines_.clear();
    // Left in the first line, the mark would hide the section that starts the file.
    byteOrderMark_ = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (byteOrderMark_) bytes.remove_prefix(kByteOrderMark.size());
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines_.emplace_back(bytes.substr(start));
            break;
        }
        lines_.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
}

std::string IniFile::text() const {
    // Kept, since the lines are kept byte for byte and it still says how to read them.
    std::string out(byteOrderMark_ ? kByteOrderMark : std::string_view{});
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i]);
        if (name && sameName(*name, section)) return i;
    }
    return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !sectionName(lines_[i])) ++i;
    return i;
}

std::optional<std::size_t> IniFile::findKey(std::size_t header, std::string_view key) const {
    const auto end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto line = keyLine(lines_[i]);
        if (line && sameName(line->key, key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
    const auto header = findSection(section);
    if (!header) return std::nullopt;
    const auto index = findKey(*header, key);
    if (!index) return std::nullopt;
    auto value = keyLine(lines_[*index])->value;
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return cutToBuffer(value);
}

std::string IniFile::getOr(std::string_view section, std::string_view key,
                           std::string_view fallback) const {
    auto value = get(section, key);
    return value ? std::move(*value) : cutToBuffer(fallback);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    std::string line = std::string(key) + "=" + std::string(value);

    const auto header = findSection(section);
    if (!header) {
        if (!lines_.empty() && !isBlankLine(lines_.back())) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
        return;
    }
    if (const auto index = findKey(*header, key)) {
        lines_[*index] = std::move(line);
        return;
    }
    // After the last non-blank line, so the blank line that separates sections stays between.
    std::size_t last = *header;
    const auto end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (!isBlankLine(lines_[i])) last = i;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), std::move(line));
}

void IniFile::setExact(std::string_view section, std::string_view key, std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    // Reading trims blanks and removes one pair of quotes before it cuts to 127 characters, so
    // the enclosing quotes never count against the limit.
    if (!value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                           isQuote(value.front()) || isQuote(value.back()))) {
        set(section, key, "\"" + std::string(value) + "\"");
        return;
    }
    set(section, key, value);
}

}  // namespace plovix

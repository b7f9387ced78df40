#include "text/fields.h"

#include <algorithm>
#include <string>

namespace plovix {

namespace {

constexpr char kTab = '\t';
constexpr char kCR = '\r';
constexpr char kItem255 = static_cast<char>(255);

bool isBlank(char c) {
    return c == ' ';
}

// Finds column k's [start, end) when columns end at `separator`, or (when endAtCR) at a CR
// standing before the next separator.
bool findColumn(std::string_view line, long long k, char separator, bool endAtCR,
                std::size_t& start, std::size_t& end) {
    if (k < 1) return false;
    std::size_t pos = 0;
    for (long long col = 1;; ++col) {
        if (pos > line.size()) return false;
        std::size_t stop = line.find(separator, pos);
        if (stop == std::string_view::npos && endAtCR) stop = line.find(kCR, pos);
        if (stop == std::string_view::npos) stop = line.size();
        if (col == k) {
            start = pos;
            end = stop;
            return true;
        }
        pos = stop + 1;
    }
}

}  // namespace

std::string_view blanksTrimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string trimBlanks(std::string_view text) {
    return std::string(blanksTrimmed(text));
}

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string_view separatedFieldView(long long k, std::string_view line, char separator) {
    std::size_t start = 0, end = 0;
    if (!findColumn(line, k, separator, true, start, end)) return {};
    return blanksTrimmed(line.substr(start, end - start));
}

std::string separatedField(long long k, std::string_view line, char separator) {
    return std::string(separatedFieldView(k, line, separator));
}

std::string fListItem(std::string_view list, long long k, bool commaMode) {
    char separator = ',';
    if (commaMode) {
        if (!list.empty() && list.front() == ',') list.remove_prefix(1);
    } else if (list.find(kItem255) != std::string_view::npos) {
        separator = kItem255;
    } else if (list.find(kCR) != std::string_view::npos) {
        separator = kCR;
    } else {
        separator = kTab;
    }
    std::size_t start = 0, end = 0;
    if (!findColumn(list, k, separator, false, start, end) || end <= start) return "";
    return std::string(list.substr(start, end - start));
}

int fListPos(std::string_view value, std::string_view list) {
    std::string wrapped(list);
    if (wrapped.empty() || wrapped.front() != ',') wrapped.insert(wrapped.begin(), ',');
    if (wrapped.back() != ',') wrapped.push_back(',');
    std::string needle(1, ',');
    needle.append(value).push_back(',');
    int position = 0;
    for (std::size_t comma = 0; comma != std::string::npos && comma + 1 < wrapped.size();
         comma = wrapped.find(',', comma + 1)) {
        ++position;
        if (wrapped.compare(comma, needle.size(), needle) == 0) return position;
    }
    return 0;
}

int fListPos(long long value, std::string_view list) {
    return fListPos(std::to_string(value), list);
}

std::string fSplitPath(std::string_view path, int part) {
    if (path.size() < 2) return "";
    const std::size_t last = path.find_last_of("\\/");
    if (part == 0) {
        if (last == std::string_view::npos) return "";
        return std::string(path.substr(0, std::max<std::size_t>(last + 1, 2)));
    }
    if (part == 1) {
        std::string name(last == std::string_view::npos ? path : path.substr(last + 1));
        if (name.find('.') == std::string::npos) name += ".NDT";
        return name;
    }
    return "";
}

std::string_view quotesStripped(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return blanksTrimmed(text);
}

std::string fStripQuotes(std::string_view text) {
    return std::string(quotesStripped(text));
}

namespace {

std::size_t leadingNonBlanks(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && !isBlank(text[n])) ++n;
    return n;
}

std::size_t leadingBlanks(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && isBlank(text[n])) ++n;
    return n;
}

}  // namespace

void SkipWord(std::string& text) {
    text.erase(0, leadingNonBlanks(text));
}

void SkipWord(std::string_view& text) {
    text.remove_prefix(leadingNonBlanks(text));
}

void SkipBlanks(std::string& text) {
    text.erase(0, leadingBlanks(text));
}

void SkipBlanks(std::string_view& text) {
    text.remove_prefix(leadingBlanks(text));
}

long long fFirstBlank(std::string_view text) {
    const std::size_t p = text.find(' ');
    if (p == std::string_view::npos) return static_cast<long long>(text.size());
    return static_cast<long long>(p) + 1;
}

double fMin(double a, double b) {
    return a >= b ? b : a;
}
double fMax(double a, double b) {
    return a > b ? a : b;
}

}  // namespace plovix

#include "filter/time_stamps.h"

#include <cmath>

namespace plovix {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void skip() { ++pos_; }
    // Blanks skipped; true when there was at least one.
    bool skipBlanks() {
        const std::size_t start = pos_;
        while (!atEnd() && isBlank(peek())) ++pos_;
        return pos_ > start;
    }
    // A run of at most `maxDigits` digits; `digits` is how many there were (0: none).
    int number(int maxDigits, int& digits) {
        int value = 0;
        digits = 0;
        while (!atEnd() && isDigit(peek())) {
            if (++digits > maxDigits) return -1;
            value = value * 10 + (peek() - '0');
            ++pos_;
        }
        return value;
    }
    // True (and consumed) when the rest starts with `word`, in any letter case.
    bool word(std::string_view w) {
        if (text_.size() - pos_ < w.size()) return false;
        for (std::size_t i = 0; i < w.size(); ++i)
            if (upper(text_[pos_ + i]) != w[i]) return false;
        pos_ += w.size();
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1 January 1970 of a date of the proleptic Gregorian calendar.
constexpr std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The platform's day zero, 30 December 1899, in days from 1970.
constexpr std::int64_t kDayZero = daysFromCivil(1899, 12, 30);

// H:MM[:SS] with an optional AM or PM, to the end of the text.
std::optional<std::int64_t> readTime(Cursor& c) {
    int digits = 0;
    int hour = c.number(2, digits);
    if (digits == 0 || hour < 0 || c.peek() != ':') return std::nullopt;
    c.skip();
    const int minute = c.number(2, digits);
    if (digits == 0 || minute < 0) return std::nullopt;
    int second = 0;
    if (c.peek() == ':') {
        c.skip();
        second = c.number(2, digits);
        if (digits == 0 || second < 0) return std::nullopt;
    }
    c.skipBlanks();
    const bool am = c.word("AM");
    const bool pm = !am && c.word("PM");
    c.skipBlanks();
    if (!c.atEnd()) return std::nullopt;
    if (am || pm) {
        if (hour > 12) return std::nullopt;
        if (hour == 12) hour = 0;
        if (pm) hour += 12;
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}

// One- and two-digit years are read in the window 1930-2029.
int windowedYear(int year, int digits) {
    if (digits == 4) return year;
    if (digits > 2) return -1;
    return year < 30 ? 2000 + year : 1900 + year;
}

}  // namespace

std::optional<double> fTimeStampSeconds(std::string_view text) {
    Cursor c(text);
    c.skipBlanks();
    int digits1 = 0;
    const int first = c.number(4, digits1);
    if (digits1 == 0 || first < 0) return std::nullopt;

    if (c.peek() == ':') {
        Cursor timeOnly(text);
        timeOnly.skipBlanks();
        const auto seconds = readTime(timeOnly);
        if (!seconds) return std::nullopt;
        return static_cast<double>(*seconds);
    }

    const char separator = c.peek();
    if (separator != '/' && separator != '-') return std::nullopt;
    c.skip();
    int digits2 = 0;
    const int second = c.number(2, digits2);
    if (digits2 == 0 || second < 0 || c.peek() != separator) return std::nullopt;
    c.skip();
    int digits3 = 0;
    const int third = c.number(4, digits3);
    if (digits3 == 0 || third < 0) return std::nullopt;

    int year, month, day;
    if (digits1 == 4) {  // Y-M-D
        if (digits3 > 2) return std::nullopt;
        year = first, month = second, day = third;
    } else {  // M/D/Y
        if (digits1 > 2) return std::nullopt;
        month = first, day = second, year = windowedYear(third, digits3);
    }
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month))
        return std::nullopt;

    std::int64_t timeOfDay = 0;
    const bool blank = c.skipBlanks();
    if (!c.atEnd()) {
        if (!blank) return std::nullopt;
        const auto seconds = readTime(c);
        if (!seconds) return std::nullopt;
        timeOfDay = *seconds;
    }
    const std::int64_t days = daysFromCivil(year, month, day) - kDayZero;
    return static_cast<double>(days * kSecondsPerDay + timeOfDay);
}

bool fIsDate(std::string_view text) {
    return fTimeStampSeconds(text).has_value();
}

std::int64_t fSecondsBetween(std::string_view from, std::string_view to) {
    const auto a = fTimeStampSeconds(from);
    if (!a) throw DateTypeMismatch{std::string(from)};
    const auto b = fTimeStampSeconds(to);
    if (!b) throw DateTypeMismatch{std::string(to)};
    return static_cast<std::int64_t>(std::llround(*b - *a));
}

std::string fCleanDate(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char ch : value)
        if (ch != '.') out += ch;
    return out;
}

}  // namespace plovix

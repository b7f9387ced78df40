#include "text/number_reading.h"

#include <charconv>
#include <limits>
#include <string>

namespace plovix {

namespace {

bool isIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks the text, skipping ignored characters, and copies the accepted number into `out` in
// the form std::from_chars takes: [-]digits[.digits][e[-]digits].
class NumberScanner {
  public:
    explicit NumberScanner(std::string_view text) : text_(text) {}

    char peek() {
        while (pos_ < text_.size() && isIgnored(text_[pos_])) ++pos_;
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }
    void take() { ++pos_; }
    std::size_t mark() const { return pos_; }
    void reset(std::size_t pos) { pos_ = pos; }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

double readNumber(std::string_view text) {
    NumberScanner in(text);
    std::string mantissa;
    bool negative = false;
    if (char c = in.peek(); c == '+' || c == '-') {
        negative = c == '-';
        in.take();
    }
    bool digits = false;
    while (isDigit(in.peek())) {
        mantissa += in.peek();
        in.take();
        digits = true;
    }
    if (in.peek() == '.') {
        in.take();
        mantissa += '.';
        while (isDigit(in.peek())) {
            mantissa += in.peek();
            in.take();
            digits = true;
        }
    }
    if (!digits) return 0.0;

    // The exponent counts only when at least one digit follows its letter and sign.
    std::string exponent;
    if (char c = in.peek(); c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        const std::size_t before = in.mark();
        in.take();
        std::string e;
        if (char s = in.peek(); s == '+' || s == '-') {
            if (s == '-') e += '-';
            in.take();
        }
        bool expDigits = false;
        while (isDigit(in.peek())) {
            e += in.peek();
            in.take();
            expDigits = true;
        }
        if (expDigits)
            exponent = e;
        else
            in.reset(before);
    }

    std::string number = mantissa;
    if (number.front() == '.') number.insert(number.begin(), '0');
    if (!exponent.empty()) number += "e" + exponent;

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small: tell them apart by the decimal magnitude.
        const std::size_t point = mantissa.find('.');
        const std::string whole = mantissa.substr(0, point);
        const std::size_t firstSignificant = whole.find_first_not_of('0');
        long long magnitude = 0;
        if (firstSignificant != std::string::npos) {
            magnitude = static_cast<long long>(whole.size() - firstSignificant);
        } else if (point != std::string::npos) {
            const std::size_t firstFraction = mantissa.find_first_not_of('0', point + 1);
            magnitude = firstFraction == std::string::npos
                            ? std::numeric_limits<int>::min()
                            : -static_cast<long long>(firstFraction - point - 1);
        }
        long long exp = 0;
        const auto expRead =
            std::from_chars(exponent.data(), exponent.data() + exponent.size(), exp);
        if (expRead.ec == std::errc::result_out_of_range)  // an exponent of absurd length
            exp = exponent.front() == '-' ? std::numeric_limits<int>::min()
                                          : std::numeric_limits<int>::max();
        value = magnitude + exp > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    if (value == 0.0) return 0.0;  // no negative zero
    return negative ? -value : value;
}

}  // namespace plovix

#include "text/number_reading.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
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
// Gathers the digits from `p` on into `digits`, passing over ignored characters, up to the
// first other character; returns how many there were. Past 19 digits `digits` wraps, and the
// caller reads the number in full.
std::ptrdiff_t takeDigits(const char*& p, const char* end, std::uint64_t& digits) {
    std::ptrdiff_t count = 0;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
        if (digit <= 9) {
            digits = digits * 10 + digit;
            ++count;
        } else if (!isIgnored(*p)) {
            break;
        }
    }
    return count;
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

// The full reading, for the numbers the quick one leaves: more than 19 significant digits, or
// a value that one multiplication or division cannot give exactly rounded.
double readNumberInFull(std::string_view text) {
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

using number_reading_detail::kExactPowers;
using number_reading_detail::kLargestExactInteger;
using number_reading_detail::kLargestExactPower;
using number_reading_detail::kMostDigits;
constexpr int kLongestExponent = 100000;  // beyond it, the full reading tells 0 from infinity

}  // namespace

// The digits are gathered into a whole number and a power of ten. When both are exact in a
// double, one multiplication or division rounds the value correctly, as std::from_chars does;
// anything else goes the full way.
double readNumber(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    // Nearly every number of a reading is nothing but a sign, digits and one point (the
    // blank-separated readers hand over their words without the blank after them): such a
    // text is read in one go; any other is left to the full rule below.
    if (double value = 0; readPlainDecimal(p, end, value) == end) return value;
    while (p != end && isIgnored(*p)) ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // The digits, leading zeros included, as one whole number; `fraction` of them follow the
    // point.
    std::uint64_t digits = 0;
    const std::ptrdiff_t integral = takeDigits(p, end, digits);
    std::ptrdiff_t fraction = 0;
    if (p != end && *p == '.') fraction = takeDigits(++p, end, digits);
    const std::ptrdiff_t count = integral + fraction;
    if (count > kMostDigits) return readNumberInFull(text);
    if (count == 0) return 0.0;
    int exponent = -static_cast<int>(fraction);
    if (p != end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
        // The exponent counts only when at least one digit follows its letter and sign.
        ++p;
        while (p != end && isIgnored(*p)) ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        int value = 0;
        bool expDigits = false;
        for (; p != end; ++p) {
            const char c = *p;
            if (isDigit(c)) {
                if (value > kLongestExponent) return readNumberInFull(text);
                value = value * 10 + (c - '0');
                expDigits = true;
            } else if (!isIgnored(c)) {
                break;
            }
        }
        if (expDigits) exponent += negativeExponent ? -value : value;
    }
    if (digits == 0) return 0.0;
    if (digits > kLargestExactInteger || exponent > kLargestExactPower ||
        exponent < -kLargestExactPower)
        return readNumberInFull(text);
    const double number = static_cast<double>(digits);
    const double value =
        exponent >= 0 ? number * kExactPowers[exponent] : number / kExactPowers[-exponent];
    return negative ? -value : value;
}

}  // namespace plovix

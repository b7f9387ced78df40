#pragma once
// The one rule by which the system reads a number from text: the number at the start of the
// text; blanks, tabs and line feeds are ignored wherever they stand ("1 2" reads as 12); an
// optional sign, digits, one decimal point and an exponent introduced by E or D; reading stops
// at the first other character; text that does not begin with a number reads as 0.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plovix {

// The number at the start of `text`. A number too large for a double gives +/-infinity, which
// callers that must refuse it test with std::isfinite; one too small to hold gives 0.
double readNumber(std::string_view text);

namespace number_reading_detail {
// Powers of ten that a double holds exactly.
inline constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::ptrdiff_t kLargestExactPower = 22;
inline constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;
inline constexpr std::ptrdiff_t kMostDigits = 19;  // what a 64-bit integer holds
}  // namespace number_reading_detail

// The commonest form of a number, an optional sign, digits and at most one point, read from
// `p` on: returns where that form ends, with `value` the number that readNumber gives for the
// text up to there; nullptr when there are no digits, or more digits or decimals than one
// exact division takes (readNumber then reads the number in full). The caller checks that
// nothing else of a number follows.
inline const char* readPlainDecimal(const char* p, const char* end, double& value) {
    using namespace number_reading_detail;
    const bool negative = p != end && *p == '-';
    if (negative || (p != end && *p == '+')) ++p;
    const char* const first = p;
    std::uint64_t digits = 0;
    const auto takeDigits = [&] {
        for (; p != end; ++p) {
            const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
            if (digit > 9) break;
            digits = digits * 10 + digit;
        }
    };
    takeDigits();
    std::ptrdiff_t fraction = 0;
    std::ptrdiff_t count = p - first;
    if (p != end && *p == '.') {
        const char* const point = p++;
        takeDigits();
        fraction = p - point - 1;
        count += fraction;
    }
    if (count == 0 || count > kMostDigits || digits > kLargestExactInteger ||
        fraction > kLargestExactPower)
        return nullptr;
    // Both exact in a double: one division rounds correctly, as the full reading does.
    const double magnitude = static_cast<double>(digits) / kExactPowers[fraction];
    value = digits == 0 ? 0.0 : negative ? -magnitude : magnitude;  // no negative zero
    return p;
}

}  // namespace plovix

#include "text/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "text/number_reading.h"

namespace plovix {

namespace {

// A value as the old program saw it: 15 significant decimal digits. value = 0.digits x 10^intLen,
// i.e. `intLen` digits stand before the decimal point (none, or zeros, when it is <= 0).
struct Decimal {
    std::string digits;
    int intLen = 0;
};

// Rounding is done on this decimal form, never on the binary double, so that 2.675 rounds to
// 2.68 as it did in the old program.
Decimal toDecimal(double magnitude) {
    magnitude = std::fabs(magnitude);  // -0 included
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    // "d.dddddddddddddde+XX": 15 significant digits
    const std::size_t e = text.find('e');
    Decimal d;
    d.digits.reserve(15);
    for (char c : text.substr(0, e))
        if (c != '.') d.digits += c;
    int exponent = 0;
    const char* first = buf + e + 2;
    std::from_chars(first, res.ptr, exponent);
    if (text[e + 1] == '-') exponent = -exponent;
    d.intLen = exponent + 1;
    return d;
}

// Rounds half away from zero to `decimals` places.
void roundTo(Decimal& d, int decimals) {
    const int keep = d.intLen + decimals;
    if (keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (!up) return;
    for (auto it = d.digits.rbegin(); it != d.digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    d.digits.insert(d.digits.begin(), '1');
    ++d.intLen;
}

char digitAt(const Decimal& d, int index) {
    if (index < 0 || index >= static_cast<int>(d.digits.size())) return '0';
    return d.digits[static_cast<std::size_t>(index)];
}

// The integer digits without leading zeros ("" for a value below 1).
std::string integerDigits(const Decimal& d) {
    std::string out;
    for (int i = 0; i < d.intLen; ++i) {
        const char c = digitAt(d, i);
        if (out.empty() && c == '0') continue;
        out += c;
    }
    return out;
}

std::string nonFinite(double value) {
    if (std::isnan(value)) return "-1.#IND";
    return value < 0 ? "-1.#INF" : "1.#INF";
}

bool isPlaceholder(char c) {
    return c == '0' || c == '#';
}

// Lays `magnitude` into one section of a picture. Literals stay where they stand; integer
// digits fill the integer placeholders from the right, any surplus going to the first one.
std::string layOut(double magnitude, std::string_view section) {
    const std::size_t point = section.find('.');
    const std::string_view intPart = section.substr(0, point);
    const std::string_view fracPart =
        point == std::string_view::npos ? std::string_view{} : section.substr(point + 1);

    int intSlots = 0;
    int forced = 0;  // a '0' forces a digit there and in every placeholder to its right
    for (char c : intPart) {
        if (!isPlaceholder(c)) continue;
        ++intSlots;
        if (c == '0' || forced > 0) ++forced;
    }
    int fracSlots = 0;
    int fracMinimum = 0;  // up to the last '0', fraction digits are written even when zero
    for (char c : fracPart) {
        if (!isPlaceholder(c)) continue;
        ++fracSlots;
        if (c == '0') fracMinimum = fracSlots;
    }

    Decimal d = toDecimal(magnitude);
    roundTo(d, fracSlots);
    std::string intDigits = integerDigits(d);
    if (static_cast<int>(intDigits.size()) < forced)
        intDigits.insert(0, static_cast<std::size_t>(forced) - intDigits.size(), '0');
    int fracShown = fracMinimum;
    for (int i = 0; i < fracSlots; ++i)
        if (digitAt(d, d.intLen + i) != '0') fracShown = std::max(fracShown, i + 1);

    std::string out;
    const int offset = intSlots - static_cast<int>(intDigits.size());
    int slot = 0;
    for (char c : intPart) {
        if (!isPlaceholder(c)) {
            out += c;
            continue;
        }
        if (slot == 0 && offset < 0) {
            out += intDigits.substr(0, static_cast<std::size_t>(1 - offset));
        } else if (slot - offset >= 0) {
            out += intDigits[static_cast<std::size_t>(slot - offset)];
        }
        ++slot;
    }
    if (point == std::string_view::npos) return out;

    if (intSlots == 0) out += intDigits;
    out += '.';
    slot = 0;
    for (char c : fracPart) {
        if (!isPlaceholder(c)) {
            out += c;
            continue;
        }
        if (slot < fracShown) out += digitAt(d, d.intLen + slot);
        ++slot;
    }
    return out;
}

}  // namespace

std::string formatGeneralNumber(double value) {
    if (!std::isfinite(value)) return nonFinite(value);
    if (value == 0) return "0";  // also -0, which the old program printed unsigned

    const Decimal d = toDecimal(std::fabs(value));
    std::string mantissa = d.digits;
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
    const int exponent = d.intLen - 1;
    const int length = static_cast<int>(mantissa.size());

    std::string out = value < 0 ? "-" : "";
    if (exponent >= -4 && exponent <= 14) {
        if (d.intLen <= 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-d.intLen), '0');
            out += mantissa;
        } else if (d.intLen >= length) {
            out += mantissa;
            out.append(static_cast<std::size_t>(d.intLen - length), '0');
        } else {
            out += mantissa.substr(0, static_cast<std::size_t>(d.intLen));
            out += '.';
            out += mantissa.substr(static_cast<std::size_t>(d.intLen));
        }
        return out;
    }

    out += mantissa[0];
    if (length > 1) {
        out += '.';
        out += mantissa.substr(1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
    return out;
}

std::string formatRoundTripNumber(double value) {
    std::string text = formatGeneralNumber(value);
    if (!std::isfinite(value) || readNumber(text) == value) return text;
    // The shortest digits that read back exactly, plain or with an exponent, whichever is
    // shorter; the exponent letter as "General Number" writes it.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.assign(buffer, result.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

std::string formatPrintedNumber(double value) {
    std::string text = formatGeneralNumber(value);
    if (value >= 0) text.insert(text.begin(), ' ');
    return text;
}

std::string formatPicture(double value, std::string_view picture) {
    if (!std::isfinite(value) || picture.empty()) return formatGeneralNumber(value);

    // Sections past the second (zero and null in the old program) are not used by the system.
    const std::size_t split = picture.find(';');
    const std::string_view positive = picture.substr(0, split);
    std::string_view negative;
    if (split != std::string_view::npos) {
        negative = picture.substr(split + 1);
        negative = negative.substr(0, negative.find(';'));
    }

    if (value >= 0) {
        if (positive.empty()) return formatGeneralNumber(value);
        return layOut(value, positive);
    }
    // An empty negative section means "as the positive one", with the minus in front.
    if (!negative.empty()) return layOut(-value, negative);
    if (positive.empty()) return formatGeneralNumber(value);
    return "-" + layOut(-value, positive);
}

std::string formatTextPicture(std::string_view text, std::string_view picture) {
    const auto slots = static_cast<std::size_t>(std::count(picture.begin(), picture.end(), '@'));
    if (slots == 0) return std::string(text);
    const bool fromLeft = picture.find('!') != std::string_view::npos;

    // One string per placeholder; a text longer than the placeholders puts its surplus in the
    // first one (filling from the right) or the last one (filling from the left).
    std::string filled(text);
    if (filled.size() < slots) {
        if (fromLeft)
            filled.append(slots - filled.size(), ' ');
        else
            filled.insert(0, slots - filled.size(), ' ');
    }
    const std::size_t surplus = filled.size() - slots;

    std::string out;
    std::size_t pos = 0;
    std::size_t slot = 0;
    for (char c : picture) {
        if (c == '!') continue;
        if (c != '@') {
            out += c;
            continue;
        }
        const bool wide = fromLeft ? slot == slots - 1 : slot == 0;
        const std::size_t width = wide ? surplus + 1 : 1;
        out.append(filled, pos, width);
        pos += width;
        ++slot;
    }
    return out;
}

std::int64_t roundHalfEven(double value) {
    using Limits = std::numeric_limits<std::int64_t>;
    if (std::isnan(value)) return 0;
    constexpr double kTwo63 = 9223372036854775808.0;
    if (value >= kTwo63) return Limits::max();
    if (value < -kTwo63) return Limits::min();

    // Exact: below 2^52 the fraction is representable, above it there is none.
    const double below = std::floor(value);
    const double fraction = value - below;
    double result = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0)) result = below + 1;
    return static_cast<std::int64_t>(result);
}

}  // namespace plovix

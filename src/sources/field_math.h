#pragma once
// Arithmetic of the field extraction with the old platform's failures: a division by zero, or
// a result too large for a double, is an error that `fGetField` reports and survives, never an
// infinity that travels on into the Norvo file.

#include <cmath>
#include <string_view>

#include "app/session.h"
#include "text/line_columns.h"

namespace plovix {

struct FieldError {
    int number;
    const char* description;
};

inline constexpr FieldError kOverflow{6, "Overflow"};
inline constexpr FieldError kDivisionByZero{11, "Division by zero"};

// A field number the source does not know.
struct UnsupportedField {};

// The number at the start of `text`; too large a number is an overflow.
double fieldNumber(std::string_view text);
// A number already read from a field, with the same check.
inline double finiteNumber(double value) {
    if (!std::isfinite(value)) throw kOverflow;
    return value;
}

double checkedSub(double a, double b);
double checkedMul(double a, double b);
// x / 0 is a division by zero, 0 / 0 an overflow, as the old platform had it.
double checkedDiv(double a, double b);

// The number of column `c` of a separated line.
double columnNumber(const Session& s, const LineColumns& line, long long c);
// The same with the column's enclosing quotes removed (Humboldt, EnKay and ELE/SoilTest quote
// their values).
double quotedColumnNumber(const Session& s, const LineColumns& line, long long c);

// (raw - zero) x factor / divisor, with the calibration constants of `channel`.
double calibrated(double raw, const CalTable& cal, CalChannel channel);

}  // namespace plovix

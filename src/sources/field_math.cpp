#include "sources/field_math.h"

#include <cmath>

#include "sources/columns.h"
#include "text/fields.h"
#include "text/number_reading.h"

namespace plovix {

namespace {
double finite(double v) {
    if (!std::isfinite(v)) throw kOverflow;
    return v;
}
}  // namespace

double fieldNumber(std::string_view text) {
    return finite(readNumber(text));
}

double checkedSub(double a, double b) {
    return finite(a - b);
}

double checkedMul(double a, double b) {
    return finite(a * b);
}

double checkedDiv(double a, double b) {
    if (b == 0.0) throw a == 0.0 ? kOverflow : kDivisionByZero;
    return finite(a / b);
}

double columnNumber(const Session& s, const LineColumns& line, long long c) {
    return finite(line.columnNumber(c, columnSeparator(s)));
}

double quotedColumnNumber(const Session& s, const LineColumns& line, long long c) {
    return finite(line.quotedColumnNumber(c, columnSeparator(s)));
}

double calibrated(double raw, const CalTable& cal, CalChannel channel) {
    return checkedDiv(checkedMul(checkedSub(raw, cal(channel, kCalZero)), cal(channel, kCalFactor)),
                      cal(channel, kCalDivisor));
}

}  // namespace plovix

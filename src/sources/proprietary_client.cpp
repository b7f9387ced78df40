// Proprietary Client: TAB-separated readings with raw channel values; the header gives each
// channel's calibration (zero, factor, divisor).

#include "sources/field_math.h"
#include "sources/source_layouts.h"
#include "text/fields.h"

namespace plovix {

FieldValue proprietaryClientField(Session& s, std::string_view line, int n) {
    const CalTable& cal = s.header.Cal;
    auto column = [&](int c) { return fieldNumber(fTabField(s, c, line)); };
    switch (n) {
        case 1:
            return FieldValue::number(calibrated(column(3), cal, CalChannel::Disp));
        case 2:
            return FieldValue::number(calibrated(column(2), cal, CalChannel::Load));
        case 3:
            return FieldValue::number(calibrated(column(4), cal, CalChannel::Aux));
        case 4:
            return FieldValue::text(fTabField(s, 1, line));
        case 5:
            return FieldValue::number(column(5));
        default:
            throw UnsupportedField{};
    }
}

}  // namespace plovix

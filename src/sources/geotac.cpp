// A file of this layout (tests/data/geotac/v521_ds.SDF; \t a TAB character):
//
//    GEOTAC Direct Shear Data Acquisition   line 2, the version line (here of no known version)
//    DigiShear Version 5.2.1                line 3, where such a file states its version
//    [SENSORS]
//    Name\tHorizontal\tShear Load\tVertical\tNormal Load
//    ...
//    Units\tin\tlbs\tin\tlbs
//    Factor\t1\t2\t1\t1
//    [READINGS]
//    ...
//    Time\tHorizontal\tShear Load\tVertical\tNormal Load
//    10:00:00 AM\t0\t0.5\t0.5\t50
//
// GEOTAC: TAB-separated readings. Triaxial tests read calibrated channels (or platen
// displacements already in engineering units in the known versions); direct shear reads the
// shear channels, a load ring, and the vertical displacement against its zero.

#include "sources/field_math.h"
#include "sources/source_layouts.h"
#include "text/fields.h"

namespace plovix {

namespace {

// The columns and the displacement's conversion were chosen by the header reader
// (HeaderValues::Reading); nothing here depends on the generation.
FieldValue triaxialField(const Session& s, FieldState& state, const LineColumns& line, int n) {
    const HeaderValues& h = s.header;
    const ReadingColumns& c = h.Reading;
    const Settings& set = s.settings;
    const int test = s.program.TestType;
    auto column = [&](int k) { return columnNumber(s, line, k); };
    switch (n) {
        case 1: {
            if (c.dispOverFactor) {
                const double v = checkedDiv(column(c.disp), h.Cal(CalChannel::Disp, kCalFactor));
                return FieldValue::number(set.GEOTACCSUCCV ? -v : v);
            }
            const double r = column(c.disp);
            // A zero of exactly -1 asks for the first displacement read to become the zero.
            double zero = h.Cal(CalChannel::Disp, kCalZero);
            if (zero == -1.0) {
                // Until a first displacement other than -1 is read, the next one is taken.
                if (state.firstDisplacement.value_or(-1.0) == -1.0) state.firstDisplacement = r;
                zero = *state.firstDisplacement;
            }
            const double scale = -checkedDiv(h.Cal(CalChannel::Disp, kCalFactor),
                                             h.Cal(CalChannel::Disp, kCalDivisor));
            const double v = checkedMul(checkedSub(r, zero), scale);
            const bool negate = (test == kUnconfinedCompression && set.GEOTACCSUCCV) ||
                                (test > kUnconfinedCompression && set.GEOTACCS);
            return FieldValue::number(negate ? -v : v);
        }
        case 2:
            return FieldValue::number(checkedSub(
                calibrated(column(c.load), h.Cal, CalChannel::Load), fieldNumber(h.PistonWeight)));
        case 3: {
            const double r = column(c.aux);
            if (test == kConsolidatedDrained)
                return FieldValue::number(checkedDiv(r, h.Cal(CalChannel::Aux, kCalFactor)));
            return FieldValue::number(calibrated(r, h.Cal, CalChannel::Aux));
        }
        case 4:
            return FieldValue::text(std::string(tabColumn(s, 1, line)));
        case 5:
            if (c.cell == kNoColumn) return FieldValue::none();
            return FieldValue::number(calibrated(column(c.cell), h.Cal, CalChannel::Cell));
        default:
            throw UnsupportedField{};
    }
}

FieldValue directShearField(const Session& s, const LineColumns& line, int n) {
    const HeaderValues& h = s.header;
    const ReadingColumns& c = h.Reading;
    const Settings& set = s.settings;
    auto column = [&](int k) { return columnNumber(s, line, k); };
    switch (n) {
        case 1:
            if (c.dispOverFactor)
                return FieldValue::number(
                    checkedDiv(column(c.disp), h.Cal(CalChannel::Disp, kCalFactor)));
            return FieldValue::number(calibrated(column(c.disp), h.Cal, CalChannel::Disp));
        case 2: {
            const double r = column(c.load);
            // A load ring gives the load from its deflection and the ring constant (lbs/in).
            if (h.LoadRingDS) return FieldValue::number(checkedMul(r, set.LRCDS361));
            return FieldValue::number(calibrated(r, h.Cal, CalChannel::Load));
        }
        case 3: {
            const double r = column(c.aux);
            double v;
            if (set.GEOTACUFVDAZ) {
                v = checkedSub(checkedDiv(checkedMul(r, h.Cal(CalChannel::Aux, kCalFactor)),
                                          h.Cal(CalChannel::Aux, kCalDivisor)),
                               s.pass.VertZero);
            } else {
                v = calibrated(r, h.Cal, CalChannel::Aux);
            }
            return FieldValue::number(set.GEOTACCSDSV ? -v : v);
        }
        case 4:
            return FieldValue::text(std::string(tabColumn(s, 1, line)));
        case 5:
            if (c.cell == kNoColumn) return FieldValue::integer(0);
            return FieldValue::number(calibrated(column(c.cell), h.Cal, CalChannel::Cell));
        default:
            throw UnsupportedField{};
    }
}

}  // namespace

FieldValue geotacField(const Session& s, FieldState& state, const LineColumns& line, int n) {
    if (s.program.TestType == kDirectShear) return directShearField(s, line, n);
    return triaxialField(s, state, line, n);
}

}  // namespace plovix

// A file of this layout (tests/data/norvo/proprietary_cupp.TRX; \t a TAB character):
//
//    Proprietary Client Test Data\tv2
//    Project\tCanal Bank Stability\tDepth\t12.5 ft
//    Boring\tB-9\tDiameter\t2.8
//    ...
//    Channel\tName\tUnit\tFactor\tZero\tExcitation
//    Load\tLC-1\tkN\t2\t0.5\t10
//    Displacement\tLVDT-2\tin\t1\t1\t2
//    ...                                    (18 header lines in all)
//    Time\tLoad\tDisplacement\tPore\tCell
//    10:00:00 AM\t0.5\t1\t0.25\t50.2
//
// Proprietary Client: TAB-separated readings with raw channel values; the header gives each
// channel's calibration (zero, factor, divisor).

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"

namespace plovix {

FieldValue proprietaryClientField(const Session& s, FieldState& /*state*/, const LineColumns& line,
                                  int n) {
    const CalTable& cal = s.header.Cal;
    auto column = [&](int c) { return columnNumber(s, line, c); };
    switch (n) {
        case 1:
            return FieldValue::number(calibrated(column(3), cal, CalChannel::Disp));
        case 2:
            return FieldValue::number(calibrated(column(2), cal, CalChannel::Load));
        case 3:
            return FieldValue::number(calibrated(column(4), cal, CalChannel::Aux));
        case 4:
            return FieldValue::text(std::string(tabColumn(s, 1, line)));
        case 5:
            return FieldValue::number(column(5));
        default:
            throw UnsupportedField{};
    }
}

namespace {

// Fields 4, 5 and 6 of a channel line: factor, zero reading, excitation (the divisor).
void readCalibration(const Session& s, CalTable& cal, const std::string& line, CalChannel channel) {
    cal(channel, kCalFactor) = headerNumber(fTabField(s, 4, line));
    cal(channel, kCalZero) = headerNumber(fTabField(s, 5, line));
    cal(channel, kCalDivisor) = headerNumber(fTabField(s, 6, line));
}

}  // namespace

// The header is exactly 18 TAB-separated lines; lines 2 to 5 describe the sample, lines 11 to
// 14 give unit and calibration of the load, displacement, pore pressure and cell channels.
HeaderFound proprietaryClientHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    HeaderValues& h = found.header;
    const int spec = s.specimens.CurrentSpecimen;
    for (int n = 1; n <= 18; ++n) {
        const std::string line = headerLine(in);
        auto field = [&](int k) { return fTabField(s, k, line); };
        switch (n) {
            case 2:
                h.ContractOrProject = field(2);
                h.SampleDepth = field(4);
                break;
            case 3:
                h.BoreholeID = field(2);
                h.DiameterText = field(4);
                h.SpecimenArea(spec) = areaOfDiameter(headerNumber(h.DiameterText));
                break;
            case 4:
                h.SampleNumber = field(2);
                h.HeightText = field(4);
                break;
            case 5:
                h.SpecimenNumber = field(2);
                break;
            case 11:
                h.LoadUnit = field(3) == "kN" ? kKilonewtons : kPounds;
                readCalibration(s, h.Cal, line, CalChannel::Load);
                break;
            case 12: {
                const std::string unit = field(3);
                h.DispUnit = unit == "in" ? kInches : unit == "cm" ? kCentimetres : kMillimetres;
                readCalibration(s, h.Cal, line, CalChannel::Disp);
                break;
            }
            case 13:
                h.StressUnit = fStressUnits(field(3));
                readCalibration(s, h.Cal, line, CalChannel::Aux);
                break;
            case 14:
                readCalibration(s, h.Cal, line, CalChannel::Cell);
                break;
            default:
                break;
        }
    }
    // The cell channel is the readings' fifth column; announcing it lets the reading pass
    // read the cell pressure of every reading.
    h.ColCell = 5;
    found.lines = 18;
    return found;
}

}  // namespace plovix

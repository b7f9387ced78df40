// A file of this layout (tests/data/geomatic/passes.DAT):
//
//    Ridgeline Materials Testing        line 1 company, 2 job, 4 tested by, 5 project
//    R-5530
//    ...
//    2.5                                line 6 diameter, 7 normal stress
//    1500
//    ...
//    0.0100                             line 14 rate
//    0.0000 0 0.0000                    displacement, shear stress (psf), vertical
//    0.0050 288 0.0010
//      999                              a pass ends; two value lines follow
//
// Geomatic: blank-separated readings; the first column starts at the first character.
// Column 1 displacement, column 2 shear stress in psf, then the vertical channel.

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "text/fields.h"

namespace plovix {

namespace {

// Drops the first column and the blank after it, keeps at most 40 characters of what follows,
// then drops the blanks that lead it.
void dropColumn(std::string_view& text) {
    const std::size_t blank = text.find(' ');
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1, 40);
    SkipBlanks(text);
}

std::string_view firstColumn(std::string_view text) {
    return text.substr(0, text.find(' '));
}

}  // namespace

FieldValue geomaticField(const Session& s, FieldState& /*state*/, const LineColumns& line, int n) {
    std::string_view text = line.text();
    if (n == 1) return FieldValue::number(fieldNumber(firstColumn(text)));
    dropColumn(text);
    if (n == 2) {
        // A stress in psf times the area in square inches: a load in pounds.
        const double stress = fieldNumber(firstColumn(text));
        return FieldValue::number(checkedDiv(
            checkedMul(stress, s.header.SpecimenArea(s.specimens.CurrentSpecimen)), 144.0));
    }
    dropColumn(text);
    return FieldValue::number(fieldNumber(text));
}

// The header is exactly 14 lines, each one value: company, job, -, tested by, project,
// diameter, normal stress, -, -, description, borehole, sample number, depth, rate.
HeaderFound geomaticHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    HeaderValues& h = found.header;
    const int spec = s.specimens.CurrentSpecimen;
    for (int n = 1; n <= 14; ++n) {
        const std::string line = headerLine(in);
        switch (n) {
            case 1:
                h.CompanyName = line;
                break;
            case 2:
                h.JobNumber = line;
                break;
            case 4:
                h.TestedBy = line;
                break;
            case 5:
                h.ContractOrProject = line;
                break;
            case 6:
                h.SpecimenArea(spec) = areaOfDiameter(headerNumber(line));
                break;
            case 7:
                h.NormalStress(spec) = headerNumber(line);
                break;
            case 10:
                h.SampleDescription = line;
                break;
            case 11:
                h.BoreholeID = line;
                break;
            case 12:
                h.SampleNumber = line;
                break;
            case 13:
                h.SampleDepth = line;
                break;
            case 14:
                h.TimeOrRate(spec) = headerNumber(line);
                break;
            default:
                break;
        }
    }
    h.LoadUnit = kPounds;
    found.lines = 14;
    return found;
}

}  // namespace plovix

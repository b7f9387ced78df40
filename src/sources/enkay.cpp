// A file of this layout (tests/data/enkay/cupp_kn_mm.TXT; \t a TAB character):
//
//    "EnKay Enterprises Triaxial Test"
//    "Company","Northfield Geotechnical"
//    "Job No","NG-4471"
//    ...
//    "Time","Load","Displacement","Pore Pressure"
//    "Units","kN","mm","kPa"
//    "-----","-----","-----","-----"
//    "00:00:00", "0.000", "0.00", "100.0"
//    "00:00:30", "0.030", "0.02", "101.0"
//
// EnKay: comma-separated readings, each value possibly in double quotes. The files end their
// lines with a bare line feed and are read by it.

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"

namespace plovix {

FieldValue enkayField(const Session& s, FieldState& /*state*/, const LineColumns& line, int n) {
    auto column = [&](int c) { return quotedColumnNumber(s, line, c); };
    const HeaderValues& h = s.header;
    switch (n) {
        case 1:
            return FieldValue::number(column(h.ColDisp));
        case 2:
            return FieldValue::number(column(h.ColLoad));
        case 3:
            return FieldValue::number(column(h.ColAux));
        case 4:
            return FieldValue::text(datedTimeStamp(tabColumn(s, 1, line), tabColumn(s, 3, line)));
        default:
            throw UnsupportedField{};
    }
}

namespace {

// The rule under the column heading: the header ends with it.
constexpr std::string_view kColumnRule = R"("-----","-----","-----","-----")";
// The line that names the units of load, displacement and stress.
constexpr std::int64_t kUnitLine = 13;

// A label anywhere in the line takes its value from column 2.
void readEnkayLabels(const Session& s, HeaderValues& h, const std::string& line) {
    const auto value = [&] { return fStripQuotes(fTabField(s, 2, line)); };
    const auto has = [&](std::string_view label) { return line.find(label) != std::string::npos; };
    if (has("Company")) h.CompanyName = value();
    if (has("Location")) h.Location = value();
    if (has("Job No")) h.JobNumber = value();
    if (has("Sample No.")) h.SampleNumber = value();
    if (has("Description")) h.SampleDescription = value();
}

}  // namespace

HeaderFound enkayHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    HeaderValues& h = found.header;
    h.StressUnit = h.LoadUnit = h.DispUnit = kUnknownUnit;
    h.ColLoad = 2;
    h.ColDisp = 3;
    h.ColAux = 4;
    h.LineByLF = true;
    std::int64_t count = 0;
    // A file without the rule is read to its end; the reading pass then finds no readings.
    while (auto line = in.next(true)) {
        ++count;
        readEnkayLabels(s, h, *line);
        if (count == kUnitLine) {
            auto unit = [&](int k) { return fStripQuotes(fTabField(s, k, *line)); };
            h.LoadUnit = fLoadUnits(unit(2));
            h.DispUnit = fDispUnits(unit(3));
            h.StressUnit = fStressUnits(unit(4));
        }
        if (line->substr(0, kColumnRule.size()) == kColumnRule) break;
    }
    // The documented count is one more than the lines read; the reading pass goes by the
    // lines really consumed, so the first reading is kept.
    found.lines = count + 1;
    return found;
}

}  // namespace plovix

// A file of this layout (tests/data/ele/cupp_pcf_density.tab; \t a TAB character):
//
//    ELE Tri-axial Test\tStage 2
//    Company Name\t"Ridgeway Materials Lab"
//    ...
//    Particle Density\t165.0
//    Rate of Axial Displacement\t0.05
//
//    Axial Displacement\tCell Pressure\tPore Pressure\tBack Pressure\tForce\tVolume Change Unit
//    0.00\t300\t150\t250\t0\t0.0
//    0.02\t300\t151\t250\t30\t0.0
//
// ELE/SoilTest: TAB-separated readings; the load column is a thousand times the load unit of
// the file. The readings carry no time stamp the program uses.

#include <array>

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"
#include "text/number_format.h"

namespace plovix {

FieldValue eleSoilTestField(const Session& s, FieldState& /*state*/, const LineColumns& line,
                            int n) {
    auto column = [&](int c) { return quotedColumnNumber(s, line, c); };
    const HeaderValues& h = s.header;
    switch (n) {
        case 1:
            return FieldValue::number(column(h.ColDisp));
        case 2:
            return FieldValue::number(checkedDiv(column(h.ColLoad), 1000.0));
        case 3:
            return FieldValue::number(column(h.ColAux));
        case 4:
            return FieldValue::integer(0);
        case 5:
            return FieldValue::number(column(h.ColCell));
        default:
            throw UnsupportedField{};
    }
}

namespace {

// The column heading that ends the header, compared over its whole length.
constexpr std::string_view kColumnHeading =
    "Axial Displacement\tCell Pressure\tPore Pressure\tBack Pressure\tForce\t"
    "Volume Change Unit";

// A particle density above 63 is no specific gravity but a density in pounds per cubic foot;
// water weighs 62.428 of them.
constexpr double kMaxSpecificGravity = 63;
constexpr double kWaterPcf = 62.428;

// A label anywhere in the line takes its value from column 2, some with quotes removed.
struct EleLabel {
    const char* label;
    std::string HeaderValues::*field;
    bool unquoted;
};

constexpr std::array<EleLabel, 16> kEleLabels{{
    {"Company Name", &HeaderValues::CompanyName, true},
    {"Contract or Project", &HeaderValues::ContractOrProject, true},
    {"Location", &HeaderValues::Location, true},
    {"Job Number", &HeaderValues::JobNumber, true},
    {"Borehole ID (PIT)", &HeaderValues::BoreholeID, true},
    {"Sample Number", &HeaderValues::SampleNumber, true},
    {"Sample Depth", &HeaderValues::SampleDepth, false},
    {"Sample Description", &HeaderValues::SampleDescription, true},
    {"Specimen Number", &HeaderValues::SpecimenNumber, true},
    {"Sample Weight", &HeaderValues::SampleWeight, false},
    {"Diameter", &HeaderValues::DiameterText, false},
    {"Height", &HeaderValues::HeightText, false},
    {"Tested By and Date", &HeaderValues::TestedBy, false},
    {"Test Type", &HeaderValues::InfoText1, false},
    {"Date Sampled/Rec'd", &HeaderValues::DateSampled, false},
    {"Comments", &HeaderValues::Remarks, false},
}};

void readEleLabels(const Session& s, HeaderValues& h, const std::string& line) {
    const std::string value = fTabField(s, 2, line);
    const auto has = [&](std::string_view label) { return line.find(label) != std::string::npos; };
    for (const EleLabel& l : kEleLabels)
        if (has(l.label)) h.*l.field = l.unquoted ? fStripQuotes(value) : value;
    if (has("Particle Density")) {
        const double density = headerNumber(value);
        h.SpecificGravity =
            density > kMaxSpecificGravity ? formatPicture(density / kWaterPcf, "##.##") : value;
    }
    if (has("Rate of Axial Displacement"))
        h.TimeOrRate(s.specimens.CurrentSpecimen) = headerNumber(value);
}

}  // namespace

HeaderFound eleSoilTestHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    HeaderValues& h = found.header;
    h.StressUnit = kKpa;
    h.LoadUnit = kKilonewtons;
    h.DispUnit = kUnknownUnit;
    h.ColDisp = 1;
    h.ColCell = 2;
    h.ColAux = 3;
    h.ColLoad = 5;
    std::int64_t count = 0;
    // A file without the heading is read to its end; the reading pass then finds no readings.
    while (auto line = in.next()) {
        ++count;
        readEleLabels(s, h, *line);
        if (line->substr(0, kColumnHeading.size()) == kColumnHeading) break;
    }
    found.lines = count;
    return found;
}

}  // namespace plovix

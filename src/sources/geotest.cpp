// A file of this layout (tests/data/geotest/header_lst_ds.LST):
//
//    Client:   Valley Water District
//    Boring No: DH-07
//    Dia. of Shear Box        2.500 in
//    Normal Pressure       -0.25 tsf
//    Data       Time      Displ    Force     Stress   Displ     Stress
//    No.        (min)     (mm)     (lbs)     (psf)    (in)      (psf)
//    ---------------------------------------------------------------
//      1  0.00  0.000  0.0  0.0  0.0000  1000.0
//      2  0.50  0.010  12.5  288.0  0.0010  1000.0
//
// GeoTest: blank-separated LST/GEO readings, or the comma-separated four-column direct shear
// layout (KWDSFile). Every field, the time too, is a number.

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"

namespace plovix {

namespace {

int geotestColumn(const Session& s, int n) {
    const bool kw = s.specimens.KWDSFile;
    const bool geo = s.header.GeoFile;
    switch (n) {
        case 1:
            return kw ? 3 : (geo ? 2 : 3);
        case 2:
            return kw ? 1 : (geo ? 3 : 4);
        case 3:
            if (geo) return 4;
            if (kw) return 2;
            return s.program.TestType == kDirectShear ? 6 : 5;
        case 4:
            return geo ? 1 : 2;
        case 5:
            if (s.header.LastRevisionDate == "01/20/2002") return 8;
            return kw ? 4 : 7;
        default:
            return 0;
    }
}

}  // namespace

PlainField geotestPlainField(const Session& s, int n) {
    const int c = geotestColumn(s, n);
    if (c == 0) return {};
    if (s.specimens.KWDSFile) return {PlainField::Kind::Column, c, columnSeparator(s)};
    // Blanks and a word removed c - 1 times, the blanks once more: the number up to the blank.
    return {PlainField::Kind::Word, c};
}

FieldValue geotestField(const Session& s, FieldState& /*state*/, const LineColumns& line, int n) {
    const PlainField f = geotestPlainField(s, n);
    if (f.kind == PlainField::Kind::None) return FieldValue::none();
    return FieldValue::number(finiteNumber(plainNumber(line, f)));
}

std::string_view leadingWord(std::string_view text) {
    return text.substr(0, static_cast<std::size_t>(fFirstBlank(text)));
}

namespace {

// The labels that differ between the GeoTest variants; empty where a variant has none.
struct GeotestVariant {
    const char* endMarker;
    const char* diameterLabel;
    const char* heightLabel;
    const char* jobLabel;
    const char* sampleLabel;
};

constexpr GeotestVariant kGeo{
    "Frequency:", "Sample Dia:", "Sample Ht:", "Project ID:", "Sample ID:"};
constexpr GeotestVariant kLstDirectShear{"TABLE NO. 6", "Dia. of Shear Box",
                                         "Default specimen height used", "Job No:", "Sample No:"};
constexpr GeotestVariant kLstOther{"TABLE NO. 7", "Default specimen diameter used",
                                   "Default specimen height used", "Job No:", "Sample No:"};
// The four-column comma files have no such labels; their four fields are left empty.
constexpr GeotestVariant kFourColumn{",Pres", nullptr, nullptr, nullptr, nullptr};

bool endsWithGeo(std::string_view path) {
    return path.size() >= 4 && upperAscii(path.substr(path.size() - 4)) == ".GEO";
}

// Tries every label of the first header block on one line.
void readLabels(const Session& s, HeaderValues& h, const GeotestVariant& v, std::string_view line) {
    fKeyValue(h.CompanyName, line, "Client:", 34, false);
    fKeyValue(h.ContractOrProject, line, "Project:", 33, false);
    if (v.jobLabel) fKeyValue(h.JobNumber, line, v.jobLabel, 22, false);
    fKeyValue(h.Location, line, "Location:", 25, false);
    fKeyValue(h.BoreholeID, line, "Boring No:", 8, false);
    if (v.sampleLabel) fKeyValue(h.SampleNumber, line, v.sampleLabel, 8, false);
    fKeyValue(h.SampleDepth, line, "Sample Depth:", 8, false);
    fKeyValue(h.SampleDescription, line, "Sample Descr:", 47, false);
    fKeyValue(h.TestedBy, line, "Tested By:", 22, false);
    fKeyValue(h.SpecimenNumber, line, "Type of specimen", 22, false);
    fKeyValue(h.Remarks, line, "Specimen Preparation", 29, false);
    fKeyValue(h.LastRevisionDate, line, "Last Revision Date", 10, false);
    if (v.diameterLabel) fKeyValue(h.DiameterText, line, v.diameterLabel, 15, true);
    if (v.heightLabel) fKeyValue(h.HeightText, line, v.heightLabel, 15, true);
    std::string cellPressure;
    if (fKeyValue(cellPressure, line, "Cell Pressure", 10, true))
        h.NormalStress(s.specimens.CurrentSpecimen) = headerNumber(cellPressure);
}

const char* columnHeading(const Session& s, const HeaderValues& h, bool geo) {
    if (geo) return "ELAPSED TIME, DISPLACEMENT, LOAD, PRESSURE, STRESS, STRAIN";
    switch (s.program.TestType) {
        case kUnconfinedCompression:
            return "Data     Time     Displ   Force";
        case kDirectShear:
            return h.LastRevisionDate == "01/20/2002"
                       ? "Data       Time      Displ    Force     Stress   Displ     Force    "
                         "Stress"
                       : "Data       Time      Displ    Force     Stress   Displ     Stress";
        default:
            return "Data     Time     Displ   Force  Pressure  Strain   Stress";
    }
}

// The next word of a unit line: up to its first blank; a last word without a blank after it
// loses its last character, which in these files is the closing parenthesis.
std::string nextUnitWord(std::string& text) {
    const auto end = fFirstBlank(text);
    std::string word = text.substr(0, static_cast<std::size_t>(end > 0 ? end - 1 : 0));
    text.erase(0, static_cast<std::size_t>(end > 0 ? end - 1 : 0));
    SkipBlanks(text);
    fStripParens(word);
    return word;
}

// Reads lines until one contains `marker`; the end of the file first is a format failure.
template <typename OnLine>
void readUntil(LineReader& in, std::string_view marker, std::int64_t& count, OnLine onLine) {
    for (;;) {
        auto line = in.next();
        if (!line) throw NotInExpectedFormat{};
        ++count;
        onLine(*line);
        if (line->find(marker) != std::string::npos) return;
    }
}

}  // namespace

HeaderFound geotestHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    HeaderValues& h = found.header;
    const int spec = s.specimens.CurrentSpecimen;
    const bool fourColumn = s.specimens.KWDSFile;
    h.GeoFile = !fourColumn && endsWithGeo(s.settings.DAFile);
    const GeotestVariant& v = h.GeoFile                            ? kGeo
                              : fourColumn                         ? kFourColumn
                              : s.program.TestType == kDirectShear ? kLstDirectShear
                                                                   : kLstOther;
    if (fourColumn) h.JobNumber = h.SampleNumber = h.DiameterText = h.HeightText = "";

    std::int64_t count = 0;
    readUntil(in, v.endMarker, count, [&](const std::string& line) { readLabels(s, h, v, line); });

    if (!fourColumn) {
        std::string normalPressure;
        bool found = false;
        readUntil(in, columnHeading(s, h, h.GeoFile), count, [&](const std::string& line) {
            fKeyValue(h.HeightText, line, "Sample height at start of shear stage", 15, true);
            found |= fKeyValue(normalPressure, line, "Normal Pressure", 15, true);
        });
        if (s.program.TestType == kDirectShear)
            h.NormalStress(spec) = found ? headerNumber(normalPressure) : 0.0;
    }

    if (h.GeoFile || fourColumn) {
        h.DispUnit = kInches;
        h.LoadUnit = kPounds;
        h.StressUnit = kPsi;
    } else {
        std::string units = headerLine(in);
        ++count;
        SkipBlanks(units);
        SkipWord(units);
        SkipBlanks(units);
        SkipWord(units);
        SkipBlanks(units);
        const std::string disp = nextUnitWord(units);
        h.DispUnit = disp == "in" ? kInches : disp == "cm" ? kCentimetres : kMillimetres;
        h.LoadUnit = nextUnitWord(units) == "kN" ? kKilonewtons : kPounds;
        if (s.program.TestType == kDirectShear) h.StressUnit = fStressUnits(nextUnitWord(units));
        headerLine(in);  // the line under the units
        ++count;
    }
    found.lines = fourColumn ? count + 1 : count;
    return found;
}

}  // namespace plovix

// A file of this layout (tests/data/humboldt/display_prepared.TXT; \t a TAB character):
//
//    Ready4Import
//    mm\tkN\tkPa
//    1\t"06/24/2003"\t"10:00:00"\t0\t0\t1\t0.000\t0.00\t0.0
//    2\t"06/24/2003"\t"10:00:15"\t15\t1\t1\t0.010\t0.10\t1.0
//
//    Channel 1                              (the channel sections the file was prepared from)
//
// Humboldt: TAB-separated readings, each column possibly in double quotes; the time stamp
// depends on how the file was made (workbook, full transfer, exported text, prepared text).

#include <array>

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"

namespace plovix {

namespace {

// Characters [first, first + count) of `text`, 1-based, cut at its end.
std::string mid(std::string_view text, std::size_t first, std::size_t count) {
    if (first > text.size()) return "";
    return std::string(text.substr(first - 1, count));
}

}  // namespace

std::string datedTimeStamp(std::string_view dateColumn, std::string_view timeColumn) {
    std::string stamp = mid(dateColumn, 2, 3);
    stamp.append("/").append(mid(dateColumn, 5, 5)).append(" ").append(mid(timeColumn, 2, 8));
    return stamp;
}

FieldValue humboldtField(const Session& s, FieldState& /*state*/, const LineColumns& line, int n) {
    auto column = [&](int c) { return quotedColumnNumber(s, line, c); };
    const HeaderValues& h = s.header;
    switch (n) {
        case 1:
            return FieldValue::number(checkedDiv(column(h.ColDisp), s.settings.HumDefDiv));
        case 2:
            return FieldValue::number(column(h.ColLoad));
        case 3:
            return FieldValue::number(column(h.ColAux));
        case 4:
            if (s.settings.HUMREADXL && s.program.TestType == kDirectShear)
                return FieldValue::text(std::string(tabColumn(s, 3, line)));
            if (s.settings.HUMFTHSD) return FieldValue::text("");
            if (s.settings.HUMXLEXP)
                return FieldValue::text(std::string(tabColumn(s, h.HumFormat * 2LL, line)));
            return FieldValue::text(datedTimeStamp(tabColumn(s, 2, line), tabColumn(s, 3, line)));
        default:
            throw UnsupportedField{};
    }
}

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool has(std::string_view line, std::string_view label) {
    return line.find(label) != std::string_view::npos;
}

// A column that depends on the test type: entry `TestType` of six, 0 for no test type.
int byTestType(const std::array<int, kTestTypeCount>& columns, int testType) {
    if (testType < 1 || testType > kTestTypeCount) return 0;
    return columns[static_cast<std::size_t>(testType - 1)];
}

// A file prepared from channel sections: "Ready4Import", then the unit texts of the
// deformation, load and third channels; the channels are columns 7, 8 and 9 of each reading.
std::int64_t preparedHeader(const Session& s, HeaderValues& h, LineReader& in) {
    headerLine(in);
    const std::string units = headerLine(in);
    h.DispUnit = fDispUnits(fStripQuotes(fTabField(s, 1, units)));
    h.LoadUnit = fLoadUnits(fStripQuotes(fTabField(s, 2, units)));
    h.StressUnit = fStressUnits(fStripQuotes(fTabField(s, 3, units)));
    h.ColDisp = 7;
    h.ColLoad = 8;
    h.ColAux = 9;
    return 2;
}

// The labelled lines of the full-transfer text: a label anywhere in the line, its value in a
// fixed column (the columns the workbook's cells land in).
void readFullTransferLabels(const Session& s, HeaderValues& h, const std::string& line) {
    const int spec = s.specimens.CurrentSpecimen;
    auto column = [&](int k) { return fTabField(s, k, line); };
    if (has(line, "Gravity")) h.SpecificGravity = column(10);
    if (has(line, "Diameter")) h.DiameterText = column(14);
    if (has(line, "Height")) h.HeightText = column(14);
    if (has(line, "Project Name")) h.ContractOrProject = column(6);
    if (has(line, "Project No")) h.JobNumber = column(6);
    if (has(line, "Sample Location")) h.Location = column(6);
    if (has(line, "Sample Description")) h.SampleDescription = column(6);
    if (has(line, "Weight")) h.SampleWeight = column(14);
    // A direct shear test states its normal stress, the triaxial tests their cell pressure.
    const char* stressLabel =
        s.program.TestType == kDirectShear ? "Normal Stress" : "Cell Pressure";
    if (has(line, stressLabel)) h.NormalStress(spec) = headerNumber(column(6));
    if (has(line, "Rate of Strain")) h.TimeOrRate(spec) = headerNumber(column(6));
    if (has(line, "(lbs)")) h.LoadUnit = kPounds;
    if (has(line, "(in)")) h.DispUnit = kInches;
    if (has(line, "(psi)")) h.StressUnit = kPsi;
}

// Text written from the workbook in the full-transfer layout: labelled lines, then readings
// that begin with TAB, "0" (or "1" when the workbook's columns step by one), TAB.
std::int64_t fullTransferHeader(const Session& s, HeaderValues& h, LineReader& in) {
    const int test = s.program.TestType;
    h.StressUnit = h.LoadUnit = h.DispUnit = kUnknownUnit;
    h.HumFormat = 3;
    h.ColDisp = byTestType({3, 5, 4, 4, 4, 4}, test);
    h.ColLoad = byTestType({4, 4, 3, 3, 3, 3}, test);
    h.ColAux = 6;
    const std::string firstReading = s.settings.HumIncOne ? "\t1\t" : "\t0\t";
    std::int64_t count = 0;
    for (;;) {
        const auto start = in.tell();
        auto line = in.next();
        if (!line) break;  // no readings: the reading pass finds none
        ++count;
        if (startsWith(*line, firstReading)) {
            in.seek(start);
            break;
        }
        readFullTransferLabels(s, h, *line);
    }
    return count - 1;
}

// Text exported from the workbook: its readings begin with "0" and TAB (format 1) or with TAB
// and "1" (format 2), and the two formats place their columns differently.
std::int64_t exportedHeader(HeaderValues& h, LineReader& in) {
    std::int64_t count = 0;
    bool formatOne = false;
    for (;;) {
        const auto start = in.tell();
        auto line = in.next();
        if (!line) break;
        ++count;
        if (startsWith(*line, "0\t") || startsWith(*line, "\t1")) {
            formatOne = startsWith(*line, "0\t");
            in.seek(start);
            break;
        }
    }
    h.HumFormat = formatOne ? 1 : 2;
    h.ColDisp = formatOne ? 5 : 8;
    h.ColLoad = formatOne ? 4 : 6;
    h.ColAux = formatOne ? 6 : 10;
    h.DispUnit = kInches;
    h.LoadUnit = kPounds;
    return count - 1;
}

}  // namespace

HeaderFound humboldtHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    const Settings& set = s.settings;
    if (!set.HUMXLEXP && !set.HUMREADXL)
        found.lines = preparedHeader(s, found.header, in);
    else if (set.HUMFTHSD)
        found.lines = fullTransferHeader(s, found.header, in);
    else
        found.lines = exportedHeader(found.header, in);
    return found;
}

}  // namespace plovix

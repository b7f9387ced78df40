// The data display's rules per source: header blocks, column headings and the value lines
// written under each line of the file.

#include "sources/source_display.h"

#include <cmath>

#include "sources/columns.h"
#include "sources/get_field.h"
#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

double DisplayContext::field(std::string_view line, int n) {
    return fGetField(s, op, line, n).toNumber();
}

bool isNumberText(std::string_view text) {
    const std::string t = trimBlanks(text);
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i - start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == t.size();
}

namespace {

// Formats of the value lines.
constexpr const char* kDispWide = " 0.0000         ;-0.0000         ";
constexpr const char* kLoadWide = " 0.000000       ;-0.000000       ";

std::string fmt(double value, std::string_view picture) {
    return formatPicture(value, picture);
}

std::string number(double value) {
    return formatGeneralNumber(value);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// A number the display computes itself; too large a number ends the display.
double finite(double value) {
    if (!std::isfinite(value)) throw DisplayError{6, "Overflow"};
    return value;
}

std::int64_t linesConsumed(const Session&, std::int64_t consumed) {
    return consumed;
}

void noHeaderBlock(DisplayContext&, std::span<const std::string>) {}

void headerUnchanged(DisplayContext& c, std::span<const std::string> header) {
    for (const std::string& line : header) c.print(line);
}

// Humboldt, EnKay and ELE/SoilTest: the line, and its values where the displacement column
// holds a number (dates and time stamps stand in the other columns).
void valuesUnderNumericDisplacement(DisplayContext& c, const std::string& line) {
    c.print(line);
    std::string disp = fStripQuotes(fTabField(c.s, c.s.header.ColDisp, line));
    std::erase(disp, ' ');
    if (!isNumberText(disp)) return;
    c.print("Disp= " + fmt(c.field(line, 1), kDispWide) + "  Load= " +
            fmt(c.field(line, 2), kLoadWide) + "  Press=" + fmt(c.field(line, 3), kLoadWide));
}

// ---- Geomatic ---------------------------------------------------------------------------------

// The display's own area factor (pi / 4 to nine places), not the header reader's.
constexpr double kGeomaticQuarterPi = 0.785398163;
constexpr std::int64_t kGeomaticHeaderLines = 14;

std::int64_t geomaticHeaderLines(const Session&, std::int64_t) {
    return kGeomaticHeaderLines;
}

void geomaticHeaderBlock(DisplayContext& c, std::span<const std::string> header) {
    const auto line = [&](std::size_t n) {
        return n <= header.size() ? header[n - 1] : std::string();
    };
    static constexpr std::pair<const char*, std::size_t> kLabels[] = {
        {"Client........ ", 1},
        {"Job Number.... ", 2},
        {"Location...... ", 5},
        {"Date.......... ", 3},
        {"Technician.... ", 4},
        {"Sample Diameter............ ", 6},
        {"Confining Pressure (psf)... ", 7},
        {"Number of Passes........... ", 8},
        {"Shear Displacement (in).... ", 9},
        {"Shear Rate (in/min)........ ", 14},
        {"Soil Type.................. ", 10},
        {"Boring Number.............. ", 11},
        {"Sample Number.............. ", 12},
        {"Depth (ft)................. ", 13},
    };
    for (const auto& [label, n] : kLabels) c.print(label + line(n));
    const double d = finite(readNumber(line(6)));
    c.s.header.SpecimenArea(c.s.specimens.CurrentSpecimen) = finite(d * d * kGeomaticQuarterPi);
}

// The first blank-separated word of `text`; `text` keeps what follows the word's blank, at
// most 40 characters, without its leading blanks (as the field extraction splits the line).
std::string takeWord(std::string& text) {
    const std::size_t blank = text.find(' ');
    std::string word = text.substr(0, blank);
    text = blank == std::string::npos ? std::string() : text.substr(blank + 1, 40);
    SkipBlanks(text);
    return word;
}

// The number of decimals a number text is written with.
std::size_t decimalsOf(std::string_view word) {
    const std::size_t point = word.find('.');
    if (point == std::string_view::npos) return 0;
    std::size_t n = 0;
    while (point + 1 + n < word.size() && word[point + 1 + n] >= '0' && word[point + 1 + n] <= '9')
        ++n;
    return n;
}

std::string right10(const std::string& text) {
    return formatTextPicture(text, "@@@@@@@@@@");
}

bool geomaticPassMarker(std::string_view line) {
    return startsWith(upperAscii(line.substr(0, 4)), "PASS") ||
           startsWith(line, "Geomatic Shear V.6611");
}

void geomaticReadingLine(DisplayContext& c, const std::string& line) {
    if (geomaticPassMarker(line)) {
        c.print(line);
        c.lineCount = kGeomaticHeaderLines;
        c.afterPassEnd = 0;
        return;
    }
    // The two lines after "999" hold the pass's peak stress and the displacement at it.
    if (c.afterPassEnd > 0) {
        ++c.afterPassEnd;
        if (c.afterPassEnd == 2)
            c.print("Max Stress (psf).................. " + line);
        else if (c.afterPassEnd == 3)
            c.print("Displacement at Max Stress (in)... " + line);
        else
            c.print("Unknown data 1.... " + line);
        return;
    }
    std::string text = line;
    SkipBlanks(text);
    if (startsWith(text, "999")) {
        c.print("999 indicator");
        c.afterPassEnd = 1;
        return;
    }
    if (c.lineCount == kGeomaticHeaderLines + 1) {
        c.print("");
        c.print("Pass Number " + std::to_string(++c.pass));
        c.print("Displacement   Load           Vert. Disp.    Stress");
        c.print("(in)           (lbs)          (in)           (psf)");
    }
    text = line;
    const std::string first = takeWord(text);
    const std::string second = takeWord(text);
    const std::string third = takeWord(text);
    const double stress = finite(readNumber(second));
    const double load =
        finite(stress * c.s.header.SpecimenArea(c.s.specimens.CurrentSpecimen) / 144);
    const std::size_t decimals = decimalsOf(third);
    const std::string thirdPicture =
        decimals == 0 ? std::string("0") : "0." + std::string(decimals, '0');
    c.print(right10(number(finite(readNumber(first)))) + "  " + right10(fmt(load, "0.00000")) +
            "      " + right10(fmt(finite(readNumber(third)), thirdPicture)) + "   " +
            right10(number(stress)));
}

// ---- GeoTest ----------------------------------------------------------------------------------

void geotestReadingLine(DisplayContext& c, const std::string& line) {
    c.print(line);
    if (c.s.specimens.KWDSFile) {
        c.print("HDisp= " + fmt(c.field(line, 1), kDispWide) + "  Load= " +
                fmt(c.field(line, 2), kLoadWide) + "  VDisp=" + fmt(c.field(line, 3), kLoadWide));
        return;
    }
    // The lines are blank-separated: a reading begins with its number.
    std::string text = line;
    SkipBlanks(text);
    if (!isNumberText(text.substr(0, text.find(' ')))) return;
    c.print("Disp= " + fmt(c.field(line, 1), kDispWide) + "  Load= " +
            fmt(c.field(line, 2), kLoadWide) + "  Press=" + fmt(c.field(line, 3), kLoadWide));
}

// ---- Proprietary Client -----------------------------------------------------------------------

void proprietaryReadingLine(DisplayContext& c, const std::string& line) {
    if (!c.readingShown) c.print("Displacement      Load       Pore Pressure");
    c.readingShown = true;
    c.print(" ");
    c.print(line);
    c.print(fmt(c.field(line, 1), kDispWide) +
            fmt(c.field(line, 2), " 00000.00       ;-00000.00       ") +
            fmt(c.field(line, 3), "000.00"));
}

// ---- Durham Geo -------------------------------------------------------------------------------

struct ColumnHeading {
    std::string heading, underline;
};

ColumnHeading durhamHeading(const Session& s) {
    const HeaderValues& h = s.header;
    const std::string lead = h.TouchScreenFile ? std::string(65, ' ') : std::string();
    switch (s.program.TestType) {
        case kDirectShear:
            return {"   Travel    Load      Ver Trav     Ver Load",
                    "   =======   =======   =========    ========"};
        case kCuWithPorePressures:
            if (h.TouchScreenFile)
                return {"   Travel    Load      Pressure     Pore Pressure",
                        "   =======   =======   =========    ========"};
            if (h.Channel4Present)
                return {"          Travel    Load      Pore Pres    Pressure",
                        "          =======   =======   =========    ========"};
            return {"          Travel    Load      Pore Pres",
                    "          =======   =======   ========="};
        case kUnconsolidatedUndrained:
            if (h.TouchScreenFile)
                return {lead + "         Travel    Load      Cell Pres",
                        "        =======   =======   ========="};
            break;
        default:
            break;
    }
    return {lead + "        Travel      Load ", "        =======     ======="};
}

// The header lines, the column heading after the last but one and its underline after the last.
void durhamHeaderBlock(DisplayContext& c, std::span<const std::string> header) {
    const ColumnHeading h = durhamHeading(c.s);
    const std::size_t H = header.size();
    for (std::size_t n = 1; n <= H; ++n) {
        if (n + 1 == H)
            c.print(header[n - 1] + h.heading);
        else if (n == H)
            c.print(header[n - 1] + h.underline);
        else
            c.print(header[n - 1]);
    }
}

void durhamReadingLine(DisplayContext& c, const std::string& line) {
    const HeaderValues& h = c.s.header;
    std::string out = line + std::string(h.TouchScreenFile ? 30 : 10, ' ') +
                      fmt(c.field(line, 1), " 0.0000   ;-0.0000   ") +
                      fmt(c.field(line, 2), " ####0.00 ;-####0.00 ");
    switch (c.s.program.TestType) {
        case kDirectShear:
            out += fmt(c.field(line, 3), " 0.0000   ;-0.0000   ");
            if (h.Channel4Present) out += fmt(c.field(line, 5), "    000.00   ");
            break;
        case kUnconsolidatedUndrained:
            if (h.TouchScreenFile) out += fmt(c.field(line, 5), "  ##0.00   ; -##0.00   ");
            break;
        case kCuWithPorePressures:
            // A fourth channel comes with a third: it is asked for first.
            if (h.Channel4Present)
                out += fmt(c.field(line, 5), "    000.00   ") + fmt(c.field(line, 3), " 000.00   ");
            else if (h.Channel3Present)
                out += fmt(c.field(line, 3), "     000.00   ");
            break;
        default:
            break;
    }
    c.print(out);
}

// ---- GEOTAC -----------------------------------------------------------------------------------

void geotacChannelBlock(DisplayContext& c) {
    const HeaderValues& h = c.s.header;
    const auto n = [](int v) { return std::to_string(v); };
    c.print("Test Type:           " + n(c.s.program.TestType));
    c.print("Time column:         1");
    c.print("Load column:         " + n(h.ColLoad));
    c.print("Load units:          " + n(h.LoadUnit));
    c.print("Disp column:         " + n(h.ColDisp));
    c.print("Disp units:          " + n(h.DispUnit));
    c.print("Pore Pres column:    " + n(h.ColAux));
    c.print("Pore Pres units:     " + n(h.StressUnit));
    c.print("Cell Pres column:    " + n(h.ColCell));
    c.print("Cell Pressure:       " + fmt(h.NormalStress(c.s.specimens.CurrentSpecimen), "###.#"));
    c.print("Cell Pressure units: " + n(h.StressUnit));
    static constexpr std::pair<char, CalChannel> kChannels[] = {{'L', CalChannel::Load},
                                                                {'P', CalChannel::Aux},
                                                                {'C', CalChannel::Cell},
                                                                {'D', CalChannel::Disp}};
    static constexpr std::pair<const char*, int> kConstants[] = {
        {"CalibFac = ", kCalFactor}, {"Excite = ", kCalDivisor}, {"AbsZero = ", kCalZero}};
    for (const auto& [name, k] : kConstants)
        for (const auto& [letter, channel] : kChannels)
            c.print(letter + std::string(name) + fmt(h.Cal(channel, k), "###.####"));
}

void geotacReadingLine(DisplayContext& c, const std::string& line) {
    const int test = c.s.program.TestType;
    const int spec = c.s.specimens.CurrentSpecimen;
    const bool cellColumn = c.s.header.ColCell >= 1;
    if (!c.readingShown) {
        std::string heading = "Displacement      Load       ";
        if (test == kDirectShear)
            heading += std::string("Vertical Disp") +
                       (cellColumn ? "     Vertical Load     Vertical Stress" : "");
        else if (test == kUnconsolidatedUndrained)
            heading += "Cell Pressure";
        else
            heading += "Pore Pressure";
        c.print(heading);
    }
    c.readingShown = true;
    c.print(" ");
    c.print(line);
    // The values are taken as the reading pass takes them (the first displacement may become
    // the zero), whether or not the line is shown with them.
    std::string out = fmt(c.field(line, 1), " 0.0000           ;-0.0000           ") +
                      fmt(c.field(line, 2), " 0.000000  ;-0.000000  ");
    if (test == kDirectShear || test == kCuWithPorePressures || test == kConsolidatedDrained)
        out += fmt(c.field(line, 3), " 0.000000         ;-0.000000         ");
    if (test == kDirectShear && cellColumn) {
        const double normal = c.field(line, 5);
        out += fmt(normal, " 0.000            ;-0.000            ");
        const double area = c.s.header.SpecimenArea(spec);
        if (area > 0) out += fmt(finite(normal / area), " 0.000       ;-0.000       ");
    }
    if (test == kUnconsolidatedUndrained && cellColumn)
        out += fmt(c.s.header.NormalStress(spec), " 0.000            ");
    if (c.isDate != nullptr && c.isDate(fGetField(c.s, c.op, line, 4).toText())) c.print(out);
}

// ---- Humboldt ---------------------------------------------------------------------------------

// Text exported from the workbook shows its header as such; every other Humboldt file is shown
// line by line from its first line on.
std::int64_t humboldtHeaderLines(const Session& s, std::int64_t consumed) {
    return s.settings.HUMXLEXP ? consumed : 0;
}

// ---- ELE/SoilTest -----------------------------------------------------------------------------

void eleHeaderBlock(DisplayContext& c, std::span<const std::string>) {
    const HeaderValues& h = c.s.header;
    c.print("Data culled from ELE file header");
    c.print("Company Name: " + h.CompanyName);
    c.print("Contract or Project: " + h.ContractOrProject);
    c.print("Location: " + h.Location);
    c.print("Job Number: " + h.JobNumber);
    c.print("Borehole ID (PIT): " + h.BoreholeID);
    c.print("Sample Number: " + h.SampleNumber);
    c.print("Sample Depth: " + h.SampleDepth);
    c.print("Sample Description: " + h.SampleDescription);
    c.print("Specimen Number: " + h.SpecimenNumber);
    c.print("Sample Weight: " + h.SampleWeight);
    c.print("Diameter: " + h.DiameterText);
    c.print("Height: " + h.HeightText);
}

}  // namespace

const SourceDisplay kGeomaticDisplay{.label = "GEOMATIC",
                                     .showsSpecimenNumber = true,
                                     .headerLines = geomaticHeaderLines,
                                     .beforeReading = nullptr,
                                     .headerBlock = geomaticHeaderBlock,
                                     .readingLine = geomaticReadingLine};
const SourceDisplay kGeoTestDisplay{.label = "GEOTEST",
                                    .showsSpecimenNumber = false,
                                    .headerLines = linesConsumed,
                                    .beforeReading = nullptr,
                                    .headerBlock = noHeaderBlock,
                                    .readingLine = geotestReadingLine};
const SourceDisplay kProprietaryClientDisplay{.label = "Proprietary Client",
                                              .showsSpecimenNumber = false,
                                              .headerLines = linesConsumed,
                                              .beforeReading = nullptr,
                                              .headerBlock = headerUnchanged,
                                              .readingLine = proprietaryReadingLine};
const SourceDisplay kDurhamGeoDisplay{.label = "Durham Geo",
                                      .showsSpecimenNumber = false,
                                      .headerLines = linesConsumed,
                                      .beforeReading = nullptr,
                                      .headerBlock = durhamHeaderBlock,
                                      .readingLine = durhamReadingLine};
const SourceDisplay kGeotacDisplay{.label = "GEOTAC",
                                   .showsSpecimenNumber = false,
                                   .headerLines = linesConsumed,
                                   .beforeReading = geotacChannelBlock,
                                   .headerBlock = headerUnchanged,
                                   .readingLine = geotacReadingLine};
const SourceDisplay kHumboldtDisplay{.label = "Humboldt",
                                     .showsSpecimenNumber = false,
                                     .headerLines = humboldtHeaderLines,
                                     .beforeReading = nullptr,
                                     .headerBlock = noHeaderBlock,
                                     .readingLine = valuesUnderNumericDisplacement};
const SourceDisplay kEnKayDisplay{.label = "EnKay",
                                  .showsSpecimenNumber = false,
                                  .headerLines = linesConsumed,
                                  .beforeReading = nullptr,
                                  .headerBlock = noHeaderBlock,
                                  .readingLine = valuesUnderNumericDisplacement};
const SourceDisplay kEleSoilTestDisplay{.label = "ELE/Soiltest",
                                        .showsSpecimenNumber = false,
                                        .headerLines = linesConsumed,
                                        .beforeReading = nullptr,
                                        .headerBlock = eleHeaderBlock,
                                        .readingLine = valuesUnderNumericDisplacement};

}  // namespace plovix

// A file of this layout (tests/data/durham/header_four_channels.TXT):
//
//    DURHAM GEO  DIRECT SHEAR TEST B-5 DEPTH 3 M SAND
//    Normal Stress   1.50 ksf
//    ...
//    CHANNEL 1  Load Cell
//      Range   500.0 lbs
//      Cal     1.0000
//    ...                                    (channels 2 to 4 alike)
//    RUN 1
//    hh:mm:ss  lbs     in       in       psi
//    10:00:00 0.0 0.0000 0.0000 10.4
//
// Durham Geo: blank-separated readings whose columns are the channels the header numbered, or
// the TAB-separated touch-screen layout.

#include <algorithm>

#include "sources/field_math.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"

namespace plovix {

namespace {

// The text that starts after `words` leading words (each with the blanks after it) is cut after
// its first blank. The first removal takes only the blanks of a line that begins with a blank;
// each later one a word and its blanks: what is left begins with this word of the line.
long long wordIndexAfter(const LineColumns& line, int words) {
    const bool leadingBlank = !line.text().empty() && line.text().front() == ' ';
    return leadingBlank ? words : words + 1LL;
}

// The number of that text; with no word removed, the line up to its first blank.
double numberAfter(const LineColumns& line, int words) {
    if (words <= 0) return fieldNumber(leadingWord(line.text()));
    return finiteNumber(line.wordNumber(wordIndexAfter(line, words)));
}

FieldValue touchScreenField(const Session& s, const LineColumns& line, int n) {
    switch (n) {
        case 1:
            return FieldValue::number(columnNumber(s, line, 2));
        case 2:
            return FieldValue::number(columnNumber(s, line, 3));
        case 4:
            return FieldValue::text(std::string(tabColumn(s, 1, line)));
        case 5:
            return FieldValue::text(std::string(tabColumn(s, 4, line)));
        default:
            return FieldValue::none();
    }
}

}  // namespace

FieldValue durhamGeoField(const Session& s, FieldState& /*state*/, const LineColumns& line, int n) {
    if (s.header.TouchScreenFile) return touchScreenField(s, line, n);
    const HeaderValues& h = s.header;
    switch (n) {
        case 1:
            return FieldValue::number(numberAfter(line, h.ChanTravel));
        case 2:
            return FieldValue::number(numberAfter(line, h.ChanLoad));
        case 3: {
            const int channel = s.program.TestType == kDirectShear ? h.ChanTravel2 : h.ChanPressure;
            return FieldValue::number(numberAfter(line, channel));
        }
        case 4:
            return FieldValue::text(std::string(leadingWord(line.text())));
        case 5:
            return FieldValue::number(numberAfter(line, h.ChanStress));
        default:
            return FieldValue::none();
    }
}

namespace {

constexpr std::string_view kTouchScreenTitle = "Touchscreen Data Capture Build 080211";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNumberChar(char c) {
    return isDigit(c) || c == '.';
}

// Characters [from, from + count) of `text`, 0-based, cut at its end.
std::string cut(std::string_view text, std::size_t from, std::size_t count) {
    return from < text.size() ? std::string(text.substr(from, count)) : std::string();
}

// Line 2: the normal stress and its unit word, "Normal stress 1.50 ksf" or with a second
// number between ("... 1.50 2 ksf" is not expected, but the unit is looked for past it).
// Returns the unit word, "" when there is none or it is not a stress unit.
std::string readNormalStressLine(const Session& s, HeaderValues& h, const std::string& line) {
    const int spec = s.specimens.CurrentSpecimen;
    h.InfoText1 = line;
    std::replace(h.InfoText1.begin(), h.InfoText1.end(), '\n', ' ');

    const auto digit = std::find_if(line.begin(), line.end(), isDigit);
    // A line without any number carries no normal stress.
    if (digit == line.end()) {
        if (!s.pass.Exporting) h.NormalStress(spec) = 0;
        return "";
    }
    std::size_t pos = static_cast<std::size_t>(digit - line.begin());
    if (!s.pass.Exporting) h.NormalStress(spec) = headerNumber(cut(line, pos, 10));
    while (pos < line.size() && isNumberChar(line[pos])) ++pos;
    std::string word = cut(line, pos, 10);
    if (!word.empty() && word.front() == ' ') {
        while (pos < line.size() && line[pos] == ' ') ++pos;
        while (pos < line.size() && isNumberChar(line[pos])) ++pos;
        word = cut(line, pos, 10);
    }
    if (fStressUnits(word) == kUnknownUnit) {
        if (!s.pass.Exporting) h.NormalStress(spec) = 0;
        return "";
    }
    return word;
}

// A channel name line (channels 1 to 4): which role the channel plays.
void readChannelName(HeaderValues& h, const std::string& line, int channel) {
    if (line.find("Load") != std::string::npos) {
        h.ChanLoad = channel;
    } else if (line.find(channel == 1 ? "ressure" : "Pressure") != std::string::npos) {
        // Two pressure channels: the first is the normal stress, the second the pressure.
        if (h.ChanPressure != 0) h.ChanStress = h.ChanPressure;
        h.ChanPressure = channel;
    } else if (line.find("Travel") != std::string::npos) {
        (h.ChanTravel != 0 ? h.ChanTravel2 : h.ChanTravel) = channel;
    }
}

// A channel's unit line: the unit word after the last blank; a travel channel's range stands
// just before it.
void readChannelUnits(HeaderValues& h, const std::string& line, int channel) {
    const std::size_t lastBlank = line.rfind(' ');
    const std::size_t wordStart = lastBlank == std::string::npos ? 0 : lastBlank + 1;
    const std::string word = cut(line, wordStart, 10);
    const bool stress = h.ChanStress == channel || (channel > 1 && h.ChanPressure == channel);
    if (stress) {
        h.StressUnit = fStressUnits(word);
    } else if (h.ChanLoad == channel) {
        h.LoadUnit = fLoadUnits(word);
    } else if (h.ChanTravel == channel || h.ChanTravel2 == channel) {
        h.DispUnit = fDispUnits(word);
        if (channel > 1 && lastBlank != std::string::npos) {
            long long j = static_cast<long long>(lastBlank) + 1;  // on the blank, 1-based
            h.TravelMax(h.ChanTravel == channel ? 1 : 2) = ftmpMax(j, line);
        }
    }
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

// Line 1 names the file (or marks a touch-screen file), line 2 gives the normal stress, then
// channels 1 to 4 each have a name line (5, 8, 11, 14) and a unit line below it. Channels 3
// and 4 are present only when their name line says "CHANNEL". The readings follow after an
// empty line, possibly under a "RUN" line.
HeaderFound durhamGeoHeader(const Session& s, Operator&, LineReader& in) {
    HeaderFound found = startHeader(s);
    HeaderValues& h = found.header;
    const int spec = s.specimens.CurrentSpecimen;
    h.ChanLoad = h.ChanStress = h.ChanTravel = h.ChanTravel2 = h.ChanPressure = 0;
    h.Channel3Present = h.Channel4Present = false;
    h.ColCell = kNoColumn;
    h.TravelMax.fill(0.0F);

    const std::string first = headerLine(in);
    if (first == kTouchScreenTitle) {
        h.TouchScreenFile = true;
        for (int n = 0; n < 12 + 2; ++n) headerLine(in);
        h.StressUnit = h.LoadUnit = h.DispUnit = kUnknownUnit;
        found.lines = 13;
        return found;
    }
    h.InfoText2 = cut(first, 12, 30);
    h.TouchScreenFile = false;

    std::int64_t count = 1;
    std::string line;
    std::string normalUnit;
    for (int n = 2; n <= 17; ++n) {
        line = headerLine(in);
        ++count;
        if (n == 2) normalUnit = readNormalStressLine(s, h, line);
        if (n == 5 || n == 8 || n == 11 || n == 14) {
            const int channel = (n - 2) / 3;
            if (channel >= 3 && line.find("CHANNEL") == std::string::npos) break;
            if (channel == 3) h.Channel3Present = true;
            if (channel == 4) {
                h.Channel4Present = true;
                h.ColCell = 1;  // tells the field extraction that a fourth channel exists
            }
            readChannelName(h, line, channel);
        }
        if (n == 6 || n == 9 || n == 12 || n == 15) readChannelUnits(h, line, (n - 3) / 3);
    }
    if (s.program.TestType == kDirectShear && h.ChanStress == 0) h.ChanStress = h.ChanPressure;
    if (h.ChanTravel != 0 && h.ChanTravel2 != 0 && h.TravelMax(2) > h.TravelMax(1)) {
        std::swap(h.ChanTravel, h.ChanTravel2);
        std::swap(h.TravelMax(1), h.TravelMax(2));
    }

    std::int64_t result;
    if (startsWith(line, "RUN")) {
        headerLine(in);
        result = count + 1;
    } else {
        while (auto next = in.next()) {
            ++count;
            if (next->empty()) break;
        }
        const auto afterEmpty = in.tell();
        auto run = in.next();
        if (run && startsWith(*run, "RUN")) {
            headerLine(in);
            count += 2;
        } else {
            in.seek(afterEmpty);
        }
        result = count - 1;
    }

    if (upperAscii(normalUnit) == "KSF" && h.StressUnit == kPsi)
        h.NormalStress(spec) = h.NormalStress(spec) * 1000 / 144;
    found.lines = result;
    return found;
}

}  // namespace plovix

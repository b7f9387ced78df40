#include "sources/units.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/session.h"
#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

const char* const kFilterNotesText =
    "The KALVORN DOS based Norvo Test Program is limited to 99 readings per specimen."
    "Increase either filter criterion to reduce the total number of qualifying"
    " readings.  For repeated direct shear tests it may help to skip some cycles.";

bool fKeyValue(std::string& value, std::string_view line, std::string_view key, int maxLength,
               bool numeric) {
    const std::size_t found = line.find(key);
    if (found == std::string_view::npos) return false;
    const std::size_t count = maxLength > 0 ? static_cast<std::size_t>(maxLength) : 0;
    const std::size_t last = line.empty() ? 0 : line.size() - 1;
    std::size_t pos = numeric ? found : found + key.size();
    if (numeric) {
        while (pos < last && !(line[pos] >= '0' && line[pos] <= '9')) ++pos;
    } else {
        while (pos < last && (line[pos] == ' ' || line[pos] == '.' || line[pos] == ':')) ++pos;
    }
    const std::string_view taken = pos < line.size() ? line.substr(pos, count) : std::string_view{};
    value = numeric ? formatGeneralNumber(readNumber(taken)) : std::string(taken);
    return true;
}

void fStripParens(std::string& buffer) {
    if (!buffer.empty() && buffer.front() == '(') buffer.erase(0, 1);
    if (!buffer.empty() && buffer.back() == ')') buffer.pop_back();
}

int fStressUnits(std::string_view word) {
    const std::string w = upperAscii(word);
    static const char* const kNames[] = {"PSI", "KSI", "PSF", "KSF", "TSF", "KPA", "MPA", "KSC"};
    for (int code = 1; code <= 8; ++code)
        if (w == kNames[code - 1]) return code;
    return -1;
}

int fLoadUnits(std::string_view word) {
    const std::string w = upperAscii(word);
    if (w == "LBS" || w == "LB" || w == "LBF") return 1;
    if (w == "KN") return 2;
    return -1;
}

int fDispUnits(std::string_view word) {
    const std::string w = upperAscii(word);
    if (w == "IN") return 1;
    if (w == "CM") return 2;
    if (w == "MM") return 3;
    return -1;
}

float ftmpMax(long long& j, std::string_view line) {
    auto charAt = [&](long long pos) {
        return pos >= 1 && pos <= static_cast<long long>(line.size())
                   ? line[static_cast<std::size_t>(pos - 1)]
                   : '\0';
    };
    j = j - 1;
    const long long end = j;
    while (j > 0 && charAt(j) != ' ') --j;
    if (j < 0) j = 0;
    // The end - j characters after position j; positions past the end of the line are empty.
    const long long first = j + 1;
    if (end < first || first > static_cast<long long>(line.size())) return 0.0F;
    const long long lastPos = std::min<long long>(end, static_cast<long long>(line.size()));
    const double range = readNumber(line.substr(static_cast<std::size_t>(first - 1),
                                                static_cast<std::size_t>(lastPos - first + 1)));
    if (std::fabs(range) > std::numeric_limits<float>::max())
        return range > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    return static_cast<float>(range);
}

void FilterNotes(Operator& op) {
    op.tell(kFilterNotesText);
}

std::string dispUnitName(int code) {
    switch (code) {
        case kInches:
            return "in";
        case kCentimetres:
            return "cm";
        case kMillimetres:
            return "mm";
        default:
            return "";
    }
}

std::string loadUnitName(int code) {
    switch (code) {
        case kPounds:
            return "lbs";
        case kKilonewtons:
            return "kN";
        default:
            return "";
    }
}

}  // namespace plovix

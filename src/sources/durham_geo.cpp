// Durham Geo: blank-separated readings whose columns are the channels the header numbered, or
// the TAB-separated touch-screen layout.

#include "sources/field_math.h"
#include "sources/source_layouts.h"
#include "text/fields.h"

namespace plovix {

namespace {

// The text that starts after `words` leading words (each with the blanks after it), up to and
// including its first blank.
std::string wordAfter(std::string_view line, int words) {
    std::string text(line);
    for (int i = 0; i < words; ++i) {
        SkipWord(text);
        SkipBlanks(text);
    }
    return leadingWord(text);
}

FieldValue touchScreenField(const Session& s, std::string_view line, int n) {
    switch (n) {
        case 1:
            return FieldValue::number(fieldNumber(fTabField(s, 2, line)));
        case 2:
            return FieldValue::number(fieldNumber(fTabField(s, 3, line)));
        case 4:
            return FieldValue::text(fTabField(s, 1, line));
        case 5:
            return FieldValue::text(fTabField(s, 4, line));
        default:
            return FieldValue::none();
    }
}

}  // namespace

FieldValue durhamGeoField(Session& s, std::string_view line, int n) {
    if (s.header.TouchScreenFile) return touchScreenField(s, line, n);
    const HeaderValues& h = s.header;
    switch (n) {
        case 1:
            return FieldValue::number(fieldNumber(wordAfter(line, h.ChanTravel)));
        case 2:
            return FieldValue::number(fieldNumber(wordAfter(line, h.ChanLoad)));
        case 3: {
            const int channel = s.program.TestType == kDirectShear ? h.ChanTravel2 : h.ChanPressure;
            return FieldValue::number(fieldNumber(wordAfter(line, channel)));
        }
        case 4:
            return FieldValue::text(wordAfter(line, 0));
        case 5:
            return FieldValue::number(fieldNumber(wordAfter(line, h.ChanStress)));
        default:
            return FieldValue::none();
    }
}

}  // namespace plovix

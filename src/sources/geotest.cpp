// GeoTest: blank-separated LST/GEO readings, or the comma-separated four-column direct shear
// layout (KWDSFile). Every field, the time too, is a number.

#include "sources/field_math.h"
#include "sources/source_layouts.h"
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

FieldValue geotestField(Session& s, std::string_view line, int n) {
    const int c = geotestColumn(s, n);
    if (c == 0) return FieldValue::none();
    if (s.specimens.KWDSFile) return FieldValue::number(fieldNumber(fTabField(s, c, line)));
    std::string text(line);
    for (int i = 1; i < c; ++i) {
        SkipBlanks(text);
        SkipWord(text);
    }
    SkipBlanks(text);
    return FieldValue::number(fieldNumber(leadingWord(text)));
}

std::string leadingWord(std::string_view text) {
    return std::string(text.substr(0, static_cast<std::size_t>(fFirstBlank(text))));
}

}  // namespace plovix

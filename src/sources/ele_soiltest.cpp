// ELE/SoilTest: TAB-separated readings; the load column is a thousand times the load unit of
// the file. The readings carry no time stamp the program uses.

#include "sources/field_math.h"
#include "sources/source_layouts.h"
#include "text/fields.h"

namespace plovix {

FieldValue eleSoilTestField(Session& s, std::string_view line, int n) {
    auto column = [&](int c) { return fieldNumber(fStripQuotes(fTabField(s, c, line))); };
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

}  // namespace plovix

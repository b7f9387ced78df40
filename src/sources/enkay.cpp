// EnKay: comma-separated readings, each value possibly in double quotes.

#include "sources/field_math.h"
#include "sources/source_layouts.h"
#include "text/fields.h"

namespace plovix {

FieldValue enkayField(Session& s, std::string_view line, int n) {
    auto column = [&](int c) { return fieldNumber(fStripQuotes(fTabField(s, c, line))); };
    const HeaderValues& h = s.header;
    switch (n) {
        case 1:
            return FieldValue::number(column(h.ColDisp));
        case 2:
            return FieldValue::number(column(h.ColLoad));
        case 3:
            return FieldValue::number(column(h.ColAux));
        case 4:
            return FieldValue::text(datedTimeStamp(fTabField(s, 1, line), fTabField(s, 3, line)));
        default:
            throw UnsupportedField{};
    }
}

}  // namespace plovix

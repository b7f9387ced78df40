// Humboldt: TAB-separated readings, each column possibly in double quotes; the time stamp
// depends on how the file was made (workbook, full transfer, exported text, prepared text).

#include "sources/field_math.h"
#include "sources/source_layouts.h"
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
    return mid(dateColumn, 2, 3) + "/" + mid(dateColumn, 5, 5) + " " + mid(timeColumn, 2, 8);
}

FieldValue humboldtField(Session& s, std::string_view line, int n) {
    auto column = [&](int c) { return fieldNumber(fStripQuotes(fTabField(s, c, line))); };
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
                return FieldValue::text(fTabField(s, 3, line));
            if (s.settings.HUMFTHSD) return FieldValue::text("");
            if (s.settings.HUMXLEXP) return FieldValue::text(fTabField(s, h.HumFormat * 2LL, line));
            return FieldValue::text(datedTimeStamp(fTabField(s, 2, line), fTabField(s, 3, line)));
        default:
            throw UnsupportedField{};
    }
}

}  // namespace plovix

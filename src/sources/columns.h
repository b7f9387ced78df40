#pragma once
// Columns of a reading line as the current source separates them: "," for EnKay files and the
// four-column GeoTest layout, TAB otherwise.

#include <string>
#include <string_view>

#include "app/session.h"
#include "text/line_columns.h"

namespace plovix {

char columnSeparator(const Session& s);

// Column k (1-based) of a separated line, trimmed of blanks. A column ends at the next
// separator, else at the next carriage return, else at the end of the line; a missing column
// is "".
std::string fTabField(const Session& s, long long k, std::string_view line);
// The same as a view into the line.
inline std::string_view tabColumn(const Session& s, long long k, const LineColumns& line) {
    return line.column(k, columnSeparator(s));
}

// A field that is nothing but the number of one column or blank-separated word of the line.
struct PlainField {
    enum class Kind { None, Word, Column };
    Kind kind = Kind::None;
    long long index = 0;    // 1-based
    char separator = '\0';  // of a column
};

// Its number by the system's number reading, not yet checked for overflow.
inline double plainNumber(const LineColumns& line, const PlainField& f) {
    return f.kind == PlainField::Kind::Word ? line.wordNumber(f.index)
                                            : line.columnNumber(f.index, f.separator);
}

}  // namespace plovix

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

}  // namespace plovix

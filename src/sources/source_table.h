#pragma once
// The table of D/A sources: code, name, open-file filter, the test types the source supports,
// the settings keys its reading depends on, the layout's operations and its data display. The
// documented entry points dispatch through it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"
#include "sources/columns.h"
#include "sources/field_value.h"
#include "sources/source_display.h"
#include "text/line_columns.h"
#include "text/line_reader.h"

namespace plovix {

struct SourceLayout {
    int code;          // SourceType
    const char* name;  // as listed to the operator
    // Open-file filter: description before "|", patterns after it.
    std::string (*filter)(const Session& s);
    // Comma list of the allowed test types, comma before and after every item (",1,2,").
    std::string (*allowedTestTypes)(const Session& s);
    FieldValue (*field)(Session& s, const LineColumns& line, int n);
    // Reads the header (see sources/header_lines.h); nullptr while a layout has no reader.
    std::int64_t (*readHeader)(Session& s, Operator& op, LineReader& in);
    // The settings keys (spelt as in the settings file) that the header reader, the field
    // reader, the reading pass and the export read for this source, beyond the filter
    // criteria: the keys whose values a file's results depend on.
    std::span<const std::string_view> settingsKeys;
    // How the data display lays out the source's file.
    const SourceDisplay* display;
    // The point size of the fixed-pitch font the data display is printed in.
    int printPointSize;
    // Where `field` reads field n as nothing but the number of one column or word (a finite
    // one; anything else it reports), that column or word, so that a pass over many lines
    // reads it straight from each line. Depends only on the header and the settings.
    // nullptr: every field through `field`.
    PlainField (*plainField)(const Session& s, int n) = nullptr;
};

std::span<const SourceLayout> sourceTable();
// The layout of source `code`; nullptr outside 1..8.
const SourceLayout* findSource(int code);

// True when the session's source code is an item of the comma list (only a leading "," is
// added, so the list must end with one).
bool fSourceIn(const Session& s, std::string_view list);

}  // namespace plovix

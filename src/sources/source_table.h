#pragma once
// The table of D/A sources: code, name, open-file filter, the test types the source supports,
// and the layout's operations. The documented entry points dispatch through it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"
#include "sources/field_value.h"
#include "text/line_reader.h"

namespace plovix {

struct SourceLayout {
    int code;          // SourceType
    const char* name;  // as listed to the operator
    // Open-file filter: description before "|", patterns after it.
    std::string (*filter)(const Session& s);
    // Comma list of the allowed test types, comma before and after every item (",1,2,").
    std::string (*allowedTestTypes)(const Session& s);
    FieldValue (*field)(Session& s, std::string_view line, int n);
    // Reads the header (see sources/header_lines.h); nullptr while a layout has no reader.
    std::int64_t (*readHeader)(Session& s, Operator& op, LineReader& in);
};

std::span<const SourceLayout> sourceTable();
// The layout of source `code`; nullptr outside 1..8.
const SourceLayout* findSource(int code);

}  // namespace plovix

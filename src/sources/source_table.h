#pragma once
// The table of D/A sources: code, name, open-file filter, the test types the source supports,
// the settings keys its reading depends on, the layout's operations and its data display. The
// documented entry points dispatch through it.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"
#include "sources/columns.h"
#include "sources/field_value.h"
#include "sources/header_reader.h"
#include "sources/source_display.h"
#include "sources/source_traits.h"
#include "text/line_columns.h"
#include "text/line_reader.h"

namespace plovix {

// What the reading pass lends to the end-of-data test: a Geomatic shear file hands its held
// reading back to the pass when a pass marker line interrupts the data. Empty outside the pass.
using UseReadingHook = std::function<void()>;

// True when `DS`, the line just read, ends the current cycle; may read on into `DS` and turn
// `forward` (see fEndOfCycle).
using CycleEndTest = bool (*)(Session& s, LineReader& in, LineColumns& DS, bool& forward);
// After a cycle ended with `DS`: true when the data of the run end (see fEndOfData).
using DataEndTest = bool (*)(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                             const UseReadingHook& useReading);

struct SourceLayout {
    int code;          // SourceType
    const char* name;  // as listed to the operator
    // Open-file filter: description before "|", patterns after it.
    std::string (*filter)(const Session& s);
    // Comma list of the allowed test types, comma before and after every item (",1,2,").
    std::string (*allowedTestTypes)(const Session& s);
    FieldValue (*field)(const Session& s, FieldState& state, const LineColumns& line, int n);
    // Reads the header and returns what it found (see sources/header_lines.h).
    HeaderFound (*readHeader)(const Session& s, Operator& op, LineReader& in);
    CycleEndTest cycleEnds;
    DataEndTest dataEnds;
    // The settings keys (spelt as in the settings file) that the header reader, the field
    // reader, the reading pass and the export read for this source, beyond the filter
    // criteria: the keys whose values a file's results depend on.
    std::span<const std::string_view> settingsKeys;
    // How the data display lays out the source's file.
    const SourceDisplay* display;
    // The point size of the fixed-pitch font the data display is printed in.
    int printPointSize;
    // What the pass, the results, the export, the window and the settings dialog do
    // differently for this source.
    const SourceTraits* traits;
    // Where `field` reads field n as nothing but the number of one column or word (a finite
    // one; anything else it reports), that column or word, so that a pass over many lines
    // reads it straight from each line. Depends only on the header and the settings.
    // nullptr: every field through `field`.
    PlainField (*plainField)(const Session& s, int n) = nullptr;
};

std::span<const SourceLayout> sourceTable();
// The layout of source `code`; nullptr outside 1..8.
const SourceLayout* findSource(int code);

// Fills the fixed name lists: source names 1..8 from the table, stress-unit names 2..9.
void fillNameLists(ProgramState& program);

}  // namespace plovix

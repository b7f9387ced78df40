#pragma once
// The field extraction of each vendor layout. Each function returns the value of field n of a
// reading line (1 displacement, 2 load, 3 auxiliary channel, 4 time stamp, 5 cell or normal
// pressure), throws FieldError for a division by zero or an overflow and UnsupportedField for a
// field number the layout does not have. `fGetField` is the entry point that callers use.

#include <string_view>

#include "app/session.h"
#include "sources/columns.h"
#include "sources/field_value.h"
#include "sources/source_table.h"
#include "text/line_columns.h"

namespace plovix {

FieldValue geomaticField(const Session& s, FieldState& state, const LineColumns& line, int n);
FieldValue geotestField(const Session& s, FieldState& state, const LineColumns& line, int n);
PlainField geotestPlainField(const Session& s, int n);
FieldValue proprietaryClientField(const Session& s, FieldState& state, const LineColumns& line,
                                  int n);
FieldValue durhamGeoField(const Session& s, FieldState& state, const LineColumns& line, int n);
FieldValue geotacField(const Session& s, FieldState& state, const LineColumns& line, int n);
FieldValue humboldtField(const Session& s, FieldState& state, const LineColumns& line, int n);
FieldValue enkayField(const Session& s, FieldState& state, const LineColumns& line, int n);
FieldValue eleSoilTestField(const Session& s, FieldState& state, const LineColumns& line, int n);

// Where each layout's cycles and data end (see CycleEndTest and DataEndTest); layouts share
// the plain rules.
bool cycleEndsAtFileEnd(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool cycleEndsAtEmptyLine(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool geomaticCycleEnds(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool geotestCycleEnds(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool durhamGeoCycleEnds(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool geotacCycleEnds(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool humboldtCycleEnds(Session& s, LineReader& in, LineColumns& DS, bool& forward);
bool dataEndAtEmptyLine(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                        const UseReadingHook& useReading);
bool dataEndAtEmptyOrTabLine(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                             const UseReadingHook& useReading);
bool geomaticDataEnds(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                      const UseReadingHook& useReading);
bool geotestDataEnds(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                     const UseReadingHook& useReading);
bool durhamGeoDataEnds(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                       const UseReadingHook& useReading);
bool humboldtDataEnds(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                      const UseReadingHook& useReading);

// The time stamp that Humboldt and EnKay build from a date column and a time column:
// characters 2-4 of the date, "/", characters 5-9 of the date, a blank, characters 2-9 of the
// time (the first character is the quote that encloses each column).
std::string datedTimeStamp(std::string_view dateColumn, std::string_view timeColumn);

// The text up to and including the first blank (the whole text when it has none).
std::string_view leadingWord(std::string_view text);

}  // namespace plovix

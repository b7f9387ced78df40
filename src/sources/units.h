#pragma once
// Taking values and unit words out of header lines.

#include <string>
#include <string_view>

#include "app/operator.h"

namespace plovix {

// Looks for the label `key` in `line`. Text mode: the value starts after the label and any
// blanks, points and colons that follow it. Numeric mode: the value is the first number at or
// after the label (a sign or point before it is skipped), stored in "General Number".
// `maxLength` characters at most are taken. Returns false and leaves `value` alone when the
// label is absent, so a value found on an earlier line stays.
bool fKeyValue(std::string& value, std::string_view line, std::string_view key, int maxLength,
               bool numeric);

// Removes an opening "(" at the start and then a closing ")" at the end.
void fStripParens(std::string& buffer);

// Unit words to unit codes (-1 unknown); the word must match whole, in any letter case.
int fStressUnits(std::string_view word);
int fLoadUnits(std::string_view word);
int fDispUnits(std::string_view word);
// The short names of displacement and load unit codes ("in", "cm", "mm"; "lbs", "kN"); empty
// for an unknown code.
std::string dispUnitName(int code);
std::string loadUnitName(int code);

// The number that ends just before 1-based position j of `line`; j is left on the blank before
// it (0 when the number starts the line). Never reads before the start of the line. The range
// is single precision, as the header readers have always kept it.
float ftmpMax(long long& j, std::string_view line);

// The note shown when a specimen has more readings than the DOS Norvo file holds.
void FilterNotes(Operator& op);
extern const char* const kFilterNotesText;

}  // namespace plovix

#pragma once
// Cutting lines into fields and small text helpers shared by every reader.

#include <string>
#include <string_view>

namespace plovix {

// Column k (1-based) of a line separated by `separator`, trimmed of blanks. A column ends at
// the next separator, else at the next carriage return, else at the end of the line; a missing
// column is "". (fTabField, in sources/columns.h, picks the separator of the current source.)
std::string separatedField(long long k, std::string_view line, char separator);
// The same as a view into `line`.
std::string_view separatedFieldView(long long k, std::string_view line, char separator);

// Item k (1-based) of a comma list (commaMode: one leading "," is dropped first), or of a text
// separated by character 255, else by CR, else by TAB. Untrimmed; "" when k < 1 or empty.
std::string fListItem(std::string_view list, long long k, bool commaMode);

// 1-based position of `value` in a comma list such as ",1,2,3," (commas are added at either end
// when missing); 0 when absent.
int fListPos(std::string_view value, std::string_view list);
int fListPos(long long value, std::string_view list);

// Folder (part 0, up to and including the last separator) or file name (part 1, with ".NDT"
// appended when it has no ".") of a path. Both "\" and "/" separate. Paths shorter than 2
// characters and other parts give "".
std::string fSplitPath(std::string_view path, int part);

// One pair of enclosing double quotes removed, then trimmed of blanks.
std::string fStripQuotes(std::string_view text);
// The same as a view into `text`.
std::string_view quotesStripped(std::string_view text);

// Removes the leading non-blank characters.
void SkipWord(std::string& text);
void SkipWord(std::string_view& text);
// Removes the leading blanks.
void SkipBlanks(std::string& text);
void SkipBlanks(std::string_view& text);
// 1-based position of the first blank; the length of the text when there is none.
long long fFirstBlank(std::string_view text);

double fMin(double a, double b);
double fMax(double a, double b);

// Leading and trailing blanks removed (blanks only, as the old program trimmed).
std::string trimBlanks(std::string_view text);
// The same as a view into `text`.
std::string_view blanksTrimmed(std::string_view text);
// Upper case of the ASCII letters; other bytes as they are.
std::string upperAscii(std::string_view text);

}  // namespace plovix

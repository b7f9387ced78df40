#pragma once
// Every way the system turns a number into text. "." is the decimal point in every locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace plovix {

// "General Number": plain decimal, no digit grouping, up to 15 significant digits, trailing
// zeros dropped, scientific form ("1E+20", "1E-05") only where the plain form would need more
// than 15 digits or the number is below 0.0001. Used for the settings file, the Norvo file and
// every number stored as text.
std::string formatGeneralNumber(double value);

// "General Number" when that text reads back (by the system's number reading) as the same
// value, else the shortest text that does: "0.05" and "8669" as ever, but 1.7976931348623157E+308
// in full where 15 digits would round it beyond the largest double. For texts that must be read
// back exactly, such as the settings file. Infinity and NaN as "General Number" writes them.
std::string formatRoundTripNumber(double value);

// A number as the old program printed plain numbers: "General Number" with a leading blank
// when it is not negative (" 5", "-5").
std::string formatPrintedNumber(double value);

// A picture format such as "#.00", "0.000", "###.0", "##", "### ", or a two-section format
// such as " 0.0000;-0.0000" (first section for positive numbers and zero, second for negative
// ones, written without a sign of its own). Digits round half away from zero.
std::string formatPicture(double value, std::string_view picture);

// A text laid into a "@" picture: "!@@@" fills from the left (text left-aligned, padded with
// blanks to the number of "@"), "@@@" from the right. A longer text is kept whole.
std::string formatTextPicture(std::string_view text, std::string_view picture);

// Conversion to a whole number: halves go to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t roundHalfEven(double value);

}  // namespace plovix

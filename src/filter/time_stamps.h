#pragma once
// Reading the time stamps of reading lines as the old platform read dates, in US order:
//   a date M/D/Y or M-D-Y (a one- or two-digit year 00-29 is 20xx, 30-99 is 19xx; or a
//   four-digit year), or Y-M-D with a four-digit year, optionally followed by a time;
//   or a time alone, H:MM or H:MM:SS, with an optional AM or PM.
// Blanks around the text are ignored. A time alone falls on the platform's day zero, so the
// difference of two times alone is the difference of the clock readings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plovix {

// Seconds since midnight of 30 December 1899 (the platform's day zero) of the date and time
// in `text`; nullopt when the text is no such date or time.
std::optional<double> fTimeStampSeconds(std::string_view text);

// True when `text` reads as a date or a time.
bool fIsDate(std::string_view text);

// Where the old platform raised "Type mismatch" (error 13): a text that is no date where a
// date was required.
struct DateTypeMismatch {
    std::string text;  // the text that is no date
};

// Whole seconds from `from` to `to` (negative when `to` is earlier). Throws DateTypeMismatch
// when either text is no date or time.
std::int64_t fSecondsBetween(std::string_view from, std::string_view to);

// The text with every "." removed ("10:02 a.m." reads as "10:02 am").
std::string fCleanDate(std::string_view value);

}  // namespace plovix

#pragma once
// A failure numbered as the old platform numbered its run-time errors ("Error: 61 - Disk
// full"). The export and the Humboldt preparation both report their file failures this way.

#include <string>
#include <system_error>

namespace plovix {

// The number is 0 when the failure has no such number: the description then says it all.
struct NumberedError {
    int number = 0;
    std::string description;
};

// The run-time error numbers the messages show.
inline constexpr int kErrInvalidCall = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrSubscript = 9;
inline constexpr int kErrTypeMismatch = 13;
inline constexpr int kErrFileNotFound = 53;
inline constexpr int kErrDiskFull = 61;
inline constexpr int kErrPastEnd = 62;
inline constexpr int kErrPermission = 70;
inline constexpr int kErrFileAccess = 75;
inline constexpr int kErrPathNotFound = 76;

// A system error as the numbered error the messages show.
NumberedError numberedErrorOf(std::error_code error);

// "Error: 61 - Disk full", or the description alone when the error has no number.
std::string errorText(const NumberedError& error);

}  // namespace plovix

#pragma once
// The data display: the current specimen's D/A file as the program understands it, line by
// line, as the display window's list holds it (and as it is printed and written by
// plovix-convert --display): a title block, the file's header facts laid out with labels, and
// every line after the header followed by the values the program takes from it. How each
// source lays out its file is the source's own rule (the table of sources); this runs the file
// through those rules.

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/operator.h"
#include "app/session.h"

namespace plovix {

// The date and time shown as "Date Printed.. " and "Time Printed.. ".
struct PrintedAt {
    std::string date;  // "1/15/2024"
    std::string time;  // "3:04:05 PM"
};

// The moment `when` in the program's date and time texts, in UTC or local time.
PrintedAt printedAt(std::time_t when, bool utc);

// Receives the lines of the display one by one, in order (PrintLine).
using PrintLine = std::function<void(std::string_view)>;

enum class DisplayOutcome {
    Shown,   // every line of the file was shown
    NoData,  // no file: "No data to display"
    Failed,  // "Error in file: ..." was shown; the lines before it stand
};

// Shows DAFile of CurrentSpecimen (Display). The file's header is read again with the source's
// header reader, so the lines show this file's own columns, units and calibration whatever file
// was read last, and each line is read as the reading pass reads it. All of it happens on a copy
// of the session: the import's state does not change. A test-type question of the header
// reader is answered OK without asking: the file was accepted with this test type when it was
// read.
DisplayOutcome Display(const Session& s, Operator& op, const PrintedAt& at, const PrintLine& print);

// The lines of Display, for a window's list.
std::vector<std::string> displayLines(const Session& s, Operator& op, const PrintedAt& at);

}  // namespace plovix

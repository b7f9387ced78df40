#pragma once
// How the data display lays out each source's file: the label of its title line, how many of
// the file's lines are header, the blocks written before the file is read and at the end of the
// header, and the lines written for every line after the header. The table of sources points
// each source at its rules; src/display runs the file through them.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"

namespace plovix {

// A failure while the display reads or formats the file, numbered as the old platform
// numbered it ("Error in file: 6, Overflow").
struct DisplayError {
    int number;
    std::string description;
};

// The display's working state while it shows one file. `s` is the display's own copy of the
// session: nothing the display does to it reaches the import.
struct DisplayContext {
    Session& s;
    Operator& op;
    // One line of the display, in order.
    std::function<void(std::string_view)> print;
    // True when a time stamp reads as a date or a time, by the rule the reading pass uses.
    bool (*isDate)(std::string_view) = nullptr;

    std::int64_t lineCount = 0;  // lines read so far; Geomatic starts it again at each pass
    bool readingShown = false;   // a reading line has been shown (column headings precede it)
    int pass = 0;                // Geomatic: passes whose heading has been shown
    int afterPassEnd = 0;        // Geomatic: lines since a "999" line, that line included

    // Field n of a reading line (fGetField) as a number.
    double field(std::string_view line, int n);
};

struct SourceDisplay {
    const char* label;         // "... program to display " + label + " Shear Data"
    bool showsSpecimenNumber;  // "Shear specimen number..... N" follows the file name
    // How many of the file's lines are header, given where the reading pass starts.
    std::int64_t (*headerLines)(const Session& s, std::int64_t consumed);
    // Written before the file is read; nullptr when there is none.
    void (*beforeReading)(DisplayContext& c);
    // Written after the print date and time, from the header lines and the header facts.
    void (*headerBlock)(DisplayContext& c, std::span<const std::string> header);
    // What is shown for one line after the header.
    void (*readingLine)(DisplayContext& c, const std::string& line);
};

extern const SourceDisplay kGeomaticDisplay;
extern const SourceDisplay kGeoTestDisplay;
extern const SourceDisplay kProprietaryClientDisplay;
extern const SourceDisplay kDurhamGeoDisplay;
extern const SourceDisplay kGeotacDisplay;
extern const SourceDisplay kHumboldtDisplay;
extern const SourceDisplay kEnKayDisplay;
extern const SourceDisplay kEleSoilTestDisplay;

// True when `text`, blanks around it ignored, is a whole number text: an optional sign, digits
// with at most one decimal point, and an optional exponent (E or D).
bool isNumberText(std::string_view text);

}  // namespace plovix

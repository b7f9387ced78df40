#pragma once
// GEOTAC generations as data. The logging programs (numbered versions, Sigma-1, TruePath,
// DigiShear) each wrote the header a little differently; what sets them apart is the version
// line and the sensor line under "[SENSORS]". The version line is recognised once, here, and
// the header reader works from the facts this returns.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "app/session.h"

namespace plovix::geotac {

// What finding a version string does (a bit set).
enum GenerationRule : unsigned {
    kDcdtFromSetting = 1U << 0,     // the DCDT is used when the setting asks for it
    kPlatenShift = 1U << 1,         // the platen column stands one right unless the DCDT is used
    kFirstSensorLine = 1U << 2,     // look-ahead A: the sensor line may name a later generation
    kCellPressureAt25 = 1U << 3,    // look-ahead B: where "Cell Pressure" stands places the columns
    kSensorSection = 1U << 4,       // look-ahead C: an empty, LPT or excitation sensor section
    kMarksVersion414 = 1U << 5,     // "Version 4.1.4": no DCDT until the sensors say otherwise
    kVersion383Boundary = 1U << 6,  // the search reaching this entry unmatched sets Version383
};

struct Generation {
    std::string_view version;  // found as a substring of the version line
    unsigned rules;
};

// The known version strings, in the order they are tested: the first one found wins.
extern const std::array<Generation, 49> kGenerations;

// The TruePath triaxial generations (TruePath column layout, units on line 15).
extern const std::array<std::string_view, 6> kTruePathVersions;

// The version facts of one header.
struct VersionFacts {
    std::string text;  // the version line after the equivalences and look-ahead rewrites
    bool known = false;
    bool useDCDT = false;
    bool oldFormat313 = false;
    bool version383 = false;
    bool version414 = false;
    bool emptySensorSection = false;  // two more lines follow line 8
    int x = 0;  // extra sensor columns before the displacement (Sigma-1 UC and UU)
    int y = 0;  // extra sensor columns before the cell pressure (Sigma-1 UU)
};

// Recognises the version line. `sensorLine` returns the line after "[SENSORS]" (it reads ahead
// in the file, and throws when there is no such section); it is called only by the
// generations that look there.
VersionFacts recogniseVersion(std::string_view versionLine, bool alwaysDCDT,
                              const std::function<std::string()>& sensorLine);

// True when `line` is one of the sensor heading lines whose columns are known as they stand;
// `setsDCDT` tells whether that heading means the displacement comes from the DCDT.
bool isKnownSensorHeading(std::string_view line, bool& setsDCDT);

bool contains(std::string_view text, std::string_view part);

// The data columns that a generation places whatever its sensor lines say; kSame leaves a
// column as it was.
inline constexpr int kSame = -1;
struct Placement {
    int disp, load, aux, cell;
};

// Before the version line is read: direct shear, consolidated drained, the other tests.
inline constexpr Placement kShearDefaults{6, 2, 4, 3};
inline constexpr Placement kDrainedDefaults{4, 2, 4, 3};
inline constexpr Placement kTriaxialDefaults{6, 2, 4, 5};
inline constexpr Placement kUnknownVersion{5, kSame, kSame, 3};
inline constexpr Placement kSigma1CuDrained{6, kSame, kSame, 5};
// TruePath triaxial, with its DCDT or its platen; the auxiliary column is volume (drained)
// or pore pressure.
inline constexpr Placement kTruePathDcdt{3, kSame, 6, 4};
inline constexpr Placement kTruePathPlaten{8, kSame, 6, 4};
inline constexpr int kTruePathVolume = 10;
// Versions stated on line 3 of a file whose version line is not known.
inline constexpr Placement kVersion521Shear{2, 3, kSame, 5};
inline constexpr Placement kUUDirectShear{4, 2, 3, kNoColumn};
inline constexpr Placement kStagesLoadFirst{2, 3, 4, kNoColumn};  // also UC and UU stages
inline constexpr Placement kStagesPoreFirst{2, 4, 3, kNoColumn};

void place(HeaderValues& h, const Placement& p);

// How a generation reads its readings: the column of each channel (kConstantsColumn: the column
// its constants were read from, a number: that column whatever the constants' column) and
// whether the displacement is the reading over its factor.
inline constexpr int kConstantsColumn = -1;
struct ReadingLayout {
    std::string_view name;
    Placement columns;
    bool dispOverFactor;
};
extern const std::array<ReadingLayout, 6> kReadingLayouts;

// The layout of a file's readings, from the test type and the generation facts of its header.
const ReadingLayout& readingLayout(const HeaderValues& h, int testType);
// The readings' columns of a file whose header has been read; a channel whose constants have
// no column has none in the readings either.
ReadingColumns readingColumns(const HeaderValues& h, int testType);

}  // namespace plovix::geotac

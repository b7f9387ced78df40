#include "sources/geotac_layouts.h"

#include <utility>

namespace plovix::geotac {

namespace {

constexpr unsigned kNone = 0;

// The sensor lines that make a "Version 3.7.1/4.1.x" file a later generation.
constexpr std::string_view kLptSensors =
    "Name\tExternal Load Cell\tLPT\tCell Pressure\tLoad Frame Encoder";
constexpr std::string_view kLp223Sensors =
    "Name\tExternal Load Cell\tCell Pressure\tLP-223\tLoad Frame Encoder";

// Position where "Cell Pressure" stands right after "Name", TAB, "External Load Cell", TAB.
constexpr std::size_t kCellPressureRightAfterLoad = 24;

bool namesDisplacementSensor(std::string_view s) {
    return contains(s, "LVDT") || contains(s, "DCDT") || contains(s, "Sensor1");
}

int platenUnlessDCDT(bool useDCDT) {
    return useDCDT ? 0 : 1;
}

struct Recognition {
    VersionFacts& f;
    bool alwaysDCDT;
    const std::function<std::string()>& sensorLine;
    std::string sensors;
    bool sensorsRead = false;

    const std::string& S() {
        if (!sensorsRead) {
            sensors = sensorLine();
            sensorsRead = true;
        }
        return sensors;
    }

    // Look-ahead A. Returns true when the version text was rewritten (the search goes on).
    bool firstSensorLine() {
        const std::string& s = S();
        bool rewritten = false;
        if (contains(s, "Sensor1") || contains(s, "DCDT") || contains(s, "LVDT")) {
            f.text = "Version 3.8.2";
            rewritten = true;
        } else if (s == kLptSensors) {
            f.text = "Version 4.1.3";
            rewritten = true;
        } else if (s == kLp223Sensors) {
            f.text = "Version 4.1.3";
            rewritten = true;
            f.x = platenUnlessDCDT(alwaysDCDT);
        }
        if (contains(s, "DCDT\tPore") && !alwaysDCDT) f.y = 2;
        return rewritten;
    }

    // Look-ahead B.
    void cellPressureAt25() {
        f.useDCDT = alwaysDCDT;
        const std::string& s = S();
        if (s.find("Cell Pressure") == kCellPressureRightAfterLoad) {
            f.y = 0;
            f.x = platenUnlessDCDT(f.useDCDT);
        } else if (namesDisplacementSensor(s)) {
            f.y = 1;
            f.x = f.useDCDT ? -1 : 1;
        }
    }

    // Look-ahead C.
    void sensorSection() {
        const std::string& s = S();
        if (s.empty()) {
            f.useDCDT = false;
            f.x = 1;
            f.emptySensorSection = true;
        } else if (const auto lpt = s.find("LPT"); lpt != std::string::npos) {
            f.y = 1;
            if (s.find("Cell", lpt) != std::string::npos) {
                f.x = -1;
                f.useDCDT = true;
            } else {
                f.x = platenUnlessDCDT(f.useDCDT);
            }
        } else if (!contains(s, "[SENSORS]")) {
            if (!f.version414 && contains(s, "[EXCITATION]")) {
                f.useDCDT = alwaysDCDT;
                f.x = platenUnlessDCDT(f.useDCDT);
            }
        } else {
            f.useDCDT = false;
        }
    }
};

}  // namespace

const std::array<Generation, 49> kGenerations{{
    {"Version 5.2.4", kNone},
    {"Version 1.0.0", kNone},
    {"Sigma-1 CU-SI Version 1.1.0", kNone},
    {"Version 5.2.5", kNone},
    {"Version 2.3.4", kNone},
    {"DigiShear-SI Version 1.2.0", kNone},
    {"Version 2.3", kNone},
    {"Version 1.0.1", kNone},
    {"Version 1.1.4", kNone},
    {"Version 3.2.4", kNone},
    {"Version 3.2.5", kNone},
    {"Version 2.6.1", kNone},
    {"Version 2.6.4", kNone},
    {"Version 2.7.2", kNone},
    {"Version 2.7.3", kNone},
    {"Version 2.7.4", kNone},
    {"Version 2.8.3", kNone},
    {"Version 2.8.4", kNone},
    {"Version 2.9.2", kNone},
    {"Version 2.9.4", kDcdtFromSetting | kPlatenShift},
    {"Version 3.1.2", kNone},
    {"Version 3.1.3", kNone},
    {"Version 3.1.4", kNone},
    {"Version 3.2.1", kNone},
    {"Version 3.2.2", kNone},
    {"Version 3.2.3", kNone},
    {"Version 5.3.2", kDcdtFromSetting},
    {"Version 3.7.1", kFirstSensorLine},
    {"Version 4.1.4", kFirstSensorLine | kMarksVersion414 | kSensorSection},
    {"Version 4.1.2", kFirstSensorLine | kSensorSection},
    {"Version 3.7.4", kNone},
    {"Version 3.7.5", kNone},
    {"Version 3.8.2", kCellPressureAt25},
    {"Version 3.8.3", kVersion383Boundary},
    {"Version 3.8.4", kNone},
    {"Version 3.8.5", kNone},
    {"Version 4.1.3", kSensorSection},
    {"Version 5.4.3", kSensorSection},
    {"Version 5.2.3", kNone},
    {"Sigma-1 CU Version 5.3.1", kNone},
    {"Version 5.3.3", kNone},
    {"Version 5.3.4", kNone},
    {"TruePath; Version 1.2.0", kNone},
    {"TruePath; Version 1.1.0", kNone},
    {"TruePath; Version 5.3.5", kNone},
    {"TruePath; Version 5.4.2", kNone},
    {"TruePath; Version 5.4.4", kNone},
    {"Version 5.4.2", kNone},
    {"Version 5.5.1", kDcdtFromSetting},
}};

const std::array<std::string_view, 6> kTruePathVersions{
    "TruePath; Version 5.3.4", "TruePath; Version 1.1.0", "TruePath; Version 1.2.0",
    "TruePath; Version 5.3.5", "TruePath; Version 5.4.2", "TruePath; Version 5.4.4"};

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

VersionFacts recogniseVersion(std::string_view versionLine, bool alwaysDCDT,
                              const std::function<std::string()>& sensorLine) {
    VersionFacts f;
    f.text = versionLine;
    // Later programs wrote new names for the generations they continued.
    if (contains(f.text, "UU-SI Version 1.0.0")) f.text = "Version 4.1.4";
    if (contains(f.text, "UU-SI Version 1.1.0")) f.text = "Sigma-1 UU Version 3.7.1";
    if (contains(f.text, "Sigma-1 UC-SI Version 1.1.0")) f.text = "Sigma-1 UC Version 2.7.4";
    f.oldFormat313 = contains(f.text, "Version 3.1.2") || contains(f.text, "Version 3.1.3") ||
                     contains(f.text, "Version 3.1.4");

    Recognition r{f, alwaysDCDT, sensorLine, {}, false};
    for (const Generation& g : kGenerations) {
        if ((g.rules & kVersion383Boundary) && !f.known) f.version383 = true;
        if (f.known || !contains(f.text, g.version)) continue;
        f.known = true;
        if (g.rules & kDcdtFromSetting) f.useDCDT = alwaysDCDT;
        if (g.rules & kPlatenShift) f.x = platenUnlessDCDT(f.useDCDT);
        // A rewritten version is looked for again among the generations that follow.
        if ((g.rules & kFirstSensorLine) && r.firstSensorLine()) {
            f.known = false;
            continue;
        }
        if (g.rules & kMarksVersion414) {
            f.version414 = true;
            f.useDCDT = false;
        }
        if (g.rules & kCellPressureAt25) r.cellPressureAt25();
        if (g.rules & kSensorSection) r.sensorSection();
    }
    return f;
}

void place(HeaderValues& h, const Placement& p) {
    for (auto [column, to] : {std::pair{&h.ColDisp, p.disp}, std::pair{&h.ColLoad, p.load},
                              std::pair{&h.ColAux, p.aux}, std::pair{&h.ColCell, p.cell}})
        if (to != kSame) *column = to;
}

namespace {
constexpr int kC = kConstantsColumn;
enum ReadingLayoutIndex : std::size_t {
    kPlatenTriaxial,
    kSensorTriaxial,
    kShear521,
    kShearUUDirect,
    kShearLoadRing,
    kShearOther
};
}  // namespace

const std::array<ReadingLayout, 6> kReadingLayouts{{
    {"triaxial, platen in engineering units", {kC, kC, kC, kC}, true},
    {"triaxial, calibrated sensor", {kC, kC, kC, kC}, false},
    {"direct shear, Version 5.2.1", {kC, 3, kC, 5}, false},
    {"direct shear, UU direct", {kC, kC, kC, kC}, false},
    {"direct shear, load ring", {kC, kC, kC, kC}, true},
    {"direct shear, other generations", {6, kC, kC, kC}, true},
}};

const ReadingLayout& readingLayout(const HeaderValues& h, int testType) {
    if (testType != kDirectShear) {
        // Known versions (and every unconfined file) give the platen's travel, unless the
        // displacement is the DCDT's.
        const bool platen = (testType == kUnconfinedCompression || h.KnownVersion) && !h.UseDCDT;
        return kReadingLayouts[platen ? kPlatenTriaxial : kSensorTriaxial];
    }
    if (h.Version521) return kReadingLayouts[kShear521];
    if (h.UUDirect) return kReadingLayouts[kShearUUDirect];
    if (h.LoadRingDS) return kReadingLayouts[kShearLoadRing];
    return kReadingLayouts[kShearOther];
}

ReadingColumns readingColumns(const HeaderValues& h, int testType) {
    const ReadingLayout& layout = readingLayout(h, testType);
    const auto pick = [](int own, int constants) {
        return own == kConstantsColumn ? constants : own;
    };
    return {pick(layout.columns.disp, h.ColDisp), pick(layout.columns.load, h.ColLoad),
            pick(layout.columns.aux, h.ColAux),
            h.ColCell < 1 ? kNoColumn : pick(layout.columns.cell, h.ColCell),
            layout.dispOverFactor};
}

bool isKnownSensorHeading(std::string_view line, bool& setsDCDT) {
    // Tried in this order; each is the whole line. Only the frame-2 heading reads the DCDT.
    struct Heading {
        std::string_view text;
        bool dcdt;
    };
    static constexpr Heading kHeadings[] = {
        {"Name\tExternal Load Cell\tDCDT\tCell Pressure\tLoad Frame Encoder", false},
        {"Name\tExternal Load Cell\tSensor1\tCell Pressure\tLoad Frame Encoder", false},
        {"Name\tTriaxial Deformation 1\tTriaxial 5K load cell\tTriaxial Pore Pressure 1", false},
        {"Name\tDeformation LP-1893 - Frame 2\t5K Load Cell 255479 - Frame 2", true},
    };
    for (const Heading& h : kHeadings) {
        if (line == h.text) {
            setsDCDT = h.dcdt;
            return true;
        }
    }
    return false;
}

}  // namespace plovix::geotac

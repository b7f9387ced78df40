// A file of this layout (tests/data/geotac/sigma1_cu.TRX; \t a TAB character):
//
//    GEOTAC Sigma-1 Data File
//    Sigma-1 CU Version 5.3.1
//    Project\tLevee Reach 3
//    ...
//    [SENSORS]
//    Name\tExternal Load Cell\tDCDT\tPore Pressure\tCell Pressure\tLoad Frame Encoder
//    ...
//    Units\tlbs\tin\tpsi\tpsi\tin
//    Factor\t8\t0.001\t4\t2\t1
//    [READINGS]
//    Time\tLoad\tDCDT\tPore\tCell\tEncoder
//    10:00:00 AM\t0.75\t0.5\t0.25\t40.5\t0
//
// GEOTAC header. Every generation writes TAB-separated lines in the same order:
//
//    1  title (not read)            9  remarks (triaxial)
//    2  version line               10  "[SENSORS]" (direct shear and UC: within 5 lines)
//    3  project                    11  sensor names, one per data column
//    4  date                       12  second sensor line
//    5  boring, sample number      15 or 16 to 18 or 19: units, calibration factors,
//    6  specimen, depth                excitations and zero readings, one per data column
//    7  diameter, height           then the readings section ("[READINGS]", a stage name
//    8  piston weight or remarks       or the file's own name) and its column heading.
//
// The version line tells the generation (sources/geotac_layouts.h); some generations are only
// told apart by the sensor line under "[SENSORS]", which is read ahead and the reader put back
// where it was, so the count of lines consumed stays true. Unknown versions carry their version
// on line 3 instead and have their own columns.

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "sources/geotac_layouts.h"
#include "sources/header_lines.h"
#include "sources/source_layouts.h"
#include "sources/units.h"
#include "text/fields.h"

namespace plovix {

namespace {

using geotac::contains;

constexpr std::string_view kStageMarkers = "[S1],[S2],[S3],[S4],[ST-3]";
constexpr std::string_view kConsolidationMarkers =
    "[S1],[S2],[S3],[S4],[CIU S1,[CIU S2,[CIU S3,[CIU S4";
constexpr std::string_view kSensorsSection = "[SENSORS]";
constexpr int kLastSensorsLine = 13;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Characters from 1-based position `from`, at most `count`, cut at the end of the text.
std::string_view mid(std::string_view text, std::size_t from, std::size_t count) {
    return from - 1 < text.size() ? text.substr(from - 1, count) : std::string_view{};
}

// 1-based position of `part` in `text`, 0 when absent.
std::size_t position(std::string_view text, std::string_view part) {
    const auto at = text.find(part);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string fileNameOf(std::string_view path) {
    const auto separator = path.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

bool namesDisplacementSensor(std::string_view text) {
    return contains(text, "DCDT") || contains(text, "Sensor1");
}

// Puts the reader back where it was, however the look-ahead ends.
class ReadBack {
  public:
    ReadBack(LineReader& in, LineReader::Position from) : in_(in), back_(in.tell()) {
        in_.seek(from);
    }
    ~ReadBack() { in_.seek(back_); }
    ReadBack(const ReadBack&) = delete;
    ReadBack& operator=(const ReadBack&) = delete;

  private:
    LineReader& in_;
    LineReader::Position back_;
};

class GeotacHeader {
  public:
    GeotacHeader(const Session& s, Operator& op, LineReader& in)
        : s_(s), op_(op), in_(in), found_(startHeader(s)) {}

    HeaderFound read() {
        defaults();
        next();  // the title
        const std::string version = next();
        afterVersion_ = in_.tell();
        facts_ = geotac::recogniseVersion(version, s_.settings.GEOTACADCDT,
                                          [this] { return sensorLine(); });
        h_.KnownVersion = facts_.known;
        h_.UseDCDT = facts_.useDCDT;
        h_.OldFormat313 = facts_.oldFormat313;
        h_.Version383 = facts_.version383;
        h_.Version414 = facts_.version414;
        kindOfTest();
        projectLine(next());
        specimenLines();
        sensorLines();
        unitsAndCalibration();
        const std::int64_t lines = readingsSection();
        // The columns and conversions of the readings, chosen once for the whole file.
        h_.Reading = geotac::readingColumns(h_, test_);
        h_.NormalIsLoad = h_.Version521 && test_ == kDirectShear;
        const bool noDisplacement = h_.KnownVersion ? cal(CalChannel::Disp, kCalFactor) == 0
                                                    : cal(CalChannel::Disp, kCalDivisor) == 0;
        found_.lines = noDisplacement ? 0 : lines;
        return std::move(found_);
    }

  private:
    std::string next() { return headerLine(in_); }
    std::string field(int k, std::string_view line) const { return fTabField(s_, k, line); }
    double& cal(CalChannel channel, int k) { return h_.Cal(channel, k); }
    bool testIs(std::initializer_list<int> tests) const {
        for (int t : tests)
            if (test_ == t) return true;
        return false;
    }

    void defaults() {
        geotac::place(h_, test_ == kDirectShear           ? geotac::kShearDefaults
                          : test_ == kConsolidatedDrained ? geotac::kDrainedDefaults
                                                          : geotac::kTriaxialDefaults);
        h_.ReadingsMarker = "[SHEAR]";
        h_.KnownVersion = h_.TruePathFile = h_.UseDCDT = h_.OldFormat313 = h_.Version383 =
            h_.Version414 = h_.Version521 = h_.UUDirect = h_.RadialStrain = h_.LoadRingDS =
                h_.UnknownUULayout = h_.NormalIsLoad = false;
        // Only some generations state a piston weight; another file's must not stay.
        h_.PistonWeight.clear();
    }

    // The line after the first "[SENSORS]" among lines 3 to 13.
    const std::string& sensorLine() {
        if (!sensors_) {
            ReadBack back(in_, afterVersion_);
            for (int n = 3; n <= kLastSensorsLine; ++n) {
                const auto line = in_.next();
                if (!line) break;
                if (*line == kSensorsSection) {
                    sensors_ = next();
                    return *sensors_;
                }
            }
            throw NotInExpectedFormat{};
        }
        return *sensors_;
    }

    // Line `n` of the file (n >= 3), read ahead.
    std::string lineAt(int n) {
        ReadBack back(in_, afterVersion_);
        std::string line;
        for (int k = 3; k <= n; ++k) line = next();
        return line;
    }

    // Step 4: the kind of test the version line states, and the columns that go with it.
    void kindOfTest() {
        if (!h_.KnownVersion) {
            geotac::place(h_, geotac::kUnknownVersion);
            if (test_ == kUnconsolidatedUndrained) h_.UnknownUULayout = true;
            return;
        }
        const std::string& v = facts_.text;
        if (const auto sigma = v.find("Sigma-1 "); sigma != std::string::npos) {
            const std::string_view kind = mid(v, sigma + 9, 2);
            if (kind == "UC") {
                if (test_ != kUnconfinedCompression) confirmTestType(test_, op_, "an Unconfined");
                int x = facts_.x;
                if (contains(lineAt(12), "Radial Strain LVDT")) {
                    h_.RadialStrain = true;
                    h_.UseDCDT = false;
                    x = 3;
                }
                h_.ColDisp = 3 + x;
            } else if (kind == "UU") {
                if (test_ != kUnconsolidatedUndrained) confirmTestType(test_, op_, "an UU");
                h_.ColDisp = 4 + facts_.x;
                h_.ColCell = 3 + facts_.y;
            } else if (kind == "CU") {
                if (test_ != kCuWithPorePressures) confirmTestType(test_, op_, "a CUPP");
                if (test_ == kConsolidatedDrained) geotac::place(h_, geotac::kSigma1CuDrained);
            }
            return;
        }
        const auto location = v.find("File Location:");
        const std::string_view named = location == std::string::npos
                                           ? std::string_view(v)
                                           : std::string_view(v).substr(0, location);
        if (contains(named, "Shear") || contains(mid(v, 30, 5), "Shear")) {
            if (test_ != kDirectShear) confirmTestType(test_, op_, "a Direct shear");
            return;
        }
        if (test_ < kCuWithPorePressures) confirmTestType(test_, op_, "a CUPP or CD");
        for (std::string_view truePath : geotac::kTruePathVersions) {
            if (!contains(v, truePath)) continue;
            h_.UseDCDT = s_.settings.GEOTACADCDT;
            geotac::place(h_, h_.UseDCDT ? geotac::kTruePathDcdt : geotac::kTruePathPlaten);
            if (test_ == kConsolidatedDrained) h_.ColAux = geotac::kTruePathVolume;
            h_.TruePathFile = true;
            break;
        }
    }

    // Step 5: line 3, the project; an unknown version states its version here.
    void projectLine(const std::string& line) {
        if (h_.KnownVersion) {
            h_.ContractOrProject = field(2, line);
            return;
        }
        const bool v533 = contains(line, "Version 5.3.3");
        if (v533) h_.UseDCDT = s_.settings.GEOTACADCDT;
        if ((v533 || contains(line, "Version 5.3.2")) &&
            testIs({kUnconsolidatedUndrained, kConsolidatedDrained}))
            h_.ColDisp = 4;
        if (contains(line, "Version 5.2.1")) {
            h_.Version521 = true;
            if (test_ == kDirectShear) geotac::place(h_, geotac::kVersion521Shear);
        }
        if (contains(line, "Version 5.3.1") && test_ < kUnconsolidatedUndrained)
            test_ = kUnconsolidatedUndrained;
        if (!contains(line, "Version 5.4.2") && !contains(line, "Version 5.4.4")) return;
        if (test_ == kDirectShear) {
            h_.UUDirect = true;
            geotac::place(h_, geotac::kUUDirectShear);
        } else if (testIs({kConsolidatedUndrained, kCuWithPorePressures})) {
            h_.ReadingsMarker = kConsolidationMarkers;
            const std::string& sensors = sensorLine();
            const bool loadFirst = position(sensors, "LOAD") <= position(sensors, "PORE");
            geotac::place(h_, loadFirst ? geotac::kStagesLoadFirst : geotac::kStagesPoreFirst);
        } else if (testIs({kUnconfinedCompression, kUnconsolidatedUndrained})) {
            h_.ReadingsMarker = kStageMarkers;
            stageSectionsNamedByTheirHeadings(line);
            geotac::place(h_, geotac::kStagesLoadFirst);
            h_.UseDCDT = s_.settings.GEOTACADCDT;
        }
    }

    // A section whose heading begins "Time" may hold the readings: its name joins the markers.
    void stageSectionsNamedByTheirHeadings(const std::string& line3) {
        ReadBack back(in_, in_.tell());
        std::string before = line3;
        for (int n = 0; n < 20; ++n) {
            auto line = in_.next();
            if (!line) break;
            if (startsWith(*line, "Time")) h_.ReadingsMarker += "," + before.substr(0, 7);
            before = std::move(*line);
        }
    }

    // Step 6: lines 4 to 9 (and 10), the specimen.
    void specimenLines() {
        const int spec = s_.specimens.CurrentSpecimen;
        const bool known = h_.KnownVersion;
        std::string line = next();  // 4
        if (known) h_.DateSampled = field(2, line);
        line = next();  // 5
        if (known) {
            h_.BoreholeID = field(2, line);
            h_.SampleNumber = field(4, line);
        }
        line = next();  // 6
        if (known) {
            h_.SpecimenNumber = field(2, line);
            h_.SampleDepth = field(4, line);
        }
        line = next();  // 7
        if (known) {
            h_.DiameterText = field(2, line);
            h_.SpecimenArea(spec) = areaOfDiameter(headerNumber(h_.DiameterText));
            h_.HeightText = field(4, line);
            if (h_.TruePathFile && contains(line, "Piston Weight")) h_.PistonWeight = "0";
        }
        if ((contains(line, "Triaxial") && test_ != kCuWithPorePressures) ||
            (contains(line, "Unconfined") && test_ != kUnconfinedCompression) ||
            (contains(line, "DirectShear") && test_ != kDirectShear))
            confirmTestType(test_, op_, "*unknown test type*");
        line = next();  // 8
        if (!known) {
            h_.PistonWeight = "0";
        } else if (testIs({kUnconfinedCompression, kDirectShear})) {
            h_.Remarks = field(2, line);
            h_.PistonWeight = "0";
        } else if (!h_.TruePathFile) {
            h_.PistonWeight = field(2, line);
        }
        // An empty sensor section comes with two more lines here.
        if (facts_.emptySensorSection) {
            next();
            next();
        }
        line = next();  // 9
        if (known && test_ >= kUnconsolidatedUndrained && !h_.TruePathFile)
            h_.Remarks = field(2, line);
        line = next();  // 10
        if (known && testIs({kUnconfinedCompression, kDirectShear})) {
            for (int n = 1; n < 5 && !startsWith(line, kSensorsSection); ++n) line = next();
            if (!startsWith(line, kSensorsSection))
                confirmTestType(test_, op_, "*unknown test type*");
        }
    }

    // Step 8: lines 11 and 12 name the sensors, and so the data columns.
    void sensorLines() {
        line11_ = next();
        if (line11_.empty() && h_.KnownVersion) next();
        const std::string line12 = next();
        const Settings& set = s_.settings;

        for (const std::string* line : {static_cast<const std::string*>(&line11_), &line12}) {
            if (set.GEOTACADCDT && test_ != kDirectShear) {
                if (namesDisplacementSensor(field(3, *line))) {
                    h_.ColDisp = 3;
                    h_.UseDCDT = true;
                } else if (namesDisplacementSensor(field(4, *line))) {
                    h_.ColDisp = 4;
                    h_.UseDCDT = true;
                }
                if (test_ == kUnconsolidatedUndrained && contains(*line, "Pore Pressure") &&
                    !contains(*line, "DCDT")) {
                    h_.ColDisp = 5;
                    h_.UseDCDT = true;
                }
            } else if (testIs({kUnconfinedCompression, kUnconsolidatedUndrained})) {
                bool setsDCDT = false;
                if (geotac::isKnownSensorHeading(*line, setsDCDT)) {
                    if (setsDCDT) h_.UseDCDT = true;
                    continue;
                }
                const std::string f4 = field(4, *line);
                if (namesDisplacementSensor(f4)) {
                    h_.ColDisp = 5;
                } else if (contains(f4, "Pore Pressure")) {
                    h_.ColDisp = 6;
                } else if (namesDisplacementSensor(field(3, *line))) {
                    h_.ColDisp = 4;
                }
            }
        }
        if (contains(line12, "Pump Pressure")) {
            if (test_ == kUnconsolidatedUndrained) {
                h_.ColDisp = 5;
                if (h_.Version383) h_.ColCell = 4;
            } else if (contains(line12, "DCDT")) {
                h_.ColDisp = h_.UseDCDT ? 3 : 7;
            } else {
                h_.ColDisp = 7;
            }
        }
        if (contains(line12, "DP-15")) {
            h_.ColCell = 6;
            h_.ColAux = 5;
        }
        if (h_.TruePathFile && contains(line11_, "Internal Load Cell")) {
            ++h_.ColCell;
            ++h_.ColAux;
            if (set.GEOTACUIL) h_.ColLoad = 3;
        }
        if (h_.OldFormat313 && contains(line12, "LDT")) {
            h_.ColDisp = 4;
            h_.UseDCDT = false;
        }
    }

    void readCalibration(const std::string& line, int k) {
        cal(CalChannel::Load, k) = headerNumber(field(h_.ColLoad, line));
        cal(CalChannel::Aux, k) = headerNumber(field(h_.ColAux, line));
        cal(CalChannel::Cell, k) = headerNumber(field(h_.ColCell, line));
        cal(CalChannel::Disp, k) = headerNumber(field(h_.ColDisp, line));
    }

    // Step 9: the unit line and the three calibration lines.
    void unitsAndCalibration() {
        const int first = test_ == kDirectShear || h_.TruePathFile || !h_.KnownVersion ? 15 : 16;
        for (int n = 13; n < first; ++n) next();

        const std::string units = next();
        h_.LoadUnit =
            startsWith(upperAscii(field(h_.ColLoad, units)), "LB") ? kPounds : kKilonewtons;
        h_.StressUnit = fStressUnits(
            field(testIs({kUnconsolidatedUndrained, kConsolidatedUndrained, kConsolidatedDrained})
                      ? h_.ColCell
                      : h_.ColAux,
                  units));
        for (;;) {
            const std::string unit = upperAscii(field(h_.ColDisp, units)).substr(0, 2);
            if (unit == "IN" || unit == "CM") {
                h_.DispUnit = unit == "IN" ? kInches : kCentimetres;
                break;
            }
            // An unknown triaxial layout may carry more columns before its displacement.
            if (!h_.KnownVersion && testIs({kUnconsolidatedUndrained, kConsolidatedDrained}) &&
                !startsWith(h_.ReadingsMarker, kStageMarkers) &&
                !field(h_.ColDisp + 1, units).empty()) {
                ++h_.ColDisp;
                h_.UnknownUULayout = true;
                continue;
            }
            h_.DispUnit = kMillimetres;
            break;
        }

        const std::string factors = next();
        // Platen and DCDT stand in one column of known unconfined files when the fourth is
        // filled; the constants are those of the column read.
        if (h_.KnownVersion && test_ == kUnconfinedCompression && !h_.TruePathFile && !h_.UseDCDT &&
            !field(4, factors).empty() && !h_.RadialStrain)
            h_.ColDisp = 4;
        readCalibration(factors, kCalFactor);
        if (h_.UUDirect) loadRing();
        readCalibration(next(), kCalDivisor);
        readCalibration(next(), kCalZero);
        // -1 tells the field extraction to take the first displacement read as the zero.
        if (s_.settings.GEOTACUFDAZ) cal(CalChannel::Disp, kCalZero) = -1.0;
    }

    // Unit factors on every channel and none on the cell: a direct shear box with a load ring.
    void loadRing() {
        if (cal(CalChannel::Load, kCalFactor) * cal(CalChannel::Aux, kCalFactor) *
                    cal(CalChannel::Disp, kCalFactor) !=
                1.0 ||
            cal(CalChannel::Cell, kCalFactor) != 0.0)
            return;
        h_.LoadRingDS = true;
        h_.UUDirect = false;
        if (test_ != kDirectShear) {
            confirmTestType(test_, op_, "not Direct Shear");
            return;
        }
        const auto horizontal = line11_.find("HzShear2");
        const auto vertical = line11_.find("VrtShear3");
        if (horizontal == std::string::npos || vertical == std::string::npos) return;
        h_.ColCell = kNoColumn;
        h_.ReadingsMarker = "TIME\tLR";
        h_.ColDisp = vertical < horizontal ? 4 : 3;
        h_.ColAux = vertical < horizontal ? 3 : 4;
    }

    // Step 10: up to the readings section. Returns the documented count; the column heading
    // (and the units under the load-ring heading) are consumed too, never left as readings.
    std::int64_t readingsSection() {
        const std::string ownSection =
            "[" + upperAscii(fileNameOf(s_.settings.DAFile).substr(0, 6));
        auto head = [](const std::string& line) { return upperAscii(line.substr(0, 7)); };
        std::string line;
        for (;;) {
            line = next();
            const std::string h = head(line);
            if (h == "[READIN" || h == ownSection || fListPos(h, h_.ReadingsMarker) > 0) break;
        }
        if (h_.Version521) {
            while (!next().empty()) {
            }
            line = next();
        }
        const std::int64_t lines = in_.linesConsumed() - (h_.LoadRingDS ? 1 : 0);
        if (head(line) != ownSection) next();
        return lines;
    }

    const Session& s_;
    Operator& op_;
    LineReader& in_;
    HeaderFound found_;
    // What the reader fills: its own header values, and the test type the file is read as
    // ("Version 5.3.1" on line 3 makes direct shear and UC files UU).
    HeaderValues& h_ = found_.header;
    int& test_ = found_.testType;
    LineReader::Position afterVersion_;
    geotac::VersionFacts facts_;
    std::optional<std::string> sensors_;
    std::string line11_;
};

}  // namespace

HeaderFound geotacHeader(const Session& s, Operator& op, LineReader& in) {
    return GeotacHeader(s, op, in).read();
}

}  // namespace plovix

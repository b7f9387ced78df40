#include "filter/specimen_store.h"

#include <string>

#include "filter/time_stamps.h"
#include "sources/field_math.h"
#include "sources/source_traits.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

constexpr int kColumnWidthTwips = 1650;

std::string count(std::int64_t n) {
    return std::to_string(n);
}

std::string loadUnitName(const Session& s) {
    return s.header.LoadUnit == kPounds ? "lbs" : "kN";
}

// The heading over the normal stress; false when this case leaves it as it is.
bool normalStressHeading(const Session& s, std::string& heading) {
    const HeaderValues& h = s.header;
    const int test = s.program.TestType;
    if (test == kUnconfinedCompression) {
        heading.clear();
    } else if (test != kDirectShear) {
        heading = "Cell Pressure (" + stressUnitName(s, h.StressUnit) + "):";
    } else {
        switch (traitsOf(s.settings).directShearNormalHeading) {
            case DirectShearNormalHeading::VerticalStress:
                heading = "Vertical Stress (" + stressUnitName(s, h.StressUnit) + "):";
                break;
            case DirectShearNormalHeading::LoadOrStressByGeneration:
                if (h.NormalIsLoad) {
                    heading = "Vertical Load (" + loadUnitName(s) + "):";
                } else {
                    const char* unit = h.LoadUnit != kPounds   ? "kN/cm2"
                                       : s.settings.GEOTACNPSF ? "psf"
                                                               : "psi";
                    heading = std::string("Vertical Stress (") + unit + "):";
                }
                break;
            case DirectShearNormalHeading::StressWithFullTransfer:
                if (!s.settings.HUMFTHSD) return false;
                heading =
                    std::string("Vertical Stress (") + (h.StressUnit == kPsi ? "psi" : "") + "):";
                break;
            case DirectShearNormalHeading::VerticalLoad:
                heading = "Vertical Load (" + loadUnitName(s) + "):";
                break;
        }
    }
    return true;
}

// The value as the label shows it; the stored value becomes the one shown.
std::string normalStressText(double& value) {
    if (value == 0) return "n/a";
    const std::string text = formatPicture(value, value >= 0.01 ? "#.00" : "#.000");
    value = readNumber(text);
    return text;
}

std::string rightmost(const std::string& text, std::size_t n) {
    return text.size() <= n ? text : text.substr(text.size() - n);
}

double minutesBetween(const std::string& from, const std::string& to) {
    return static_cast<double>(fSecondsBetween(from, to)) / 60;
}

// Durham Geo clocks: whole hours from the leading numbers, minutes and seconds from the clock
// faces, so a test that runs past the hour is still timed right. The hours are whatever number
// the text starts with: the sum is taken in floating point, so an absurd one gives an absurd
// time, never an integer overflow.
double durhamMinutes(const std::string& start, const std::string& end) {
    auto seconds = static_cast<double>(roundHalfEven((readNumber(end) - readNumber(start)) * 3600));
    auto d = static_cast<double>(
        fSecondsBetween("00:" + rightmost(start, 6), "00:" + rightmost(end, 6)));
    if (d < 0) {
        d += 3600;
        seconds -= 3600;
    }
    return (seconds + d) / 60;
}

// The mean of `sum` over `count` readings; none to average over gives 0.
double meanOver(double sum, std::int64_t count) {
    return count == 0 ? 0 : sum / static_cast<double>(count);
}

}  // namespace

NewColumn AddSpecimen(Session& s) {
    SpecimenFiles& f = s.specimens;
    const int n = f.CurrentSpecimen;
    checkIndex("specimen", n - 1, kMaxSpecimen - 1);
    f.Column(n) = SpecimenColumn{};
    f.SpecimenFileName(n).clear();
    f.ReadingsToWrite(n) = 0;
    f.SkipDispRepeats(n) = f.SkipDispRepeats(1);
    f.SkipLoadRepeats(n) = f.SkipLoadRepeats(1);
    return {(n - 1) * kColumnWidthTwips, n < kMaxSpecimen};
}

SpecimenMark specimenMark(const Session& s, int specimen) {
    if (specimen == s.specimens.CurrentSpecimen) return SpecimenMark::Current;
    return specimen <= s.specimens.SpecimenCount ? SpecimenMark::Imported
                                                 : SpecimenMark::NotImported;
}

SpecimenMarks SetSpecimen(Session& s) {
    SpecimenMarks marks{};
    for (int i = 1; i <= kMaxSpecimen; ++i) marks[static_cast<std::size_t>(i)] = specimenMark(s, i);
    SpecimenFiles& f = s.specimens;
    const int n = f.CurrentSpecimen;
    if (n >= 1 && n <= f.SpecimenCount)
        s.settings.DAFile = f.SpecimenPath(n) + f.SpecimenFileName(n);
    return marks;
}

CycleUse usedCycles(const Session& s) {
    const int n = s.specimens.CurrentSpecimen;
    const int run = s.specimens.CurRun;
    const int cycles = s.cycles.NumCycles(n, run);
    CycleUse use;
    for (int c = 1; c <= cycles && c <= kMaxCycle; ++c) {
        if (s.cycles.UseCycle(n, run, c) == 0) continue;
        ++use.cycles;
        use.readings += s.cycles.CycleReadings(run, c);
    }
    return use;
}

CycleUse tickCycle(Session& s, int cycle, bool ticked) {
    checkIndex("cycle", cycle - 1, kMaxCycle - 1);
    s.cycles.UseCycle(s.specimens.CurrentSpecimen, s.specimens.CurRun, cycle) = ticked ? 1 : 0;
    return usedCycles(s);
}

void ShowSurveyResults(Session& s, std::int64_t usedCycleCount) {
    s.pass.UsedCycles = usedCycleCount;
    const int n = s.specimens.CurrentSpecimen;
    const ReadingPass& p = s.pass;
    SpecimenColumn& col = s.specimens.Column(n);
    ResultHeadings& headings = s.specimens.Headings;
    const int test = s.program.TestType;
    if (test == kDirectShear) {
        col.cyclesInFile = count(s.cycles.NumCycles(n, s.specimens.CurRun));
        col.cycleReadings = count(usedCycleCount) + " / " + count(p.ReadCount);
    }
    col.readingsInFile = count(p.ReadingsInFile);
    if (test == kUnconfinedCompression) {
        headings.cycleReadingsEnabled = false;
        col.cycleReadingsEnabled = false;
    }
    col.initialDispRepeats = count(p.InitDispRepeats);
    col.initialLoadRepeats = count(p.InitLoadRepeats);
    if (!p.Exporting) {
        col.metDisp.clear();
        col.metLoad.clear();
        col.readingsToWrite.clear();
    }
    col.maxLoad = formatPicture(p.SpecMaxLoad(n), "#.00");
    headings.maxLoad = "Maximum Load (" + loadUnitName(s) + "):";
}

bool readingsToWriteInRed(std::int64_t n, bool windowsNorvo) {
    return !((n > 0 && n < 100) || windowsNorvo);
}

void ShowReadingsToWrite(Session& s, std::int64_t dispCount, std::int64_t loadCount) {
    const int specimen = s.specimens.CurrentSpecimen;
    const std::int64_t n = s.pass.NumToWrite;
    SpecimenColumn& col = s.specimens.Column(specimen);
    col.readingsToWrite = count(n);
    col.readingsToWriteRed = readingsToWriteInRed(n, s.settings.NVWIN);
    col.metDisp = count(dispCount);
    col.metLoad = count(loadCount);
    s.pass.MetDisp = dispCount;
    s.pass.MetLoad = loadCount;
    s.specimens.ReadingsToWrite(specimen) = n;
}

std::string timeOrRateText(double value) {
    if (value >= 0.1) return formatPicture(value, "0.0");
    if (value >= 0.01) return formatPicture(value, "0.00");
    return formatPicture(value, "0.000");
}

void SetTimeOrRate(Session& s, const FieldValue& startTime, const FieldValue& endTime,
                   double travel) {
    const int n = s.specimens.CurrentSpecimen;
    double& t = s.header.TimeOrRate(n);
    std::string& heading = s.specimens.Headings.timeOrRate;
    const Settings& set = s.settings;
    const bool directShear = s.program.TestType == kDirectShear;
    const std::string start = startTime.toText();
    const std::string end = endTime.toText();
    switch (traitsOf(set).timeOfTest) {
        case TimeOfTest::FieldDifference:
            t = endTime.toNumber() - startTime.toNumber();
            break;
        case TimeOfTest::MinutesOrRateBySettings: {
            const double minutes = minutesBetween(fCleanDate(start), fCleanDate(end));
            if (set.GEOTACROS) {
                const double length =
                    readNumber(directShear ? s.header.DiameterText : s.header.HeightText);
                t = minutes <= 0 || length <= 0 ? 0 : travel * 100 / length / minutes;
                heading = "Approx. rate of strain (%/min):";
            } else if (set.GEOTACIPM) {
                t = minutes == 0 ? 0 : travel / minutes;
                heading = "Inches per min:";
            } else {
                t = minutes;
                heading = "Time of test (min):";
            }
            break;
        }
        case TimeOfTest::DurhamClock:
            t = s.header.TouchScreenFile ? minutesBetween(rightmost(start, 8), rightmost(end, 8))
                                         : durhamMinutes(start, end);
            break;
        case TimeOfTest::MinutesOrRateOfStrain:
            if (!start.empty() && !end.empty())
                t = fIsDate(start) && fIsDate(end) ? minutesBetween(start, end) : 0;
            else if (!set.HUMFTHSD)
                t = 0;
            if (set.HUMROS) {
                heading = "Rate of strain:";
                if (!set.HUMFTHSD)
                    t = t <= 0 ? 0 : travel / t;
                else if (set.HUMREADXL && directShear && t > 0)
                    t = travel / t;
            } else {
                heading = "Time to failure (min):";
            }
            break;
        case TimeOfTest::RateOfStrainAsRead:
            heading = "Rate of strain:";
            break;
        case TimeOfTest::FromHeader:
            break;
    }
}

void SetNormalStress(Session& s) {
    const int n = s.specimens.CurrentSpecimen;
    const HeaderValues& h = s.header;
    const ReadingPass& p = s.pass;
    double& stress = s.header.NormalStress(n);
    const int test = s.program.TestType;
    // Readings whose normal value was summed: the inserted zero is written but not summed.
    const std::int64_t summed = p.NumToWrite - (p.InsertZero(n) ? 1 : 0);
    // Other sources keep the value of their header (a Geomatic normal stress, a Durham Geo
    // normal stress, a Humboldt full-transfer value).
    const NormalStressRule rule = traitsOf(s.settings).normalStress;
    if (test == kUnconfinedCompression ||
        (rule == NormalStressRule::FromHeaderUnlessGeoFile && h.GeoFile))
        stress = 0;
    switch (rule) {
        case NormalStressRule::CalibratedCellMean:
            stress = meanOver(checkedDiv(h.Cal(CalChannel::Cell, kCalFactor),
                                         h.Cal(CalChannel::Cell, kCalDivisor)) *
                                  p.NormalSum,
                              p.NumToWrite);
            break;
        case NormalStressRule::FourthChannelMean:
            if (test == kCuWithPorePressures && h.Channel4Present)
                stress = meanOver(p.NormalSum, summed);
            break;
        case NormalStressRule::LoadOverArea:
            stress = meanOver(p.NormalSum, summed);
            if (test == kDirectShear && h.SpecimenArea(n) > 0) stress /= h.SpecimenArea(n);
            if (h.LoadUnit == kPounds && s.settings.GEOTACNPSF) stress *= 144;
            break;
        case NormalStressRule::PorePressureTestMean:
            if (test == kCuWithPorePressures) stress = meanOver(p.NormalSum, p.NumToWrite);
            break;
        case NormalStressRule::FromHeader:
        case NormalStressRule::FromHeaderUnlessGeoFile:
            break;
    }
}

void ShowTimeOrRate(Session& s) {
    const int n = s.specimens.CurrentSpecimen;
    s.specimens.Column(n).timeOrRate = timeOrRateText(s.header.TimeOrRate(n));
}

void ShowNormalStress(Session& s) {
    const int n = s.specimens.CurrentSpecimen;
    double& value = s.header.NormalStress(n);
    ResultHeadings& headings = s.specimens.Headings;
    headings.normalStressEnabled = value != 0;
    std::string text = normalStressText(value);
    // Full-transfer Humboldt values are shown as read once more.
    if (usesFullTransfer(s.settings) && s.program.TestType >= kDirectShear) {
        headings.normalStressEnabled = value != 0;
        text = normalStressText(value);
    }
    s.specimens.Column(n).normalStress = text;
    normalStressHeading(s, headings.normalStress);
}

}  // namespace plovix

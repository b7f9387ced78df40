// The reading pass of one specimen. The D/A file is read twice, line by line: the survey pass
// walks the used cycles, counts the readings and finds each cycle's key loads; the filter pass
// starts again at the first logged reading and keeps the first reading, the key loads and the
// readings that moved far enough. Nothing of the file is held beyond the line being read: lines
// are views into the reader's block, and each line's columns are found once for all its fields.

#include "filter/reading_pass.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "app/operation.h"
#include "filter/specimen_store.h"
#include "filter/time_stamps.h"
#include "sources/cycles.h"
#include "sources/field_math.h"
#include "sources/get_field.h"
#include "sources/header_reader.h"
#include "sources/source_table.h"
#include "sources/units.h"
#include "text/fields.h"
#include "text/line_columns.h"
#include "text/line_reader.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

// A run-time failure inside the pass, numbered as the old platform numbered it.
struct PassError {
    int number;
    std::string description;
};

// Status line, progress and pending events every so many readings: once per reading is far too
// slow for a file of a million readings.
constexpr std::int64_t kReportEvery = 1000;

const char* const kUnsupportedFileNote =
    "This error may indicate that the file you are trying to import is an unsupported file "
    "type.  Please send the file to KALVORN for analysis.";

class Pass {
  public:
    Pass(Session& s, Operator& op, ReadingSink* sink, ReadingObserver* observer)
        : s_(s),
          op_(op),
          sink_(sink),
          observer_(observer),
          p_(s.pass),
          traits_(traitsOf(s.settings)),
          specimen_(s.specimens.CurrentSpecimen) {}

    PassOutcome run();
    int waypoint() const { return waypoint_; }

  private:
    int testType() const { return s_.program.TestType; }
    int& curRun() { return s_.specimens.CurRun; }
    int& curCycle() { return s_.specimens.CurCycle; }
    int useCycle() { return s_.cycles.UseCycle(specimen_, curRun(), curCycle()); }
    // Field 3 is read for direct shear, CU with pore pressures and consolidated drained tests.
    bool readsThird() const {
        return testType() == kDirectShear || testType() == kCuWithPorePressures ||
               testType() == kConsolidatedDrained;
    }
    // Field 5, the normal value of each reading, where the header announced the channel.
    bool readsNormal() const {
        return traits_.normalChannel && testType() >= kDirectShear && s_.header.ColCell >= 1;
    }

    double field(const LineColumns& line, int n) { return fGetField(s_, op_, line, n).toNumber(); }
    // The same for the line the pass has in hand (the survey's or the filter's, which change
    // only by reset): a field asked for again for the same line is not read again. What a
    // field reader reads besides the line (the header, the settings, VertZero) does not change
    // while the pass looks at one line, so it would give the same number; a field that showed
    // a message instead is read again, so that it shows the message again. A plain field is
    // read straight from the line, which keeps its numbers.
    double lineField(const LineColumns& line, int n) {
        if (double plain = 0; plain_.read(line, n, plain)) return plain;
        const LineFields& f = lineFields_;
        if (f.line == &line && f.resets == line.resets() && n >= 1 && n < kLineFields &&
            (f.known >> n & 1u) != 0)
            return f.values[static_cast<std::size_t>(n)];
        return readLineField(line, n);
    }
    double readLineField(const LineColumns& line, int n);
    void open();
    // The next line, valid until the next one is read.
    std::string_view readDataLine();
    void status(const std::string& text, int colour) { op_.showStatus(text, colour); }
    void enterNextCycle();

    void survey(LineColumns& line);
    void LogReading(const LineColumns& DS, bool& loadFlag, bool& dispFlag);
    void SkipThisCycle(LineColumns& line);
    void betweenPasses();
    void filter();
    std::string firstReading();
    void keepOrDrop(double rawLoad);
    void UseReading(bool first);
    // The held closing reading of the cycle before is written.
    void useHeldReading();
    void observe(bool kept) {
        if (observer_) observer_->reading(curCycle(), p_.CurDisp, p_.CurLoad, kept);
    }
    double fSDispAdjusted(double SDisp) const;
    void writeReading(double disp, double load, double third);
    void reportFiltering(std::int64_t r);
    void showResults();

    Session& s_;
    Operator& op_;
    ReadingSink* sink_;
    ReadingObserver* observer_;
    ReadingPass& p_;
    const SourceTraits& traits_;
    const int specimen_;
    int waypoint_ = 0;
    std::optional<LineReader> in_;
    PlainFields plain_;  // once the header has been read

    bool forward_ = true;
    bool forwardAtFirst_ = true;  // the direction the survey had at its first logged reading
    bool anyLogged_ = false;
    std::array<bool, kMaxCycle + 1> logged_{};  // cycles in which the survey logged a reading
    std::int64_t usedCycles_ = 0;
    std::int64_t dispCount_ = 0, loadCount_ = 0;
    FieldValue startTime_ = FieldValue::text("");
    bool startTimeKnown_ = false;
    double startDisp_ = 0;
    double adjustedDisp_ = 0;  // the last adjusted displacement written
    std::string lastLine_;
    static constexpr int kLineFields = 6;  // fields 1 to 5
    struct LineFields {
        const LineColumns* line = nullptr;
        std::uint64_t resets = 0;
        unsigned known = 0;  // bit n: field n is in values[n]
        std::array<double, kLineFields> values{};
    } lineFields_;
};

double Pass::readLineField(const LineColumns& line, int n) {
    LineFields& f = lineFields_;
    if (f.line != &line || f.resets != line.resets()) f = {&line, line.resets(), 0, {}};
    const bool keepable = n >= 1 && n < kLineFields;
    const unsigned bit = keepable ? 1u << n : 0u;
    const FieldValue value = fGetField(s_, op_, line, n);
    const double number = value.toNumber();
    if (keepable && value.kind() == FieldValue::Kind::Number) {
        f.known |= bit;
        f.values[static_cast<std::size_t>(n)] = number;
    }
    return number;
}

void Pass::open() {
    in_.reset();
    in_ = LineReader::open(s_.settings.DAFile);
    if (!in_) throw PassError{53, "File not found"};
}

std::string_view Pass::readDataLine() {
    const auto line = in_->nextView(s_.header.LineByLF);
    if (!line) throw PassError{62, "Input past end of file"};
    p_.LineNo = in_->linesConsumed();
    return *line;
}

// The tables hold 10 cycles a run: an eleventh ends the pass, as it ends the pre-processing.
void Pass::enterNextCycle() {
    if (curCycle() >= kMaxCycle) {
        op_.tell("Limit of 10 direction changes exceeded");
        throw OperationEnded{};
    }
    ++curCycle();
}

PassOutcome Pass::run() {
    waypoint_ = 0;
    for (int r = 1; r <= kMaxRun; ++r) {
        for (int c = 1; c <= kMaxCycle; ++c) {
            p_.CycleMaxLoad(specimen_, r, c) = kNoLoadLogged;
            p_.CycleHighLoad(specimen_, r, c) = kNoLoadLogged;
        }
    }
    waypoint_ = 1;
    p_.LineNo = 0;
    curRun() = 0;
    p_.SpecMaxLoad(specimen_) = 0;
    // Nothing read in this pass may reach the block of the specimen exported before it, and no
    // line held or end armed by another file may act on this one.
    p_.ExportOpen = false;
    p_.PrevLine.clear();
    p_.PendingEnd = false;
    p_.CurThird = p_.FirstThird = p_.NormalReading = p_.NormalSum = p_.VertZero = 0;
    open();

    const HeaderResult header = fSkipHeaders(s_, op_, *in_);
    if (header.status == HeaderStatus::Ended) return PassOutcome::Ended;
    p_.HeaderLines = header.lines;
    plain_ = PlainFields(s_);
    // The lines really consumed: the documented count of some layouts differs from it.
    p_.LineNo = in_->linesConsumed();
    if (header.status == HeaderStatus::OpenSettings || header.lines == 0) {
        op_.tell(s_.program.AppVersion +
                 "Error: Wrong test type or unknown file format (contact KALVORN in that case)");
        return header.status == HeaderStatus::OpenSettings ? PassOutcome::OpenSettings
                                                           : PassOutcome::Refused;
    }

    waypoint_ = 2;
    p_.ReadCount = 0;
    ++curRun();
    curCycle() = 1;
    p_.InitLoadRepeats = p_.InitDispRepeats = 0;
    p_.FirstLine(specimen_) = 0;
    LineColumns line(readDataLine());
    p_.LastDisp = lineField(line, 1);
    p_.LastLoad = lineField(line, 2);
    forward_ = true;
    bool insertZero = false;
    switch (traits_.zeroInsertion) {
        case ZeroInsertion::Never:
            break;
        case ZeroInsertion::WhenAskedAndFirstDisplacementNonZero:
            if (!s_.settings.GEOTACI0) break;
            [[fallthrough]];
        case ZeroInsertion::WhenFirstDisplacementNonZero:
            insertZero = lineField(line, 1) != 0;
            break;
    }
    p_.InsertZero(specimen_) = insertZero;

    survey(line);
    betweenPasses();
    if (anyLogged_) {
        filter();
    } else {
        // Every cycle left out: there is nothing to filter.
        p_.NumToWrite = 0;
        dispCount_ = loadCount_ = 0;
        SpecimenColumn& col = s_.specimens.Column(specimen_);
        col.timeOrRate.clear();
        col.normalStress.clear();
        showResults();
    }
    return PassOutcome::Done;
}

void Pass::survey(LineColumns& line) {
    status("Reading files", kStatusReading);
    waypoint_ = 3;
    bool loadFlag = true, dispFlag = true;
    bool more = true;
    usedCycles_ = useCycle() == 1 ? 1 : 0;
    std::int64_t lines = 0;
    for (;;) {
        if (useCycle() != 0) LogReading(line, loadFlag, dispFlag);
        p_.LastDisp = p_.PrevDisp = lineField(line, 1);
        p_.LastLoad = lineField(line, 2);
        if (in_->atEnd()) break;
        line.reset(readDataLine());
        if (++lines % kReportEvery == 0) op_.processEvents();
        p_.CurDisp = lineField(line, 1);
        bool cycleEnd = fEndOfCycle(s_, op_, *in_, line, forward_);
        // The survey only reads past the Geomatic shear markers: no reading is used here.
        if (cycleEnd) more = !fEndOfData(s_, op_, *in_, line);
        p_.LineNo = in_->linesConsumed();
        // Where the data end, the run ends: there is no next cycle to move on to.
        while (cycleEnd && more) {
            enterNextCycle();
            if (useCycle() == 1) {
                cycleEnd = false;
                ++usedCycles_;
            } else {
                SkipThisCycle(line);
                more = !fEndOfData(s_, op_, *in_, line);
                p_.LineNo = in_->linesConsumed();
            }
        }
        if (!more) break;
    }
}

void Pass::LogReading(const LineColumns& DS, bool& loadFlag, bool& dispFlag) {
    p_.CurLoad = lineField(DS, 2);
    ++p_.ReadCount;
    const int run = curRun(), cycle = curCycle();
    double& maxLoad = p_.CycleMaxLoad(specimen_, run, cycle);
    double& highLoad = p_.CycleHighLoad(specimen_, run, cycle);
    double& minLoad = p_.CycleMinLoad(specimen_, run, cycle);
    if (maxLoad == kNoLoadLogged) {
        maxLoad = highLoad = minLoad = p_.CurLoad;
    } else {
        minLoad = std::min(minLoad, p_.CurLoad);
        if (p_.CurLoad <= maxLoad) {
            if (p_.CurLoad > highLoad) highLoad = p_.CurLoad;
        } else {
            maxLoad = p_.CurLoad;
        }
    }
    logged_[static_cast<std::size_t>(cycle)] = true;
    p_.CurLoad = std::fabs(p_.CurLoad);

    if (!anyLogged_) {
        anyLogged_ = true;
        p_.MinAbsLoad(specimen_) = p_.CurLoad;
        p_.FirstLine(specimen_) = p_.LineNo;
        p_.FirstRun(specimen_) = run;
        p_.FirstCycle(specimen_) = cycle;
        forwardAtFirst_ = forward_;
        return;
    }
    p_.MinAbsLoad(specimen_) = std::min(p_.CurLoad, p_.MinAbsLoad(specimen_));
    if (loadFlag) {
        if (p_.CurLoad == p_.LastLoad)
            ++p_.InitLoadRepeats;
        else
            loadFlag = false;
    }
    p_.CurDisp = lineField(DS, 1);
    if (dispFlag && p_.CurDisp == p_.LastDisp) {
        ++p_.InitDispRepeats;
        return;
    }
    dispFlag = false;
}

// Reads past a cycle the operator left out. `line` begins the cycle on entry and is, on
// return, the line that ended it, from which the pass goes on as after any cycle end. The end
// of the file ends the skip.
void Pass::SkipThisCycle(LineColumns& line) {
    switch (traits_.cycleSkip) {
        case CycleSkip::ToCycleEnd:
            while (!in_->atEnd()) {
                line.reset(readDataLine());
                if (fEndOfCycle(s_, op_, *in_, line, forward_)) break;
            }
            break;
        case CycleSkip::ToDisplacementTurn: {
            double previous = lineField(line, 1);
            double before = previous;
            while (!in_->atEnd()) {
                line.reset(readDataLine());
                const double disp = lineField(line, 1);
                const bool turns = forward_ ? disp < previous : disp > previous;
                before = previous;
                previous = disp;
                if (turns || fEndOfData(s_, op_, *in_, line)) break;
            }
            forward_ = previous > before;
            break;
        }
        case CycleSkip::NotSupported: {
            const SourceLayout* layout = findSource(s_.settings.SourceType);
            const std::string name = !s_.program.SourceName.empty() ? s_.program.SourceName
                                     : layout != nullptr            ? layout->name
                                                                    : "";
            op_.tell("invalid operation for " + name + " D/A");
            return;
        }
    }
    p_.CurDisp = p_.PrevDisp = lineField(line, 1);
}

void Pass::betweenPasses() {
    waypoint_ = 4;
    int& numCycles = s_.cycles.NumCycles(specimen_, curRun());
    numCycles = static_cast<int>(std::max<std::int64_t>(numCycles, usedCycles_));
    p_.ReadingsInFile = std::max(p_.ReadingsInFile, p_.ReadCount);

    if (anyLogged_) {
        curRun() = p_.FirstRun(specimen_);
        curCycle() = p_.FirstCycle(specimen_);
        double maxLoad = p_.CycleMaxLoad(specimen_, curRun(), curCycle());
        for (int c = 1; c <= kMaxCycle; ++c)
            if (logged_[static_cast<std::size_t>(c)])
                maxLoad = std::max(maxLoad, p_.CycleMaxLoad(specimen_, curRun(), c));
        p_.SpecMaxLoad(specimen_) = maxLoad;
    } else {
        p_.InsertZero(specimen_) = false;  // no readings to put a zero ahead of
    }
    if (p_.InsertZero(specimen_)) ++p_.ReadCount;
    ShowSurveyResults(s_, usedCycles_);

    status("Initializing files", kStatusReading);
    in_.reset();
    waypoint_ = 5;
    if (p_.Exporting) {
        sink_->beginSpecimen(s_, op_);
        p_.ExportOpen = exportOpenFor(s_);
    }
    if (traits_.clearsHeaderNormalStress && !usesFullTransfer(s_.settings))
        s_.header.NormalStress(specimen_) = 0;
}

void Pass::filter() {
    open();
    p_.Reversed = false;
    forward_ = forwardAtFirst_;
    p_.PrevLine.clear();
    p_.PendingEnd = false;
    const auto repeatsSkipped = [](bool ticked, std::int64_t repeats) {
        return ticked ? repeats - 1 : std::int64_t{0};
    };
    p_.InitialSkip(specimen_) =
        std::max({std::int64_t{0},
                  repeatsSkipped(s_.specimens.SkipDispRepeats(specimen_), p_.InitDispRepeats),
                  repeatsSkipped(s_.specimens.SkipLoadRepeats(specimen_), p_.InitLoadRepeats)});
    p_.LoadTol(specimen_) = s_.settings.Tolerance * p_.SpecMaxLoad(specimen_) / 100;
    p_.PeakDone = p_.HighDone = p_.MinDone = false;
    waypoint_ = 6;
    for (std::int64_t i = 1; i < p_.FirstLine(specimen_); ++i) readDataLine();
    p_.LineNo = p_.FirstLine(specimen_) - 1;
    dispCount_ = 1;  // the first reading
    loadCount_ = 0;

    status("Reading files, please wait", kStatusReading);
    for (std::int64_t i = 0; i < p_.InitialSkip(specimen_); ++i) readDataLine();
    waypoint_ = 7;
    lastLine_ = firstReading();
    waypoint_ = 8;
    p_.NormalSum = 0;
    UseReading(true);
    observe(true);
    waypoint_ = 9;

    // A Geomatic shear marker hands back the held closing reading of the pass before it.
    const UseReadingHook heldReading = [this] { useHeldReading(); };
    const bool absoluteLoads = traits_.absoluteLoads;
    const bool third = readsThird(), normal = readsNormal();  // nothing in the loop changes them
    LineColumns line;
    for (std::int64_t r = p_.InitialSkip(specimen_) + 2; r <= p_.ReadCount; ++r) {
        reportFiltering(r);
        line.reset(readDataLine());
        if (traits_.startTimeFromFirstReading && !startTimeKnown_) {
            startTime_ = fGetField(s_, op_, line, 4);
            startTimeKnown_ = true;
        }
        p_.CurDisp = lineField(line, 1);
        bool cycleEnd = fEndOfCycle(s_, op_, *in_, line, forward_);
        bool dataEnded = false;
        while (cycleEnd) {
            if (fEndOfData(s_, op_, *in_, line, heldReading)) {
                if (r < p_.ReadCount) {
                    op_.tell("unexpected end of readings encountered" + std::to_string(r));
                    throw OperationEnded{};
                }
                dataEnded = true;
                break;
            }
            enterNextCycle();
            if (useCycle() != 1) {
                SkipThisCycle(line);
                continue;
            }
            p_.PeakDone = p_.HighDone = p_.MinDone = false;
            cycleEnd = false;
            // The last reading of the cycle before was dropped: it closes that cycle.
            if (!p_.PrevLine.empty()) {
                const std::string held = p_.PrevLine;
                const LineColumns heldLine(held);
                p_.CurDisp = field(heldLine, 1);
                p_.CurLoad = field(heldLine, 2);
                p_.CurThird = field(heldLine, 3);
                useHeldReading();
            }
        }
        p_.LineNo = in_->linesConsumed();
        if (dataEnded) break;

        p_.CurDisp = lineField(line, 1);
        const double rawLoad = lineField(line, 2);
        p_.CurLoad = absoluteLoads ? std::fabs(rawLoad) : rawLoad;
        if (third) p_.CurThird = lineField(line, 3);
        if (normal) p_.NormalReading = lineField(line, 5);
        // The GEOTAC test keeps an end of its own; asking again settles it for this line.
        if (traits_.endOfCycleAskedPerReading) fEndOfCycle(s_, op_, *in_, line, forward_);
        p_.PrevLine.assign(line.text());
        const std::int64_t keptBefore = loadCount_ + dispCount_;
        keepOrDrop(rawLoad);
        observe(loadCount_ + dispCount_ != keptBefore);
        p_.PrevDisp = p_.CurDisp;
        lastLine_.assign(line.text());
    }

    waypoint_ = 10;
    const FieldValue endTime = fGetField(s_, op_, lastLine_, 4);
    SetTimeOrRate(s_, startTime_, endTime, p_.CurDisp - startDisp_);
    p_.FinalDisp(specimen_) = p_.CurDisp;
    p_.NumToWrite = loadCount_ + dispCount_;
    SetNormalStress(s_);
    showResults();
}

// Returns the line of the first reading ("" for an inserted zero).
std::string Pass::firstReading() {
    if (p_.InsertZero(specimen_)) {
        p_.LastLoad = p_.CurLoad = p_.LastDisp = p_.CurDisp = p_.PrevDisp = 0;
        p_.CurThird = p_.FirstThird = 0;
        // The zero has no vertical reading of its own to measure from.
        p_.VertZero = 0;
        startTimeKnown_ = false;
        startTime_ = FieldValue::text("");
        if (traits_.insertedZeroHasNoNormal) p_.NormalReading = 0;
        p_.TimeField(specimen_) = 0;
        startDisp_ = 0;
        return "";
    }
    const LineColumns line(readDataLine());
    p_.LastDisp = p_.PrevDisp = p_.CurDisp = field(line, 1);
    p_.LastLoad = field(line, 2);
    if (readsThird()) {
        p_.VertZero = 0;
        p_.FirstThird = field(line, 3);
        if (s_.settings.GEOTACUFVDAZ) {
            p_.VertZero = p_.FirstThird;
            p_.FirstThird = 0;
        }
    }
    startTime_ = fGetField(s_, op_, line, 4);
    startTimeKnown_ = true;
    p_.TimeField(specimen_) = traits_.startTimeInRecord4 ? readNumber(startTime_.toText()) : 0;
    startDisp_ = p_.CurDisp;
    if (traits_.absoluteLoads) {
        p_.LastLoad = std::fabs(p_.LastLoad);
        if (p_.LastLoad > p_.MinAbsLoad(specimen_)) p_.LastLoad = p_.MinAbsLoad(specimen_);
    }
    // The first reading stays the reference of the load criterion.
    p_.CurLoad = p_.LastLoad;
    if (readsNormal()) p_.NormalReading = field(line, 5);
    return std::string(line.text());
}

void Pass::keepOrDrop(double rawLoad) {
    const int run = curRun(), cycle = curCycle();
    if (p_.CurLoad == p_.CycleMaxLoad(specimen_, run, cycle) && !p_.PeakDone) {
        p_.PeakDone = true;
        ++loadCount_;
    } else if (p_.CurLoad == p_.CycleHighLoad(specimen_, run, cycle) && !p_.HighDone) {
        p_.HighDone = true;
        ++loadCount_;
    } else if (rawLoad == p_.CycleMinLoad(specimen_, run, cycle) && !p_.MinDone) {
        p_.MinDone = true;
        ++loadCount_;
    } else if (std::fabs(p_.CurLoad - p_.LastLoad) > p_.LoadTol(specimen_)) {
        ++loadCount_;
    } else if (std::fabs(p_.CurDisp - p_.LastDisp) > s_.settings.IncMax) {
        ++dispCount_;
    } else {
        return;
    }
    UseReading(false);
}

void Pass::useHeldReading() {
    ++dispCount_;
    UseReading(false);
    if (observer_) observer_->lastReadingKept();
}

void Pass::UseReading(bool first) {
    if (first) adjustedDisp_ = p_.LastDisp;
    if (p_.Exporting && p_.ExportOpen) {
        if (testType() == kDirectShear && !p_.Reversed && p_.CurDisp < p_.LastDisp)
            p_.Reversed = true;
        if (first) {
            writeReading(p_.LastDisp, p_.LastLoad, p_.FirstThird);
        } else {
            adjustedDisp_ = fSDispAdjusted(adjustedDisp_);
            writeReading(adjustedDisp_, p_.CurLoad, p_.CurThird);
        }
    }
    p_.LastLoad = p_.CurLoad;
    p_.LastDisp = p_.CurDisp;
    p_.CurThird = p_.FirstThird;

    const int test = testType();
    bool summed = false;
    switch (traits_.normalSum) {
        case NormalSum::Never:
            break;
        case NormalSum::FromUnconsolidatedUndrained:
            summed = test >= kUnconsolidatedUndrained;
            break;
        case NormalSum::FromDirectShear:
            summed = test >= kDirectShear;
            break;
        case NormalSum::WithFourthChannel:
            summed = s_.header.Channel4Present;
            break;
    }
    if (summed && !(p_.InsertZero(specimen_) && first)) {
        p_.NormalSum += p_.NormalReading;
        if (traits_.normalSumLessCellZero)
            p_.NormalSum -= s_.header.Cal(CalChannel::Cell, kCalZero);
    }
    p_.PrevLine.clear();
}

// After a reversal the written displacement keeps growing with the travel of the box.
double Pass::fSDispAdjusted(double SDisp) const {
    switch (traits_.travelAfterReversal) {
        case TravelAfterReversal::Accumulated:
            return p_.Reversed ? std::fabs(p_.CurDisp - p_.LastDisp) + SDisp : p_.CurDisp;
        case TravelAfterReversal::AccumulatedFromSize:
            return p_.Reversed ? std::fabs(p_.LastDisp - p_.CurDisp) + SDisp
                               : std::fabs(p_.CurDisp);
        case TravelAfterReversal::AsRead:
            break;
    }
    return p_.CurDisp;
}

void Pass::writeReading(double disp, double load, double third) {
    sink_->writeReading(formatGeneralNumber(disp) + ", " + formatGeneralNumber(load) + ", " +
                        formatGeneralNumber(third));
}

void Pass::reportFiltering(std::int64_t r) {
    if (r % kReportEvery != 0 && r != p_.ReadCount) return;
    status("Filtering reading number " + formatPrintedNumber(static_cast<double>(r)),
           kStatusFiltering);
    op_.reportProgress(r, p_.ReadCount);
    op_.processEvents();
}

void Pass::showResults() {
    waypoint_ = 11;
    if (anyLogged_) {
        ShowTimeOrRate(s_);
        ShowNormalStress(s_);
    }
    ShowReadingsToWrite(s_, dispCount_, loadCount_);
    if (p_.NumToWrite == 0)
        op_.showMessage(" No data available for specimen " + formatPrintedNumber(specimen_) + ".",
                        kProgramName, MessageIcon::Information);
    int colour = kStatusFiltering;
    if (p_.NumToWrite > 99 && !s_.settings.NVWIN) {
        FilterNotes(op_);
        colour = kStatusOverLimit;
    }
    const std::string text = p_.Exporting ? "NORVO file written" : "Filtering complete";
    status(text, colour);
    SpecimenColumn& col = s_.specimens.Column(specimen_);
    col.status = text;
    col.statusColour = colour;
}

void reportRunTimeError(const Session& s, Operator& op, int waypoint, int number,
                        const std::string& description) {
    op.showMessage(s.program.AppVersion + "Error: " + std::to_string(number) + " - " + description +
                       "   Waypoint: " + std::to_string(waypoint) +
                       "   PathFile: " + s.settings.DAFile + "   FileOnly: " + s.settings.DAName,
                   "Error in DAImport", MessageIcon::None);
    op.tell(kUnsupportedFileNote);
}

}  // namespace

bool exportOpenFor(const Session& s) {
    return !s.settings.DAFile.empty() &&
           s.specimens.ReadingsToWrite(s.specimens.CurrentSpecimen) > 0;
}

PassOutcome DAImport(Session& s, Operator& op, ReadingSink* sink, ReadingObserver* observer) {
    if (s.pass.Exporting && sink == nullptr)
        throw std::invalid_argument("DAImport: export mode needs somewhere to write");
    checkIndex("specimen", s.specimens.CurrentSpecimen - 1, kMaxSpecimen - 1);
    // A pass that does not finish keeps nothing of itself: the specimen's previous results,
    // the header facts of its file and the cycle tables stay as they were.
    SessionRollback rollback(s);
    const Session& before = rollback.saved();
    Pass pass(s, op, sink, observer);
    try {
        const PassOutcome outcome = pass.run();
        if (outcome == PassOutcome::Done) rollback.keep();
        return outcome;
    } catch (const OperationEnded&) {
    } catch (const PassError& e) {
        reportRunTimeError(before, op, pass.waypoint(), e.number, e.description);
    } catch (const DateTypeMismatch&) {
        reportRunTimeError(before, op, pass.waypoint(), 13, "Type mismatch");
    } catch (const FieldError& e) {
        reportRunTimeError(before, op, pass.waypoint(), e.number, e.description);
    } catch (const std::out_of_range&) {
        reportRunTimeError(before, op, pass.waypoint(), 9, "Subscript out of range");
    }
    return PassOutcome::Ended;
}

}  // namespace plovix

// Where cycles, runs and the data of a D/A file end (each layout's tests, which the table of
// sources points to), and the pre-processing that counts each cycle's readings, loads and
// travel for the summary panel.

#include "sources/cycles.h"

#include <algorithm>
#include <string_view>

#include "sources/get_field.h"
#include "sources/source_table.h"
#include "text/fields.h"

namespace plovix {

namespace {

constexpr std::string_view kGeotestLastLine = "123456789lastline987654321";
constexpr std::string_view kGeomaticShearMarker = "Geomatic Shear V.6611";
constexpr std::string_view kGeomaticPassMarker = "PASS";
constexpr std::string_view kGeomaticEndOfPass = "999";
constexpr std::string_view kDurhamEndOfRun = "***";
constexpr std::string_view kHumboldtEndOfChannel = "\t\t\t\t\t";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The next line, or "" when the file has none left: the reader never runs past the end. The
// view is valid until the next line is read.
std::string_view nextLine(const Session& s, LineReader& in) {
    return in.nextView(s.header.LineByLF).value_or(std::string_view());
}

double numberOfField(Session& s, Operator& op, const LineColumns& line, int n) {
    return fGetField(s, op, line, n).toNumber();
}

double numberOfField(Session& s, Operator& op, std::string_view line, int n) {
    return fGetField(s, op, line, n).toNumber();
}

// The line of a string-held DS as a view, and back: a line that a test put in its place is
// copied into the string.
template <typename Test>
bool onStringLine(std::string& DS, Test test) {
    LineColumns line(DS);
    const bool result = test(line);
    if (line.text().data() != DS.data() || line.text().size() != DS.size()) DS.assign(line.text());
    return result;
}

std::string directionOfCycle(int cycle) {
    return cycle % 2 == 0 ? "REVERSE" : "NORMAL";
}

void showReadCount(Operator& op, std::int64_t numRead) {
    op.reportProgress(numRead, 0);
    op.processEvents();
}

[[noreturn]] void endOperation(Operator& op, const std::string& message) {
    op.tell(message);
    throw OperationEnded{};
}

CycleSummary summaryOfRun1(const Session& s) {
    CycleSummary summary;
    const int spec = s.specimens.CurrentSpecimen;
    summary.specimen = spec;
    summary.cycles = std::clamp(s.cycles.NumCycles(spec, 1), 0, kMaxCycle);
    for (int c = 1; c <= summary.cycles; ++c) {
        CycleSummaryRow row;
        row.cycle = c;
        row.readings = s.cycles.CycleReadings(1, c);
        row.maxHorLoad = s.cycles.MaxHorLoad(1, c);
        row.minHorLoad = s.cycles.MinHorLoad(1, c);
        row.maxAux = s.cycles.MaxAux(1, c);
        row.horDisp = s.cycles.HorDisp(1, c);
        row.direction = s.cycles.Direction(1, c);
        row.used = s.cycles.UseCycle(spec, 1, c) == 1;
        summary.readingsInFile += row.readings;
        if (row.used) {
            ++summary.usedCycles;
            summary.usedReadings += row.readings;
        }
        summary.rows.push_back(std::move(row));
    }
    return summary;
}

bool isGeomaticPassMarker(std::string_view line) {
    return startsWith(upperAscii(line.substr(0, kGeomaticPassMarker.size())), kGeomaticPassMarker);
}

bool isGeomaticShearMarker(std::string_view line) {
    return startsWith(line, kGeomaticShearMarker);
}

// Text files prepared from Humboldt channel sections end their readings with an empty line;
// exported or workbook text ends them with a row of empty columns.
bool humboldtReadingsEnd(const Session& s, std::string_view DS) {
    if (!s.settings.HUMXLEXP && !s.settings.HUMREADXL) return DS.empty();
    return DS.find(kHumboldtEndOfChannel) != std::string_view::npos;
}

}  // namespace

bool humboldtCycleEnds(Session& s, LineReader& /*in*/, LineColumns& DS, bool& /*forward*/) {
    return humboldtReadingsEnd(s, DS.text());
}

bool humboldtDataEnds(Session& s, Operator& /*op*/, LineReader& /*in*/, LineColumns& DS,
                      const UseReadingHook& /*useReading*/) {
    return humboldtReadingsEnd(s, DS.text());
}

bool geomaticCycleEnds(Session& s, LineReader& in, LineColumns& DS, bool& /*forward*/) {
    std::string_view text = DS.text();
    SkipBlanks(text);
    if (!startsWith(text, kGeomaticEndOfPass)) return false;
    // The pass's peak stress and the displacement at it follow; neither is a reading.
    nextLine(s, in);
    DS.reset(nextLine(s, in));
    return true;
}

// GeoTest files carry no cycle marks: a cycle ends where the displacement turns.
bool geotestCycleEnds(Session& s, LineReader& in, LineColumns& /*DS*/, bool& forward) {
    if (forward && s.pass.CurDisp < s.pass.PrevDisp) {
        forward = false;
        return true;
    }
    if (!forward && s.pass.CurDisp > s.pass.PrevDisp) {
        forward = true;
        return true;
    }
    return in.atEnd();
}

// The last line of a GEOTAC file is a reading when no blank line follows it. The end of the
// file therefore only arms the end: the next call (whose line is empty, as nothing is left to
// read) closes the cycle, so that last reading is counted.
bool geotacCycleEnds(Session& s, LineReader& in, LineColumns& line, bool& /*forward*/) {
    const std::string_view DS = line.text();
    bool& pendingEnd = s.pass.PendingEnd;
    if (DS.empty() || DS.front() == '\t' || pendingEnd) {
        pendingEnd = false;
        return true;
    }
    if (in.atEnd()) pendingEnd = true;
    return false;
}

// After a pass has ended at "999", the data go on only where a new pass starts.
//
// A line beginning "PASS" is a marker, never a reading: the line after it is left in DS.
//
// A line "Geomatic Shear V.6611" (once or twice in a row) starts a reversed pass. The reading
// the reading pass holds back, the last of the finished pass, is handed to it as that pass's
// closing point. The new pass is then measured from "the new line", the last marker line read:
// its field 1 reads as 0 (it starts with no number), so the travel of the new pass counts from
// zero. The line after the markers is the new pass's first reading; it stays in DS and counts.
bool geomaticDataEnds(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                      const UseReadingHook& useReading) {
    if (in.atEnd()) return true;
    const std::string_view line = nextLine(s, in);
    if (isGeomaticPassMarker(line)) {
        if (in.atEnd()) {
            DS.reset(line);
            return true;
        }
        DS.reset(nextLine(s, in));
        return false;
    }
    if (!isGeomaticShearMarker(line)) {
        DS.reset(line);
        return true;
    }
    if (in.atEnd()) {
        DS.reset(line);
        return true;
    }
    // The marker is read again after the line that follows it: it is kept.
    std::string marker(line);
    std::string_view following = nextLine(s, in);
    if (isGeomaticShearMarker(following)) {
        marker.assign(following);
        if (in.atEnd()) {
            DS.reset(following);
            return true;
        }
        following = nextLine(s, in);
    }
    ReadingPass& p = s.pass;
    if (!p.PrevLine.empty()) {
        p.CurDisp = numberOfField(s, op, p.PrevLine, 1);
        p.CurLoad = numberOfField(s, op, p.PrevLine, 2);
        p.CurThird = numberOfField(s, op, p.PrevLine, 3);
        if (useReading) useReading();
    }
    p.LastDisp = numberOfField(s, op, marker, 1);
    p.Reversed = true;
    DS.reset(following);
    return false;
}

bool cycleEndsAtFileEnd(Session& /*s*/, LineReader& in, LineColumns& /*DS*/, bool& /*forward*/) {
    return in.atEnd();
}

bool cycleEndsAtEmptyLine(Session& /*s*/, LineReader& /*in*/, LineColumns& DS, bool& /*forward*/) {
    return DS.text().empty();
}

bool durhamGeoCycleEnds(Session& /*s*/, LineReader& in, LineColumns& DS, bool& /*forward*/) {
    return startsWith(DS.text(), kDurhamEndOfRun) || in.atEnd();
}

bool durhamGeoDataEnds(Session& s, Operator& /*op*/, LineReader& in, LineColumns& DS,
                       const UseReadingHook& /*useReading*/) {
    bool forward = true;
    return durhamGeoCycleEnds(s, in, DS, forward);
}

bool geotestDataEnds(Session& /*s*/, Operator& /*op*/, LineReader& in, LineColumns& DS,
                     const UseReadingHook& /*useReading*/) {
    const std::string_view line = DS.text();
    return line == kGeotestLastLine || line.empty() || in.atEnd();
}

bool dataEndAtEmptyOrTabLine(Session& /*s*/, Operator& /*op*/, LineReader& in, LineColumns& DS,
                             const UseReadingHook& /*useReading*/) {
    const std::string_view line = DS.text();
    return line.empty() || line.front() == '\t' || in.atEnd();
}

bool dataEndAtEmptyLine(Session& /*s*/, Operator& /*op*/, LineReader& in, LineColumns& DS,
                        const UseReadingHook& /*useReading*/) {
    return DS.text().empty() || in.atEnd();
}

bool fEndOfCycle(Session& s, Operator& /*op*/, LineReader& in, LineColumns& DS, bool& forward) {
    const SourceLayout* layout = findSource(s.settings.SourceType);
    return layout == nullptr ||
           layout->cycleEnds(s, in, DS, forward);  // no layout: nothing to read
}

bool fEndOfCycle(Session& s, Operator& op, LineReader& in, std::string& DS, bool& forward) {
    return onStringLine(DS,
                        [&](LineColumns& line) { return fEndOfCycle(s, op, in, line, forward); });
}

bool fEndOfData(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                const UseReadingHook& useReading) {
    const SourceLayout* layout = findSource(s.settings.SourceType);
    return layout == nullptr || layout->dataEnds(s, op, in, DS, useReading);
}

bool fEndOfData(Session& s, Operator& op, LineReader& in, std::string& DS,
                const UseReadingHook& useReading) {
    return onStringLine(DS,
                        [&](LineColumns& line) { return fEndOfData(s, op, in, line, useReading); });
}

void RunProcess(Session& s, Operator& op, LineReader& in, std::int64_t& numRead, bool& done) {
    const int spec = s.specimens.CurrentSpecimen;
    const int run = s.specimens.CurRun;
    CycleSelection& t = s.cycles;
    ReadingPass& p = s.pass;

    LineColumns DS(nextLine(s, in));
    if (in.atEnd()) {
        op.tell("WHOA... FHERR IN RunProcess (bugging out)");
        op.tell("RunProcess Error Occurred");
        return;
    }

    int& numCycles = t.NumCycles(spec, run);
    numCycles = 1;
    p.ReadingsInFile = 0;
    bool forward = true;
    bool firstReading = true;
    double maxLoad = 0, minLoad = 0, maxAux = 0;
    // The end displacement is only set from a cycle's second reading on: a one-reading cycle
    // keeps the previous cycle's (0 in the first), and its travel is taken from that.
    double startDisp = 0, endDisp = 0;
    p.CurDisp = 0;
    // Set once a read found nothing left: the layouts that never end a cycle at the end of the
    // file (Geomatic without its "999", exported Humboldt text) would otherwise wait forever.
    bool pastEnd = false;

    for (;;) {
        const int cycle = numCycles;
        std::int64_t& readings = t.CycleReadings(run, cycle);
        readings = 0;
        for (;;) {
            p.PrevDisp = p.CurDisp;
            p.CurDisp = numberOfField(s, op, DS, 1);
            if (fEndOfCycle(s, op, in, DS, forward)) break;
            // Nothing was read: the cycle closes with the readings it has.
            if (pastEnd) break;
            ++numRead;
            ++p.ReadingsInFile;
            ++readings;
            const double load = numberOfField(s, op, DS, 2);
            const double aux = numberOfField(s, op, DS, 3);
            if (firstReading) {
                firstReading = false;
                startDisp = p.CurDisp;
                maxLoad = minLoad = load;
                maxAux = aux;
            } else {
                endDisp = p.CurDisp;
                maxLoad = fMax(maxLoad, load);
                minLoad = fMin(minLoad, load);
                maxAux = fMax(maxAux, aux);
            }
            const auto line = in.nextView(s.header.LineByLF);
            pastEnd = !line;
            DS.reset(line.value_or(std::string_view()));
        }

        showReadCount(op, numRead);
        t.Direction(run, cycle) = directionOfCycle(cycle);
        t.HorDisp(run, cycle) = endDisp - startDisp;
        t.MaxHorLoad(run, cycle) = maxLoad;
        t.MinHorLoad(run, cycle) = minLoad;
        t.MaxAux(run, cycle) = maxAux;

        if (fEndOfData(s, op, in, DS) || pastEnd) {
            done = false;
            return;
        }
        if (cycle >= kMaxCycle) endOperation(op, "Limit of 10 direction changes exceeded");
        firstReading = true;
        ++numCycles;
        showReadCount(op, numRead);
    }
}

int ProcessRuns(Session& s, Operator& op, LineReader& in, std::int64_t& numRead) {
    const int spec = s.specimens.CurrentSpecimen;
    // Runs this file does not reach must not show counts of an earlier one.
    for (int r = 1; r <= kMaxRun; ++r) s.cycles.NumCycles(spec, r) = 0;
    int& run = s.specimens.CurRun;
    run = 0;
    bool done = true;
    while (!in.atEnd()) {
        if (run >= kMaxRun) endOperation(op, "MORE THAN 10 SHD RUNS");
        ++run;
        ++numRead;
        showReadCount(op, numRead);
        RunProcess(s, op, in, numRead, done);
    }
    return run;
}

CycleSummary PreProcess(Session& s, Operator& op) {
    CycleSummary failed;
    failed.specimen = s.specimens.CurrentSpecimen;
    auto in = LineReader::open(s.settings.DAFile);
    if (!in) {
        op.showMessage("The D/A file " + s.settings.DAFile + " cannot be opened for reading.",
                       "Error in PreProcess", MessageIcon::Exclamation);
        return failed;
    }
    // An operation that ends keeps nothing of itself: the previous summary and header stay.
    SessionRollback rollback(s);
    int runs = 0;
    try {
        const HeaderResult header = fSkipHeaders(s, op, *in);
        failed.headerStatus = header.status;
        if (header.status != HeaderStatus::Read) return failed;
        // A GEOTAC end armed in another file must not end this one's first cycle.
        s.pass.PendingEnd = false;
        std::int64_t numRead = header.lines;
        runs = ProcessRuns(s, op, *in, numRead);
    } catch (const OperationEnded&) {
        return failed;
    }
    rollback.keep();
    s.specimens.CurRun = 1;
    s.specimens.CurCycle = 1;
    CycleSummary summary = summaryOfRun1(s);
    summary.ok = true;
    summary.headerStatus = HeaderStatus::Read;
    summary.runs = runs;
    return summary;
}

}  // namespace plovix

#pragma once
// Where loading cycles, runs and the data of a D/A file end, and the pre-processing summary of
// a file's cycles that the operator ticks cycles in.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/operation.h"
#include "app/operator.h"
#include "app/session.h"
#include "sources/header_reader.h"
#include "sources/source_table.h"
#include "text/line_columns.h"
#include "text/line_reader.h"

namespace plovix {

// True when `DS`, the line just read, ends the current cycle (before it is counted). `DS` may
// be replaced by a later line and `forward` changed. A line put into `DS` is a view of the
// reader's last line.
bool fEndOfCycle(Session& s, Operator& op, LineReader& in, LineColumns& DS, bool& forward);
bool fEndOfCycle(Session& s, Operator& op, LineReader& in, std::string& DS, bool& forward);

// Called after a cycle ended, with the line that ended it; may read further lines into `DS`.
// True when the data of the run end.
bool fEndOfData(Session& s, Operator& op, LineReader& in, LineColumns& DS,
                const UseReadingHook& useReading = {});
bool fEndOfData(Session& s, Operator& op, LineReader& in, std::string& DS,
                const UseReadingHook& useReading = {});

// One run of the file from the reader's position: counts readings per cycle and fills the
// session's summary tables for CurrentSpecimen / CurRun. `numRead` is the running line count,
// `done` is cleared when the data end. Throws OperationEnded past 10 cycles.
void RunProcess(Session& s, Operator& op, LineReader& in, std::int64_t& numRead, bool& done);

// Every run from the reader's position (just after the header) to the end of the file, as
// runs 1, 2, ... of CurrentSpecimen; `numRead` goes up by one per run and per reading. Returns
// the number of runs; throws OperationEnded past 10 runs.
int ProcessRuns(Session& s, Operator& op, LineReader& in, std::int64_t& numRead);

struct CycleSummaryRow {
    int cycle = 0;
    std::int64_t readings = 0;
    double maxHorLoad = 0, minHorLoad = 0, maxAux = 0, horDisp = 0;
    std::string direction;
    bool used = false;
};

struct CycleSummary {
    bool ok = false;  // false when the file could not be read or the operation ended
    // What the header reader said; OpenSettings asks the caller to open the settings.
    HeaderStatus headerStatus = HeaderStatus::Ended;
    int specimen = 0;
    std::int64_t readingsInFile = 0;  // readings of run 1
    int cycles = 0;                   // cycles of run 1
    int runs = 0;
    std::vector<CycleSummaryRow> rows;  // run 1, cycles 1..cycles
    // The "Used" totals: cycles ticked and their readings.
    int usedCycles = 0;
    std::int64_t usedReadings = 0;
};

// Pre-processes DAFile for CurrentSpecimen: header, every run, and the summary of run 1.
// Leaves CurRun and CurCycle at 1. When it fails, the session is left as it was.
CycleSummary PreProcess(Session& s, Operator& op);

}  // namespace plovix

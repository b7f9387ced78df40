#pragma once
// The reading pass of one specimen (`DAImport`): a survey pass over the used loading cycles
// that counts readings and finds each cycle's key loads, then a filter pass that keeps the
// readings that carry information, and the specimen's results: maximum load, time of test or
// rate, normal stress or cell pressure, and the counts the operator sees.
//
// In preview mode nothing is written. In export mode the pass hands the specimen's block head
// and every kept reading to a ReadingSink (the Norvo data file).

#include <cstdint>
#include <string>

#include "app/operator.h"
#include "app/session.h"

namespace plovix {

// Where the export mode writes: the block head between the two passes, then one line per
// kept reading ("displacement, load, third value" in General Number, without line end).
class ReadingSink {
  public:
    virtual ~ReadingSink() = default;
    // Writes the block head of CurrentSpecimen (ExportSpecimenData); the readings follow.
    virtual void beginSpecimen(Session& s, Operator& op) = 0;
    virtual void writeReading(const std::string& line) = 0;
};

// Told of every reading the filter pass decides on, in the order of the file, without taking
// part in the decision (the filter report listens here).
class ReadingObserver {
  public:
    virtual ~ReadingObserver() = default;
    // A reading of cycle `cycle` of the run, with the displacement and load the filter compared,
    // and whether it was kept. An inserted zero reading counts as the first, kept.
    virtual void reading(int cycle, double disp, double load, bool kept) = 0;
    // The last reading told of, which was dropped, is written after all: it closes its cycle.
    virtual void lastReadingKept() = 0;
};

enum class PassOutcome {
    Done,          // results computed (possibly with no reading to write)
    Refused,       // the header was not accepted: "Wrong test type or unknown file format"
    OpenSettings,  // the header reader asked for the settings dialog
    Ended,         // the pass ended early with its message (bad readings, cancel, error)
};

// Runs the pass for s.specimens.CurrentSpecimen over s.settings.DAFile. Export mode when
// s.pass.Exporting is set; `sink` must then be given. The specimen's results land in the
// session (s.specimens.Column(CurrentSpecimen) and the per-specimen tables).
//
// In export mode the pass calls sink->beginSpecimen between its two passes and then opens the
// block (ExportOpen) by exportOpenFor(s): readings go to the sink only after their block head.
// When the pass does not end with Done, the session is left exactly as it was before the call
// (exceptions thrown by the sink are passed on, the session restored as well).
// `observer`, when given, hears of every reading the filter pass keeps or drops.
PassOutcome DAImport(Session& s, Operator& op, ReadingSink* sink = nullptr,
                     ReadingObserver* observer = nullptr);

// Whether the current specimen's block receives the readings of the filter pass: it has a file
// and the preview found readings to write (ExportSpecimenData's rule). Otherwise the block
// keeps the template's readings.
bool exportOpenFor(const Session& s);

// CycleMaxLoad of a cycle in which no reading has been logged yet.
inline constexpr double kNoLoadLogged = 12345.6789;

}  // namespace plovix

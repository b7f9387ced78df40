#pragma once
// The points of a specimen's load-displacement plot, taken from its reading pass: every reading
// the filter kept or dropped, per loading cycle, with the texts around the plot (a title that
// names the criteria, the axis titles). The window and plovix-convert --plot draw it; nothing
// here knows a toolkit.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "filter/reading_pass.h"

namespace plovix {

struct PlotPoint {
    double disp = 0, load = 0;
};

struct PlotCycle {
    int cycle = 0;
    std::vector<PlotPoint> kept;                   // in the order of the file
    std::vector<PlotPoint> dropped;                // in the order of the file
    std::int64_t keptCount = 0, droppedCount = 0;  // every reading, whether held or not
};

struct PlotData {
    int specimen = 0;
    int dispUnit = 0, loadUnit = 0;                // unit codes of the file read (0 or -1: unknown)
    std::vector<PlotCycle> cycles;                 // the used cycles, in order
    std::int64_t keptCount = 0, droppedCount = 0;  // every reading, whether held below or not
    // Only every keptEvery-th kept and droppedEvery-th dropped reading is held (1: all of them).
    std::int64_t keptEvery = 1, droppedEvery = 1;
    std::string title;               // "Specimen 1: FILE.LST"
    std::string criteria;            // the filter criteria and how many readings they kept
    std::string dispAxis, loadAxis;  // "Displacement (in)", "Load (lbs)"
};

// Kept and dropped readings held each; a file of a million readings is thinned to this, since
// a plot of more points takes long to draw and shows nothing more.
inline constexpr std::size_t kPlotPointLimit = 5000;

class PlotPointsCollector final : public ReadingObserver {
  public:
    explicit PlotPointsCollector(std::size_t limit = kPlotPointLimit) : limit_(limit) {}

    void reading(int cycle, double disp, double load, bool kept) override;
    void lastReadingKept() override;

    // The plot of the pass, for CurrentSpecimen of `s` as the pass left it (file, units,
    // criteria).
    PlotData data(const Session& s) const;

  private:
    struct Entry {
        int cycle;
        PlotPoint point;
    };
    // Every `every`-th reading seen; when more than the limit are held, every second one is let
    // go and `every` doubles, so the held readings stay evenly spread over the file.
    struct Thinned {
        std::vector<Entry> held;
        std::int64_t every = 1, seen = 0;
        void add(const Entry& e, std::size_t limit);
    };

    PlotCycle& countsOf(int cycle);

    std::size_t limit_;
    Thinned kept_, dropped_;
    std::vector<PlotCycle> counts_;  // the readings of each cycle, counted (no points)
    // The last reading, when dropped: the pass may still keep it (lastReadingKept).
    std::optional<Entry> lastDropped_;
};

}  // namespace plovix

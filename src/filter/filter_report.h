#pragma once
// What the filter did to each loading cycle of a specimen: the readings it kept and dropped,
// how far a dropped reading stood from the line its kept neighbours draw, and the largest gap
// in displacement it left between kept readings, with notes where common laboratory practice
// asks for more points. Collected from a reading pass (as its ReadingObserver); shown by the
// converter and the window.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "filter/reading_pass.h"

namespace plovix {

struct CycleFilterReport {
    int cycle = 0;
    std::int64_t readings = 0, kept = 0, dropped = 0;
    // The largest distance, in load, of a dropped reading from the straight line through the
    // kept readings before and after it, in % of the specimen's maximum load. A dropped reading
    // with no kept reading after it is measured from the level of the one before. nullopt when
    // no reading was dropped or the maximum load is 0.
    std::optional<double> largestDropDistance;
    // The largest displacement step between consecutive kept readings of the cycle, in the
    // file's displacement unit; nullopt with fewer than two kept readings.
    std::optional<double> largestStep;
    // Direct shear: that step in % of the specimen diameter (nullopt without a diameter).
    std::optional<double> largestStepOfDiameter;
};

struct FilterReport {
    std::vector<CycleFilterReport> cycles;  // the used cycles, in order
    std::vector<std::string> notes;
};

// A direct shear cycle whose largest step between kept readings is larger than this share of
// the specimen diameter (%) is noted, and so is a compression test with fewer kept readings
// than kMinCompressionReadings.
inline constexpr double kMaxStepOfDiameter = 2.0;
inline constexpr std::int64_t kMinCompressionReadings = 10;

// The dropped readings between two kept ones are held until the second is known. Past
// kHeldDropped of them, only the corners of their convex hull (per cycle) are kept: every
// distance the report takes is largest at one of them. Readings as files hold them (to a few
// decimals) have few corners, so what is held does not grow with the file.
class FilterReportCollector final : public ReadingObserver {
  public:
    static constexpr std::size_t kHeldDropped = 4096;

    void reading(int cycle, double disp, double load, bool kept) override;
    void lastReadingKept() override;

    // The report of the pass, for CurrentSpecimen of `s` as the pass left it (maximum load,
    // test type, specimen diameter).
    FilterReport report(const Session& s) const;

    // Dropped readings held at the moment.
    std::size_t heldDropped() const { return dropped_.size(); }

  private:
    struct Point {
        int cycle;
        double disp, load;
    };
    std::size_t indexOf(int cycle);  // the cycle's entry, made when it has none
    void keep(const Point& p);
    void thinDropped();

    std::vector<CycleFilterReport> cycles_;
    std::vector<std::optional<double>> largestDistance_;  // in load, by index of cycles_
    std::optional<Point> lastKept_;
    std::vector<Point> dropped_;  // since the last kept reading, the latest last
    std::vector<Point> thinned_;  // room for thinning them
    std::size_t thinAt_ = kHeldDropped;
};

// The report as text lines: a heading, one line per cycle, then the notes. `dispUnit` names the
// displacement unit (code 1..3); the diameter column is shown for direct shear.
std::vector<std::string> filterReportLines(const FilterReport& report, int dispUnit,
                                           bool directShear);

}  // namespace plovix

#include "filter/filter_report.h"

#include <algorithm>
#include <cmath>

#include "sources/header_reader.h"
#include "sources/units.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

// Distance in load of (disp, load) from the straight line through a and b. Where a and b stand
// at one displacement the line is upright: the distance is how far the load lies outside theirs.
double distanceFromLine(double disp, double load, double aDisp, double aLoad, double bDisp,
                        double bLoad) {
    if (aDisp != bDisp)
        return std::fabs(load - (aLoad + (bLoad - aLoad) * (disp - aDisp) / (bDisp - aDisp)));
    const double low = std::min(aLoad, bLoad), high = std::max(aLoad, bLoad);
    return load < low ? low - load : load > high ? load - high : 0;
}

void raise(std::optional<double>& largest, double value) {
    if (!largest || value > *largest) largest = value;
}

// Every distance the report takes of a dropped reading is a convex function of its
// displacement and load (how far it lies from a straight line, or outside a range of loads),
// so the largest one over a set of readings is found at a corner of their convex hull. Appends
// the corners of [first, last) to `out` (Andrew's monotone chain); the range is reordered.
template <typename Point, typename It>
void appendConvexHull(It first, It last, std::vector<Point>& out) {
    const auto n = static_cast<std::size_t>(last - first);
    if (n < 3) {
        out.insert(out.end(), first, last);
        return;
    }
    const auto before = [](const Point& a, const Point& b) {
        return a.disp != b.disp ? a.disp < b.disp : a.load < b.load;
    };
    // The readings of a cycle mostly come in order of displacement, one way or the other (with
    // runs of one displacement in any order of load); the corners are left in the order they
    // came in, so that the next thinning finds them so.
    const auto byDisp = [](const Point& a, const Point& b) { return a.disp < b.disp; };
    bool backwards = false;
    if (!std::is_sorted(first, last, byDisp)) {
        std::reverse(first, last);
        backwards = std::is_sorted(first, last, byDisp);
        if (!backwards) std::sort(first, last, before);
    }
    for (It i = first + 1; i < last; ++i)  // loads within a displacement: few to move
        for (It j = i; j != first && before(*j, *(j - 1)); --j) std::iter_swap(j, j - 1);
    // b is no corner when the way from a over b to c does not turn left.
    const auto noCorner = [](const Point& a, const Point& b, const Point& c) {
        return (b.disp - a.disp) * (c.load - a.load) - (b.load - a.load) * (c.disp - a.disp) <= 0;
    };
    const std::size_t base = out.size();
    for (It i = first; i != last; ++i) {  // the lower chain, left to right
        while (out.size() >= base + 2 && noCorner(out[out.size() - 2], out.back(), *i))
            out.pop_back();
        out.push_back(*i);
    }
    const std::size_t lower = out.size();
    for (It i = last - 1; i != first; --i) {  // the upper chain, back from the right
        const Point& p = *(i - 1);
        while (out.size() >= lower + 1 && noCorner(out[out.size() - 2], out.back(), p))
            out.pop_back();
        out.push_back(p);
    }
    out.pop_back();  // the first point again
    std::sort(out.begin() + static_cast<std::ptrdiff_t>(base), out.end(), before);
    if (backwards) std::reverse(out.begin() + static_cast<std::ptrdiff_t>(base), out.end());
}

// The specimen diameter from its area (pi x d^2 / 4, as the header readers compute it), else
// from the header's diameter text.
std::optional<double> diameterOf(const Session& s) {
    const double area = s.header.SpecimenArea(s.specimens.CurrentSpecimen);
    if (area > 0) return std::sqrt(area / areaOfDiameter(1.0));
    const double d = readNumber(s.header.DiameterText);
    if (d > 0 && std::isfinite(d)) return d;
    return std::nullopt;
}

std::string padLeft(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace

std::size_t FilterReportCollector::indexOf(int cycle) {
    for (std::size_t i = 0; i < cycles_.size(); ++i)
        if (cycles_[i].cycle == cycle) return i;
    cycles_.push_back(CycleFilterReport{});
    cycles_.back().cycle = cycle;
    largestDistance_.emplace_back();
    return cycles_.size() - 1;
}

void FilterReportCollector::reading(int cycle, double disp, double load, bool kept) {
    CycleFilterReport& c = cycles_[indexOf(cycle)];
    ++c.readings;
    if (kept) {
        ++c.kept;
        keep({cycle, disp, load});
    } else {
        ++c.dropped;
        dropped_.push_back({cycle, disp, load});
        if (dropped_.size() >= thinAt_) thinDropped();
    }
}

void FilterReportCollector::thinDropped() {
    // The latest reading stays as it is: it may yet be kept after all (lastReadingKept).
    const Point latest = dropped_.back();
    dropped_.pop_back();
    // The corners are taken per cycle, as the distances are.
    const auto byCycle = [](const Point& a, const Point& b) { return a.cycle < b.cycle; };
    if (!std::is_sorted(dropped_.begin(), dropped_.end(), byCycle))
        std::stable_sort(dropped_.begin(), dropped_.end(), byCycle);
    thinned_.clear();
    for (auto run = dropped_.begin(); run != dropped_.end();) {
        const auto end = std::find_if(run, dropped_.end(),
                                      [&](const Point& d) { return d.cycle != run->cycle; });
        appendConvexHull(run, end, thinned_);
        run = end;
    }
    thinned_.push_back(latest);
    dropped_.swap(thinned_);
    // Readings on a curve keep many corners: thin again only when as many have come again.
    thinAt_ = std::max(kHeldDropped, 2 * dropped_.size());
}

void FilterReportCollector::lastReadingKept() {
    if (dropped_.empty()) return;
    const Point p = dropped_.back();
    dropped_.pop_back();
    CycleFilterReport& c = cycles_[indexOf(p.cycle)];
    --c.dropped;
    ++c.kept;
    keep(p);
}

void FilterReportCollector::keep(const Point& p) {
    for (const Point& d : dropped_) {
        const Point& before = lastKept_ ? *lastKept_ : p;
        const double distance =
            distanceFromLine(d.disp, d.load, before.disp, before.load, p.disp, p.load);
        raise(largestDistance_[indexOf(d.cycle)], distance);
    }
    dropped_.clear();
    thinAt_ = kHeldDropped;
    if (lastKept_ && lastKept_->cycle == p.cycle)
        raise(cycles_[indexOf(p.cycle)].largestStep, std::fabs(p.disp - lastKept_->disp));
    lastKept_ = p;
}

FilterReport FilterReportCollector::report(const Session& s) const {
    const int spec = s.specimens.CurrentSpecimen;
    const double maxLoad = std::fabs(s.pass.SpecMaxLoad(spec));
    const bool directShear = s.program.TestType == kDirectShear;
    const std::optional<double> diameter = diameterOf(s);

    FilterReport r;
    r.cycles = cycles_;
    std::int64_t kept = 0;
    for (std::size_t i = 0; i < r.cycles.size(); ++i) {
        CycleFilterReport& c = r.cycles[i];
        std::optional<double> distance = largestDistance_[i];
        // Dropped readings after the last kept one: measured from its level.
        for (const Point& d : dropped_)
            if (d.cycle == c.cycle && lastKept_)
                raise(distance, std::fabs(d.load - lastKept_->load));
        if (distance && maxLoad > 0) c.largestDropDistance = *distance * 100 / maxLoad;
        if (directShear && diameter && c.largestStep)
            c.largestStepOfDiameter = *c.largestStep * 100 / *diameter;
        kept += c.kept;
        if (c.largestStepOfDiameter && *c.largestStepOfDiameter > kMaxStepOfDiameter)
            r.notes.push_back("Cycle " + std::to_string(c.cycle) +
                              ": the largest displacement step between kept readings is " +
                              formatPicture(*c.largestStepOfDiameter, "0.00") +
                              " % of the specimen diameter; common practice asks for no more "
                              "than 2 %. Lower the displacement criterion for more points.");
    }
    if (!directShear && kept < kMinCompressionReadings)
        r.notes.push_back("Only " + std::to_string(kept) +
                          " readings are kept; common practice asks for at least 10 in a "
                          "compression test. Lower the criteria for more points.");
    return r;
}

std::vector<std::string> filterReportLines(const FilterReport& report, int dispUnit,
                                           bool directShear) {
    const auto percent = [](const std::optional<double>& v) {
        return v ? formatPicture(*v, "0.00") + " %" : std::string("n/a");
    };
    const std::string unit = dispUnitName(dispUnit);
    std::vector<std::string> lines;
    lines.push_back("FILTER REPORT (distances in % of the maximum load, steps in " +
                    (unit.empty() ? "the file's unit" : unit) + ")");
    std::string heading = "CYCLE  READINGS   KEPT  DROPPED  LARGEST DISTANCE  LARGEST STEP";
    if (directShear) heading += "  STEP/DIAMETER";
    lines.push_back(heading);
    for (const CycleFilterReport& c : report.cycles) {
        std::string line =
            padLeft(std::to_string(c.cycle), 5) + padLeft(std::to_string(c.readings), 10) +
            padLeft(std::to_string(c.kept), 7) + padLeft(std::to_string(c.dropped), 9) +
            padLeft(percent(c.largestDropDistance), 18) +
            padLeft(c.largestStep ? formatPicture(*c.largestStep, "0.0000") : "n/a", 14);
        if (directShear) line += padLeft(percent(c.largestStepOfDiameter), 15);
        lines.push_back(line);
    }
    for (const std::string& note : report.notes) lines.push_back("Note: " + note);
    return lines;
}

}  // namespace plovix

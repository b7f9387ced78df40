#include "filter/plot_points.h"

#include <algorithm>

#include "sources/units.h"
#include "text/number_format.h"

namespace plovix {

void PlotPointsCollector::Thinned::add(const Entry& e, std::size_t limit) {
    if (seen++ % every != 0) return;
    held.push_back(e);
    if (held.size() <= limit) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < held.size(); i += 2) held[kept++] = held[i];
    held.resize(kept);
    every *= 2;
}

PlotCycle& PlotPointsCollector::countsOf(int cycle) {
    for (PlotCycle& c : counts_)
        if (c.cycle == cycle) return c;
    counts_.push_back(PlotCycle{cycle, {}, {}, 0, 0});
    return counts_.back();
}

void PlotPointsCollector::reading(int cycle, double disp, double load, bool kept) {
    ++(kept ? countsOf(cycle).keptCount : countsOf(cycle).droppedCount);
    if (lastDropped_) dropped_.add(*lastDropped_, limit_);
    lastDropped_.reset();
    const Entry e{cycle, {disp, load}};
    if (kept)
        kept_.add(e, limit_);
    else
        lastDropped_ = e;
}

void PlotPointsCollector::lastReadingKept() {
    if (!lastDropped_) return;
    PlotCycle& counts = countsOf(lastDropped_->cycle);
    --counts.droppedCount;
    ++counts.keptCount;
    kept_.add(*lastDropped_, limit_);
    lastDropped_.reset();
}

PlotData PlotPointsCollector::data(const Session& s) const {
    const int n = s.specimens.CurrentSpecimen;
    PlotData d;
    d.specimen = n;
    d.dispUnit = s.header.DispUnit;
    d.loadUnit = s.header.LoadUnit;

    Thinned dropped = dropped_;
    if (lastDropped_) dropped.add(*lastDropped_, limit_);
    // Every cycle told of, in the order the pass reached them.
    d.cycles = counts_;
    const auto cycleOf = [&](int cycle) -> PlotCycle& {
        return *std::find_if(d.cycles.begin(), d.cycles.end(),
                             [&](const PlotCycle& c) { return c.cycle == cycle; });
    };
    for (const Entry& e : kept_.held) cycleOf(e.cycle).kept.push_back(e.point);
    for (const Entry& e : dropped.held) cycleOf(e.cycle).dropped.push_back(e.point);
    d.keptCount = kept_.seen;
    d.droppedCount = dropped.seen;
    d.keptEvery = kept_.every;
    d.droppedEvery = dropped.every;

    // The axes name an unknown unit so.
    const auto named = [](std::string name) { return name.empty() ? "unit unknown" : name; };
    const std::string disp = named(dispUnitName(d.dispUnit)),
                      load = named(loadUnitName(d.loadUnit));
    d.title = "Specimen " + std::to_string(n) + ": " + s.specimens.SpecimenFileName(n);
    d.criteria = "Criteria: displacement " + formatGeneralNumber(s.settings.IncMax) + " " + disp +
                 ", load " + formatGeneralNumber(s.settings.Tolerance) +
                 " % of the maximum load (" + formatPicture(s.pass.LoadTol(n), "0.000") + " " +
                 load + "); " + std::to_string(d.keptCount) + " of " +
                 std::to_string(d.keptCount + d.droppedCount) + " readings kept";
    d.dispAxis = "Displacement (" + disp + ")";
    d.loadAxis = "Load (" + load + ")";
    return d;
}

}  // namespace plovix

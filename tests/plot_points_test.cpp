// The plot's points: kept and dropped readings per cycle as the pass tells them, the held last
// reading that the pass keeps after all, thinning of long files, and the texts around the plot.

#include "filter/plot_points.h"

#include <gtest/gtest.h>

#include <array>

namespace plovix {
namespace {

std::vector<double> dispsOf(const std::vector<PlotPoint>& points) {
    std::vector<double> out;
    for (const PlotPoint& p : points) out.push_back(p.disp);
    return out;
}

TEST(PlotPoints, ReadingsLandInTheirCycleAndTheHeldLastReadingCountsAsKept) {
    Session s;
    s.specimens.CurrentSpecimen = 2;
    s.specimens.SpecimenFileName(2) = "DS2.LST";
    s.header.DispUnit = kInches;
    s.header.LoadUnit = kPounds;
    s.settings.IncMax = 0.05;
    s.settings.Tolerance = 10;
    s.pass.LoadTol(2) = 2;

    PlotPointsCollector c;
    c.reading(1, 0.00, 0, true);
    c.reading(1, 0.01, 5, false);
    c.reading(1, 0.02, 9, false);
    c.lastReadingKept();  // 0.02 closes cycle 1
    c.reading(2, 0.02, -3, true);
    c.reading(2, 0.01, -4, false);  // the last reading, dropped
    const PlotData d = c.data(s);

    ASSERT_EQ(d.cycles.size(), 2u);
    EXPECT_EQ(d.cycles[0].cycle, 1);
    EXPECT_EQ(dispsOf(d.cycles[0].kept), (std::vector<double>{0.00, 0.02}));
    EXPECT_EQ(dispsOf(d.cycles[0].dropped), std::vector<double>{0.01});
    EXPECT_EQ(d.cycles[1].cycle, 2);
    EXPECT_EQ((std::array{d.cycles[0].keptCount, d.cycles[0].droppedCount}),
              (std::array<std::int64_t, 2>{2, 1}));
    EXPECT_EQ(d.cycles[1].kept.size(), 1u);
    EXPECT_EQ(d.cycles[1].dropped[0].load, -4);
    EXPECT_EQ(d.keptCount, 3);
    EXPECT_EQ(d.droppedCount, 2);
    EXPECT_EQ(d.title, "Specimen 2: DS2.LST");
    EXPECT_EQ(d.criteria,
              "Criteria: displacement 0.05 in, load 10 % of the maximum load (2.000 lbs); 3 of 5 "
              "readings kept");
    EXPECT_EQ(d.dispAxis, "Displacement (in)");
    EXPECT_EQ(d.loadAxis, "Load (lbs)");
}

TEST(PlotPoints, ALongFileIsThinnedEvenlyAndSaysSo) {
    PlotPointsCollector c(4);
    for (int i = 0; i < 10; ++i) c.reading(1, i, i, true);
    const PlotData d = c.data(Session{});
    // Readings 0..9 with at most 4 held: every 4th, from the first.
    EXPECT_EQ(dispsOf(d.cycles[0].kept), (std::vector<double>{0, 4, 8}));
    EXPECT_EQ(d.keptEvery, 4);
    EXPECT_EQ(d.keptCount, 10);
    EXPECT_EQ(d.cycles[0].keptCount, 10);
    EXPECT_EQ(d.droppedEvery, 1);
    EXPECT_EQ(d.dispAxis, "Displacement (unit unknown)");
}

}  // namespace
}  // namespace plovix

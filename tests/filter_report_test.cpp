// The filter report: kept and dropped readings per cycle, the distance of dropped readings from
// the line of their kept neighbours and the largest step, worked by hand on a small file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "app/settings.h"
#include "filter/filter_report.h"
#include "sources/source_codes.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

// GeoTest direct shear, shear box 2.5 in; Tolerance 10 % of the peak 20 (LoadTol 2), IncMax
// 0.05 in. Cycle 1 drops readings 3, 4 (4 is 1.0 off the line 2-5: 5 % of 20) and 9; its
// largest step .06 is 2.4 % of 2.5. Cycle 2 drops 12 and 14 (0.2 off the last kept level: 1 %).
const double kRows[][2] = {{0, 0},     {.01, 10},    {.02, 10.5},  {.03, 11},   {.04, 13},
                           {.10, 14},  {.11, 20},    {.12, 19},    {.13, 18.5}, {.12, -5},
                           {.10, -10}, {.08, -10.5}, {.06, -10.8}, {.05, -10.6}};

TEST(FilterReport, KeptDroppedDistancesAndSteps) {
    testing::TempFolder folder;
    std::vector<std::array<double, 3>> rows;
    for (const auto& [disp, load] : kRows) rows.push_back({rows.size() * 0.5 + 0.5, disp, load});
    const std::string path = (folder.path / "report.LST").string();
    testing::writeBytes(path, testing::geotestShearFile(rows));

    Session s;
    LoadSettings(s, IniFile{});
    resetForNewTest(s);
    s.settings.SourceType = kGeoTest;
    s.program.TestType = kDirectShear;
    s.settings.Tolerance = 10;
    s.settings.IncMax = 0.05;
    s.settings.DAFile = path;
    s.specimens.CurrentSpecimen = s.specimens.SpecimenCount = 1;
    testing::RecordingOperator op;
    FilterReportCollector collector;
    ASSERT_EQ(DAImport(s, op, nullptr, &collector), PassOutcome::Done);
    EXPECT_EQ(s.pass.NumToWrite, 10);

    const FilterReport r = collector.report(s);
    ASSERT_EQ(r.cycles.size(), 2u);
    const CycleFilterReport& c1 = r.cycles[0];
    const CycleFilterReport& c2 = r.cycles[1];
    EXPECT_EQ((std::array{c1.cycle, c2.cycle}), (std::array{1, 2}));
    EXPECT_EQ((std::array{c1.readings, c1.kept, c1.dropped}),
              (std::array<std::int64_t, 3>{9, 7, 2}));
    EXPECT_EQ((std::array{c2.readings, c2.kept, c2.dropped}),
              (std::array<std::int64_t, 3>{5, 3, 2}));
    EXPECT_NEAR(c1.largestDropDistance.value_or(-1), 5.0, 1e-9);
    EXPECT_NEAR(c2.largestDropDistance.value_or(-1), 1.0, 1e-9);
    EXPECT_NEAR(c1.largestStep.value_or(-1), 0.06, 1e-12);
    EXPECT_NEAR(c2.largestStep.value_or(-1), 0.04, 1e-12);
    EXPECT_NEAR(c1.largestStepOfDiameter.value_or(-1), 2.4, 1e-9);
    EXPECT_NEAR(c2.largestStepOfDiameter.value_or(-1), 1.6, 1e-9);

    EXPECT_EQ(filterReportLines(r, kInches, true),
              (std::vector<std::string>{
                  "FILTER REPORT (distances in % of the maximum load, steps in in)",
                  "CYCLE  READINGS   KEPT  DROPPED  LARGEST DISTANCE  LARGEST STEP  STEP/DIAMETER",
                  "    1         9      7        2            5.00 %        0.0600         2.40 %",
                  "    2         5      3        2            1.00 %        0.0400         1.60 %",
                  "Note: Cycle 1: the largest displacement step between kept readings is 2.40 % "
                  "of the specimen diameter; common practice asks for no more than 2 %. Lower the "
                  "displacement criterion for more points."}));

    // A compression test keeps ten readings at least, or the report says so; it asks for no
    // diameter.
    s.program.TestType = kUnconfinedCompression;
    const FilterReport ten = collector.report(s);
    EXPECT_FALSE(ten.cycles[0].largestStepOfDiameter);
    EXPECT_TRUE(ten.notes.empty());
    FilterReportCollector nine;
    for (int i = 0; i < 9; ++i) nine.reading(1, i * 0.01, i, true);
    EXPECT_EQ(nine.report(s).notes,
              std::vector<std::string>{"Only 9 readings are kept; common practice asks for at "
                                       "least 10 in a compression test. Lower the criteria for "
                                       "more points."});
}

TEST(FilterReport, LongRunsOfDroppedReadingsAreHeldBoundedWithTheSameDistances) {
    // 100,000 dropped readings along a wavy rise between two kept ones, then 50,000 more after
    // the last kept one: the distances are those of all the readings, worked out here directly.
    Session s;
    s.specimens.CurrentSpecimen = 1;
    s.pass.SpecMaxLoad(1) = 100;  // distances in % of 100: the distance in load itself
    FilterReportCollector collector;
    collector.reading(1, 0, 0, true);
    const double endDisp = 1.00001, endLoad = 10.0001;
    double between = 0, after = 0;
    std::size_t held = 0;
    for (int i = 1; i <= 150000; ++i) {
        const double disp = i * 1e-5;
        const double load = i <= 100000 ? 10 * disp + 0.3 * std::sin(i * 0.001) + (i % 7) * 0.01
                                        : endLoad + 0.1 * std::sin(i * 0.01);
        collector.reading(1, disp, load, false);
        held = std::max(held, collector.heldDropped());
        if (i <= 100000) {
            between = std::max(between,
                               std::fabs(load - (0 + (endLoad - 0) * (disp - 0) / (endDisp - 0))));
        } else {
            after = std::max(after, std::fabs(load - endLoad));
        }
        if (i == 100000) collector.reading(1, endDisp, endLoad, true);
    }
    EXPECT_LE(held, 2 * FilterReportCollector::kHeldDropped);
    const FilterReport r = collector.report(s);
    ASSERT_EQ(r.cycles.size(), 1u);
    EXPECT_EQ(r.cycles[0].dropped, 150000);
    EXPECT_DOUBLE_EQ(r.cycles[0].largestDropDistance.value_or(-1), std::max(between, after));
    EXPECT_GT(between, after);  // the run between the kept readings decides

    // The last dropped reading can still be kept after a thinning: it closes the run.
    FilterReportCollector closing;
    closing.reading(1, 0, 0, true);
    for (int i = 1; i <= 5000; ++i) closing.reading(1, i * 1e-4, (i % 2) * 0.5, false);
    closing.lastReadingKept();
    const FilterReport c = closing.report(s);
    EXPECT_EQ(c.cycles[0].kept, 2);
    EXPECT_NEAR(c.cycles[0].largestStep.value_or(-1), 0.5, 1e-12);
    // On the line from (0, 0) to (0.5, 0) every odd reading stands 0.5 off.
    EXPECT_DOUBLE_EQ(c.cycles[0].largestDropDistance.value_or(-1), 0.5);

    // Kept neighbours at one displacement: a dropped load lies above or below their loads.
    FilterReportCollector upright;
    upright.reading(1, 0.1, 0, true);
    upright.reading(1, 0.1, 7, false);
    upright.reading(1, 0.1, -3, false);
    upright.reading(1, 0.1, 2, true);
    EXPECT_DOUBLE_EQ(upright.report(s).cycles[0].largestDropDistance.value_or(-1), 5.0);
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "filter/reading_pass.h"
#include "sources/source_codes.h"
#include "sources/source_table.h"
#include "sources/units.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

// The export as the pass sees it: the block head records the count the preview left in
// "Readings to be written:"; every reading line must follow it.
struct RecordingSink : ReadingSink {
    std::int64_t headCount = -1;
    std::vector<std::string> lines;
    bool lineBeforeHead = false;
    std::function<void()> onBegin;
    void beginSpecimen(Session& s, Operator&) override {
        headCount = s.specimens.ReadingsToWrite(s.specimens.CurrentSpecimen);
        if (onBegin) onBegin();
    }
    void writeReading(const std::string& line) override {
        lineBeforeHead |= headCount < 0;
        lines.push_back(line);
    }
};

std::string fixture(const std::string& name) {
    return std::string(PLOVIX_TEST_DATA) + "/" + name;
}

using testing::bytesOf;
using testing::geotestShearFile;

class ReadingPassTest : public ::testing::Test {
  protected:
    Session s;
    testing::RecordingOperator op;
    RecordingSink sink;
    testing::TempFolder folder;
    std::function<void()> beforeExport;  // runs between the preview and the export

    ReadingPassTest() {
        resetForNewTest(s);
        fillNameLists(s.program);
        s.program.AppVersion = "0.1.0 ";
        s.settings.Tolerance = 25;
        s.settings.IncMax = 0.25;
    }
    void use(int source, int test, const std::string& path) {
        s.settings.SourceType = source;
        s.program.TestType = test;
        s.settings.DAFile = path;
        s.settings.DAName = path.substr(path.rfind('/') + 1);
        // What the window does when a file is chosen.
        s.pass.ReadingsInFile = 0;
        for (int r = 1; r <= kMaxRun; ++r) s.cycles.NumCycles(1, r) = 0;
    }
    std::string written(const std::string& name, const std::string& bytes) {
        testing::writeBytes(folder.path / name, bytes);
        return (folder.path / name).string();
    }
    PassOutcome preview() {
        s.pass.Exporting = false;
        return DAImport(s, op);
    }
    // Preview, then export: the reading lines written, checked against the block head.
    std::vector<std::string> exported() {
        EXPECT_EQ(preview(), PassOutcome::Done);
        if (beforeExport) beforeExport();
        sink = RecordingSink{};
        s.pass.Exporting = true;
        EXPECT_EQ(DAImport(s, op, &sink), PassOutcome::Done);
        s.pass.Exporting = false;
        EXPECT_EQ(sink.headCount, static_cast<std::int64_t>(sink.lines.size()));
        EXPECT_FALSE(sink.lineBeforeHead);
        return sink.lines;
    }
    const SpecimenColumn& col() const { return s.specimens.Column(1); }
};

using Lines = std::vector<std::string>;

// pass_keys.LST, one forward cycle; Tolerance 25 % of the peak 100 gives LoadTol 25, IncMax 0.25
// is raised to 0.5 here. Cycle keys: max 100, high 100 (the second peak), min 0.
//   1 (0, 0) first | 2 (0.25, 25) load change = 25, disp 0.25: dropped | 3 (0.5, 20) disp
//   change = 0.5: dropped | 4 (0.75, 100) peak | 5 (1, 100) high, not the peak rule |
//   6 (1.25, 90) dropped | 7 (1.5, 74) |74 - 100| = 26 | 8 (2.25, 70) disp 0.75 | 9 dropped.
TEST_F(ReadingPassTest, KeyLoadsAndStrictThresholds) {
    s.settings.IncMax = 0.5;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_keys.LST"));
    EXPECT_EQ(exported(), (Lines{"0, 0, 0.001", "0.75, 100, 0.004", "1, 100, 0.005",
                                 "1.5, 74, 0.007", "2.25, 70, 0.008"}));
    // Time 4.00 of reading 9 less 0.00; the header's normal pressure stays.
    EXPECT_EQ((Lines{col().readingsToWrite, col().metDisp, col().metLoad, col().cycleReadings,
                     col().maxLoad, col().timeOrRate, col().normalStress}),
              (Lines{"5", "2", "3", "1 / 9", "100.00", "4.0", "1000.00"}));
    EXPECT_FALSE(col().readingsToWriteRed);
    EXPECT_EQ(s.specimens.Headings.maxLoad, "Maximum Load (lbs):");
    EXPECT_EQ(s.pass.FirstLine(1), 20);
    EXPECT_EQ(op.statuses.back(), (std::pair<std::string, int>{"NORVO file written", 47}));
    EXPECT_TRUE(op.messages.empty());

    // Both skip boxes ticked without repeats skip nothing.
    s.specimens.SkipDispRepeats(1) = s.specimens.SkipLoadRepeats(1) = true;
    preview();
    EXPECT_EQ(s.pass.InitialSkip(1), 0);
    EXPECT_EQ(col().readingsToWrite, "5");
    EXPECT_EQ(col().status, "Filtering complete");
}

// pass_repeats.LST: displacements 0, 0, 0, 0, 0.5, ... (3 repeats), loads 0, 0, 0, 15, ...
// (2 repeats). Keys: max 30, high 25, min -5; LoadTol 7.5. Kept: the first, 15 (load change),
// 20 (disp change 0.5), 30, 25, -5 whichever repeat starts the readings.
TEST_F(ReadingPassTest, InitialRepeatsAndTheSkipBoxes) {
    use(kGeoTest, kDirectShear, fixture("geotest/pass_repeats.LST"));
    EXPECT_EQ(exported().front(), "0, 0, 0.001");
    EXPECT_EQ((Lines{col().initialDispRepeats, col().initialLoadRepeats, col().readingsToWrite}),
              (Lines{"3", "2", "6"}));

    s.specimens.SkipDispRepeats(1) = true;  // 3 - 1 skipped: the third equal reading is first
    EXPECT_EQ(exported().front(), "0, 0, 0.003");
    EXPECT_EQ(s.pass.InitialSkip(1), 2);
    EXPECT_EQ(col().readingsToWrite, "6");
    s.specimens.SkipDispRepeats(1) = false;
    s.specimens.SkipLoadRepeats(1) = true;  // 2 - 1 skipped
    EXPECT_EQ(exported().front(), "0, 0, 0.002");
    EXPECT_EQ(s.pass.InitialSkip(1), 1);
}

// pass_three_cycles.LST (LoadTol 25 of the peak 100, IncMax 0.25):
//   cycle 1 (0,0) (0.5,40) (1,80) (1.1,78) [(1.2,78) dropped]; keys 80 / 78 / 0
//   cycle 2 (0.7,-40) (0.2,-60) [(0.15,-59) dropped]; keys -40 / -40 / -60
//   cycle 3 (0.65,30) (1.15,100); keys 100 / 30 / 30
// Each dropped last reading closes its cycle when the next used one begins. After the reversal
// at (0.7) the written displacement grows by the travel: 1.2 + 0.5, + 0.5, + 0.05, ...
TEST_F(ReadingPassTest, CyclesClosingReadingsAndUntickedCycles) {
    use(kGeoTest, kDirectShear, fixture("geotest/pass_three_cycles.LST"));
    EXPECT_EQ(exported(),
              (Lines{"0, 0, 0", "0.5, 40, 0", "1, 80, 0", "1.1, 78, 0", "1.2, 78, 0", "1.7, -40, 0",
                     "2.2, -60, 0", "2.25, -59, 0", "2.75, 30, 0", "3.25, 100, 0"}));
    // The first and the two closing readings meet the displacement criterion.
    EXPECT_EQ((Lines{col().metDisp, col().metLoad, col().cycleReadings}),
              (Lines{"3", "7", "3 / 10"}));

    // Cycle 2 left out in both passes (the file chosen again, so no cycle count is known): the
    // reversed travel 1.2 -> 0.65 is taken up at once.
    use(kGeoTest, kDirectShear, fixture("geotest/pass_three_cycles.LST"));
    s.cycles.UseCycle(1, 1, 2) = 0;
    EXPECT_EQ(exported(), (Lines{"0, 0, 0", "0.5, 40, 0", "1, 80, 0", "1.1, 78, 0", "1.2, 78, 0",
                                 "1.75, 30, 0", "2.25, 100, 0"}));
    // The peak of cycle 3, a used cycle after a left-out one; the cycles used.
    EXPECT_EQ((Lines{col().cycleReadings, col().maxLoad, col().cyclesInFile}),
              (Lines{"2 / 7", "100.00", "2"}));

    // A file that ends in a reverse cycle: the filter still starts forward, as the survey did.
    s.cycles.UseCycle(1, 1, 2) = 1;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_ends_reversed.LST"));
    EXPECT_EQ(preview(), PassOutcome::Done);
    EXPECT_EQ(col().cycleReadings + " " + col().readingsToWrite, "2 / 8 7");  // as above
    EXPECT_TRUE(op.messages.empty());

    // A left-out cycle of one reading (0.9) does not swallow the next cycle's first (1.4).
    s.cycles.UseCycle(1, 1, 2) = 0;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_one_reading_cycle.LST"));
    preview();
    // Kept: the first, 40, 80, 30 (high), 60 (peak).
    EXPECT_EQ(col().cycleReadings + " " + col().readingsToWrite, "2 / 5 5");
}

// pass_markers.DAT: area 4.908738521875 (diameter 2.5), so a stress of 1440 psf is a load of
// 49.08738521875. The first displacement 0.01 is not 0: a zero reading goes first (12 = 11 + 1).
// LoadTol 10 % of 98.17 (2880 psf). Pass 1 keeps 0.01 (min 0), 0.02, 0.03 (peak), 0.031 (high),
// drops 0.032; "PASS 2" follows, so 0.032 closes pass 1 when pass 2 begins. Pass 2 keeps
// 0 (min), 0.01 (peak), 0.011 (high), drops 0.012, which the shear markers hand back. Pass 3
// (-720, -1000 psf): 0.005 (|24.5 - 49.1| > 9.8), 0.015 by the raw minimum alone (|34.1 - 24.5|
// < 9.8). The box turns at pass 2: from there the displacement adds up.
TEST_F(ReadingPassTest, GeomaticPassesMarkersAndTheZeroReading) {
    s.settings.Tolerance = 10;
    s.settings.IncMax = 0.05;
    use(kGeomatic, kDirectShear, fixture("geomatic/pass_markers.DAT"));
    beforeExport = [&] {  // left over from another specimen
        s.pass.PrevLine = "0.5000 9999 0.5000";
        s.pass.ExportOpen = true;
    };
    const double k = 4.908738521875 / 144;  // lbs per psf
    const double disp[] = {0,     0.01,  0.02,  0.03,  0.031, 0.032,
                           0.064, 0.074, 0.075, 0.076, 0.081, 0.091};
    const double psf[] = {0, 0, 1440, 2880, 2880, 2880, 0, 1440, 1440, 1440, 720, 1000};
    const double vert[] = {0,      0,      0.001,  0.0015, 0.0016, 0.0017,
                           0.0017, 0.0018, 0.0019, 0.002,  0.002,  0.0021};
    const Lines lines = exported();
    ASSERT_EQ(lines.size(), 12u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        double d = 0, f = 0, v = 0;
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "%lf, %lf, %lf", &d, &f, &v), 3) << lines[i];
        EXPECT_NEAR(d, disp[i], 1e-12) << i;
        EXPECT_NEAR(f, psf[i] * k, 1e-9) << i;
        EXPECT_NEAR(v, vert[i], 1e-12) << i;
    }
    // The zero reading counts in "3 / 12".
    EXPECT_EQ((Lines{col().readingsInFile, col().cycleReadings, col().metDisp, col().metLoad,
                     col().maxLoad}),
              (Lines{"11", "3 / 12", "3", "9", "98.17"}));
    EXPECT_EQ(s.pass.FirstLine(1), 15);
    // The passes are the cycles from the first reading on.
    EXPECT_DOUBLE_EQ(s.pass.CycleMaxLoad(1, 1, 1), 2880 * k);
    EXPECT_DOUBLE_EQ(s.pass.CycleMaxLoad(1, 1, 2), 1440 * k);
    // The normal stress and the rate from the header.
    EXPECT_EQ(col().normalStress + " " + col().timeOrRate, "1000.00 0.02");

    // Pass 2 left out: the shear markers hand back pass 1's closing reading instead.
    s.cycles.UseCycle(1, 1, 2) = 0;
    EXPECT_EQ(exported().size(), 8u);
    EXPECT_EQ(col().cycleReadings, "2 / 8");
}

// pass_cu.TRX (CU): loads 0, 0.45, 0.9, 0.9, 0.45 kN, LoadTol 0.225: all five kept. Cell values
// 0.1, then 10.1 four times, less the zero 0.1: sum 40; x 25 / 5 / 5 readings = 40.
// 10:00:00 AM to 10:02:00 AM: 2 minutes.
// pass_cupp.TXT (CUPP): loads 0, 50, 100, 100, 60 lbs, LoadTol 25: all kept; cell 40, 40, 42,
// 42, 44: mean 41.6. 10:59:30 to 11:00:30: 1 minute over the hour.
TEST_F(ReadingPassTest, ProprietaryClientAndDurhamGeoResults) {
    use(kProprietaryClient, kConsolidatedUndrained, fixture("proprietary/pass_cu.TRX"));
    EXPECT_EQ(preview(), PassOutcome::Done);
    EXPECT_EQ((Lines{col().readingsToWrite, col().normalStress, col().timeOrRate, col().maxLoad}),
              (Lines{"5", "40.00", "2.0", ".90"}));
    EXPECT_EQ(s.specimens.Headings.maxLoad, "Maximum Load (kN):");
    EXPECT_EQ(s.pass.FirstLine(1), 19);

    use(kDurhamGeo, kCuWithPorePressures, fixture("durham/pass_cupp.TXT"));
    EXPECT_EQ(preview(), PassOutcome::Done);
    EXPECT_EQ(s.pass.HeaderLines, 19);
    EXPECT_EQ(s.pass.FirstLine(1), 21);  // 20 lines consumed by the header
    EXPECT_EQ((Lines{col().readingsToWrite, col().normalStress, col().timeOrRate}),
              (Lines{"5", "41.60", "1.0"}));

    EXPECT_TRUE(op.messages.empty()) << ::testing::PrintToString(op.texts());
}

// 100 readings 1.0 apart at a constant load: the first, the key loads of readings 2 to 4, and
// every later one by displacement: 100 kept.
TEST_F(ReadingPassTest, HundredReadingsForTheDosAndWindowsNorvo) {
    std::vector<std::array<double, 3>> rows;
    for (int n = 0; n < 100; ++n) rows.push_back({n * 0.5, n * 1.0, 10});
    use(kGeoTest, kDirectShear, written("hundred.LST", geotestShearFile(rows)));
    preview();
    EXPECT_EQ(col().readingsToWrite, "100");
    EXPECT_TRUE(col().readingsToWriteRed);  // too many for the DOS Norvo
    EXPECT_EQ(op.texts(), Lines{kFilterNotesText});
    EXPECT_EQ(op.messages[0].title, "Plovix");
    EXPECT_EQ(op.statuses.back(), (std::pair<std::string, int>{"Filtering complete", 79}));

    op.messages.clear();
    s.settings.NVWIN = true;
    preview();
    EXPECT_FALSE(col().readingsToWriteRed);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(op.statuses.back(), (std::pair<std::string, int>{"Filtering complete", 47}));
}

TEST_F(ReadingPassTest, BadInputEndsCleanlyAndKeepsThePreviousResults) {
    s.specimens.Column(1).readingsToWrite = "previous";
    const std::string tail = "   PathFile: ";
    auto lastTwo = [&] {
        const Lines all = op.texts();
        return Lines(all.end() - 2, all.end());
    };
    const std::string note =
        "This error may indicate that the file you are trying to import is an unsupported file "
        "type.  Please send the file to KALVORN for analysis.";

    std::string header = geotestShearFile({});
    const std::string headerOnly =
        written("header_only.LST", header.substr(0, header.find("123456789lastline")));
    use(kGeoTest, kDirectShear, headerOnly);
    EXPECT_EQ(preview(), PassOutcome::Ended);
    EXPECT_EQ(lastTwo(), (Lines{"0.1.0 Error: 62 - Input past end of file   Waypoint: 2" + tail +
                                    headerOnly + "   FileOnly: header_only.LST",
                                note}));
    EXPECT_EQ(op.messages.front().title, "Error in DAImport");

    std::string trx = bytesOf(fixture("proprietary/pass_cu.TRX"));
    trx.replace(trx.find("10:02:00 AM"), 11, "10:62:00 AM");
    use(kProprietaryClient, kConsolidatedUndrained, written("bad_time.TRX", trx));
    EXPECT_EQ(preview(), PassOutcome::Ended);
    EXPECT_TRUE(lastTwo()[0].starts_with("0.1.0 Error: 13 - Type mismatch   Waypoint: 10   "));

    EXPECT_EQ(col().readingsToWrite, "previous");

    // The file is cut short between the passes: reading 4 is its end marker.
    use(kGeoTest, kDirectShear,
        written("cut.LST", bytesOf(fixture("geotest/pass_three_cycles.LST"))));
    preview();
    const std::string afterPreview = col().readingsToWrite;
    sink.onBegin = [&] {
        std::string cut = bytesOf(fixture("geotest/pass_three_cycles.LST"));
        cut.resize(cut.find("  4  1.50"));
        written("cut.LST", cut + "123456789lastline987654321\r\n");
    };
    s.pass.Exporting = true;
    EXPECT_EQ(DAImport(s, op, &sink), PassOutcome::Ended);
    s.pass.Exporting = false;
    EXPECT_EQ(op.texts().back(), "unexpected end of readings encountered4");
    EXPECT_EQ(col().readingsToWrite, afterPreview);

    // Displacements 0, 1, 0, 1, ...: every line from the third opens a cycle. 11 lines are
    // 10 cycles; 12 lines would be 11.
    std::vector<std::array<double, 3>> zigzag;
    for (int n = 0; n < 12; ++n) zigzag.push_back({0, n % 2 * 1.0, 10});
    use(kGeoTest, kDirectShear, written("eleven.LST", geotestShearFile(zigzag)));
    EXPECT_EQ(preview(), PassOutcome::Ended);
    EXPECT_EQ(op.texts().back(), "Limit of 10 direction changes exceeded");
    zigzag.pop_back();
    use(kGeoTest, kDirectShear, written("ten.LST", geotestShearFile(zigzag)));
    EXPECT_EQ(preview(), PassOutcome::Done);
    // Each cycle's first reading is its peak.
    EXPECT_EQ(col().cycleReadings + " " + col().readingsToWrite, "10 / 11 11");

    // Every cycle left out: nothing to filter.
    s.cycles.UseCycle(1, 1, 1) = 0;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_keys.LST"));
    EXPECT_EQ(preview(), PassOutcome::Done);
    EXPECT_EQ(col().cycleReadings + " " + col().readingsToWrite, "0 / 0 0");
    EXPECT_EQ(op.messages.back().text, " No data available for specimen  1.");
    EXPECT_EQ(op.messages.back().icon, MessageIcon::Information);

    // A header that ends early: OK asks for the settings.
    use(kGeoTest, kConsolidatedUndrained, fixture("geotest/truncated_header.LST"));
    EXPECT_EQ(preview(), PassOutcome::OpenSettings);
    EXPECT_EQ(op.texts().back(),
              "0.1.0 Error: Wrong test type or unknown file format (contact KALVORN in that case)");
    op.scriptAnswers({false});
    EXPECT_EQ(preview(), PassOutcome::Ended);
}

// digishear_ds.SDF (see its golden file in convert_test.cpp) with the default GEOTAC settings,
// each setting changed from there; then a zero displacement factor.
TEST_F(ReadingPassTest, GeotacSettingsActInThePass) {
    s.settings.Tolerance = 5;
    s.settings.IncMax = 0.05;
    s.settings.GEOTACI0 = s.settings.GEOTACROS = s.settings.GEOTACIPM = true;
    s.settings.GEOTACUFVDAZ = true;
    use(kGeotac, kDirectShear, fixture("geotac/digishear_ds.SDF"));
    preview();
    EXPECT_EQ((Lines{col().readingsToWrite, col().normalStress, col().timeOrRate}),
              (Lines{"7", "20.37", "4.0"}));
    s.settings.GEOTACNPSF = true;  // 100 / 4.908738521875 x 144 = 2933.544
    preview();
    EXPECT_EQ(col().normalStress, "2933.54");
    // No zero reading: the 0.002 reading comes first, 6 kept, rate 0.298 x 100 / 2.5 / 3.
    s.settings.GEOTACNPSF = s.settings.GEOTACI0 = false;
    preview();
    EXPECT_EQ(col().readingsToWrite, "6");
    EXPECT_NEAR(s.header.TimeOrRate(1), 29.8 / 2.5 / 3, 1e-12);
    s.settings.GEOTACI0 = true;
    s.settings.GEOTACROS = false;  // 0.3 in / 3 min, just short of 0.1 in binary: two decimals
    preview();
    EXPECT_EQ(col().timeOrRate, "0.10");
    s.settings.GEOTACIPM = false;
    preview();
    EXPECT_EQ(col().timeOrRate, "3.0");
    // The vertical of the 0.01 reading: 1 x 0.1 less the zero reading's 0, or against the
    // file's zero: (1 - 0.5) x 0.1.
    EXPECT_EQ(exported().at(2), "0.01, 15, 0.1");
    s.settings.GEOTACUFVDAZ = false;
    EXPECT_EQ(exported().at(2), "0.01, 15, 0.05");
    EXPECT_TRUE(op.messages.empty());

    // A zero displacement factor: the unknown-format message.
    std::string bytes = bytesOf(fixture("geotac/sigma1_cu.TRX"));
    bytes.replace(bytes.find("Factor\t8\t0.001\t4\t2\t1"), 20, "Factor\t8\t0.001\t4\t2\t0");
    use(kGeotac, kCuWithPorePressures, written("ZERO.TRX", bytes));
    EXPECT_EQ(preview(), PassOutcome::Refused);
    EXPECT_NE(op.messages.at(0).text.find("Wrong test type or unknown file format"),
              std::string::npos);
}

// 70,000 readings 0.5 apart: every one kept, and counts beyond 16 bits shown as they are.
TEST_F(ReadingPassTest, LongFilesCountPastSixteenBits) {
    std::vector<std::array<double, 3>> rows;
    for (int n = 0; n < 70000; ++n) rows.push_back({0, n * 0.5, 10});
    use(kGeoTest, kDirectShear, written("long.LST", geotestShearFile(rows)));
    s.settings.NVWIN = true;
    EXPECT_EQ(preview(), PassOutcome::Done);
    EXPECT_EQ(col().readingsInFile, "70000");
    EXPECT_EQ(col().readingsToWrite, "70000");
    EXPECT_EQ(s.specimens.ReadingsToWrite(1), 70000);
    int filtering = 0;  // reported every 1000th reading: 1000, 2000, ..., 70000
    for (const auto& [text, colour] : op.statuses)
        filtering += text.rfind("Filtering reading number ", 0) == 0;
    EXPECT_EQ(filtering, 70);
    EXPECT_EQ(op.progress.back(), (std::pair<std::int64_t, std::int64_t>{70000, 70000}));
}

}  // namespace
}  // namespace plovix

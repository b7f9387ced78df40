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

// The export as the pass sees it: every reading line follows a block head holding the count.
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

using testing::bytesOf;
using testing::fixture;
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
        s.pass.ReadingsInFile = 0;  // as the window does when a file is chosen
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

// LoadTol 25, IncMax 0.5: steps of exactly 25 and 0.5 are dropped, 26 and 0.75 kept.
TEST_F(ReadingPassTest, KeyLoadsAndStrictThresholds) {
    s.settings.IncMax = 0.5;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_keys.LST"));
    EXPECT_EQ(exported(), (Lines{"0, 0, 0.001", "0.75, 100, 0.004", "1, 100, 0.005",
                                 "1.5, 74, 0.007", "2.25, 70, 0.008"}));
    EXPECT_EQ((Lines{col().readingsToWrite, col().metDisp, col().metLoad, col().cycleReadings,
                     col().maxLoad, col().timeOrRate, col().normalStress}),
              (Lines{"5", "2", "3", "1 / 9", "100.00", "4.0", "1000.00"}));
    EXPECT_FALSE(col().readingsToWriteRed);
    EXPECT_EQ(s.specimens.Headings.maxLoad, "Maximum Load (lbs):");
    EXPECT_EQ(s.pass.FirstLine(1), 20);
    EXPECT_EQ(op.statuses.back(), (std::pair<std::string, int>{"NORVO file written", 47}));
    EXPECT_TRUE(op.messages.empty());
    s.specimens.SkipDispRepeats(1) = s.specimens.SkipLoadRepeats(1) = true;  // no repeats here
    preview();
    EXPECT_EQ(
        std::to_string(s.pass.InitialSkip(1)) + " " + col().readingsToWrite + " " + col().status,
        "0 5 Filtering complete");
}

// Three equal displacements and two equal loads start pass_repeats.LST; six readings kept.
TEST_F(ReadingPassTest, InitialRepeatsAndTheSkipBoxes) {
    use(kGeoTest, kDirectShear, fixture("geotest/pass_repeats.LST"));
    EXPECT_EQ(exported().front(), "0, 0, 0.001");
    EXPECT_EQ((Lines{col().initialDispRepeats, col().initialLoadRepeats, col().readingsToWrite}),
              (Lines{"3", "2", "6"}));

    s.specimens.SkipDispRepeats(1) = true;  // the last repeat starts the readings
    EXPECT_EQ(exported().front() + " " + col().readingsToWrite, "0, 0, 0.003 6");
    EXPECT_EQ(s.pass.InitialSkip(1), 2);
    s.specimens.SkipDispRepeats(1) = false;
    s.specimens.SkipLoadRepeats(1) = true;
    EXPECT_EQ(exported().front(), "0, 0, 0.002");
}

// The dropped last reading of cycles 1 and 2 closes its cycle; after the reversal the written
// displacement grows by the travel.
TEST_F(ReadingPassTest, CyclesClosingReadingsAndUntickedCycles) {
    use(kGeoTest, kDirectShear, fixture("geotest/pass_three_cycles.LST"));
    EXPECT_EQ(exported(),
              (Lines{"0, 0, 0", "0.5, 40, 0", "1, 80, 0", "1.1, 78, 0", "1.2, 78, 0", "1.7, -40, 0",
                     "2.2, -60, 0", "2.25, -59, 0", "2.75, 30, 0", "3.25, 100, 0"}));
    EXPECT_EQ((Lines{col().metDisp, col().metLoad, col().cycleReadings}),
              (Lines{"3", "7", "3 / 10"}));

    // Cycle 2 left out (file chosen again): the reversed travel 1.2 -> 0.65 is taken up at once.
    use(kGeoTest, kDirectShear, fixture("geotest/pass_three_cycles.LST"));
    s.cycles.UseCycle(1, 1, 2) = 0;
    EXPECT_EQ(exported(), (Lines{"0, 0, 0", "0.5, 40, 0", "1, 80, 0", "1.1, 78, 0", "1.2, 78, 0",
                                 "1.75, 30, 0", "2.25, 100, 0"}));
    EXPECT_EQ((Lines{col().cycleReadings, col().maxLoad, col().cyclesInFile}),
              (Lines{"2 / 7", "100.00", "2"}));

    // A file ending in a reverse cycle: the filter still starts forward, as the survey did.
    s.cycles.UseCycle(1, 1, 2) = 1;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_ends_reversed.LST"));
    EXPECT_EQ(preview(), PassOutcome::Done);
    EXPECT_EQ(col().cycleReadings + " " + col().readingsToWrite, "2 / 8 7");

    // A left-out cycle of one reading does not swallow the next cycle's first.
    s.cycles.UseCycle(1, 1, 2) = 0;
    use(kGeoTest, kDirectShear, fixture("geotest/pass_one_reading_cycle.LST"));
    preview();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(col().cycleReadings + " " + col().readingsToWrite, "2 / 5 5");
}

// Stresses in psf become loads on the 2.5 in box; a zero reading goes first (0.01 is not 0); a
// dropped last reading closes its pass; displacements add up from the turn at pass 2.
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
                           0.064, 0.074, 0.075, 0.076, 0.081, 0.091},
                 psf[] = {0, 0, 1440, 2880, 2880, 2880, 0, 1440, 1440, 1440, 720, 1000},
                 vert[] = {0,      0,      0.001,  0.0015, 0.0016, 0.0017,
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
    EXPECT_EQ((Lines{col().readingsInFile, col().cycleReadings, col().metDisp, col().metLoad,
                     col().maxLoad}),
              (Lines{"11", "3 / 12", "3", "9", "98.17"}));
    EXPECT_EQ(s.pass.FirstLine(1), 15);
    EXPECT_DOUBLE_EQ(s.pass.CycleMaxLoad(1, 1, 2), 1440 * k);  // the passes are the cycles
    EXPECT_EQ(col().normalStress + " " + col().timeOrRate, "1000.00 0.02");

    // Pass 2 left out: the shear markers hand back pass 1's closing reading instead.
    s.cycles.UseCycle(1, 1, 2) = 0;
    EXPECT_EQ(exported().size(), 8u);
    EXPECT_EQ(col().cycleReadings, "2 / 8");
}

// Cell pressures averaged over the readings kept; times of test across 10:02 and the hour.
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
    EXPECT_EQ(s.pass.FirstLine(1), 21);
    EXPECT_EQ((Lines{col().readingsToWrite, col().normalStress, col().timeOrRate}),
              (Lines{"5", "41.60", "1.0"}));

    EXPECT_TRUE(op.messages.empty()) << ::testing::PrintToString(op.texts());
}

// 100 readings 1.0 apart at a constant load: every one kept.
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

    // The file cut short between the passes.
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

    // Displacements 0, 1, 0, 1, ...: 12 lines are 11 cycles, 11 lines 10.
    std::vector<std::array<double, 3>> zigzag;
    for (int n = 0; n < 12; ++n) zigzag.push_back({0, n % 2 * 1.0, 10});
    use(kGeoTest, kDirectShear, written("eleven.LST", geotestShearFile(zigzag)));
    EXPECT_EQ(preview(), PassOutcome::Ended);
    EXPECT_EQ(op.texts().back(), "Limit of 10 direction changes exceeded");
    zigzag.pop_back();
    use(kGeoTest, kDirectShear, written("ten.LST", geotestShearFile(zigzag)));
    EXPECT_EQ(preview(), PassOutcome::Done);
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

// digishear_ds.SDF with each GEOTAC setting changed from the defaults of its golden file.
TEST_F(ReadingPassTest, GeotacSettingsActInThePass) {
    s.settings.Tolerance = 5;
    s.settings.IncMax = 0.05;
    s.settings.GEOTACI0 = s.settings.GEOTACROS = s.settings.GEOTACIPM = true;
    s.settings.GEOTACUFVDAZ = true;
    use(kGeotac, kDirectShear, fixture("geotac/digishear_ds.SDF"));
    s.settings.GEOTACNPSF = true;  // 100 lbs on the 2.5 in box in psf
    preview();
    EXPECT_EQ(col().normalStress, "2933.54");
    // No zero reading: the 0.002 reading comes first, 6 kept, rate 0.298 x 100 / 2.5 / 3.
    s.settings.GEOTACNPSF = s.settings.GEOTACI0 = false;
    preview();
    EXPECT_EQ(col().readingsToWrite, "6");
    EXPECT_NEAR(s.header.TimeOrRate(1), 29.8 / 2.5 / 3, 1e-12);
    s.settings.GEOTACI0 = true;
    s.settings.GEOTACROS = false;  // 0.3 in / 3 min: just short of 0.1, so two decimals
    preview();
    EXPECT_EQ(col().timeOrRate, "0.10");
    s.settings.GEOTACIPM = false;
    preview();
    EXPECT_EQ(col().timeOrRate, "3.0");
    // The vertical of the 0.01 reading against the zero reading, then against the file's zero.
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
    int filtering = 0;  // reported every 1000th reading
    for (const auto& [text, colour] : op.statuses)
        filtering += text.rfind("Filtering reading number ", 0) == 0;
    EXPECT_EQ(filtering, 70);
    EXPECT_EQ(op.progress.back(), (std::pair<std::int64_t, std::int64_t>{70000, 70000}));
}

}  // namespace
}  // namespace plovix

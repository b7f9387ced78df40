#include <gtest/gtest.h>

#include "sources/cycles.h"
#include "sources/source_codes.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"
#include "text/number_format.h"

namespace plovix {
namespace {

using Counts = std::array<std::int64_t, 3>;

class CycleTest : public ::testing::Test {
  protected:
    Session s;
    testing::RecordingOperator op;
    std::int64_t numRead = 0;
    bool done = true;

    CycleTest() {
        resetForNewTest(s);  // every cycle used, specimen 1, run 1
        s.program.TestType = kDirectShear;
    }
    void useSource(int source) { s.settings.SourceType = source; }
    void runProcess(std::string bytes) {
        LineReader in = LineReader::fromBytes(std::move(bytes));
        RunProcess(s, op, in, numRead, done);
    }
    int cycles() const { return s.cycles.NumCycles(1, 1); }
    std::int64_t readings(int c) const { return s.cycles.CycleReadings(1, c); }
};

TEST_F(CycleTest, EndOfDataGeomaticShearMarkerHandsBackTheHeldReading) {
    useSource(kGeomatic);
    s.header.SpecimenArea(1) = 144;
    s.pass.PrevLine = "0.0200 300 0.0060";
    s.pass.LastDisp = 9;
    int handed = 0;
    double disp = 0, load = 0;
    const UseReadingHook hook = [&] { ++handed, disp = s.pass.CurDisp, load = s.pass.CurLoad; };
    LineReader in = LineReader::fromBytes("Geomatic Shear V.6611\r\n0.003 40 0.0050\r\nx y\r\n");
    std::string DS = "0.010";
    EXPECT_FALSE(fEndOfData(s, op, in, DS, hook));
    EXPECT_EQ(DS, "0.003 40 0.0050");  // the first reading of the new pass
    EXPECT_EQ(handed, 1);
    EXPECT_DOUBLE_EQ(disp, 0.02);
    EXPECT_DOUBLE_EQ(load, 300);
    // The new pass is measured from the marker line (field 1 reads 0), not its first reading.
    EXPECT_DOUBLE_EQ(s.pass.LastDisp, 0);
    EXPECT_TRUE(s.pass.Reversed);

    // A pass marker in small letters is still one; with no held line nothing is handed back.
    s.pass.PrevLine.clear();
    LineReader pass =
        LineReader::fromBytes("pass 3\r\n0.1 2 3\r\nGeomatic Shear V.6611\r\n1 2\r\n");
    EXPECT_FALSE(fEndOfData(s, op, pass, DS, hook));
    EXPECT_EQ(DS, "0.1 2 3");
    EXPECT_FALSE(fEndOfData(s, op, pass, DS, hook));
    EXPECT_EQ(handed, 1);
    LineReader other = LineReader::fromBytes("Max stress 120\r\nmore\r\n");
    EXPECT_TRUE(fEndOfData(s, op, other, DS, hook));
}

TEST_F(CycleTest, RunProcessDurhamStarsAndGeotacLastCycle) {
    useSource(kDurhamGeo);
    s.header.ChanLoad = 1;
    s.header.ChanTravel = 2;
    runProcess("t 1 0.1\r\nt 5 0.2\r\n*** END\r\nt 2 0.3\r\n");
    EXPECT_EQ(cycles(), 1);
    EXPECT_EQ(readings(1), 2);
    EXPECT_FALSE(done);

    // GEOTAC triaxial: TAB columns time (date and hour), displacement, load.
    useSource(kGeotac);
    s.program.TestType = kUnconfinedCompression;
    s.header.ColDisp = 2;
    s.header.ColLoad = 3;
    s.header.Cal(CalChannel::Disp, kCalFactor) = 1;
    for (CalChannel ch : {CalChannel::Load, CalChannel::Aux})
        s.header.Cal(ch, kCalFactor) = s.header.Cal(ch, kCalDivisor) = 1;
    const std::string lines = "d 1\t0.0\t1\r\nd 2\t0.1\t4\r\nd 3\t0.2\t3\r\n";
    for (const std::string& file : {lines, lines + "\r\n"}) {
        runProcess(file);
        EXPECT_EQ(cycles(), 1);
        EXPECT_EQ(readings(1), 3) << "the last reading counts with or without a blank line";
        EXPECT_FALSE(s.pass.PendingEnd) << "nothing armed is left for the next file";
    }
}

TEST_F(CycleTest, RunProcessEndsLimitsAndTheOneLineRun) {
    useSource(kGeoTest);
    // The end of the file ends the cycle before its last line is counted.
    runProcess("1 0 0.01 1\r\n2 0 0.01 2\r\n3 0 0.01 3\r\n");
    EXPECT_EQ(cycles(), 1);
    EXPECT_EQ(readings(1), 2);
    EXPECT_FALSE(done);
    // Without its "999" the last Geomatic pass still closes at the end of the file, with no
    // phantom.
    useSource(kGeomatic);
    s.header.SpecimenArea(1) = 144;
    runProcess("0.000 1 0\r\n0.010 2 0\r\n");
    EXPECT_EQ(cycles(), 1);
    EXPECT_EQ(readings(1), 2);
    useSource(kGeoTest);

    // Up, down, up, ...: every line after the second turns the direction.
    std::string zigzag;
    for (int i = 0; i < 14; ++i) zigzag += "1 0 " + std::to_string(i % 2) + " 5\r\n";
    EXPECT_THROW(runProcess(zigzag), OperationEnded);
    EXPECT_EQ(cycles(), 10);
    EXPECT_EQ(readings(10), 1);
    EXPECT_EQ(s.cycles.Direction(1, 10), "REVERSE");
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Limit of 10 direction changes exceeded"});

    op.messages.clear();
    s.cycles.NumCycles(1, 1) = 0;
    runProcess("1 0 0.01 5\r\n");
    EXPECT_EQ(op.texts(), (std::vector<std::string>{"WHOA... FHERR IN RunProcess (bugging out)",
                                                    "RunProcess Error Occurred"}));
    EXPECT_EQ(cycles(), 0);

    // Eleven Durham runs of one reading each.
    op.messages.clear();
    useSource(kDurhamGeo);
    std::string runs;
    for (int r = 0; r < 11; ++r) runs += "t 1 2\r\nt 2 3\r\n***\r\n";
    LineReader in = LineReader::fromBytes(runs);
    EXPECT_THROW(ProcessRuns(s, op, in, numRead), OperationEnded);
    EXPECT_EQ(s.specimens.CurRun, 10);
    EXPECT_EQ(s.cycles.CycleReadings(10, 1), 2);
    EXPECT_EQ(op.texts(), std::vector<std::string>{"MORE THAN 10 SHD RUNS"});
}

class PreProcessTest : public CycleTest {
  protected:
    CycleSummary preProcess(int source, const std::string& file) {
        useSource(source);
        s.settings.DAFile = std::string(PLOVIX_TEST_DATA) + "/" + file;
        return PreProcess(s, op);
    }
};

TEST_F(PreProcessTest, FixturesEndToEnd) {
    // The displacement turns at readings 5 and 7 (equal never turns); a turning reading opens
    // the next cycle.
    s.cycles.UseCycle(1, 1, 2) = 0;
    CycleSummary g = preProcess(kGeoTest, "geotest/lst_ds_reversing.LST");
    ASSERT_TRUE(g.ok) << ::testing::PrintToString(op.texts());
    EXPECT_EQ(g.runs, 1);
    EXPECT_EQ(g.readingsInFile, 9);
    ASSERT_EQ(g.rows.size(), 3u);
    std::vector<std::string> rows;
    for (const CycleSummaryRow& r : g.rows)
        rows.push_back(std::to_string(r.readings) + " " + r.direction + (r.used ? " used " : " ") +
                       formatGeneralNumber(r.minHorLoad) + ".." +
                       formatGeneralNumber(r.maxHorLoad) + " " + formatGeneralNumber(r.horDisp) +
                       " " + formatGeneralNumber(r.maxAux));
    EXPECT_EQ(rows, (std::vector<std::string>{"4 NORMAL used 0..20 0.02 0.0016",
                                              "2 REVERSE -12..-5 -0.01 0.0014",
                                              "3 NORMAL used 4..16 0.02 0.002"}));
    EXPECT_EQ(g.usedCycles, 2);
    EXPECT_EQ(g.usedReadings, 7);  // 4 + 3

    // Geomatic: diameter 2.5, area 4.908738522 sq in; 432 psf is 432 x 4.908738522 / 144.
    s.cycles.UseCycle(1, 1, 2) = 1;
    CycleSummary m = preProcess(kGeomatic, "geomatic/passes.DAT");
    ASSERT_TRUE(m.ok) << ::testing::PrintToString(op.texts());
    // "999", the two lines after it and the pass markers are no readings; the one-reading
    // pass's travel is the previous pass's end (0.0120) less its only displacement.
    ASSERT_EQ(m.cycles, 3);
    EXPECT_EQ((std::array{m.rows[0].readings, m.rows[1].readings, m.rows[2].readings}),
              (Counts{4, 3, 1}));
    EXPECT_NEAR(m.rows[0].maxHorLoad, 14.726215566, 1e-8);
    EXPECT_NEAR(m.rows[2].minHorLoad, 4.908738522, 1e-8);
    EXPECT_EQ(m.rows[2].maxHorLoad, m.rows[2].minHorLoad);
    EXPECT_NEAR(m.rows[2].horDisp, 0.012, 1e-12);
    EXPECT_EQ(m.usedReadings, 8);

    // Three runs; the summary is that of run 1, travel on channel 3 (the larger range).
    CycleSummary d = preProcess(kDurhamGeo, "durham/runs_and_stars.TXT");
    ASSERT_TRUE(d.ok) << ::testing::PrintToString(op.texts());
    EXPECT_EQ(d.runs, 3);
    EXPECT_EQ(d.cycles, 1);
    EXPECT_EQ(d.readingsInFile, 4);
    EXPECT_NEAR(d.rows[0].horDisp, 0.03, 1e-12);
    EXPECT_EQ(s.cycles.CycleReadings(3, 1), 2);
    EXPECT_EQ(s.specimens.CurRun, 1);
    EXPECT_TRUE(op.messages.empty()) << ::testing::PrintToString(op.texts());

    CycleSummary missing = preProcess(kDurhamGeo, "durham/no_such_file.TXT");
    EXPECT_FALSE(missing.ok);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_NE(op.messages[0].text.find("no_such_file.TXT"), std::string::npos);

    // Past the limit of direction changes the operation ends and keeps nothing of itself.
    std::vector<std::array<double, 3>> zigzag;
    for (int n = 0; n < 14; ++n) zigzag.push_back({0, n % 2 * 1.0, 10});
    testing::TempFolder folder;
    testing::writeBytes(folder.path / "zigzag.LST", testing::geotestShearFile(zigzag));
    useSource(kGeoTest);
    s.settings.DAFile = (folder.path / "zigzag.LST").string();
    EXPECT_FALSE(PreProcess(s, op).ok);
    EXPECT_EQ(op.texts().back(), "Limit of 10 direction changes exceeded");
    EXPECT_EQ((std::array{cycles(), s.specimens.CurRun}), (std::array{1, 1}));
}

}  // namespace
}  // namespace plovix

// GEOTAC files end to end: plovix-convert writes Norvo files equal, record by record, to golden
// files worked out by hand; and the GEOTAC settings that act in the reading pass.

#include <gtest/gtest.h>

#include <fstream>

#include "filter/reading_pass.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

using plovix::testing::bytesOf;
using plovix::testing::expectSameNorvoFile;

const std::string kData = PLOVIX_TEST_DATA;

// Worked by hand with the default settings (Tolerance 5 %, IncMax 0.05, GEOTACI0, GEOTACROS,
// GEOTACUFVDAZ, GEOTACUIL, load ring 8669 lbs/in) for the Windows Norvo (rate mode 2):
// - Sigma-1 CU as CUPP: load (c2 - 0.5) x 8 / 2 - piston 1, pore (c4 - 0.25) x 4 / 2, cell
//   c5 - 0.5 = 40, platen c6 / 1. Loads 0 10 20 25 24.5 24: peak 25, high 24.5, tolerance 1.25;
//   24 moves 0.5 and 0.01 in: dropped. Cell 5 x 40 / 5 = 40; rate 0.05 x 100 / 5.0 / 5 min = 0.2.
// - TruePath CD with an internal load cell: load (c3 - 0.25) x 8 / 2, cell c5 - 0.5 = 60,
//   platen c8, volume c11 / 1. 10.5 after 10 with 0.02 in is dropped; 60 x 6 / 6 = 60; rate
//   0.12 x 100 / 5.6 / 12 min = 0.17857 -> 0.179.
// - DigiShear: first displacement 0.002, so a zero reading goes first (its vertical zero is 0);
//   load (c2 - 0.25) x 50 / 5, normal (c3 - 0.5) x 100 / 5 = 100 lbs, vertical c4 x 0.1, the
//   horizontal c6. The 0 load is the cycle's minimum (kept), 15.625 dropped, 34.375 kept by
//   0.1 in of travel: 7 lines. Normal 100 x 6 / (7 - 1) / 4.908738521875 = 20.37 psi; rate
//   (0.3 - 0) x 100 / 2.5 / 3 min = 4.
// - 5.2.1 direct shear: horizontal c2 / 1000, load (c3 - 0.5) x 2, vertical c4 less the first
//   (0.5). Peak 36, high 35.5, 35.25 dropped. Every block's normal value is 0 while the file is
//   5.2.1, the template's too; no diameter or height is read, so no rate.
// - 5.4.2 load ring: load = deflection x 8669, horizontal c4, vertical c3 less 0.05; peak
//   26.007, high 25.1401, 24.2732 dropped and then kept by 0.09 in of travel. No normal channel.
TEST(GeotacGolden, FiveGenerationsRecordByRecord) {
    struct Case {
        const char* input;
        const char* test;
        const char* golden;
    } const cases[] = {
        {"sigma1_cu.TRX", "cupp", "sigma1_cu.expected.NDT"},
        {"truepath_cd_ilc.TRX", "cd", "truepath_cd_ilc.expected.NDT"},
        {"digishear_ds.SDF", "ds", "digishear_ds.expected.NDT"},
        {"v521_ds.SDF", "ds", "v521_ds.expected.NDT"},
        {"v542_load_ring.SDF", "ds", "v542_load_ring.expected.NDT"},
    };
    testing::TempFolder tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        const std::string out = (tmp.path / "OUT.NDT").string();
        ASSERT_EQ(testing::runConverter("--settings /nonexistent.ini --source geotac --template " +
                                        kData + "/../../data/NVNEW.NDT --test " + c.test + " -o " +
                                        out + " " + kData + "/geotac/" + c.input),
                  0);
        expectSameNorvoFile(bytesOf(out), bytesOf(kData + "/geotac/" + c.golden));
    }
}

struct Lines : ReadingSink {
    std::vector<std::string> written;
    void beginSpecimen(Session&, Operator&) override {}
    void writeReading(const std::string& line) override { written.push_back(line); }
};

// digishear_ds.SDF as worked out above, each setting changed from there; then a zero factor.
TEST(GeotacPass, NormalStressRateZeroReadingVerticalZeroAndZeroFactor) {
    Session s;
    testing::RecordingOperator op;
    resetForNewTest(s);
    fillNameLists(s.program);
    s.settings = Settings{};
    s.settings.SourceType = kGeotac;
    s.settings.Tolerance = 5;
    s.settings.IncMax = 0.05;
    s.settings.GEOTACI0 = s.settings.GEOTACROS = s.settings.GEOTACIPM = true;
    s.settings.GEOTACUFVDAZ = true;
    s.program.TestType = kDirectShear;
    s.specimens.CurrentSpecimen = 1;
    const SpecimenColumn& col = s.specimens.Column(1);
    Lines sink;
    auto pass = [&](bool exporting = false) {
        s.settings.DAFile = kData + "/geotac/digishear_ds.SDF";
        s.pass.Exporting = false;
        EXPECT_EQ(DAImport(s, op), PassOutcome::Done);
        s.pass.Exporting = exporting;
        sink.written.clear();
        if (exporting) {
            EXPECT_EQ(DAImport(s, op, &sink), PassOutcome::Done);
        }
    };
    pass();
    EXPECT_EQ((std::array{col.readingsToWrite, col.normalStress, col.timeOrRate}),
              (std::array<std::string, 3>{"7", "20.37", "4.0"}));
    s.settings.GEOTACNPSF = true;  // 100 / 4.908738521875 x 144 = 2933.544
    pass();
    EXPECT_EQ(col.normalStress, "2933.54");
    // No zero reading: the 0.002 reading comes first, 6 kept, rate 0.298 x 100 / 2.5 / 3.
    s.settings.GEOTACNPSF = s.settings.GEOTACI0 = false;
    pass();
    EXPECT_EQ(col.readingsToWrite, "6");
    EXPECT_NEAR(s.header.TimeOrRate(1), 29.8 / 2.5 / 3, 1e-12);
    s.settings.GEOTACI0 = true;
    s.settings.GEOTACROS = false;  // 0.3 in / 3 min, just short of 0.1 in binary: two decimals
    pass();
    EXPECT_EQ(col.timeOrRate, "0.10");
    s.settings.GEOTACIPM = false;
    pass();
    EXPECT_EQ(col.timeOrRate, "3.0");
    // The vertical of the 0.01 reading: 1 x 0.1 less the zero reading's 0, or against the
    // file's zero: (1 - 0.5) x 0.1.
    pass(true);
    EXPECT_EQ(sink.written.at(2), "0.01, 15, 0.1");
    s.settings.GEOTACUFVDAZ = false;
    pass(true);
    EXPECT_EQ(sink.written.at(2), "0.01, 15, 0.05");
    EXPECT_TRUE(op.messages.empty());

    // A zero displacement factor: the unknown-format message.
    testing::TempFolder tmp;
    std::string bytes = bytesOf(kData + "/geotac/sigma1_cu.TRX");
    bytes.replace(bytes.find("Factor\t8\t0.001\t4\t2\t1"), 20, "Factor\t8\t0.001\t4\t2\t0");
    std::ofstream((tmp.path / "ZERO.TRX").string(), std::ios::binary) << bytes;
    s.program.TestType = kCuWithPorePressures;
    s.settings.DAFile = (tmp.path / "ZERO.TRX").string();
    s.pass.Exporting = false;
    EXPECT_EQ(DAImport(s, op), PassOutcome::Refused);
    EXPECT_NE(op.messages.at(0).text.find("Wrong test type or unknown file format"),
              std::string::npos);
}

}  // namespace
}  // namespace plovix

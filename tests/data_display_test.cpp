// The data display: each source's fixture read as the window reads it, then displayed; the lines
// are compared with expected text laid out by hand from the display rules.

#include <gtest/gtest.h>

#include <functional>

#include "app/settings.h"
#include "display/data_display.h"
#include "filter/reading_pass.h"
#include "sources/source_codes.h"
#include "sources/source_table.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

const std::string kData = PLOVIX_TEST_DATA;
const PrintedAt kPrinted{"1/2/2024", "3:04:05 PM"};

struct DisplayCase {
    const char* name;
    int source;
    int testType;
    const char* file;  // under tests/data; its expected text beside it, ".display.expected"
    std::function<void(Session&)> settings = {};
    // Read as specimen 2 after the file, so that the last header read is another file's.
    const char* otherFile = nullptr;
    const char* expected = nullptr;  // when not beside the file
};

void PrintTo(const DisplayCase& c, std::ostream* os) {
    *os << c.name;
}

class DataDisplay : public ::testing::TestWithParam<DisplayCase> {
  protected:
    Session s;
    testing::RecordingOperator op;

    DataDisplay() {
        LoadSettings(s, IniFile{});  // every setting at its default, as without a settings file
        resetForNewTest(s);
        fillNameLists(s.program);
        s.program.AppVersion = "0.1.0 ";
    }
    // What the window does when specimen n's file is chosen: the reading pass.
    void read(int n, const std::string& path) {
        s.specimens.CurrentSpecimen = n;
        s.specimens.SpecimenCount = n;
        s.settings.DAFile = path;
        s.pass.ReadingsInFile = 0;
        for (int r = 1; r <= kMaxRun; ++r) s.cycles.NumCycles(n, r) = 0;
        ASSERT_EQ(DAImport(s, op), PassOutcome::Done) << path;
    }
    std::string shown() {
        std::string text;
        for (std::string line : displayLines(s, op, kPrinted)) {
            if (line.starts_with("File Name....." + kData))
                line.replace(14, kData.size(), "tests/data");
            text += line + "\n";
        }
        return text;
    }
};

TEST_P(DataDisplay, ShowsTheFileAsLaidOut) {
    const DisplayCase& c = GetParam();
    s.settings.SourceType = c.source;
    s.program.TestType = c.testType;
    if (c.settings) c.settings(s);
    const std::string file = kData + "/" + c.file;
    read(1, file);
    if (c.otherFile) {
        read(2, kData + "/" + c.otherFile);
        s.specimens.CurrentSpecimen = 1;
        s.settings.DAFile = file;
    }
    const std::string golden = c.expected ? kData + "/" + c.expected
                                          : file.substr(0, file.rfind('.')) + ".display.expected";
    const std::string expected = testing::bytesOf(golden);
    ASSERT_FALSE(expected.empty()) << golden;
    EXPECT_EQ(shown(), expected);
    EXPECT_EQ(op.texts(), std::vector<std::string>{});
}

const DisplayCase kDisplayCases[] = {
    {"GeomaticPasses", kGeomatic, kDirectShear, "geomatic/passes.DAT"},
    {"GeoTestLst", kGeoTest, kDirectShear, "geotest/lst_ds_reversing.LST"},
    {"GeoTestFourColumn", kGeoTest, kDirectShear, "geotest/header_four_column.DAT",
     [](Session& s) { s.settings.KWDS = s.specimens.KWDSFile = true; }},
    {"ProprietaryClient", kProprietaryClient, kConsolidatedUndrained, "proprietary/pass_cu.TRX"},
    {"DurhamFourChannels", kDurhamGeo, kCuWithPorePressures, "durham/pass_cupp.TXT"},
    {"DurhamTouchScreen", kDurhamGeo, kUnconsolidatedUndrained, "durham/touchscreen.TXT"},
    {"GeotacDirectShear", kGeotac, kDirectShear, "geotac/digishear_ds.SDF", nullptr,
     "geotac/v521_ds.SDF"},
    {"GeotacTriaxial", kGeotac, kCuWithPorePressures, "geotac/sigma1_cu.TRX"},
    {"HumboldtPrepared", kHumboldt, kCuWithPorePressures, "humboldt/display_prepared.TXT"},
    {"HumboldtWorkbookText", kHumboldt, kDirectShear,
     "humboldt/workbook_direct_shear.1.expected.TXT",
     [](Session& s) { s.settings.HUMREADXL = s.settings.HUMFTHSD = true; }, nullptr,
     "humboldt/workbook_direct_shear.1.display.expected"},
    {"EnKay", kEnKay, kCuWithPorePressures, "enkay/cupp_kn_mm.TXT"},
    {"EleSoilTest", kEleSoilTest, kCuWithPorePressures, "ele/cupp_pcf_density.tab"},
};
INSTANTIATE_TEST_SUITE_P(EverySource, DataDisplay, ::testing::ValuesIn(kDisplayCases),
                         [](const auto& info) { return std::string(info.param.name); });

// No file: a message and nothing shown. A file that cannot be read, or a line that cannot be
// formatted, ends the display with "Error in file: "; the lines before it stand.
TEST_F(DataDisplay, FailuresKeepTheLinesShownSoFar) {
    s.settings.SourceType = kGeomatic;
    s.program.TestType = kDirectShear;
    s.specimens.CurrentSpecimen = 1;
    EXPECT_TRUE(displayLines(s, op, kPrinted).empty());
    EXPECT_EQ(op.texts(), std::vector<std::string>{"No data to display"});

    testing::TempFolder folder;
    s.settings.DAFile = (folder.path / "gone.DAT").string();
    op.messages.clear();
    EXPECT_EQ(displayLines(s, op, kPrinted).size(), 4u);  // the title block
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Error in file: 53, File not found"});

    // passes.DAT whose second reading's stress is too large to hold: the title block, the
    // print date and time, 14 header lines, the pass heading and the first reading stand.
    std::string text = testing::bytesOf(kData + "/geomatic/passes.DAT");
    text.replace(text.find("0.0050 288"), 10, "0.0050 1E999");
    s.settings.DAFile = (folder.path / "overflow.DAT").string();
    testing::writeBytes(s.settings.DAFile, text);
    op.messages.clear();
    const std::vector<std::string> lines = displayLines(s, op, kPrinted);
    ASSERT_EQ(lines.size(), 4u + 2 + 14 + 4 + 1);
    EXPECT_EQ(lines.back(), "         0     0.00000          0.0000            0");
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Error in file: 6, Overflow"});
}

// Line counts are not held in 16 bits: a file of 33,000 readings is shown to its end.
TEST_F(DataDisplay, ShowsALongFileWhole) {
    testing::TempFolder folder;
    s.settings.SourceType = kGeoTest;
    s.program.TestType = kDirectShear;
    s.specimens.CurrentSpecimen = 1;
    s.settings.DAFile = (folder.path / "long.LST").string();
    testing::writeBytes(
        s.settings.DAFile,
        testing::geotestShearFile(std::vector<std::array<double, 3>>(33000, {0, 0.01, 1})));
    const std::vector<std::string> lines = displayLines(s, op, kPrinted);
    ASSERT_EQ(lines.size(), 3u + 2 + 2 * 33000 + 1);
    EXPECT_EQ(lines[lines.size() - 3], "33000 0.00 0.010 1.0 0.0 0.0000 1000.0");
    EXPECT_EQ(lines.back(), "123456789lastline987654321");
}

}  // namespace
}  // namespace plovix

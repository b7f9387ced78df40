#include "app/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <fstream>
#include <vector>

#include "sources/source_codes.h"
#include "support/norvo_files.h"
#include "support/temp_folder.h"
#include "workflow/start_session.h"

namespace fs = std::filesystem;
using namespace plovix;

using plovix::testing::bytesOf;
using plovix::testing::TempFolder;

namespace {

Session loaded(std::string_view iniText) {
    IniFile ini;
    ini.setText(iniText);
    Session s;
    LoadSettings(s, ini);
    return s;
}

// Every key with a value other than its default, in the order and form they are written.
const std::string kEveryKey = bytesOf(fs::path(PLOVIX_TEST_DATA) / "settings" / "every_key.INI");

}  // namespace

TEST(SettingsLoad, SpecialKeysDerivedValuesNumbersAndCodes) {
    // "Generic" is true only for exactly "False", and then the source is GeoTest.
    EXPECT_EQ(loaded("[Settings]\nDAT=6\nGeneric=False").settings.SourceType, kGeoTest);
    for (const char* generic : {"\nGeneric=True", "\nGeneric=false", ""}) {
        const Session s = loaded(std::string("[Settings]\nDAT=6") + generic);
        EXPECT_EQ(s.settings.SourceType, kHumboldt) << generic;
        EXPECT_FALSE(s.settings.Generic) << generic;
    }
    EXPECT_FALSE(loaded("[Settings]\nDDMM=True").settings.DDMM);
    EXPECT_FALSE(loaded("[FiltTol]\nKWDS=true").settings.KWDS);
    EXPECT_TRUE(loaded("[Settings]\nHUMXLCOLINCUCC=1.0").settings.HumIncOne);
    EXPECT_FALSE(loaded("[Settings]\nHUMXLCOLINCUCC=2").settings.HumIncOne);
    EXPECT_FALSE(loaded("[Settings]\nHUMXLCOLINC=1\nHUMXLCOLINCDS=1").settings.HumIncOne);
    EXPECT_EQ(loaded("[Files]\nNorvoPath=D:\\LAB\\").settings.NorvoProgPath, "D:\\LAB\\");
    EXPECT_EQ(loaded("[files]\nDAname=X.DAT").settings.DAName, "X.DAT");
    EXPECT_EQ(loaded("[Files]\nDAFile=" + std::string(200, 'f')).settings.DAFile,
              std::string(127, 'f'));

    // Codes the window cannot index read as the defaults; halves go to the even neighbour.
    for (const char* dat : {"0", "9", "70000", "-1", "abc"})
        EXPECT_EQ(loaded(std::string("[Settings]\nDAT=") + dat).settings.SourceType, 1) << dat;
    EXPECT_EQ(loaded("[Settings]\nLTTU=7").settings.LTTU, 5);
    EXPECT_EQ(loaded("[Settings]\nDAT=2.5").settings.SourceType, 2);
    EXPECT_EQ(loaded("[Settings]\nDAT=3.5").settings.SourceType, 4);
    EXPECT_EQ(loaded("[Settings]\nLTTU=0.6").settings.LTTU, 1);
    // No number reads as 0; a number too large to hold reads as the default.
    EXPECT_EQ(loaded("[FiltTol]\nIncMax=abc").settings.IncMax, 0.0);
    EXPECT_EQ(loaded("[FiltTol]\nIncMax=1E999").settings.IncMax, 0.05);
    EXPECT_EQ(loaded("[FiltTol]\nTolerance=2.5%").settings.Tolerance, 2.5);
}

TEST(SettingsSave, EveryKeyRoundTripsInOrder) {
    Session s = loaded(kEveryKey);
    const Settings& st = s.settings;
    EXPECT_EQ((std::vector<double>{st.SDispFac, st.SLoadFac, st.PressFac, st.DSDispFac,
                                   st.DSLoadFac, st.VDispFac, st.VLoadFac, st.IncMax, st.Tolerance,
                                   st.LRCDS361, st.HumDefDiv}),
              (std::vector<double>{1.25, 2.5, 0.125, 3, 4.75, 0.5, 6, 0.002, 2.5, 1234.5, 10}));
    EXPECT_EQ(
        (std::vector<std::string>{st.DAFile, st.DAName, st.DAPath, st.NorvoPath, st.NorvoProgPath}),
        (std::vector<std::string>{"/data/a b/T1.DAT", "T1.DAT", "/data/a b/", "D:\\NORVO\\",
                                  "E:\\NV\\"}));
    EXPECT_TRUE(st.KWDS && st.SaveName && st.GEOTACNPSF && st.GEOTACADCDT && st.GEOTACCS &&
                st.GEOTACCSDSV && st.GEOTACCSUCCV && st.GEOTACUFDAZ && st.HUMXLEXP &&
                st.HUMREADXL && st.HUMFTHSD && st.HumIncOne);
    EXPECT_FALSE(st.GEOTACI0 || st.GEOTACUFVDAZ || st.GEOTACROS || st.GEOTACIPM || st.GEOTACUIL ||
                 st.HUMROS || st.NVWIN);
    EXPECT_EQ(st.HumXLSheet(1) + st.HumXLRow(1) + st.HumXLCol(1) + st.HumXLColInc(1), "711D1");
    EXPECT_EQ(st.HumXLSheet(2) + st.HumXLRow(2) + st.HumXLCol(2) + st.HumXLColInc(2), "812E3");
    EXPECT_EQ(st.HumXLSheet(3) + st.HumXLRow(3) + st.HumXLCol(3) + st.HumXLColInc(3), "913F4");
    EXPECT_EQ(st.SourceType, kHumboldt);
    EXPECT_EQ(st.LTTU, kDirectShear);

    // LTTU is written from the current test type, DDMM from the session although it loads false.
    s.program.TestType = kDirectShear;
    IniFile out;
    storeSettings(s, out);
    EXPECT_EQ(out.text(), kEveryKey);
    s.program.TestType = kConsolidatedDrained;
    s.settings.DDMM = true;
    storeSettings(s, out);
    EXPECT_EQ(out.get("Settings", "LTTU"), "6");
    EXPECT_EQ(out.get("Settings", "DDMM"), "True");
    EXPECT_EQ(out.get("Settings", "Generic"), std::nullopt);
}

TEST(SettingsSave, ValuesReadBackAsSaved) {
    Session s = loaded("");
    Settings& st = s.settings;
    // Numbers that 15 digits cannot hold.
    st.SDispFac = DBL_MAX;
    st.SLoadFac = DBL_TRUE_MIN;
    st.PressFac = 0.1 + 0.2;
    st.DSDispFac = 1e21;
    st.DSLoadFac = 123456789012345678.0;
    st.VDispFac = -DBL_MIN;
    st.VLoadFac = 1.0 / 3;
    st.Tolerance = 100000;
    // Texts that the reading side would trim or unquote, and one at the length limit.
    st.DAFile = "  lead";
    st.DAName = "trail  ";
    st.DAPath = "\"quoted\"";
    st.NorvoPath = "\"half";
    st.NorvoProgPath = std::string(126, 'p') + ' ';
    st.HumXLCol(1) = "'x'";
    st.HumXLCol(2) = "\t";
    s.program.TestType = st.LTTU;

    IniFile out;
    storeSettings(s, out);
    EXPECT_TRUE(loaded(out.text()).settings == st) << out.text();
}

// What the settings file held is kept (the settings file tests show how); its byte-order mark
// too, and a save that fails replaces nothing.
TEST(SettingsSave, TheFileKeepsItsByteOrderMarkAndAFailedSaveReplacesNothing) {
    TempFolder temp;
    const fs::path file = temp.path / "Plovix.INI";
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF[FiltTol]\r\nIncMax=0.1\r\n";
    Session s;
    startSession(s, file);
    EXPECT_EQ(s.settings.IncMax, 0.1);
    std::error_code error;
    ASSERT_TRUE(SaveSettings(s, file, error)) << error.message();
    const std::string saved = bytesOf(file);
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF[FiltTol]\r\nIncMax=0.1\r\n", 0), 0u);
    EXPECT_EQ(saved.find("[FiltTol]"), saved.rfind("[FiltTol]"));

    fs::create_directory(temp.path / "folder");  // where the file should be
    EXPECT_FALSE(SaveSettings(s, temp.path / "folder", error));
    EXPECT_TRUE(error);
    EXPECT_TRUE(fs::is_directory(temp.path / "folder"));
}

TEST(SettingsStartUp, LoadsAndForgetsTheLastFileUnlessKept) {
    TempFolder temp;
    const fs::path file = temp.path / "Plovix.INI";
    std::ofstream(file, std::ios::binary)
        << "[Files]\r\nDAFile=C:\\A.DAT\r\n[Settings]\r\nDAT=3\r\n";
    Session s;
    startSession(s, file);
    EXPECT_EQ(s.program.IniFile, file.string());
    EXPECT_EQ(s.program.AppVersion.back(), ' ');
    EXPECT_EQ(std::count(s.program.AppVersion.begin(), s.program.AppVersion.end(), '.'), 2);
    EXPECT_EQ(s.settings.SourceType, kProprietaryClient);
    EXPECT_EQ(s.program.SourceNames(8), "ELE/SoilTest");
    EXPECT_EQ(s.settings.DAFile, "");

    std::ofstream(file, std::ios::binary) << "[Files]\r\nDAFile=C:\\A.DAT\r\n"
                                          << "[Settings]\r\nSaveName=True\r\n";
    Session kept;
    startSession(kept, file);
    EXPECT_EQ(kept.settings.DAFile, "C:\\A.DAT");
}

// The settings dialog's rules without a window: its controls, what closing stores, what follows.

#include "workflow/settings_dialog.h"
#include "sources/source_codes.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "support/recording_operator.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "workflow/start_session.h"

namespace plovix {
namespace {

using plovix::testing::RecordingOperator;
using plovix::testing::ScriptedDialogs;
using plovix::testing::TempFolder;

// A session over default settings (no settings file), and the dialog opened on it.
struct Dialog {
    TempFolder tmp;
    Session s;
    RecordingOperator op;
    ScriptedDialogs dialogs;
    std::optional<SettingsDialog> d;

    explicit Dialog(void (*adjust)(Settings&) = nullptr) {
        startSession(s, tmp.path / "Plovix.INI");
        if (adjust) adjust(s.settings);
        d.emplace(s, op, dialogs);
    }
    const SettingsDialogView& view() const { return d->view(); }
};

TEST(SettingsDialog, GenericHidesTheSourceListAndShowsTheGeoTestFrame) {
    Dialog g([](Settings& st) {
        st.Generic = true;
        st.SourceType = kGeotac;
    });
    EXPECT_FALSE(g.view().sourceListVisible);
    EXPECT_EQ(g.s.settings.SourceType, kGeoTest);
    EXPECT_TRUE(g.view().frames[kGeoTest - 1].inFront && !g.view().frames[kGeotac - 1].inFront);
    EXPECT_TRUE(g.view().text(SettingsText::AxialLoadFactor).visible);
    EXPECT_FALSE(g.view().check(SettingsCheck::InchesPerMinute).visible);
    EXPECT_EQ(g.d->helpTopic(), HelpTopic::SettingsGeoTest);

    // Without it every source is listed, whatever started the program.
    Dialog plain;
    EXPECT_TRUE(plain.view().sourceListVisible);
    EXPECT_EQ(plain.view().sources.size(), 8u);
}

TEST(SettingsDialog, AColumnBoxTakesOneLetterOnly) {
    Dialog h([](Settings& st) { st.HUMREADXL = true; });
    const auto column = [&](int row) { return h.view().cell(row, GridColumn::Column).text; };
    h.d->editGrid(0, GridColumn::Column, "AB");
    EXPECT_EQ(column(0), "");
    h.d->editGrid(1, GridColumn::Column, "7");
    EXPECT_EQ(column(1), "");
    ASSERT_EQ(h.op.messages.size(), 2u);
    EXPECT_EQ(h.op.messages[0].text, "This value must be a single letter of the alphabet");
    EXPECT_EQ(h.op.messages[0].title, "Wrong type of data");
    EXPECT_EQ(h.op.messages[0].icon, MessageIcon::Information);

    h.d->editGrid(2, GridColumn::Column, "D");
    EXPECT_EQ(column(2), "D");
    // A sign is no column either; a small letter names the same column as the capital.
    h.d->editGrid(2, GridColumn::Column, "%");
    EXPECT_EQ(column(2), "");
    h.d->editGrid(2, GridColumn::Column, "e");
    EXPECT_EQ(column(2), "E");
    h.d->editGrid(2, GridColumn::Column, "");
    EXPECT_EQ(h.op.messages.size(), 3u);
    h.d->editGrid(0, GridColumn::FirstRow, "AB");  // only the column boxes are checked
    EXPECT_EQ(h.view().cell(0, GridColumn::FirstRow).text, "AB");
}

TEST(SettingsDialog, HumboldtFormatOptionsSwitchFullTransferAndTheWorkbookBoxes) {
    Dialog h([](Settings& st) {
        st.SourceType = kHumboldt;
        st.HUMXLEXP = true;
        st.HUMFTHSD = true;
    });
    const auto fullTransfer = [&] { return h.view().check(SettingsCheck::FullTransfer); };
    const auto cell = [&](GridColumn c) { return h.view().cell(2, c); };
    EXPECT_TRUE(h.view().formats[1].selected);
    EXPECT_FALSE(cell(GridColumn::Worksheet).enabled);
    h.d->editGrid(2, GridColumn::Worksheet, "9");  // a greyed box takes nothing
    EXPECT_EQ(cell(GridColumn::Worksheet).text, "4");

    h.d->chooseFormat(HumboldtFormat::ReadWorkbook);
    EXPECT_TRUE(fullTransfer().ticked && !fullTransfer().enabled);
    EXPECT_TRUE(cell(GridColumn::Worksheet).enabled && cell(GridColumn::FirstRow).enabled &&
                cell(GridColumn::Column).enabled);
    EXPECT_FALSE(cell(GridColumn::Increment).enabled);  // as loaded: the options leave it

    // Exported text: the box shows the setting and stores each click at once.
    h.d->chooseFormat(HumboldtFormat::ExcelExport);
    EXPECT_TRUE(fullTransfer().enabled);
    EXPECT_FALSE(cell(GridColumn::Column).enabled);
    h.d->setCheck(SettingsCheck::FullTransfer, false);
    EXPECT_FALSE(h.s.settings.HUMFTHSD);
    h.d->chooseFormat(HumboldtFormat::Original);
    EXPECT_FALSE(fullTransfer().ticked || fullTransfer().enabled);
    h.d->setCheck(SettingsCheck::FullTransfer, true);  // greyed: ignored
    EXPECT_FALSE(fullTransfer().ticked);

    Dialog read([](Settings& st) { st.HUMREADXL = true; });
    EXPECT_TRUE(read.view().formats[2].selected);
    EXPECT_TRUE(read.view().check(SettingsCheck::FullTransfer).ticked &&
                !read.view().check(SettingsCheck::FullTransfer).enabled);
    EXPECT_TRUE(read.view().cell(0, GridColumn::Increment).enabled);
}

TEST(SettingsDialog, BrowsePutsTheFolderOfNvExeIntoThePathBox) {
    Dialog b([](Settings& st) { st.NorvoProgPath = "D:\\NORVO\\"; });
    const auto browse = [&](const std::string& chosen) {
        b.dialogs.answers.push_back(DialogAnswer::chosen(chosen));
        b.d->browse();
        return b.view().text(SettingsText::NorvoProgram).text;
    };
    b.d->browse();  // Cancel
    EXPECT_EQ(b.view().text(SettingsText::NorvoProgram).text, "D:\\NORVO\\");
    ASSERT_EQ(b.dialogs.asked.size(), 1u);
    const FileDialogRequest& asked = b.dialogs.asked[0];
    EXPECT_EQ(asked.title, "Navigate to the folder containing NV.EXE and select it NV.EXE");
    EXPECT_EQ(asked.folder + "|" + asked.fileName, "D:\\NORVO\\|");
    EXPECT_EQ(asked.patterns, std::vector<std::string>{"NV.EXE"});

    EXPECT_EQ(browse("C:\\OLD\\NV.EXE"), "C:\\OLD\\");
    EXPECT_EQ(browse("/srv/norvo/nv.exe"), "/srv/norvo/");
    EXPECT_EQ(browse("c:\\old\\other.exe"), "c:\\old\\other.exe");
    EXPECT_EQ(browse("C:\\OLD\\ANV.EXE"), "C:\\OLD\\ANV.EXE");  // only NV.EXE itself
    EXPECT_EQ(b.s.settings.NorvoProgPath, "D:\\NORVO\\");       // stored on close only
    b.d->close();
    EXPECT_EQ(b.s.settings.NorvoProgPath, "C:\\OLD\\ANV.EXE");
}

TEST(SettingsDialog, ReportRateBoxesExcludeEachOtherAndNoneStoresBothFlagsFalse) {
    Dialog g([](Settings& st) { st.SourceType = kGeotac; });  // default: both flags set
    const auto ticked = [&](SettingsCheck c) { return g.view().check(c).ticked; };
    const auto boxes = [&] {  // inches per minute, rate of strain, time of test
        return std::array{ticked(SettingsCheck::InchesPerMinute),
                          ticked(SettingsCheck::RateOfStrain), ticked(SettingsCheck::TimeOfTest)};
    };
    EXPECT_EQ(boxes(), (std::array{true, true, false}));  // loading may show two

    g.d->setCheck(SettingsCheck::TimeOfTest, true);
    EXPECT_EQ(boxes(), (std::array{false, false, true}));
    g.d->setCheck(SettingsCheck::RateOfStrain, true);
    g.d->setCheck(SettingsCheck::InchesPerMinute, true);
    EXPECT_EQ(boxes(), (std::array{true, false, false}));
    g.d->setCheck(SettingsCheck::InchesPerMinute, false);  // unticking changes nothing else
    EXPECT_EQ(boxes(), (std::array{false, false, false}));
    EXPECT_TRUE(g.s.settings.GEOTACROS);  // not before closing
    g.d->close();
    EXPECT_FALSE(g.s.settings.GEOTACROS || g.s.settings.GEOTACIPM);
}

TEST(SettingsDialog, ClosingStoresEveryControlAndTheSettingsFileReadsThemBack) {
    Dialog h([](Settings& st) { st.SourceType = kHumboldt; });
    SettingsDialog& d = *h.d;
    d.editText(SettingsText::VerticalLoadFactor, "2.5");
    d.editText(SettingsText::AxialDispFactor, "not a number");
    d.editText(SettingsText::DeformationDivisor, "10000");
    d.editText(SettingsText::LoadRingConstant, "1234.5");
    EXPECT_EQ(h.s.settings.LRCDS361, 1234.5);  // at once
    d.editText(SettingsText::NorvoProgram, "/srv/norvo/");
    for (SettingsCheck c : {SettingsCheck::DateDDMM, SettingsCheck::SuggestLastFileName,
                            SettingsCheck::FourColumnDirectShear, SettingsCheck::AlwaysUseDcdt})
        d.setCheck(c, true);
    d.setCheck(SettingsCheck::InsertZeroReading, false);
    d.chooseFormat(HumboldtFormat::ReadWorkbook);
    d.chooseHumboldtRate(false);
    d.editGrid(0, GridColumn::Worksheet, "5");
    d.editGrid(0, GridColumn::Column, "d");
    d.chooseSource(kGeotac - 1);
    EXPECT_EQ(h.s.settings.SourceType, kGeotac);  // at once
    EXPECT_EQ(d.helpTopic(), HelpTopic::SettingsGeotac);
    d.close();
    h.s.program.TestType = kUnconsolidatedUndrained;  // saved as LTTU

    const Settings& st = h.s.settings;
    EXPECT_EQ((std::array{st.VLoadFac, st.SDispFac, st.HumDefDiv}),
              (std::array{2.5, 0.0, 10000.0}));
    EXPECT_EQ(st.NorvoProgPath, "/srv/norvo/");
    EXPECT_TRUE(st.DDMM && st.SaveName && st.KWDS && st.GEOTACADCDT && st.HUMREADXL && st.HUMFTHSD);
    EXPECT_FALSE(st.GEOTACI0 || st.HUMXLEXP || st.HUMROS);
    EXPECT_EQ(st.HumXLSheet(1) + st.HumXLCol(1), "5D");
    EXPECT_FALSE(st.HumIncOne);  // the UCC increment is still 2

    std::error_code error;
    ASSERT_TRUE(SaveSettings(h.s, h.tmp.path / "Plovix.INI", error)) << error.message();
    Session back;
    back.program.IniFile = (h.tmp.path / "Plovix.INI").string();
    ASSERT_FALSE(LoadSettings(back));
    Settings expected = st;
    expected.DDMM = false;  // never taken from the file
    expected.LTTU = kUnconsolidatedUndrained;
    EXPECT_TRUE(back.settings == expected);

    // A UCC increment of 1 sets HumIncOne on close.
    Dialog one([](Settings& x) { x.HUMREADXL = true; });
    one.d->editGrid(0, GridColumn::Increment, "1");
    one.d->close();
    EXPECT_TRUE(one.s.settings.HumIncOne);
}

TEST(SettingsDialog, ClosingWithAnotherSourceSetsTheMainWindowUpAgain) {
    Dialog h([](Settings& st) {
        st.SourceType = kGeoTest;
        st.KWDS = true;  // GeoTest with four-column files: Direct Shear only
        st.LTTU = kCuWithPorePressures;
    });
    ImportWorkflow w(h.s, h.op, h.dialogs);
    w.setSaveSettingsOnClose(false);
    w.load("");
    w.activate();
    EXPECT_EQ(w.view().title, "GeoTest Import for the KALVORN Norvo Program");
    EXPECT_EQ(w.allowedTestTypes(), ",2,");
    ASSERT_TRUE(w.settingsAllowed());
    h.d->chooseSource(kGeotac - 1);
    h.d->close();
    w.settingsClosed(h.d->openedWithSource());
    w.activate();
    EXPECT_EQ(w.view().title, "GEOTAC Import for the KALVORN Norvo Program");
    EXPECT_EQ(w.allowedTestTypes(), ",1,2,3,4,5,6,");
    w.chooseTestType(kConsolidatedDrained - 1);
    EXPECT_EQ(w.view().testTypeIndex, kConsolidatedDrained - 1);
}

}  // namespace
}  // namespace plovix

// The main window's rules without a window: set-up, Apply, D/A file choice, cycles, Save and Exit.

#include "workflow/import_workflow.h"
#include "sources/source_codes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"
#include "workflow/start_session.h"

namespace plovix {
namespace {

namespace fs = std::filesystem;
using plovix::testing::RecordingOperator;
using plovix::testing::ScriptedDialogs;
using plovix::testing::TempFolder;

const fs::path kData = PLOVIX_TEST_DATA;

void readWorkbooks(Settings& st) {
    st.HUMREADXL = st.HUMFTHSD = true;
}

// A window over default settings (no settings file) for `source` and a stored test type.
struct Window {
    TempFolder tmp;
    Session s;
    RecordingOperator op;
    ScriptedDialogs dialogs;
    ImportWorkflow w{s, op, dialogs};

    Window(int source, int storedTestType, void (*adjust)(Settings&) = nullptr,
           std::string_view commandLine = "") {
        startSession(s, tmp.path / "Plovix.INI");
        s.settings.SourceType = source;
        s.settings.LTTU = storedTestType;
        if (adjust) adjust(s.settings);
        w.setSaveSettingsOnClose(false);
        w.load(commandLine);
        w.activate();
    }
    fs::path copy(const fs::path& fixture, const std::string& as) {
        const fs::path to = tmp.path / as;
        fs::copy_file(kData / fixture, to, fs::copy_options::overwrite_existing);
        return to;
    }
    ImportOutcome choose(int specimen, const fs::path& file) {
        dialogs.answers.push_back(DialogAnswer::chosen(file.string()));
        return w.getDAFile(specimen);
    }
};

TEST(ImportWorkflow, SetUpOffersOnlyTheTestTypesTheSourceAllows) {
    Window geomatic(kGeomatic, kCuWithPorePressures);
    EXPECT_EQ(geomatic.w.view().testTypeIndex, 1);  // Direct Shear
    EXPECT_EQ(geomatic.s.program.TestType, kDirectShear);
    EXPECT_EQ(geomatic.s.specimens.Headings.timeOrRate, "Shear Rate:");

    Window enkay(kEnKay, kCuWithPorePressures);
    enkay.w.chooseTestType(kDirectShear - 1);
    EXPECT_EQ(enkay.w.view().testTypeIndex, kCuWithPorePressures - 1);

    Window humboldt(kHumboldt, kConsolidatedUndrained, readWorkbooks);
    EXPECT_EQ(humboldt.w.view().testTypeIndex, kUnconfinedCompression - 1);
}

TEST(ImportWorkflow, EnterAppliesOnceThenMovesBetweenTheCriteriaBoxes) {
    Window win(kGeoTest, kDirectShear);
    EXPECT_TRUE(win.w.view().applyArmed);  // filling the boxes counts as an edit
    ASSERT_EQ(win.choose(1, win.copy("geotest/pass_three_cycles.LST", "DS1.LST")),
              ImportOutcome::Read);
    EXPECT_FALSE(win.w.view().applyArmed);

    win.w.editCriteria(1, "0.1");
    EXPECT_EQ(win.s.settings.IncMax, 0.1);
    EXPECT_TRUE(win.w.view().applyArmed);
    const auto before = win.op.statuses.size();
    EXPECT_EQ(win.w.enterInCriteria(1), CriteriaFocus::Unchanged);
    EXPECT_FALSE(win.w.view().applyArmed);
    EXPECT_GT(win.op.statuses.size(), before);  // the specimen was read again
    const auto afterApply = win.op.statuses.size();
    EXPECT_EQ(win.w.enterInCriteria(1), CriteriaFocus::LoadBox);
    EXPECT_EQ(win.w.enterInCriteria(2), CriteriaFocus::DisplacementBox);
    EXPECT_EQ(win.op.statuses.size(), afterApply);
    win.w.editCriteria(2, "not a number");
    EXPECT_EQ(win.s.settings.Tolerance, 0);
}

TEST(ImportWorkflow, FilesAreChosenInSequenceAndCancelOrARefusalKeepsWhatWasThere) {
    Window win(kGeoTest, kDirectShear);
    // Specimen 2 before 1: the message, and no dialog.
    win.w.getDAFile(2);
    EXPECT_EQ(win.op.texts(), std::vector<std::string>{"Must get specimens in sequence"});
    EXPECT_TRUE(win.dialogs.asked.empty());

    const fs::path first = win.copy("geotest/pass_three_cycles.LST", "DS1.LST");
    ASSERT_EQ(win.choose(1, first), ImportOutcome::Read);
    const FileDialogRequest& asked = win.dialogs.asked.back();
    EXPECT_EQ(asked.title, "Select the GeoTest Data Acquisition file to import for specimen 1");
    EXPECT_EQ(asked.patterns, std::vector<std::string>{"*.LST"});
    EXPECT_EQ(win.s.specimens.SpecimenFileName(1), "DS1.LST");
    EXPECT_EQ(win.w.specimenTooltip(1), first.string());
    EXPECT_TRUE(win.w.view().specimens[2].button && win.w.view().specimens[1].skipBoxes);
    const std::string readings = win.s.specimens.Column(1).readingsToWrite;
    EXPECT_FALSE(readings.empty());

    // Cancel, and the same file again: nothing is read again.
    const auto statuses = win.op.statuses.size();
    EXPECT_EQ(win.w.getDAFile(1), ImportOutcome::Kept);
    EXPECT_EQ(win.choose(1, first), ImportOutcome::Kept);
    EXPECT_EQ(win.op.statuses.size(), statuses);
    EXPECT_EQ(win.s.specimens.SpecimenFileName(1), "DS1.LST");

    // A file of another layout is refused and specimen 2 stays as it was: not imported.
    win.op.scriptAnswers({false});
    EXPECT_EQ(win.choose(2, win.copy("durham/pass_cupp.TXT", "NOT.LST")), ImportOutcome::Refused);
    EXPECT_EQ((std::array{win.s.specimens.SpecimenCount, win.s.specimens.CurrentSpecimen}),
              (std::array{1, 1}));
    EXPECT_TRUE(win.s.specimens.SpecimenFileName(2).empty());
    EXPECT_FALSE(win.w.view().specimens[2].column);
    EXPECT_EQ(win.s.specimens.Column(1).readingsToWrite, readings);

    // Specimen 2 for real, then 3 before... 3 is next in sequence; 4 before 3 is not.
    ASSERT_EQ(win.choose(2, win.copy("geotest/pass_three_cycles.LST", "DS2.LST")),
              ImportOutcome::Read);
    EXPECT_TRUE(win.w.view().specimens[2].column && win.w.view().specimens[3].button);
    EXPECT_EQ((std::array{win.w.view().specimens[1].mark, win.w.view().specimens[2].mark}),
              (std::array{SpecimenMark::Imported, SpecimenMark::Current}));
    win.op.messages.clear();
    const auto dialogs = win.dialogs.asked.size();
    win.w.getDAFile(4);
    EXPECT_EQ(win.op.texts(), std::vector<std::string>{"Must get specimens in sequence"});
    EXPECT_EQ(win.dialogs.asked.size(), dialogs);

    // Settings are closed once a specimen is in.
    EXPECT_FALSE(win.w.settingsAllowed());
    EXPECT_EQ(win.op.messages.back().title, "Settings Unavailable");
}

TEST(ImportWorkflow, UntickingACycleLowersTheUsedCountsAndReturningReadsAgain) {
    Window win(kGeoTest, kDirectShear);
    win.w.toggleCyclePanel();  // no file yet
    EXPECT_EQ(win.op.texts(),
              std::vector<std::string>{"Enter a data acquisition file name before pre-processing"});
    EXPECT_EQ(win.w.view().panel, Panel::Import);

    ASSERT_EQ(win.choose(1, win.copy("geotest/pass_three_cycles.LST", "DS1.LST")),
              ImportOutcome::Read);
    const std::string allCycles = win.s.specimens.Column(1).readingsToWrite;
    win.w.toggleCyclePanel();
    const WindowView& v = win.w.view();
    ASSERT_EQ(v.panel, Panel::PreProcess);
    EXPECT_EQ(v.selectPanelCaption, "&D/A import");
    ASSERT_EQ(v.summary.cycles, 3);
    const std::int64_t total = v.summary.usedReadings;
    const std::int64_t second = v.summary.rows[1].readings;
    win.w.tickCycle(2, false);
    EXPECT_EQ(v.summary.usedCycles, 2);
    EXPECT_EQ(v.summary.usedReadings, total - second);
    win.w.toggleCyclePanel();
    EXPECT_EQ(v.panel, Panel::Import);
    EXPECT_NE(win.s.specimens.Column(1).readingsToWrite, allCycles);
    // The plot is of the pass just run: cycles 1 and 3, the readings it kept.
    const std::optional<PlotData>& plot = win.w.plotData(1);
    ASSERT_TRUE(plot);
    ASSERT_EQ(plot->cycles.size(), 2u);
    EXPECT_EQ(plot->cycles[1].cycle, 3);
    EXPECT_EQ(plot->keptCount, win.s.pass.NumToWrite);
}

TEST(ImportWorkflow, SaveAndExitChecksComeFirstAndWinFileModeFixesTheNorvoFile) {
    Window win(kGeoTest, kDirectShear);
    EXPECT_FALSE(win.w.saveAndExit());
    EXPECT_EQ(win.op.texts(), std::vector<std::string>{"No data filtered yet"});
    EXPECT_FALSE(win.w.view().closed);

    const fs::path norvo = win.tmp.path / "out" / "TEST.NDT";
    Window started(kGeoTest, kDirectShear, nullptr, "WINFILE=\"" + norvo.string() + "\"");
    const WindowView& v = started.w.view();
    EXPECT_FALSE(v.norvoButtonEnabled || v.dosOptionEnabled);
    EXPECT_TRUE(v.windowsVersion);
    EXPECT_EQ(v.norvoName, "TEST.NDT");
    started.w.chooseNorvoFile();
    EXPECT_TRUE(started.dialogs.asked.empty());
    fs::create_directories(norvo.parent_path());
    ASSERT_EQ(started.choose(1, started.copy("geotest/pass_three_cycles.LST", "DS1.LST")),
              ImportOutcome::Read);
    // No NV.DDT anywhere near: with WINFILE= it is not looked for, and the file is written.
    ExportFiles files;
    files.templateFile = kData / ".." / ".." / "data" / "NVNEW.NDT";
    EXPECT_TRUE(started.w.saveAndExit(files));
    EXPECT_EQ(started.op.texts(), std::vector<std::string>{});
    EXPECT_TRUE(v.closed && fs::exists(norvo));
}

TEST(ImportWorkflow, ADroppedFileIsChosenWithoutTheDialogAndBusyFramesEveryPass) {
    Window win(kGeoTest, kDirectShear);
    std::vector<bool> busy;
    win.w.setBusyHook([&](bool b) { busy.push_back(b); });
    const fs::path file = win.copy("geotest/pass_three_cycles.LST", "DS1.LST");
    // The sequence rule holds for drops too, and a folder is no D/A file.
    EXPECT_EQ(win.w.dropDAFile(2, file.string()), ImportOutcome::Kept);
    EXPECT_EQ(win.w.dropDAFile(1, win.tmp.path.string()), ImportOutcome::Kept);
    EXPECT_EQ(win.op.texts(), (std::vector<std::string>{"Must get specimens in sequence",
                                                        "The D/A file " + win.tmp.path.string() +
                                                            " does not exist or is not a file."}));
    EXPECT_TRUE(busy.empty());

    ASSERT_EQ(win.w.dropDAFile(1, file.string()), ImportOutcome::Read);
    EXPECT_TRUE(win.dialogs.asked.empty());
    EXPECT_EQ(win.s.specimens.SpecimenFileName(1), "DS1.LST");
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    // The drop is forgotten: the next choice asks the dialog again.
    EXPECT_EQ(win.w.getDAFile(2), ImportOutcome::Kept);
    EXPECT_EQ(win.dialogs.asked.size(), 1u);
}

TEST(ImportWorkflow, AHumboldtWorkbookFillsSpecimensOneToFourInOneChoice) {
    Window win(kHumboldt, kDirectShear, readWorkbooks);
    ASSERT_EQ(win.choose(1, win.copy("humboldt/workbook_direct_shear.xls", "TEST.XLS")),
              ImportOutcome::Read);
    EXPECT_EQ(win.dialogs.asked.back().patterns, (std::vector<std::string>{"*.XLS", "*.XLSX"}));
    EXPECT_EQ(win.s.specimens.SpecimenCount, 3);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(win.s.specimens.SpecimenFileName(n), "TEST" + std::to_string(n) + ".TXT");
        EXPECT_TRUE(win.w.view().specimens[n].column);
        EXPECT_FALSE(win.s.specimens.Column(n).readingsToWrite.empty());
    }
    EXPECT_TRUE(win.w.view().specimens[4].button);
}

}  // namespace
}  // namespace plovix

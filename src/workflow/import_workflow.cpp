#include "workflow/import_workflow.h"

#include <algorithm>
#include <filesystem>

#include "app/command_line.h"
#include "app/program_paths.h"
#include "app/settings.h"
#include "export/norvo_export.h"
#include "export/norvo_name.h"
#include "export/norvo_records.h"
#include "humboldt/prepare_text.h"
#include "humboldt/workbook_to_text.h"
#include "sources/source_table.h"
#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace fs = std::filesystem;

namespace {

// One reading pass feeds the filter report and the plot.
class BothObservers final : public ReadingObserver {
  public:
    BothObservers(ReadingObserver& a, ReadingObserver& b) : a_(a), b_(b) {}
    void reading(int cycle, double disp, double load, bool kept) override {
        a_.reading(cycle, disp, load, kept);
        b_.reading(cycle, disp, load, kept);
    }
    void lastReadingKept() override {
        a_.lastReadingKept();
        b_.lastReadingKept();
    }

  private:
    ReadingObserver &a_, &b_;
};

constexpr const char* kConvertSeedFile = "CONVERT.DDT";
constexpr const char* kNorvoDialogTitle =
    "Enter a new NORVO file name or select an existing NORVO file";

// "GeoTest files |*.GEO;*.LST" as a dialog filter.
void setFilter(FileDialogRequest& request, const std::string& filter) {
    const auto bar = filter.find('|');
    request.filterDescription = filter.substr(0, bar);
    if (bar == std::string::npos) return;
    std::string patterns = filter.substr(bar + 1);
    for (std::size_t start = 0; start <= patterns.size();) {
        const auto end = std::min(patterns.find(';', start), patterns.size());
        if (end > start) request.patterns.push_back(patterns.substr(start, end - start));
        start = end + 1;
    }
}

// The folder of a chosen path with its trailing separator.
std::string folderOf(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string nameOf(const std::string& path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

ImportWorkflow::ImportWorkflow(Session& s, Operator& op, FileDialogs& dialogs)
    : s_(s), op_(op, view_), dialogs_(dialogs) {}

void ImportWorkflow::load(std::string_view commandLine) {
    commandLine_ = std::string(commandLine);
    view_ = WindowView{};
    filterReports_ = {};
    plots_ = {};
    applyWinFile(s_, evaluateWinFile(commandLine));
    if (!s_.program.NorvoFile.empty()) view_.norvoPath = s_.program.NorvoFile;
    resetForNewTest(s_);
    SpecimenFiles& f = s_.specimens;
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        f.Column(n) = SpecimenColumn{};
        f.SpecimenFileName(n).clear();
        f.ReadingsToWrite(n) = 0;
        f.SkipDispRepeats(n) = false;
        f.SkipLoadRepeats(n) = false;
    }
    f.Headings = ResultHeadings{};
    view_.specimens[1].column = view_.specimens[1].button = true;
    // Filling the boxes counts as an edit: Apply starts armed.
    view_.criteria = {formatGeneralNumber(s_.settings.IncMax),
                      formatGeneralNumber(s_.settings.Tolerance)};
    view_.applyArmed = true;
    view_.description = kDefaultNorvoDescription;
    showSpecimen();
}

void ImportWorkflow::activate() {
    view_.panel = Panel::Import;
    view_.selectPanelCaption = kCycleSelectionCaption;
    chooseWindowsVersion(s_.settings.NVWIN);
    if (s_.program.WinFileMode) {
        view_.norvoButtonEnabled = false;
        view_.windowsOptionEnabled = true;
        view_.dosOptionEnabled = false;
        view_.norvoName = s_.program.NorvoFileName;
    }
    if (s_.program.NeedSetup) setUpSource();
}

void ImportWorkflow::setUpSource() {
    Settings& st = s_.settings;
    if (!keepsHumIncOne(st)) st.HumIncOne = false;
    const SourceTraits& traits = traitsOf(st);
    s_.specimens.Headings.normalStress = traits.normalStressCaption;
    s_.specimens.Headings.timeOrRate = traits.timeCaption;
    s_.program.SourceName = s_.program.SourceNames(st.SourceType);
    view_.title = s_.program.SourceName + " Import for the KALVORN Norvo Program";
    chooseTestType(s_.program.TestType - 1);
    s_.program.NeedSetup = false;
}

std::string ImportWorkflow::allowedTestTypes() const {
    // A Zezed Ovuruv file (GeoTest with KWDS) holds direct shear only.
    Session probe = s_;
    probe.specimens.KWDSFile = readsFourColumnFiles(s_.settings);
    const SourceLayout* layout = findSource(s_.settings.SourceType);
    return layout ? layout->allowedTestTypes(probe) : std::string(",");
}

void ImportWorkflow::chooseTestType(int index) {
    const std::string allowed = allowedTestTypes();
    int type = index + 1;
    if (fListPos(type, allowed) == 0)
        type = static_cast<int>(readNumber(fListItem(allowed, 1, true)));
    if (type >= 1 && type <= kTestTypeCount) s_.program.TestType = type;
    view_.testTypeIndex = s_.program.TestType - 1;
}

void ImportWorkflow::chooseWindowsVersion(bool windows) {
    s_.settings.NVWIN = windows;
    view_.windowsVersion = windows;
    view_.descriptionEnabled = !windows;
}

void ImportWorkflow::editDescription(std::string text) {
    view_.description = std::move(text);
}

void ImportWorkflow::editCriteria(int box, std::string text) {
    (box == 1 ? s_.settings.IncMax : s_.settings.Tolerance) = readNumber(text);
    view_.criteria[box == 1 ? 0 : 1] = std::move(text);
    view_.applyArmed = true;
}

CriteriaFocus ImportWorkflow::enterInCriteria(int box) {
    if (view_.applyArmed) {
        apply();
        return CriteriaFocus::Unchanged;
    }
    return box == 1 ? CriteriaFocus::LoadBox : CriteriaFocus::DisplacementBox;
}

void ImportWorkflow::apply() {
    disarmApply();
    SpecimenFiles& f = s_.specimens;
    const int current = f.CurrentSpecimen;
    s_.pass.Exporting = false;
    for (int n = 1; n <= f.SpecimenCount; ++n) {
        f.CurrentSpecimen = n;
        showSpecimen();
        readCurrentSpecimen();
    }
    f.CurrentSpecimen = current;
    showSpecimen();
}

void ImportWorkflow::chooseNorvoFile() {
    if (s_.program.WinFileMode) return;
    FileDialogRequest request;
    request.title = kNorvoDialogTitle;
    request.folder = s_.settings.NorvoPath;
    request.mustExist = false;
    setFilter(request, "Norvo files (*.NDT) |*.NDT");
    const DialogAnswer answer = dialogs_.chooseNorvoFile(request);
    if (answer.kind != DialogAnswer::Kind::Chosen) return;
    const NorvoFileChoice choice = plovix::chooseNorvoFile(s_, op_, answer.path);
    view_.norvoPath = s_.program.NorvoFile;
    view_.norvoName = s_.program.NorvoFileName;
    if (choice.description) view_.description = *choice.description;
}

ImportOutcome ImportWorkflow::getDAFile(int n) {
    if (n < 1 || n > kMaxSpecimen) return ImportOutcome::Kept;
    SpecimenFiles& f = s_.specimens;
    Settings& st = s_.settings;
    if (n > 1 && f.SpecimenFileName(n - 1).empty()) {
        op_.tell("Must get specimens in sequence");
        return ImportOutcome::Kept;
    }
    // Everything the choice changes comes back when the file is refused.
    const Session before = s_;
    const WindowView viewBefore = view_;
    const auto reportsBefore = filterReports_;
    const auto plotsBefore = plots_;
    const auto refuse = [&] {
        s_ = before;
        view_ = viewBefore;
        filterReports_ = reportsBefore;
        plots_ = plotsBefore;
        view_.busy = false;
        return ImportOutcome::Refused;
    };

    if (!st.SaveName) st.DAFile.clear(), st.DAName.clear();
    const bool hadFile = view_.specimens[n].column && !f.SpecimenFileName(n).empty();
    const std::string previousFile = hadFile ? f.SpecimenPath(n) + f.SpecimenFileName(n) : "";
    if (hadFile) {
        st.DAName = f.SpecimenFileName(n);
        st.DAFile = f.SpecimenPath(n) + st.DAName;
    }
    if (st.DAFile.empty() && f.SpecimenPath(n).empty()) {
        // CONVERT.DDT seeds an empty session with a file name and its folder.
        if (const auto seed = findCompanionFile(kConvertSeedFile, fAppPath(), fAppPath())) {
            try {
                NorvoValueReader in(*seed);
                st.DAName = in.nextText();
                st.DAPath = in.nextText();
            } catch (const ExportError&) {
                // An unreadable seed is no reason to refuse the dialog.
            }
        }
    }

    f.KWDSFile = readsFourColumnFiles(st);
    FileDialogRequest request;
    request.folder = st.DAPath;
    request.fileName = st.DAName;
    request.title = "Select the " + s_.program.SourceName +
                    " Data Acquisition file to import for specimen " + std::to_string(n);
    if (const SourceLayout* layout = findSource(st.SourceType))
        setFilter(request, layout->filter(s_));
    const DialogAnswer answer =
        droppedPath_ ? DialogAnswer::chosen(*droppedPath_) : dialogs_.openDAFile(request);
    if (answer.kind == DialogAnswer::Kind::Failed)
        op_.showMessage(s_.program.AppVersion + "Error: " + std::to_string(answer.errorNumber) +
                            " - " + answer.errorDescription + "   PathFile: " + st.DAFile +
                            "   FileOnly: " + st.DAName,
                        "Error in DAImport", MessageIcon::None);
    if (answer.kind != DialogAnswer::Kind::Chosen) {
        // Cancel keeps the specimen's earlier file, without reading it again.
        if (!hadFile) {
            st.DAName.clear();
            st.DAFile.clear();
        } else {
            f.CurrentSpecimen = n;
            showSpecimen();
        }
        return ImportOutcome::Kept;
    }
    if (hadFile && answer.path == previousFile) {
        // The same file again is not read again.
        st.DAFile = previousFile;
        f.CurrentSpecimen = n;
        showSpecimen();
        return ImportOutcome::Kept;
    }
    st.DAFile = answer.path;
    st.DAName = nameOf(answer.path);
    f.SpecimenPath(n) = folderOf(answer.path);
    st.DAPath = f.SpecimenPath(n);

    if (readsWorkbooks(st)) {
        // One workbook fills specimens 1 to 4, whatever button was pressed.
        setBusy(true);
        Convert_XL_To_HSD(s_, op_, fs::path(answer.path));
        setBusy(false);
        bool any = false;
        for (int i = 1; i <= kMaxSpecimen; ++i) {
            if (f.WorkbookSpecimen(i).empty()) continue;
            any = true;
            f.CurrentSpecimen = i;
            f.SpecimenCount = i;
            f.SpecimenPath(i) = f.SpecimenPath(n);
            if (i >= 2 && !view_.specimens[i].column) {
                AddSpecimen(s_);
                view_.specimens[i].column = true;
                if (i < kMaxSpecimen) view_.specimens[i + 1].button = true;
            }
            f.SpecimenFileName(i) = f.WorkbookSpecimen(i);
            fileNameShown(i);
            if (lastPass_ != PassOutcome::Done) return refuse();
            if (i == 1) {
                view_.specimens[2].button = true;
                view_.specimens[1].skipBoxes = true;
            }
        }
        showSpecimen();
        return any ? ImportOutcome::Read : refuse();
    }
    f.CurrentSpecimen = n;
    if (preparesFiles(st)) {
        if (ModifyHumFile(s_, op_).outcome == HumPrepareOutcome::Failed) return refuse();
        view_.testTypeIndex = s_.program.TestType - 1;
    }
    f.SpecimenCount = std::max(f.SpecimenCount, n);
    if (n >= 2 && !view_.specimens[n].column) {
        AddSpecimen(s_);
        view_.specimens[n].column = true;
        if (n < kMaxSpecimen) view_.specimens[n + 1].button = true;
    }
    showSpecimen();
    f.SpecimenFileName(n) = st.DAName;
    fileNameShown(n);
    if (lastPass_ == PassOutcome::OpenSettings) {
        refuse();
        return ImportOutcome::OpenSettings;
    }
    if (lastPass_ != PassOutcome::Done) return refuse();
    if (s_.cycles.NumCycles(n, 1) != 0) {
        if (n == 1) {
            view_.specimens[2].button = true;
            view_.specimens[1].skipBoxes = true;
        }
    } else {
        f.SpecimenFileName(n) = kNoCyclesCaption;
    }
    return ImportOutcome::Read;
}

ImportOutcome ImportWorkflow::dropDAFile(int n, const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        op_.showMessage("The D/A file " + path + " does not exist or is not a file.", kProgramName,
                        MessageIcon::Exclamation);
        return ImportOutcome::Kept;
    }
    droppedPath_ = path;
    struct Forget {
        std::optional<std::string>& path;
        ~Forget() { path.reset(); }
    } forget{droppedPath_};
    return getDAFile(n);
}

void ImportWorkflow::setBusy(bool busy) {
    view_.busy = busy;
    if (busyHook_) busyHook_(busy);
}

void ImportWorkflow::fileNameShown(int n) {
    if (s_.specimens.SpecimenFileName(n).empty()) return;
    s_.pass.ReadingsInFile = 0;
    for (int r = 1; r <= kMaxRun; ++r) s_.cycles.NumCycles(n, r) = 0;
    s_.specimens.CurrentSpecimen = n;
    showSpecimen();
    s_.pass.Exporting = false;
    readCurrentSpecimen();
    disarmApply();
}

PassOutcome ImportWorkflow::readCurrentSpecimen() {
    setBusy(true);
    FilterReportCollector collector;
    PlotPointsCollector points;
    BothObservers observers(collector, points);
    ReadingObserver* observer =
        gatherPlots_ ? static_cast<ReadingObserver*>(&observers) : &collector;
    lastPass_ = DAImport(s_, op_, nullptr, observer);
    if (lastPass_ == PassOutcome::Done) {
        const auto n = static_cast<std::size_t>(s_.specimens.CurrentSpecimen);
        filterReports_[n] = collector.report(s_);
        plots_[n] = gatherPlots_ ? std::optional(points.data(s_)) : std::nullopt;
    }
    setBusy(false);
    if (lastPass_ == PassOutcome::Done && specimenRead_)
        specimenRead_(s_.specimens.CurrentSpecimen);
    view_.testTypeIndex = s_.program.TestType - 1;  // the header may have changed it
    return lastPass_;
}

void ImportWorkflow::showSpecimen() {
    const SpecimenMarks marks = SetSpecimen(s_);
    for (int i = 1; i <= kMaxSpecimen; ++i)
        view_.specimens[i].mark = marks[static_cast<std::size_t>(i)];
}

ImportOutcome ImportWorkflow::clickSpecimenNumber(int n) {
    if (n >= 1 && n <= s_.specimens.SpecimenCount) {
        s_.specimens.CurrentSpecimen = n;
        showSpecimen();
        return ImportOutcome::Kept;
    }
    return getDAFile(n);
}

void ImportWorkflow::setSkipRepeats(int n, bool displacement, bool skip) {
    (displacement ? s_.specimens.SkipDispRepeats(n) : s_.specimens.SkipLoadRepeats(n)) = skip;
}

void ImportWorkflow::toggleCyclePanel() {
    if (view_.panel == Panel::Import) {
        if (s_.settings.DAFile.empty()) {
            op_.showMessage("Enter a data acquisition file name before pre-processing",
                            kProgramName, MessageIcon::Information);
            return;
        }
        view_.panel = Panel::PreProcess;
        view_.selectPanelCaption = kImportCaption;
        setBusy(true);
        view_.summary = PreProcess(s_, op_);
        setBusy(false);
        if (!view_.summary.ok) {
            // The file could not be pre-processed; its message was shown.
            view_.panel = Panel::Import;
            view_.selectPanelCaption = kCycleSelectionCaption;
        }
        return;
    }
    if (s_.settings.DAFile.empty()) {
        op_.showMessage("Enter a data acquisition file name before performing a data import",
                        kProgramName, MessageIcon::Information);
        return;
    }
    view_.panel = Panel::Import;
    view_.selectPanelCaption = kCycleSelectionCaption;
    s_.pass.Exporting = false;
    readCurrentSpecimen();
}

void ImportWorkflow::tickCycle(int row, bool ticked) {
    const CycleUse use = plovix::tickCycle(s_, row, ticked);
    view_.summary.usedCycles = use.cycles;
    view_.summary.usedReadings = use.readings;
    for (CycleSummaryRow& r : view_.summary.rows)
        if (r.cycle == row) r.used = ticked;
}

bool ImportWorkflow::saveAndExit(const ExportFiles& files) {
    exportWritten_ = false;
    if (!saveAndExitChecks(s_, op_, checkDefaultsFolder_)) return false;
    ExportFiles withDescription = files;
    withDescription.description = view_.description;
    setBusy(true);
    exportWritten_ = NorvoExport(s_, op_, withDescription);
    setBusy(false);
    unload();
    return true;
}

void ImportWorkflow::unload() {
    if (view_.closed) return;
    saveSettings();
    view_.closed = true;
}

void ImportWorkflow::newTest() {
    saveSettings();
    unload();
    load(commandLine_);
    activate();
}

bool ImportWorkflow::saveSettings() {
    if (!saveSettingsOnClose_) return true;
    std::error_code error;
    if (SaveSettings(s_, s_.program.IniFile, error)) return true;
    op_.showMessage(
        "The settings could not be saved to " + s_.program.IniFile + ": " + error.message() + ".",
        kProgramName, MessageIcon::Exclamation);
    return false;
}

bool ImportWorkflow::settingsAllowed() {
    if (view_.specimens[2].button) {
        op_.showMessage("Settings are only available before the first specimen is imported.",
                        "Settings Unavailable", MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void ImportWorkflow::settingsClosed(int previousSource) {
    // Another row of the table of sources: the window sets itself up for it.
    if (findSource(s_.settings.SourceType) != findSource(previousSource))
        s_.program.NeedSetup = true;
}

std::string ImportWorkflow::specimenTooltip(int n) const {
    if (n < 1 || n > kMaxSpecimen) return {};
    return s_.specimens.SpecimenPath(n) + s_.specimens.SpecimenFileName(n);
}

}  // namespace plovix

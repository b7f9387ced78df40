#pragma once
// The main window's logic as one object, without a toolkit: everything the window shows
// (captions, enabled and visible flags, the panel shown, the Apply control, the status line)
// as plain state in `WindowView`, and the window's actions as member functions. The Qt window
// draws the view and forwards clicks; plovix-convert drives the same actions with scripted
// answers; the tests drive it directly.
//
// Messages and questions go through the Operator. The file dialogs are asked through
// `FileDialogs`, whose answer is a path, Cancel, or an error.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/operator.h"
#include "app/session.h"
#include "export/norvo_output.h"
#include "filter/filter_report.h"
#include "filter/plot_points.h"
#include "filter/reading_pass.h"
#include "filter/specimen_store.h"
#include "sources/cycles.h"

namespace plovix {

// What an open-file dialog is asked to show.
struct FileDialogRequest {
    std::string title;
    std::string folder;    // initial folder
    std::string fileName;  // initial file name
    std::string filterDescription;
    std::vector<std::string> patterns;  // "*.LST"; matched in any letter case
    bool mustExist = true;
};

struct DialogAnswer {
    enum class Kind { Chosen, Cancelled, Failed };
    Kind kind = Kind::Cancelled;
    std::string path;  // Chosen: the full path
    int errorNumber = 0;
    std::string errorDescription;  // Failed: why the dialog could not answer

    static DialogAnswer chosen(std::string path) { return {Kind::Chosen, std::move(path), 0, {}}; }
    static DialogAnswer cancelled() { return {}; }
    static DialogAnswer failed(int number, std::string description) {
        return {Kind::Failed, {}, number, std::move(description)};
    }
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    // "Select D/A File"
    virtual DialogAnswer openDAFile(const FileDialogRequest& request) = 0;
    // "Select File Name" of the Norvo data file
    virtual DialogAnswer chooseNorvoFile(const FileDialogRequest& request) = 0;
    // "Browse" of the settings dialog: the old DOS Norvo program. Front ends without that
    // dialog (the converter) need not answer it.
    virtual DialogAnswer chooseNorvoProgram(const FileDialogRequest&) {
        return DialogAnswer::cancelled();
    }
};

enum class Panel { Import, PreProcess };

// Where the focus goes after Enter in a criteria box.
enum class CriteriaFocus { Unchanged, DisplacementBox, LoadBox };

inline constexpr const char* kCycleSelectionCaption = "&Cycle Selection";
inline constexpr const char* kImportCaption = "&D/A import";
inline constexpr const char* kNoCyclesCaption = "no cycles";

struct SpecimenView {
    bool column = false;     // the specimen's results column exists
    bool button = false;     // its "Select D/A File" button exists
    bool skipBoxes = false;  // "Skip disp. repeats:" and "Skip load repeats:" shown
    SpecimenMark mark = SpecimenMark::NotImported;
};

// The results columns themselves (labels and headings) are the session's: SpecimenColumn and
// ResultHeadings.
struct WindowView {
    std::string title;
    int testTypeIndex = 0;                // cmbTestType, TestType - 1
    std::array<std::string, 2> criteria;  // txtFacTol(1), txtFacTol(2)
    bool applyArmed = false;              // pnlApply black, CMDaPPLY enabled
    bool windowsVersion = true;           // optNorvoVersion(0) selected
    bool windowsOptionEnabled = true, dosOptionEnabled = true;
    bool descriptionEnabled = false;  // txtNorvoDes and lblDOSNVDes
    std::string description;          // txtNorvoDes
    bool norvoButtonEnabled = true;   // cmdNorvoName
    std::string norvoName;            // lblNorvoName
    std::string norvoPath = "n/a";    // Label10
    Panel panel = Panel::Import;
    std::string selectPanelCaption = kCycleSelectionCaption;  // mnuSelectPanel
    std::array<SpecimenView, kMaxSpecimen + 1> specimens;     // 1..4
    CycleSummary summary;                                     // pnlPreProcess
    std::string status;                                       // lblStatus
    int statusColour = 0;
    bool busy = false;    // a reading pass or the export runs: the window is disabled
    bool closed = false;  // the window was unloaded
};

// What a D/A file choice came to.
enum class ImportOutcome {
    Read,          // the file was read (or the workbook's specimens were)
    Kept,          // nothing new was read (Cancel, the same file again, out of sequence)
    Refused,       // the file was not loaded; the session is as it was before the choice
    OpenSettings,  // the header reader asks for the settings dialog
};

class ImportWorkflow {
  public:
    ImportWorkflow(Session& s, Operator& op, FileDialogs& dialogs);

    const WindowView& view() const { return view_; }
    const Session& session() const { return s_; }

    // The settings file is written on every close and on New Test unless this is off (the
    // converter never writes it).
    void setSaveSettingsOnClose(bool save) { saveSettingsOnClose_ = save; }
    // "Save and Exit" looks for NV.DDT in NorvoProgPath unless this is off (the converter's
    // export finds it there or beside the program).
    void setCheckDefaultsFolder(bool check) { checkDefaultsFolder_ = check; }
    // Called after every reading pass that read a specimen's file through (a new file, Apply,
    // the return from the cycle panel), with the specimen's number.
    void setSpecimenRead(std::function<void(int specimen)> onRead) {
        specimenRead_ = std::move(onRead);
    }
    // Told when a reading pass, the pre-processing, a workbook reading or the export starts
    // (true) and ends (false), so that the window can disable itself and show progress.
    void setBusyHook(std::function<void(bool busy)> hook) { busyHook_ = std::move(hook); }

    // Load: evaluates the command line ("WINFILE=..." or anything else) and resets the window.
    void load(std::string_view commandLine);
    // Activate: the import panel, the Norvo version, and the set-up for the current source
    // when it is due (NeedSetup).
    void activate();

    // The test types the current source allows, as a comma list (",1,2,").
    std::string allowedTestTypes() const;
    // A click on list entry `index` (0-based); a type the source does not allow snaps back to
    // the first allowed one.
    void chooseTestType(int index);
    // Norvo version option: true for "Windows Version".
    void chooseWindowsVersion(bool windows);
    void editDescription(std::string text);
    // The text of criteria box `box` (1 displacement, 2 load) changed; arms Apply.
    void editCriteria(int box, std::string text);
    // Enter in criteria box `box`: Apply when armed, else the focus moves to the other box.
    CriteriaFocus enterInCriteria(int box);
    // Runs the reading pass of every imported specimen again; disarms Apply.
    void apply();

    // "Select File Name": the Norvo data file.
    void chooseNorvoFile();
    // "Select D/A File" of specimen `specimen` (1..4).
    ImportOutcome getDAFile(int specimen);
    // A file dropped on specimen `specimen`'s column: the choice of getDAFile with the dialog's
    // answer already given, so the sequence rule, Cancel-free re-reading and refusals are the
    // same. A path that is no regular file is refused with a message.
    ImportOutcome dropDAFile(int specimen, const std::string& path);
    // A click on a specimen's number.
    ImportOutcome clickSpecimenNumber(int specimen);
    void setSkipRepeats(int specimen, bool displacement, bool skip);

    // "&Cycle Selection" / "&D/A import".
    void toggleCyclePanel();
    // "USE" of summary row `row` (1..10).
    void tickCycle(int row, bool ticked);

    // "&Save and Exit": the three checks, then the export with the description box's text for
    // the DOS index; true when the window closed.
    bool saveAndExit(const ExportFiles& files = {});
    // Whether the last "Save and Exit" wrote the Norvo data file.
    bool exportWritten() const { return exportWritten_; }
    // "E&xit Without Saving", or the window closed any other way.
    void unload();
    // "&New Test": settings saved, a fresh window loaded and activated.
    void newTest();
    // "&Settings": false (with the warning) once the first specimen was imported.
    bool settingsAllowed();
    // The settings dialog closed; `previousSource` is the source it opened with.
    void settingsClosed(int previousSource);

    // What the filter did to specimen `specimen` in its last reading pass; nullopt before one.
    const std::optional<FilterReport>& filterReport(int specimen) const {
        return filterReports_[static_cast<std::size_t>(specimen)];
    }

    // The load-displacement points of specimen `specimen`'s last reading pass; nullopt before
    // one, or when the passes do not gather them.
    const std::optional<PlotData>& plotData(int specimen) const {
        return plots_[static_cast<std::size_t>(specimen)];
    }
    // Whether reading passes gather the plot points (on unless a front end that never draws
    // the plot turns it off: it costs time on every reading).
    void setGatherPlots(bool gather) { gatherPlots_ = gather; }

    // Tooltips: the full path of a specimen's file, and of the Norvo file.
    std::string specimenTooltip(int specimen) const;
    std::string norvoTooltip() const { return s_.program.NorvoFile; }

  private:
    // Passes everything on to the window's operator and keeps the status line in the view.
    class ViewOperator final : public Operator {
      public:
        ViewOperator(Operator& outer, WindowView& view) : outer_(outer), view_(view) {}
        void showMessage(const std::string& text, const std::string& title,
                         MessageIcon icon) override {
            outer_.showMessage(text, title, icon);
        }
        bool askOkCancel(const std::string& text, const std::string& title,
                         MessageIcon icon) override {
            return outer_.askOkCancel(text, title, icon);
        }
        void showStatus(const std::string& text, int colourCode) override {
            view_.status = text;
            view_.statusColour = colourCode;
            outer_.showStatus(text, colourCode);
        }
        void reportProgress(std::int64_t done, std::int64_t total) override {
            outer_.reportProgress(done, total);
        }
        void processEvents() override { outer_.processEvents(); }

      private:
        Operator& outer_;
        WindowView& view_;
    };

    void setUpSource();
    void fileNameShown(int specimen);
    PassOutcome readCurrentSpecimen();
    void showSpecimen();
    bool saveSettings();
    void disarmApply() { view_.applyArmed = false; }
    void setBusy(bool busy);

    Session& s_;
    WindowView view_;
    ViewOperator op_;
    FileDialogs& dialogs_;
    std::string commandLine_;
    bool saveSettingsOnClose_ = true;
    bool checkDefaultsFolder_ = true;
    bool exportWritten_ = false;
    std::function<void(int)> specimenRead_;
    std::array<std::optional<FilterReport>, kMaxSpecimen + 1> filterReports_;
    std::array<std::optional<PlotData>, kMaxSpecimen + 1> plots_;
    bool gatherPlots_ = true;
    PassOutcome lastPass_ = PassOutcome::Done;
    std::function<void(bool)> busyHook_;
    std::optional<std::string> droppedPath_;  // the dialog's answer while a drop is handled
};

}  // namespace plovix

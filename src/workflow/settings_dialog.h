#pragma once
// The "Data Import Settings" dialog without a toolkit: every control's caption, value, enabled
// and visible flag as plain state in `SettingsDialogView`, and the dialog's rules as member
// functions. The Qt dialog draws the view and forwards each click and edit; the tests drive it
// directly.
//
// The dialog edits the session's settings, never the settings file (the main window saves).
// The source, the load ring constant and the full-transfer box reach the session at once;
// everything else when the dialog closes. Afterwards the main window is told which source the
// dialog opened with (ImportWorkflow::settingsClosed), so that it sets itself up again when the
// source changed.

#include <array>
#include <string>
#include <vector>

#include "app/help_topics.h"
#include "app/operator.h"
#include "app/session.h"
#include "sources/source_traits.h"
#include "workflow/import_workflow.h"

namespace plovix {

inline constexpr const char* kSettingsDialogTitle = "Data Import Settings";
inline constexpr const char* kColumnLetterMessage =
    "This value must be a single letter of the alphabet";
inline constexpr const char* kColumnLetterTitle = "Wrong type of data";

// Check boxes, in the order the dialog lists them.
enum class SettingsCheck : int {
    DateDDMM,               // chkDDMM
    SuggestLastFileName,    // chkSaveName
    FourColumnDirectShear,  // GeoTest
    TimeOfTest,             // GEOTAC, "Report Rate as"
    InchesPerMinute,
    RateOfStrain,
    ChangeSignUccVertical,  // GEOTAC
    ChangeSignDsVertical,
    ChangeSignTriaxial,
    UseInternalLoadCell,
    DsNormalStressInPsf,
    FirstVerticalDispAsZero,
    FirstDispAsZero,
    AlwaysUseDcdt,
    InsertZeroReading,
    FullTransfer,  // Humboldt
};
inline constexpr int kSettingsCheckCount = static_cast<int>(SettingsCheck::FullTransfer) + 1;

// Text boxes outside the Humboldt grid.
enum class SettingsText : int {
    NorvoProgram,     // "Path to old DOS NORVO program:"
    AxialDispFactor,  // GeoTest, "Triaxial Settings"
    AxialLoadFactor,
    PorePressureFactor,
    ShearDispFactor,  // GeoTest, "Direct Shear settings"
    ShearLoadFactor,
    VerticalDispFactor,
    VerticalLoadFactor,
    LoadRingConstant,    // GEOTAC
    DeformationDivisor,  // Humboldt
};
inline constexpr int kSettingsTextCount = static_cast<int>(SettingsText::DeformationDivisor) + 1;

// Humboldt "Data file format".
enum class HumboldtFormat : int { Original, ExcelExport, ReadWorkbook };
inline constexpr int kHumboldtFormatCount = 3;

// Columns of the Humboldt grid "Directly Read XL File Settings".
enum class GridColumn : int { Worksheet, FirstRow, Column, Increment };
inline constexpr int kGridColumnCount = 4;
inline constexpr int kGridRowCount = 3;  // UCC, DS, UU: HumXL...(row + 1)

// What every control has. `frame` is the source whose property frame holds the control, 0 for
// the controls outside the frames; `group` the captioned box inside the frame, if any.
struct ControlView {
    std::string caption;
    std::string group;
    int frame = 0;
    bool enabled = true;
    bool visible = true;  // outside the frames always; inside, while its frame is in front
};

struct CheckView : ControlView {
    bool ticked = false;
};

struct TextView : ControlView {
    std::string text;
    std::string unit;  // the caption after the box ("lbs. per inch")
};

struct OptionView : ControlView {
    bool selected = false;
};

struct GridRowView {
    std::string testType;  // "UCC Test", "DS Test", "UU Test"
    std::array<TextView, kGridColumnCount> cells;
};

struct PropertyFrameView {
    std::string caption;              // "Properties for GEOTAC data acquisition import files"
    std::vector<std::string> note;    // the per-source note: one text, or Humboldt's list lines
    std::vector<std::string> groups;  // the captioned boxes inside the frame, in order
    HelpTopic help = HelpTopic::Settings;
    SettingsFrameLayout layout = SettingsFrameLayout::NoteOnly;
    bool inFront = false;
};

struct SettingsDialogView {
    std::string title = kSettingsDialogTitle;
    std::string sourceLabel = "Source of data acquisition files:";
    bool sourceListVisible = true;     // the list and its label; hidden for the generic build
    std::vector<std::string> sources;  // cmbDATypes: every source, list index = code - 1
    int sourceIndex = 0;
    std::array<PropertyFrameView, kSourceCount> frames;  // index = source code - 1
    std::array<CheckView, kSettingsCheckCount> checks;
    std::array<TextView, kSettingsTextCount> texts;
    std::array<OptionView, kHumboldtFormatCount> formats;  // "Data file format"
    std::array<OptionView, 2> humboldtRate;                // "Rate of strain", "Time to failure"
    std::string gridHeading = "Test Type";
    std::array<GridRowView, kGridRowCount> grid;
    std::string dateGroup = "Date Format";
    std::string dosGroup = "Setting for use with the old DOS version of Norvo";
    std::string browseCaption = "Browse";
    std::string closeCaption = "Close";
    std::string helpCaption = "Help";
    bool closed = false;

    const CheckView& check(SettingsCheck c) const { return checks[static_cast<std::size_t>(c)]; }
    const TextView& text(SettingsText t) const { return texts[static_cast<std::size_t>(t)]; }
    const TextView& cell(int row, GridColumn column) const {
        return grid.at(static_cast<std::size_t>(row)).cells[static_cast<std::size_t>(column)];
    }
};

class SettingsDialog {
  public:
    // Loads every control from the session's settings and selects the session's source.
    SettingsDialog(Session& s, Operator& op, FileDialogs& dialogs);

    const SettingsDialogView& view() const { return view_; }
    // The source the dialog opened with, for ImportWorkflow::settingsClosed.
    int openedWithSource() const { return openedWith_; }

    // A click on source list entry `index` (0-based): its frame comes to the front and the
    // session's source changes at once.
    void chooseSource(int index);
    // A click on a check box; a disabled box ignores it. Ticking one of the three "Report Rate
    // as" boxes unticks the other two.
    void setCheck(SettingsCheck box, bool ticked);
    // The text of a box changed. The load ring constant reaches the session at once.
    void editText(SettingsText box, std::string text);
    // The text of a Humboldt grid cell changed. A column cell takes one letter only: anything
    // else is refused with a message and empties the cell.
    void editGrid(int row, GridColumn column, std::string text);
    void chooseFormat(HumboldtFormat format);
    // Humboldt "Test rate options": true for "Rate of strain", false for "Time to failure".
    void chooseHumboldtRate(bool rateOfStrain);
    // "Browse": picks NV.EXE of the old DOS Norvo program; its folder goes into the path box.
    void browse();
    // "Help": the topic of the frame in front.
    HelpTopic helpTopic() const;
    // Every way of closing ("Close", the window's close box): the controls are stored into the
    // session. Closing is never refused; a second call does nothing.
    void close();

  private:
    CheckView& check(SettingsCheck c) { return view_.checks[static_cast<std::size_t>(c)]; }
    TextView& text(SettingsText t) { return view_.texts[static_cast<std::size_t>(t)]; }
    void layOut();
    void load();
    void setGridEnabled(bool enabled);
    OptionView& format(HumboldtFormat f) { return view_.formats[static_cast<std::size_t>(f)]; }
    bool formatSelected(HumboldtFormat f) const {
        return view_.formats[static_cast<std::size_t>(f)].selected;
    }

    Session& s_;
    Operator& op_;
    FileDialogs& dialogs_;
    SettingsDialogView view_;
    int openedWith_ = 0;
};

}  // namespace plovix

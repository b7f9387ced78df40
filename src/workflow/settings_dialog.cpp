#include "workflow/settings_dialog.h"

#include <algorithm>
#include <cmath>

#include "sources/source_table.h"
#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

using S = Settings;

constexpr const char* kTriaxialGroup = "Triaxial Settings";
constexpr const char* kDirectShearGroup = "Direct Shear settings";
constexpr const char* kReportRateGroup = "Report Rate as";
constexpr const char* kFormatGroup = "Data file format";
constexpr const char* kRateGroup = "Test rate options";
constexpr const char* kGridGroup = "Directly Read XL File Settings";
constexpr const char* kDateGroup = "Date Format";
constexpr const char* kDosGroup = "Setting for use with the old DOS version of Norvo";
constexpr const char* kNorvoProgramFile = "NV.EXE";

// Each control names the settings key whose source frame shows it ("" for every frame).
struct CheckRow {
    const char* caption;
    const char* frameKey;
    const char* group;
    bool S::*setting;  // nullptr: "Time of test", which only mirrors GEOTACROS
};

// In the order of SettingsCheck.
constexpr CheckRow kChecks[] = {
    {"Check if D/A file dates are in the DD/MM/YY format", "", kDateGroup, &S::DDMM},
    {"Suggest most recently imported file name when picking import file name", "", kDosGroup,
     &S::SaveName},
    {"4 column direct shear data files", "KWDS", "", &S::KWDS},
    {"Time of test", "GEOTACROS", kReportRateGroup, nullptr},
    {"Inches per minute", "GEOTACIPM", kReportRateGroup, &S::GEOTACIPM},
    {"Approx rate of strain", "GEOTACROS", kReportRateGroup, &S::GEOTACROS},
    {"Change the sign on vertical unconfined compression and UU displacements ", "GEOTACCSUCCV", "",
     &S::GEOTACCSUCCV},
    {"Change the sign on vertical direct shear displacements calculated using DCDT", "GEOTACCSDSV",
     "", &S::GEOTACCSDSV},
    {"Change the sign on vertical triaxial displacements calculated using DCDT", "GEOTACCS", "",
     &S::GEOTACCS},
    {"Use internal load cell when available", "GEOTACUIL", "", &S::GEOTACUIL},
    {"Save the direct shear normal stress (when applicable) in PSF instead of PSI", "GEOTACNPSF",
     "", &S::GEOTACNPSF},
    {"For direct shear vertical displacement, use first displacement as zero instead of Zero "
     "value from the D/A file",
     "GEOTACUFVDAZ", "", &S::GEOTACUFVDAZ},
    {"Use first displacement as zero instead of Zero value from the D/A file", "GEOTACUFDAZ", "",
     &S::GEOTACUFDAZ},
    {"Always use DCDT for displacement (even when platen data is available)", "GEOTACADCDT", "",
     &S::GEOTACADCDT},
    {"Insert zero reading if D/A file starts with a non-zero displacement reading", "GEOTACI0", "",
     &S::GEOTACI0},
    {"Full Transfer HSD format", "HUMFTHSD", kFormatGroup, &S::HUMFTHSD},
};
static_assert(std::size(kChecks) == kSettingsCheckCount);

struct TextRow {
    const char* caption;
    const char* frameKey;
    const char* group;
    double S::*number;  // nullptr: the Norvo program's folder, kept as typed
    bool storedOnClose;
};

// In the order of SettingsText.
constexpr TextRow kTexts[] = {
    {"Path to old DOS NORVO program:", "", kDosGroup, nullptr, true},
    {"Axial Displacement Factor:", "SDispFac", kTriaxialGroup, &S::SDispFac, true},
    {"Axial Load Factor:", "SLoadFac", kTriaxialGroup, &S::SLoadFac, true},
    {"Pore Pressure Factor:", "PressFac", kTriaxialGroup, &S::PressFac, true},
    {"Shear Displacement Factor:", "DSDispFac", kDirectShearGroup, &S::DSDispFac, true},
    {"Shear Load Factor:", "DSLoadFac", kDirectShearGroup, &S::DSLoadFac, true},
    {"Vertical Displacement Factor:", "VDispFac", kDirectShearGroup, &S::VDispFac, true},
    {"Vertical Load Factor:", "VLoadFac", kDirectShearGroup, &S::VLoadFac, true},
    // Stored as it is typed, not on close.
    {"Direct shear load ring constant if not using a digital load cell:", "GEOTAC_LRCDS361", "",
     &S::LRCDS361, false},
    {"Deformation reading divisor:", "HUMDEFDIV", "", &S::HumDefDiv, true},
};
static_assert(std::size(kTexts) == kSettingsTextCount);

using Cells = Table1<std::string, 6> S::*;
constexpr Cells kGridSettings[kGridColumnCount] = {&S::HumXLSheet, &S::HumXLRow, &S::HumXLCol,
                                                   &S::HumXLColInc};
constexpr const char* kGridCaptions[kGridColumnCount] = {
    "Specimen A Worksheet No.:", "First Reading Row:", "Column:", "Increment:"};
constexpr const char* kGridRows[kGridRowCount] = {"UCC Test", "DS Test", "UU Test"};

void place(ControlView& c, std::string caption, std::string_view frameKey, std::string group) {
    c.caption = std::move(caption);
    c.frame = settingsFrameOf(frameKey);
    c.group = std::move(group);
}

// A number box's value: the number read from its text, 0 for text that is not a number (one
// too large for a double counts as none).
double boxNumber(const std::string& text) {
    const double value = readNumber(text);
    return std::isfinite(value) ? value : 0.0;
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

SettingsDialog::SettingsDialog(Session& s, Operator& op, FileDialogs& dialogs)
    : s_(s), op_(op), dialogs_(dialogs), openedWith_(s.settings.SourceType) {
    layOut();
    load();
}

void SettingsDialog::layOut() {
    for (int i = 0; i < kSettingsCheckCount; ++i)
        place(view_.checks[i], kChecks[i].caption, kChecks[i].frameKey, kChecks[i].group);
    for (int i = 0; i < kSettingsTextCount; ++i)
        place(view_.texts[i], kTexts[i].caption, kTexts[i].frameKey, kTexts[i].group);
    text(SettingsText::LoadRingConstant).unit = "lbs. per inch";
    const char* formatCaptions[] = {"Original WinHOST formats",
                                    "Use Excel exported data acquisition files",
                                    "Directly Read XL File"};
    for (int i = 0; i < kHumboldtFormatCount; ++i)
        place(view_.formats[i], formatCaptions[i], "HUMXLEXP", kFormatGroup);
    place(view_.humboldtRate[0], "Rate of strain", "HUMROS", kRateGroup);
    place(view_.humboldtRate[1], "Time to failure", "HUMROS", kRateGroup);
    for (int r = 0; r < kGridRowCount; ++r) {
        view_.grid[r].testType = kGridRows[r];
        for (int c = 0; c < kGridColumnCount; ++c)
            place(view_.grid[r].cells[c], kGridCaptions[c], "HUMXLSHEET", kGridGroup);
    }
    for (int code = 1; code <= kSourceCount; ++code) {
        PropertyFrameView& frame = view_.frames[code - 1];
        const SourceTraits& traits = traitsOf(code);
        frame.caption = traits.frameCaption;
        frame.note.assign(traits.frameNote.begin(), traits.frameNote.end());
        frame.help = traits.settingsHelp;
        frame.groups.assign(traits.frameGroups.begin(), traits.frameGroups.end());
        frame.layout = traits.frameLayout;
        // Every source is offered, however the program was started.
        const SourceLayout* layout = findSource(code);
        view_.sources.push_back(layout ? layout->name : "");
    }
}

void SettingsDialog::load() {
    Settings& st = s_.settings;
    for (int i = 0; i < kSettingsCheckCount; ++i)
        if (kChecks[i].setting) view_.checks[i].ticked = st.*kChecks[i].setting;
    check(SettingsCheck::TimeOfTest).ticked = !st.GEOTACROS;
    text(SettingsText::NorvoProgram).text = st.NorvoProgPath;
    for (int i = 0; i < kSettingsTextCount; ++i)
        if (kTexts[i].number) view_.texts[i].text = formatRoundTripNumber(st.*kTexts[i].number);
    for (int r = 0; r < kGridRowCount; ++r)
        for (int c = 0; c < kGridColumnCount; ++c)
            view_.grid[r].cells[c].text = (st.*kGridSettings[c])(r + 1);

    // One option of three: a workbook read directly wins over exported text, as everywhere.
    const HumboldtFormat f = st.HUMREADXL  ? HumboldtFormat::ReadWorkbook
                             : st.HUMXLEXP ? HumboldtFormat::ExcelExport
                                           : HumboldtFormat::Original;
    format(f).selected = true;
    setGridEnabled(st.HUMREADXL);
    for (auto& row : view_.grid)
        row.cells[static_cast<std::size_t>(GridColumn::Increment)].enabled = st.HUMREADXL;
    if (st.HUMREADXL) {
        check(SettingsCheck::FullTransfer).ticked = true;
        check(SettingsCheck::FullTransfer).enabled = false;
    }
    view_.humboldtRate[0].selected = st.HUMROS;
    view_.humboldtRate[1].selected = !st.HUMROS;

    if (st.Generic) {
        st.SourceType = kGenericSource;
        view_.sourceListVisible = false;
    }
    chooseSource(findSource(st.SourceType) != nullptr ? st.SourceType - 1 : 0);
}

void SettingsDialog::setGridEnabled(bool enabled) {
    for (auto& row : view_.grid)
        for (GridColumn c : {GridColumn::Worksheet, GridColumn::FirstRow, GridColumn::Column})
            row.cells[static_cast<std::size_t>(c)].enabled = enabled;
}

void SettingsDialog::chooseSource(int index) {
    if (index < 0 || index >= kSourceCount) return;
    view_.sourceIndex = index;
    const int front = index + 1;
    for (int code = 1; code <= kSourceCount; ++code) view_.frames[code - 1].inFront = code == front;
    const auto show = [front](ControlView& c) { c.visible = c.frame == 0 || c.frame == front; };
    for (auto& c : view_.checks) show(c);
    for (auto& t : view_.texts) show(t);
    for (auto& o : view_.formats) show(o);
    for (auto& o : view_.humboldtRate) show(o);
    for (auto& row : view_.grid)
        for (auto& cell : row.cells) show(cell);
    s_.settings.SourceType = front;
}

void SettingsDialog::setCheck(SettingsCheck box, bool ticked) {
    CheckView& clicked = check(box);
    if (!clicked.enabled) return;
    clicked.ticked = ticked;
    const SettingsCheck rates[] = {SettingsCheck::TimeOfTest, SettingsCheck::InchesPerMinute,
                                   SettingsCheck::RateOfStrain};
    if (ticked && std::find(std::begin(rates), std::end(rates), box) != std::end(rates)) {
        for (SettingsCheck other : rates)
            if (other != box) check(other).ticked = false;
    }
    if (box == SettingsCheck::FullTransfer && formatSelected(HumboldtFormat::ExcelExport))
        s_.settings.HUMFTHSD = ticked;
}

void SettingsDialog::editText(SettingsText box, std::string typed) {
    TextView& t = text(box);
    if (!t.enabled) return;
    t.text = std::move(typed);
    if (box == SettingsText::LoadRingConstant) s_.settings.LRCDS361 = boxNumber(t.text);
}

void SettingsDialog::editGrid(int row, GridColumn column, std::string typed) {
    if (row < 0 || row >= kGridRowCount) return;
    TextView& cell = view_.grid[row].cells[static_cast<std::size_t>(column)];
    if (!cell.enabled) return;
    if (column == GridColumn::Column && !typed.empty()) {
        // The workbook reader takes the column from the letter's code, so only a letter will
        // do, and a small one would name a column far to the right.
        if (typed.size() != 1 || !isLetter(typed[0])) {
            op_.showMessage(kColumnLetterMessage, kColumnLetterTitle, MessageIcon::Information);
            typed.clear();
        } else {
            typed = upperAscii(typed);
        }
    }
    cell.text = std::move(typed);
}

void SettingsDialog::chooseFormat(HumboldtFormat chosen) {
    for (int i = 0; i < kHumboldtFormatCount; ++i)
        view_.formats[i].selected = static_cast<HumboldtFormat>(i) == chosen;
    CheckView& fullTransfer = check(SettingsCheck::FullTransfer);
    switch (chosen) {
        case HumboldtFormat::Original:
            fullTransfer.ticked = false;
            fullTransfer.enabled = false;
            break;
        case HumboldtFormat::ExcelExport:
            fullTransfer.ticked = s_.settings.HUMFTHSD;
            fullTransfer.enabled = true;
            break;
        case HumboldtFormat::ReadWorkbook:
            fullTransfer.ticked = true;
            fullTransfer.enabled = false;
            break;
    }
    setGridEnabled(chosen == HumboldtFormat::ReadWorkbook);
}

void SettingsDialog::chooseHumboldtRate(bool rateOfStrain) {
    view_.humboldtRate[0].selected = rateOfStrain;
    view_.humboldtRate[1].selected = !rateOfStrain;
}

void SettingsDialog::browse() {
    FileDialogRequest request;
    request.title = "Navigate to the folder containing NV.EXE and select it NV.EXE";
    request.folder = text(SettingsText::NorvoProgram).text;
    request.filterDescription = "Norvo folder";
    request.patterns = {kNorvoProgramFile};
    request.mustExist = false;
    const DialogAnswer answer = dialogs_.chooseNorvoProgram(request);
    if (answer.kind == DialogAnswer::Kind::Failed) {
        op_.showMessage("The file dialog could not be shown. Error: " +
                            std::to_string(answer.errorNumber) + " - " + answer.errorDescription,
                        kSettingsDialogTitle, MessageIcon::Exclamation);
        return;
    }
    if (answer.kind != DialogAnswer::Kind::Chosen) return;
    // NV.EXE itself stands for its folder. The path keeps its own spelling: on a file system
    // that tells letter cases apart, a path in capitals would name another folder.
    const std::string& path = answer.path;
    const auto cut = path.find_last_of("/\\");
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    const bool program = upperAscii(name) == kNorvoProgramFile;
    text(SettingsText::NorvoProgram).text =
        program ? path.substr(0, path.size() - name.size()) : path;
}

HelpTopic SettingsDialog::helpTopic() const {
    return view_.frames[static_cast<std::size_t>(view_.sourceIndex)].help;
}

void SettingsDialog::close() {
    if (view_.closed) return;
    Settings& st = s_.settings;
    for (int i = 0; i < kSettingsTextCount; ++i)
        if (kTexts[i].number && kTexts[i].storedOnClose)
            st.*kTexts[i].number = boxNumber(view_.texts[i].text);
    st.NorvoProgPath = text(SettingsText::NorvoProgram).text;
    for (int i = 0; i < kSettingsCheckCount; ++i)
        if (kChecks[i].setting) st.*kChecks[i].setting = view_.checks[i].ticked;
    st.HUMROS = view_.humboldtRate[0].selected;
    st.HUMXLEXP = formatSelected(HumboldtFormat::ExcelExport);
    st.HUMREADXL = formatSelected(HumboldtFormat::ReadWorkbook);
    for (int r = 0; r < kGridRowCount; ++r)
        for (int c = 0; c < kGridColumnCount; ++c)
            (st.*kGridSettings[c])(r + 1) = view_.grid[r].cells[c].text;
    st.HumIncOne = readNumber(st.HumXLColInc(1)) == 1.0;
    view_.closed = true;
}

}  // namespace plovix

// The property frames of the settings dialog, one per source, and the controls inside them. Each
// control takes its caption from the dialog's view and forwards its edits to the model.

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "sources/source_table.h"
#include "ui/settings_window.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

// Object names, in the order of the engine's enums.
constexpr const char* kCheckNames[kSettingsCheckCount] = {
    "chkDDMM",
    "chkSaveName",
    "chkKarolWarnerDS",
    "chkTimeOfTest",
    "chkInchPerMin",
    "chkRateOfStrain",
    "chkChangeSignUCCVert",
    "chkChangeSignDSVert",
    "chkChangeSign",
    "chkUseInternalLoad",
    "chkGEOTAC_DS_Normal_PSF",
    "chkUseFirstVertDispAsZero",
    "chkUseFirstDispAsZero",
    "chkAlwaysDCDT",
    "chkGEOTACInsert0",
    "chkFullTransfer",
};
constexpr const char* kTextNames[kSettingsTextCount] = {
    "txtNorvoProgram", "txtFactor0", "txtFactor1", "txtFactor2",  "txtFactor3",
    "txtFactor4",      "txtFactor5", "txtFactor6", "txtLRCSD361", "txtDRD",
};
constexpr const char* kFormatNames[kHumboldtFormatCount] = {"optNoXL", "optXLExport", "optReadXL"};
// "Rate of strain" is option 1 of its pair, "Time to failure" option 0.
constexpr const char* kRateNames[2] = {"optHumTTF1", "optHumTTF0"};
constexpr const char* kGridNames[kGridColumnCount] = {"txtWorksheet", "txtReadingRow",
                                                      "txtReadingCol", "txtReadingInc"};
// The notes are numbered as the frames, but for Humboldt's (a list) and the last two.
constexpr int kNoteNumbers[kSourceCount] = {0, 1, 2, 3, 4, -1, 6, 5};

// A caption shown as it is: no "&" becomes a keyboard mnemonic.
QString caption(const std::string& text) {
    return toQt(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

int charWidths(const QWidget* w, int n) {
    return w->fontMetrics().horizontalAdvance(QLatin1Char('0')) * n;
}

}  // namespace

QCheckBox* SettingsWindow::check(SettingsCheck which, QWidget* parent) {
    const auto i = static_cast<std::size_t>(which);
    auto* box = new QCheckBox(caption(model_->view().checks[i].caption), parent);
    box->setObjectName(QLatin1String(kCheckNames[i]));
    connect(box, &QCheckBox::clicked, this,
            [this, which](bool ticked) { forward([&] { model_->setCheck(which, ticked); }); });
    checks_[i] = box;
    return box;
}

QLineEdit* SettingsWindow::text(SettingsText which, QWidget* parent) {
    const auto i = static_cast<std::size_t>(which);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(kTextNames[i]));
    if (which != SettingsText::NorvoProgram) edit->setMaximumWidth(charWidths(edit, 14));
    connect(edit, &QLineEdit::textEdited, this, [this, which](const QString& typed) {
        // The folder is a path on this machine; the numbers are text of the code page.
        forward([&] {
            model_->editText(
                which, which == SettingsText::NorvoProgram ? pathFromQt(typed) : toCodePage(typed));
        });
    });
    texts_[i] = edit;
    return edit;
}

QLabel* SettingsWindow::captionOf(SettingsText which, QWidget* parent) {
    const auto i = static_cast<std::size_t>(which);
    auto* label = new QLabel(caption(model_->view().texts[i].caption), parent);
    label->setBuddy(texts_[i]);
    return label;
}

QRadioButton* SettingsWindow::format(HumboldtFormat which, QWidget* parent) {
    const auto i = static_cast<std::size_t>(which);
    auto* option = new QRadioButton(caption(model_->view().formats[i].caption), parent);
    option->setObjectName(QLatin1String(kFormatNames[i]));
    connect(option, &QRadioButton::clicked, this,
            [this, which] { forward([&] { model_->chooseFormat(which); }); });
    formats_[i] = option;
    return option;
}

QRadioButton* SettingsWindow::humboldtRate(int which, QWidget* parent) {
    const auto i = static_cast<std::size_t>(which);
    auto* option = new QRadioButton(caption(model_->view().humboldtRate[i].caption), parent);
    option->setObjectName(QLatin1String(kRateNames[i]));
    connect(option, &QRadioButton::clicked, this,
            [this, which] { forward([&] { model_->chooseHumboldtRate(which == 0); }); });
    humboldtRate_[i] = option;
    return option;
}

QLineEdit* SettingsWindow::gridCell(int row, GridColumn column, QWidget* parent) {
    const auto c = static_cast<std::size_t>(column);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(kGridNames[c]) + QString::number(row));
    edit->setMaximumWidth(charWidths(edit, 8));
    connect(edit, &QLineEdit::textEdited, this, [this, row, column](const QString& typed) {
        forward([&] { model_->editGrid(row, column, toCodePage(typed)); });
    });
    grid_[static_cast<std::size_t>(row)][c] = edit;
    return edit;
}

QGroupBox* SettingsWindow::group(const std::string& text, QWidget* parent) {
    return new QGroupBox(caption(text), parent);
}

QLabel* SettingsWindow::note(QWidget* parent, int source) {
    const std::vector<std::string>& lines = model_->view().frames[source - 1].note;
    QStringList joined;
    for (const std::string& line : lines) joined << toQt(line);
    auto* label = new QLabel(joined.join(QLatin1Char('\n')), parent);
    label->setObjectName(QStringLiteral("lblTestFacts%1").arg(kNoteNumbers[source - 1]));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QGroupBox* SettingsWindow::buildFrame(int source) {
    const PropertyFrameView& view = model_->view().frames[source - 1];
    auto* frame = new QGroupBox(caption(view.caption), frames_);
    frame->setObjectName(QStringLiteral("PropertyFrames%1").arg(source - 1));
    switch (view.layout) {
        case SettingsFrameLayout::NoteAndFactors:
            fillFactors(frame, source);
            break;
        case SettingsFrameLayout::NoteAndOptions:
            fillOptions(frame, source);
            break;
        case SettingsFrameLayout::FormatsAndWorkbookGrid:
            fillFormats(frame, source);
            break;
        case SettingsFrameLayout::NoteOnly: {
            auto* layout = new QVBoxLayout(frame);
            layout->addWidget(note(frame, source));
            layout->addStretch(1);
        }
    }
    return frame;
}

void SettingsWindow::fillFactors(QGroupBox* frame, int source) {
    const SettingsDialogView& view = model_->view();
    const auto factors = [&](std::initializer_list<SettingsText> boxes) {
        QGroupBox* box = group(view.text(*boxes.begin()).group, frame);
        auto* grid = new QGridLayout(box);
        int row = 0;
        for (SettingsText t : boxes) {
            QLineEdit* edit = text(t, box);
            grid->addWidget(captionOf(t, box), row, 0);
            grid->addWidget(edit, row++, 1);
        }
        grid->setRowStretch(row, 1);
        grid->setColumnStretch(2, 1);
        return box;
    };
    using T = SettingsText;
    auto* groups = new QHBoxLayout;
    groups->addWidget(factors({T::AxialDispFactor, T::AxialLoadFactor, T::PorePressureFactor}));
    groups->addWidget(factors(
        {T::ShearDispFactor, T::ShearLoadFactor, T::VerticalDispFactor, T::VerticalLoadFactor}));

    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(note(frame, source));
    layout->addWidget(check(SettingsCheck::FourColumnDirectShear, frame));
    layout->addLayout(groups);
    layout->addStretch(1);
}

void SettingsWindow::fillOptions(QGroupBox* frame, int source) {
    using C = SettingsCheck;
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(note(frame, source));

    QGroupBox* rate = group(model_->view().check(C::TimeOfTest).group, frame);
    auto* rateLayout = new QHBoxLayout(rate);
    for (C c : {C::TimeOfTest, C::InchesPerMinute, C::RateOfStrain})
        rateLayout->addWidget(check(c, rate));
    rateLayout->addStretch(1);
    layout->addWidget(rate);

    for (C c : {C::ChangeSignUccVertical, C::ChangeSignDsVertical, C::ChangeSignTriaxial,
                C::UseInternalLoadCell})
        layout->addWidget(check(c, frame));
    auto* ring = new QHBoxLayout;
    QLineEdit* constant = text(SettingsText::LoadRingConstant, frame);
    ring->addWidget(captionOf(SettingsText::LoadRingConstant, frame));
    ring->addWidget(constant);
    ring->addWidget(
        new QLabel(caption(model_->view().text(SettingsText::LoadRingConstant).unit), frame));
    ring->addStretch(1);
    layout->addLayout(ring);
    for (C c : {C::DsNormalStressInPsf, C::FirstVerticalDispAsZero, C::FirstDispAsZero,
                C::AlwaysUseDcdt, C::InsertZeroReading})
        layout->addWidget(check(c, frame));
    layout->addStretch(1);
}

void SettingsWindow::fillFormats(QGroupBox* frame, int source) {
    const SettingsDialogView& view = model_->view();
    auto* divisor = new QHBoxLayout;
    QLineEdit* divisorBox = text(SettingsText::DeformationDivisor, frame);
    divisor->addWidget(captionOf(SettingsText::DeformationDivisor, frame));
    divisor->addWidget(divisorBox);
    divisor->addStretch(1);

    QGroupBox* formats = group(view.formats[0].group, frame);
    auto* formatLayout = new QVBoxLayout(formats);
    for (int i = 0; i < kHumboldtFormatCount; ++i)
        formatLayout->addWidget(format(static_cast<HumboldtFormat>(i), formats));
    formatLayout->addWidget(check(SettingsCheck::FullTransfer, formats));

    QGroupBox* rates = group(view.humboldtRate[0].group, frame);
    auto* rateLayout = new QHBoxLayout(rates);
    rateLayout->addWidget(humboldtRate(0, rates));
    rateLayout->addWidget(humboldtRate(1, rates));
    rateLayout->addStretch(1);

    QGroupBox* workbook = group(view.grid[0].cells[0].group, frame);
    auto* grid = new QGridLayout(workbook);
    grid->addWidget(new QLabel(caption(view.gridHeading), workbook), 0, 0, Qt::AlignBottom);
    for (int c = 0; c < kGridColumnCount; ++c) {
        auto* heading = new QLabel(caption(view.grid[0].cells[c].caption), workbook);
        heading->setWordWrap(true);
        grid->addWidget(heading, 0, c + 1, Qt::AlignBottom);
    }
    for (int r = 0; r < kGridRowCount; ++r) {
        grid->addWidget(new QLabel(caption(view.grid[r].testType), workbook), r + 1, 0);
        for (int c = 0; c < kGridColumnCount; ++c)
            grid->addWidget(gridCell(r, static_cast<GridColumn>(c), workbook), r + 1, c + 1);
    }
    grid->setRowStretch(kGridRowCount + 1, 1);
    grid->setColumnStretch(kGridColumnCount + 1, 1);

    auto* notes = new QListWidget(frame);
    notes->setObjectName(QStringLiteral("List1"));
    for (const std::string& line : view.frames[source - 1].note) notes->addItem(toQt(line));
    notes->setMinimumHeight(notes->fontMetrics().lineSpacing() * 8);

    auto* left = new QVBoxLayout;
    left->addLayout(divisor);
    left->addWidget(formats);
    left->addWidget(rates);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(workbook, 1);
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(top);
    layout->addWidget(notes, 1);
}

}  // namespace plovix::ui

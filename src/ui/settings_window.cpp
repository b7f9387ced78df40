#include "ui/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/qt_file_dialogs.h"
#include "ui/qt_operator.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

void setTextKeepingCursor(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

}  // namespace

SettingsWindow::SettingsWindow(Session& session, QWidget* mainWindow, HelpRequest help)
    : QDialog(mainWindow), help_(std::move(help)) {
    setObjectName(QStringLiteral("frmSettings"));
    // Modal over the main window only, so that the help window stays usable beside it.
    setWindowModality(Qt::WindowModal);
    operator_ = std::make_unique<QtOperator>(this, nullptr, nullptr);
    dialogs_ = std::make_unique<QtFileDialogs>(this);
    model_ = std::make_unique<SettingsDialog>(session, *operator_, *dialogs_);
    setWindowTitle(toQt(model_->view().title));

    // Built in the order of the keyboard's tab order: the source list first.
    QWidget* sourceList = buildSourceList();
    frames_ = new QStackedWidget(this);
    for (int source = 1; source <= kSourceCount; ++source) frames_->addWidget(buildFrame(source));

    // On a screen too small for the dialog its controls scroll; Close and Help stay in view.
    auto* controls = new QWidget(this);
    sourceList->setParent(controls);
    frames_->setParent(controls);
    auto* inside = new QVBoxLayout(controls);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addWidget(sourceList);
    inside->addWidget(frames_, 1);
    inside->addWidget(buildGeneral(controls));
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(controls);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll_, 1);
    layout->addWidget(buildButtons());

    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &SettingsWindow::askHelp);
    refresh();
}

SettingsWindow::~SettingsWindow() = default;

QWidget* SettingsWindow::buildSourceList() {
    const SettingsDialogView& view = model_->view();
    auto* row = new QWidget(this);
    sources_ = new QComboBox(row);
    sources_->setObjectName(QStringLiteral("cmbDATypes"));
    for (const std::string& name : view.sources) sources_->addItem(toQt(name));
    sources_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(sources_, &QComboBox::activated, this,
            [this](int index) { forward([&] { model_->chooseSource(index); }); });
    sourceLabel_ = new QLabel(toQt(view.sourceLabel), row);
    sourceLabel_->setObjectName(QStringLiteral("Label5"));
    sourceLabel_->setBuddy(sources_);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sourceLabel_);
    layout->addWidget(sources_);
    layout->addStretch(1);
    return row;
}

QWidget* SettingsWindow::buildGeneral(QWidget* parent) {
    const SettingsDialogView& view = model_->view();
    auto* row = new QWidget(parent);
    QGroupBox* date = group(view.dateGroup, row);
    auto* dateLayout = new QVBoxLayout(date);
    dateLayout->addWidget(check(SettingsCheck::DateDDMM, date));
    dateLayout->addStretch(1);

    QGroupBox* dos = group(view.dosGroup, row);
    QLineEdit* path = text(SettingsText::NorvoProgram, dos);
    path->setMinimumWidth(path->fontMetrics().averageCharWidth() * 40);
    auto* browse = new QPushButton(toQt(view.browseCaption), dos);
    browse->setObjectName(QStringLiteral("cmdSelect"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this] { forward([&] { model_->browse(); }); });
    auto* dosLayout = new QGridLayout(dos);
    dosLayout->addWidget(captionOf(SettingsText::NorvoProgram, dos), 0, 0);
    dosLayout->addWidget(path, 0, 1);
    dosLayout->addWidget(browse, 0, 2);
    dosLayout->addWidget(check(SettingsCheck::SuggestLastFileName, dos), 1, 0, 1, 3);
    dosLayout->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(date);
    layout->addWidget(dos, 1);
    return row;
}

QWidget* SettingsWindow::buildButtons() {
    const SettingsDialogView& view = model_->view();
    auto* row = new QWidget(this);
    auto* close = new QPushButton(toQt(view.closeCaption), row);
    close->setObjectName(QStringLiteral("cmdClose"));
    auto* help = new QPushButton(toQt(view.helpCaption), row);
    help->setObjectName(QStringLiteral("cmdHelp"));
    // Enter in a box presses nothing: Browse or Close by accident would surprise.
    for (QPushButton* b : {close, help}) b->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, &SettingsWindow::askHelp);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(close);
    layout->addWidget(help);
    return row;
}

void SettingsWindow::refresh() {
    const SettingsDialogView& view = model_->view();
    sourceLabel_->setVisible(view.sourceListVisible);
    sources_->setVisible(view.sourceListVisible);
    if (sources_->currentIndex() != view.sourceIndex) sources_->setCurrentIndex(view.sourceIndex);
    frames_->setCurrentIndex(view.sourceIndex);

    for (std::size_t i = 0; i < checks_.size(); ++i) {
        checks_[i]->setChecked(view.checks[i].ticked);
        checks_[i]->setEnabled(view.checks[i].enabled);
    }
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        setTextKeepingCursor(texts_[i], toQt(view.texts[i].text));
        texts_[i]->setEnabled(view.texts[i].enabled);
    }
    // An option is drawn by selecting it; its group unselects the others.
    const auto drawOption = [](QRadioButton* button, const OptionView& option) {
        button->setEnabled(option.enabled);
        if (option.selected) button->setChecked(true);
    };
    for (std::size_t i = 0; i < formats_.size(); ++i) drawOption(formats_[i], view.formats[i]);
    for (std::size_t i = 0; i < humboldtRate_.size(); ++i)
        drawOption(humboldtRate_[i], view.humboldtRate[i]);
    for (std::size_t r = 0; r < grid_.size(); ++r) {
        for (std::size_t c = 0; c < grid_[r].size(); ++c) {
            const TextView& cell = view.grid[r].cells[c];
            setTextKeepingCursor(grid_[r][c], toQt(cell.text));
            grid_[r][c]->setEnabled(cell.enabled);
        }
    }
}

void SettingsWindow::askHelp() {
    if (help_) help_(this, model_->helpTopic());
}

void SettingsWindow::done(int result) {
    model_->close();
    QDialog::done(result);
}

void SettingsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QWidget* main = parentWidget();
    const QScreen* screen = main ? main->screen() : this->screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    if (!sized_) {
        // Every control in view, unless the screen is too small for that.
        sized_ = true;
        const int slack = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QSize wanted =
            sizeHint() + scroll_->widget()->sizeHint() - scroll_->sizeHint() + QSize(slack, slack);
        resize(wanted.boundedTo(area.size() * 9 / 10));
    }
    if (main == nullptr) return;
    // Level with the main window's top edge, across its middle, and kept on the screen.
    const QRect over = main->frameGeometry();
    QRect placed = frameGeometry();
    placed.moveTo(over.left() + (over.width() - placed.width()) / 2, over.top());
    placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width())));
    placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height())));
    move(placed.topLeft());
}

}  // namespace plovix::ui

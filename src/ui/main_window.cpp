#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <exception>

#include "ui/about_box.h"
#include "ui/cycle_panel.h"
#include "ui/display_window.h"
#include "ui/import_panel.h"
#include "ui/qt_file_dialogs.h"
#include "ui/qt_operator.h"
#include "ui/results_panel.h"
#include "ui/settings_window.h"
#include "ui/text_bridge.h"

namespace plovix::ui {

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    setObjectName(QStringLiteral("frmDataAcquisition"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/plovix.png")));

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblStatus"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("prgPass"));
    progress_->setMaximumWidth(progress_->fontMetrics().averageCharWidth() * 30);
    progress_->setVisible(false);
    statusBar()->addWidget(status_, 1);
    statusBar()->addPermanentWidget(progress_);

    operator_ = std::make_unique<QtOperator>(this, status_, progress_);
    dialogs_ = std::make_unique<QtFileDialogs>(this);
    workflow_ = std::make_unique<ImportWorkflow>(session_, *operator_, *dialogs_);
    workflow_->setBusyHook([this](bool busy) { setBusy(busy); });

    panels_ = new QStackedWidget(this);
    importPanel_ = new ImportPanel(panels_);
    cyclePanel_ = new CyclePanel(panels_);
    panels_->addWidget(importPanel_);
    panels_->addWidget(cyclePanel_);
    // On a screen too small for the panels they scroll instead of being squeezed.
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(panels_);
    setCentralWidget(scroll_);

    buildMenus();
    connectPanels();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QKeySequence& keys, auto slot) {
        QAction* action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (!keys.isEmpty()) action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    item(file, "mnuNewTest", QStringLiteral("&New Test"), QKeySequence::New, [this] {
        run([this] { workflow_->newTest(); });
        importPanel_->results()->column(1).button->setFocus();
    });
    file->addSeparator();
    item(file, "mnuExport", QStringLiteral("&Save and Exit"), QKeySequence::Save,
         [this] { run([this] { workflow_->saveAndExit(); }); });
    file->addSeparator();
    item(file, "mnuExit", QStringLiteral("E&xit Without Saving"), QKeySequence::Quit,
         [this] { close(); });

    selectPanel_ =
        item(nullptr, "mnuSelectPanel", QString::fromLatin1(kCycleSelectionCaption),
             QKeySequence(Qt::Key_F5), [this] { run([this] { workflow_->toggleCyclePanel(); }); });
    item(nullptr, "mnuDispData", QStringLiteral("&Display Data"), {}, [this] {
        DisplayWindow display(*workflow_, printerName_, this);
        display.setHelp([this](QWidget* asking, HelpTopic topic) { showHelp(asking, topic); });
        display.exec();
    });
    item(nullptr, "mnuSettings", QStringLiteral("&Settings"), {}, [this] { openSettings(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelpMenu"));
    // The help of what the window shows: the import panel or the cycle panel.
    item(help, "mnuHelp", QStringLiteral("&Contents"), QKeySequence::HelpContents, [this] {
        showHelp(this, workflow_->view().panel == Panel::Import ? HelpTopic::MainWindow
                                                                : HelpTopic::CycleSelection);
    });
    item(help, "mnuAbout", QStringLiteral("&About"), {}, [this] { showAbout(); });
}

void MainWindow::connectPanels() {
    ImportPanel* p = importPanel_;
    connect(p, &ImportPanel::testTypeChosen, this,
            [this](int index) { run([&] { workflow_->chooseTestType(index); }); });
    connect(p, &ImportPanel::criteriaEdited, this, [this](int box, const QString& text) {
        run([&] { workflow_->editCriteria(box, toCodePage(text)); });
    });
    connect(p, &ImportPanel::criteriaEntered, this, [this](int box) {
        CriteriaFocus focus = CriteriaFocus::Unchanged;
        run([&] { focus = workflow_->enterInCriteria(box); });
        if (focus == CriteriaFocus::DisplacementBox) importPanel_->criteriaBox(1)->setFocus();
        if (focus == CriteriaFocus::LoadBox) importPanel_->criteriaBox(2)->setFocus();
    });
    connect(p, &ImportPanel::applyRequested, this, [this] { run([this] { workflow_->apply(); }); });
    connect(p, &ImportPanel::versionChosen, this,
            [this](bool windows) { run([&] { workflow_->chooseWindowsVersion(windows); }); });
    connect(p, &ImportPanel::norvoFileRequested, this,
            [this] { run([this] { workflow_->chooseNorvoFile(); }); });
    connect(p, &ImportPanel::descriptionEdited, this, [this](const QString& text) {
        run([&] { workflow_->editDescription(toCodePage(text)); });
    });

    ResultsPanel* r = p->results();
    connect(r, &ResultsPanel::fileRequested, this, [this](int n) {
        ImportOutcome outcome = ImportOutcome::Kept;
        run([&] { outcome = workflow_->getDAFile(n); });
        importOutcome(outcome);
    });
    connect(r, &ResultsPanel::numberClicked, this, [this](int n) {
        ImportOutcome outcome = ImportOutcome::Kept;
        run([&] { outcome = workflow_->clickSpecimenNumber(n); });
        importOutcome(outcome);
    });
    connect(r, &ResultsPanel::fileDropped, this, [this](int n, const QString& path) {
        activateWindow();  // its messages belong in front
        ImportOutcome outcome = ImportOutcome::Kept;
        run([&] { outcome = workflow_->dropDAFile(n, pathFromQt(path)); });
        importOutcome(outcome);
    });
    connect(r, &ResultsPanel::skipRepeatsToggled, this, [this](int n, bool disp, bool skip) {
        run([&] { workflow_->setSkipRepeats(n, disp, skip); });
    });
    connect(cyclePanel_, &CyclePanel::cycleTicked, this,
            [this](int row, bool on) { run([&] { workflow_->tickCycle(row, on); }); });
}

void MainWindow::run(const std::function<void()>& action) {
    if (inAction_) return;  // one action at a time
    inAction_ = true;
    try {
        action();
    } catch (const std::exception& error) {
        // The engine reports its failures itself; anything else must still not end the
        // program with the operator's work in it.
        setBusy(false);
        operator_->showMessage(std::string("The operation ended unexpectedly: ") + error.what(),
                               kProgramName, MessageIcon::Critical);
    }
    inAction_ = false;
    refresh();
    if (workflow_->view().closed || closePending_) close();
}

void MainWindow::refresh() {
    const WindowView& view = workflow_->view();
    setWindowTitle(toQt(view.title));
    importPanel_->refresh(*workflow_);
    cyclePanel_->refresh(view);
    panels_->setCurrentWidget(view.panel == Panel::Import ? static_cast<QWidget*>(importPanel_)
                                                          : cyclePanel_);
    selectPanel_->setText(toQt(view.selectPanelCaption));
    status_->setText(toQt(view.status));
    QtOperator::paintStatus(status_, view.statusColour);
}

void MainWindow::setBusy(bool busy) {
    // The menus and panels wait while a pass or the export runs; message boxes stay usable.
    // The control that started the pass keeps the keyboard focus (the window's own record of
    // it: right after a file dialog the window is not yet active again).
    if (busy) focusBeforeBusy_ = focusWidget();
    centralWidget()->setEnabled(!busy);
    menuBar()->setEnabled(!busy);
    if (!busy && focusBeforeBusy_ && focusBeforeBusy_->isVisible()) focusBeforeBusy_->setFocus();
    operator_->setBusy(busy);
}

void MainWindow::importOutcome(ImportOutcome outcome) {
    // The header reader asked for the settings (a file of another layout than expected).
    if (outcome == ImportOutcome::OpenSettings) openSettings();
}

void MainWindow::openSettings() {
    bool allowed = false;
    run([&] { allowed = workflow_->settingsAllowed(); });
    if (!allowed) return;
    SettingsWindow dialog(session_, this,
                          [this](QWidget* asking, HelpTopic topic) { showHelp(asking, topic); });
    dialog.exec();
    // A new source retitles the window and sets its test types up again.
    run([&] {
        workflow_->settingsClosed(dialog.model().openedWithSource());
        workflow_->activate();
    });
}

void MainWindow::showAbout() {
    AboutBox about(this, [this](QWidget* asking, HelpTopic topic) { showHelp(asking, topic); });
    about.exec();
}

void MainWindow::showHelp(QWidget* asking, HelpTopic topic) {
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(helpFolder_.isEmpty() ? HelpWindow::defaultFolder()
                                                                   : helpFolder_);
    }
    help_->showTopic(topic, asking);
}

void MainWindow::setHelpFolder(const QString& folder) {
    helpFolder_ = folder;
    help_.reset();
}

void MainWindow::start(const std::string& commandLine) {
    run([&] {
        workflow_->load(commandLine);
        workflow_->activate();
    });
    // Room for the whole import panel, within the screen; the slack keeps the scroll bars away
    // when the coloured status line and the skip boxes come.
    ensurePolished();
    const int slack = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize wanted =
        panels_->sizeHint() +
        QSize(slack, menuBar()->sizeHint().height() + statusBar()->sizeHint().height() + slack);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        resize(wanted.boundedTo(area.size() * 9 / 10));
        move(area.center() - rect().center());
    } else {
        resize(wanted);
    }
    show();
    importPanel_->results()->column(1).button->setFocus();
}

void MainWindow::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (inAction_) {
        // Closed while a pass runs: the window closes when the pass has ended.
        closePending_ = true;
        event->ignore();
        return;
    }
    workflow_->unload();  // saves the settings; a failure is reported
    event->accept();
    if (help_) help_->close();  // it would keep the program running
}

}  // namespace plovix::ui

#pragma once
// frmDataAcquisition: the program's main window, a view over the import workflow. Each menu
// item, button and box forwards to one action of the workflow; afterwards every control is
// drawn again from the workflow's view. No rule of the import lives here.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "ui/help_window.h"
#include "workflow/import_workflow.h"

class QAction;
class QLabel;
class QProgressBar;
class QScrollArea;
class QStackedWidget;

namespace plovix::ui {

class CyclePanel;
class ImportPanel;
class QtFileDialogs;
class QtOperator;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads the window with the program's command line ("WINFILE=..." or anything else),
    // activates it and shows it centred on the screen.
    void start(const std::string& commandLine);

    ImportWorkflow& workflow() { return *workflow_; }
    ImportPanel* importPanel() const { return importPanel_; }
    CyclePanel* cyclePanel() const { return cyclePanel_; }

    // Help for `topic`, asked by `asking` (the main window, a dialog over it): the help window
    // opens at the topic, or the "Help" message says that its page is missing.
    void showHelp(QWidget* asking, HelpTopic topic);
    // The folder the help pages are taken from (found beside the program unless set).
    void setHelpFolder(const QString& folder);
    HelpWindow* helpWindow() const { return help_.get(); }

  public slots:
    // A later start of the program asked for this window.
    void bringToFront();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void connectPanels();
    // Runs one action of the workflow, then draws the window again; closes the window when the
    // action unloaded it.
    void run(const std::function<void()>& action);
    void refresh();
    void setBusy(bool busy);
    void importOutcome(ImportOutcome outcome);
    void openSettings();
    void showAbout();

    Session& session_;
    QLabel* status_;
    QProgressBar* progress_;
    std::unique_ptr<QtOperator> operator_;
    std::unique_ptr<QtFileDialogs> dialogs_;
    std::unique_ptr<ImportWorkflow> workflow_;
    QScrollArea* scroll_;
    QStackedWidget* panels_;
    ImportPanel* importPanel_;
    CyclePanel* cyclePanel_;
    QAction* selectPanel_ = nullptr;
    std::unique_ptr<HelpWindow> help_;  // a window of its own, made on the first request
    QString helpFolder_;
    QString printerName_;  // the printer chosen in the data display, for the rest of the run
    QPointer<QWidget> focusBeforeBusy_;
    bool inAction_ = false;
    bool closePending_ = false;
};

}  // namespace plovix::ui

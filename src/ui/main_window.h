#pragma once
// frmDataAcquisition: the program's main window, a view over the import workflow. Each menu
// item, button and box forwards to one action of the workflow; afterwards every control is
// drawn again from the workflow's view. No rule of the import lives here.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

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

    // The settings dialog, shown modally by "&Settings" while settings may still change.
    void setSettingsDialog(std::function<void(QWidget* parent)> dialog) {
        settingsDialog_ = std::move(dialog);
    }

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
    std::function<void(QWidget*)> settingsDialog_;
    QString printerName_;  // the printer chosen in the data display, for the rest of the run
    QPointer<QWidget> focusBeforeBusy_;
    bool inAction_ = false;
    bool closePending_ = false;
};

}  // namespace plovix::ui

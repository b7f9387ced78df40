#pragma once
// frmConvert: the data display window. The current specimen's D/A file as the program reads
// it, one list entry per line of the display, the entry clicked shown whole under the list;
// the specimen's load-displacement plot over its filter report; either printed on the
// program's current printer, previewed, or saved as a PDF file (the plot also as PNG).

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/help_topics.h"
#include "workflow/import_workflow.h"

class QComboBox;
class QListView;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTimer;

namespace plovix::ui {

class DisplayLinesModel;
class MessageBoxes;

class DisplayWindow : public QDialog {
    Q_OBJECT
  public:
    // The display of the workflow's current specimen. `printerName` is the program's current
    // printer (empty: the system's default); the printer chosen in the window's list is kept
    // there for the rest of the run.
    DisplayWindow(const ImportWorkflow& workflow, QString& printerName, QWidget* parent);
    ~DisplayWindow() override;

    // The names of the installed printers, in the system's order (tests give their own).
    // Opens a help topic in the program's help window.
    void setHelp(std::function<void(QWidget* asking, HelpTopic topic)> help) {
        openHelp_ = std::move(help);
    }
    void setInstalledPrinters(std::function<QStringList()> printers) {
        installedPrinters_ = std::move(printers);
    }

    // The list's lines, as the engine gave them.
    const std::vector<std::string>& lines() const;

    // The data display on `device`: the file read again, line by line, as for the list.
    bool printDisplay(QPagedPaintDevice& device);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* makeDataPage();
    QWidget* makePlotPage();
    // Each re-layout fills the list again from the file (after the resizing has stopped).
    void rebuild();
    void showCurrentLine();
    bool plotShown() const;
    // True, with "No data to display", when the specimen has no file.
    bool noData();
    void tabChanged();

    QPrinter* currentPrinter();
    bool paintOn(QPrinter& printer);
    void print();
    void preview();
    void savePdf();
    void savePng();
    // A file name asked for in a save dialog, with `suffix`; empty on Cancel.
    QString askSaveFile(const QString& suffix, const QString& filter);
    void togglePrinters();
    void choosePrinter(const QString& name);
    void showHelp();

    const ImportWorkflow& workflow_;
    const Session& session_;
    const int specimen_;
    QString& printerName_;
    std::function<QStringList()> installedPrinters_;
    std::function<void(QWidget*, HelpTopic)> openHelp_;
    std::unique_ptr<MessageBoxes> messages_;
    std::unique_ptr<QPrinter> printer_;

    QTabWidget* tabs_;
    QListView* list_;
    DisplayLinesModel* model_;
    QPlainTextEdit* currentLine_;
    QPushButton *print_, *preview_, *savePdf_, *savePng_, *printSet_, *help_, *close_;
    QComboBox* printers_;
    QTimer* rebuildTimer_;
    bool toldNoData_ = false;
};

}  // namespace plovix::ui

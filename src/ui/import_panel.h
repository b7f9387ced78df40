#pragma once
// The import view (pnlImport): the test type, the two filter criteria with the Apply control,
// the Norvo file and version, and the results of each specimen.

#include <QWidget>

#include "workflow/import_workflow.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace plovix::ui {

class ResultsPanel;

class ImportPanel : public QWidget {
    Q_OBJECT
  public:
    explicit ImportPanel(QWidget* parent = nullptr);

    void refresh(const ImportWorkflow& workflow);
    ResultsPanel* results() const { return results_; }
    QLineEdit* criteriaBox(int box) const { return box == 1 ? facTol1_ : facTol2_; }

  signals:
    void testTypeChosen(int index);
    void criteriaEdited(int box, const QString& text);
    void criteriaEntered(int box);
    void applyRequested();
    void versionChosen(bool windows);
    void norvoFileRequested();
    void descriptionEdited(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildCriteria();
    QWidget* buildExport();

    QComboBox* testType_;
    QLineEdit* facTol1_;
    QLineEdit* facTol2_;
    QFrame* applyPanel_;
    QPushButton* apply_;
    QRadioButton* windowsVersion_;
    QRadioButton* dosVersion_;
    QPushButton* norvoName_;
    QLabel* norvoFileName_;
    QLabel* norvoPath_;
    QLabel* descriptionLabel_;
    QLineEdit* description_;
    ResultsPanel* results_;
};

}  // namespace plovix::ui

#pragma once
// "RESULTS OF FILTERING READINGS": a column per specimen (1 to 4) beside a column of headings.
// A specimen's column shows once its file is being chosen; its "Select D/A File" button once
// the specimen before it is in. A D/A file dropped on a column is that specimen's choice.

#include <QGroupBox>
#include <array>

#include "workflow/import_workflow.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace plovix::ui {

// The controls of one specimen's column.
struct SpecimenColumnWidgets {
    QLabel* number = nullptr;        // lblSpecNo
    QPushButton* button = nullptr;   // cmdGetDAFile
    QLabel* fileName = nullptr;      // lblDAName
    QLabel* totCycles = nullptr;     // lblTotCycles
    QLabel* readInFile = nullptr;    // lblReadInFile
    QLabel* cycleRead = nullptr;     // lblCycleRead
    QLabel* idr = nullptr;           // lblIDR
    QCheckBox* sdr = nullptr;        // chkSDR
    QLabel* ilr = nullptr;           // lblILR
    QCheckBox* slr = nullptr;        // chkSLR
    QLabel* vertPress = nullptr;     // lblVertPress
    QLabel* maxLoad = nullptr;       // lblMaxLoad
    QLabel* numNorvoRead = nullptr;  // lblNumNorvoRead
    QLabel* metDisp = nullptr;       // lblMetDisp
    QLabel* metLoad = nullptr;       // lblMetLoad
    QLabel* ttf = nullptr;           // lblTTF
};

class ResultsPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit ResultsPanel(QWidget* parent = nullptr);

    // Draws every column from the workflow's view and the session's results.
    void refresh(const ImportWorkflow& workflow);
    const SpecimenColumnWidgets& column(int specimen) const {
        return columns_[static_cast<std::size_t>(specimen)];
    }

  signals:
    void fileRequested(int specimen);  // its button or its file name clicked
    void numberClicked(int specimen);
    void skipRepeatsToggled(int specimen, bool displacement, bool skip);
    void fileDropped(int specimen, const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QLabel* heading(int row, const QString& name, const QString& text);
    QLabel* cell(int row, int specimen, const char* name);
    // The specimen whose column lies under `pos` (0 for none).
    int specimenAt(const QPoint& pos) const;
    void markDropTarget(int specimen);
    void paintNumber(int specimen);

    QGridLayout* grid_;
    std::array<SpecimenColumnWidgets, kMaxSpecimen + 1> columns_{};
    QLabel* cycleReadHeading_;  // lblCycleReadT
    QLabel* vertPressHeading_;  // lblVertPressT
    QLabel* maxLoadHeading_;    // lblMaxLoadT
    QLabel* ttfHeading_;        // lblTTFT
    std::array<SpecimenMark, kMaxSpecimen + 1> marks_{};
    int dropTarget_ = 0;
};

}  // namespace plovix::ui

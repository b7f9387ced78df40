#pragma once
// The pre-processing summary (pnlPreProcess): the cycles of run 1 of the current specimen's
// file, each with its readings, peak horizontal load, displacement and direction, and the "USE"
// ticks that choose the cycles the reading pass takes.

#include <QWidget>
#include <array>

#include "workflow/import_workflow.h"

class QCheckBox;
class QFrame;
class QLabel;

namespace plovix::ui {

class CyclePanel : public QWidget {
    Q_OBJECT
  public:
    explicit CyclePanel(QWidget* parent = nullptr);

    void refresh(const WindowView& view);
    QCheckBox* useBox(int row) const { return rows_[static_cast<std::size_t>(row)].use; }

  signals:
    void cycleTicked(int row, bool ticked);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Row {
        QLabel* cycle = nullptr;      // lblCycleNum
        QLabel* readings = nullptr;   // lblNumRead
        QLabel* maxHor = nullptr;     // lblMaxHor
        QLabel* horDisp = nullptr;    // lblHorDisp
        QLabel* direction = nullptr;  // lblDirection
        QCheckBox* use = nullptr;     // chkUse
        QFrame* focusBox = nullptr;   // boxUse
    };

    QLabel* specimen_;      // lblSN
    QLabel* cycles_;        // lblTotNumCycles
    QLabel* readings_;      // lblTotNumRead
    QLabel* usedCycles_;    // lblTotNumCyclesUsed
    QLabel* usedReadings_;  // lblTotNumReadUsed
    std::array<Row, kMaxCycle + 1> rows_{};
};

}  // namespace plovix::ui

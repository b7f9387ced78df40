#pragma once
// The window's operator: message boxes over the main window, the coloured status line, and the
// progress of a long pass in the status bar. Pending events run at most every 50 ms while a
// pass runs (never once per reading), with user input held back until the pass has ended.

#include <QElapsedTimer>

#include "app/operator.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace plovix::ui {

class QtOperator final : public Operator {
  public:
    // `status` and `progress` may be null for a window that only shows messages.
    QtOperator(QWidget* window, QLabel* status, QProgressBar* progress);

    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override;
    void showStatus(const std::string& text, int colourCode) override;
    void reportProgress(std::int64_t done, std::int64_t total) override;
    void processEvents() override;

    // A pass starts or ends: the progress bar is shown or hidden and the window is repainted at
    // once.
    void setBusy(bool busy);

    // The colours of status code `colourCode` on `label` (31 blue, 47 green, 79 red, white text;
    // anything else the window's own colours).
    static void paintStatus(QLabel* label, int colourCode);

  private:
    void runPendingEvents();

    QWidget* window_;
    QLabel* status_;
    QProgressBar* progress_;
    QElapsedTimer sinceEvents_;
};

}  // namespace plovix::ui

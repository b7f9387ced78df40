#pragma once
// "About Plovix": the program's name and version, centred over the main window.

#include <QDialog>

#include "ui/help_window.h"

namespace plovix::ui {

class AboutBox : public QDialog {
  public:
    // `help` answers F1.
    explicit AboutBox(QWidget* mainWindow, HelpRequest help = {});

  protected:
    void showEvent(QShowEvent* event) override;
};

// "0.1.0": the version numbers without the blank that the message prefix carries.
QString productVersion();

}  // namespace plovix::ui

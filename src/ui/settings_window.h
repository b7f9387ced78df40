#pragma once
// frmSettings, "Data Import Settings": the dialog over the engine's SettingsDialog. Every control
// is drawn from the dialog's view, and every click and edit is forwarded to it before the whole
// dialog is drawn again; which boxes grey out, what a column box accepts and what closing stores
// are the engine's rules, not this file's. The property frames are built in settings_frames.cpp.

#include <QDialog>
#include <array>
#include <memory>

#include "ui/help_window.h"
#include "workflow/settings_dialog.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QStackedWidget;

namespace plovix::ui {

class QtFileDialogs;
class QtOperator;

class SettingsWindow : public QDialog {
    Q_OBJECT
  public:
    // Loads the controls from the session's settings. `help` answers the "Help" button and F1.
    SettingsWindow(Session& session, QWidget* mainWindow, HelpRequest help);
    ~SettingsWindow() override;

    const SettingsDialog& model() const { return *model_; }

    // Every way of closing ends here: the controls are stored into the session.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildSourceList();
    QWidget* buildGeneral(QWidget* parent);
    QWidget* buildButtons();
    // settings_frames.cpp: property frame of source `source` (1..8).
    QGroupBox* buildFrame(int source);
    // The frames whose layout is more than their note.
    void fillFactors(QGroupBox* frame, int source);
    void fillOptions(QGroupBox* frame, int source);
    void fillFormats(QGroupBox* frame, int source);
    QLabel* note(QWidget* parent, int source);

    // A control drawn from its view and forwarding its edits to the model.
    QCheckBox* check(SettingsCheck which, QWidget* parent);
    QLineEdit* text(SettingsText which, QWidget* parent);
    QLabel* captionOf(SettingsText which, QWidget* parent);
    QRadioButton* format(HumboldtFormat which, QWidget* parent);
    QRadioButton* humboldtRate(int which, QWidget* parent);
    QLineEdit* gridCell(int row, GridColumn column, QWidget* parent);
    QGroupBox* group(const std::string& caption, QWidget* parent);

    // Runs one edit of the model, then draws the dialog again.
    template <class Edit>
    void forward(Edit edit) {
        edit();
        refresh();
    }
    void refresh();
    void askHelp();

    std::unique_ptr<QtOperator> operator_;
    std::unique_ptr<QtFileDialogs> dialogs_;
    std::unique_ptr<SettingsDialog> model_;
    HelpRequest help_;

    QLabel* sourceLabel_ = nullptr;
    QComboBox* sources_ = nullptr;
    QStackedWidget* frames_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    bool sized_ = false;
    std::array<QCheckBox*, kSettingsCheckCount> checks_{};
    std::array<QLineEdit*, kSettingsTextCount> texts_{};
    std::array<QRadioButton*, kHumboldtFormatCount> formats_{};
    std::array<QRadioButton*, 2> humboldtRate_{};  // "Rate of strain", "Time to failure"
    std::array<std::array<QLineEdit*, kGridColumnCount>, kGridRowCount> grid_{};
};

}  // namespace plovix::ui

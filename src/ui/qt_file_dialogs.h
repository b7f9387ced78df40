#pragma once
// The open-file dialogs of the window: Qt's file dialog with the title, initial folder, file
// name and filter the workflow asks for. Patterns match file names in any letter case, since
// D/A files come from Windows machines with names in either.

#include <QString>
#include <QStringList>

#include "workflow/import_workflow.h"

class QWidget;

namespace plovix::ui {

class QtFileDialogs final : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}

    DialogAnswer openDAFile(const FileDialogRequest& request) override;
    DialogAnswer chooseNorvoFile(const FileDialogRequest& request) override;
    DialogAnswer chooseNorvoProgram(const FileDialogRequest& request) override;

  private:
    DialogAnswer run(const FileDialogRequest& request);

    QWidget* parent_;
};

// "*.LST" as "*.[lL][sS][tT]".
QString anyCasePattern(const std::string& pattern);
// The dialog's name filter: "GeoTest files (*.[gG][eE][oO] *.[lL][sS][tT])".
QString nameFilterOf(const FileDialogRequest& request);

}  // namespace plovix::ui

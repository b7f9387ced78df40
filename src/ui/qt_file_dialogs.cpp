#include "ui/qt_file_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

#include "ui/text_bridge.h"

namespace plovix::ui {

QString anyCasePattern(const std::string& pattern) {
    QString out;
    for (const QChar c : toQt(pattern)) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

QString nameFilterOf(const FileDialogRequest& request) {
    QStringList patterns;
    for (const std::string& p : request.patterns) patterns << anyCasePattern(p);
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    return toQt(request.filterDescription).trimmed() + QStringLiteral(" (") +
           patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

DialogAnswer QtFileDialogs::openDAFile(const FileDialogRequest& request) {
    return run(request);
}

DialogAnswer QtFileDialogs::chooseNorvoFile(const FileDialogRequest& request) {
    return run(request);
}

DialogAnswer QtFileDialogs::chooseNorvoProgram(const FileDialogRequest& request) {
    return run(request);
}

DialogAnswer QtFileDialogs::run(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, toQt(request.title));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The patterns spell out both letter cases; the description alone reads better.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilter(nameFilterOf(request));
    // A folder remembered from a Windows install ("C:\") is no folder here.
    const QString folder = QFile::decodeName(QByteArray::fromStdString(request.folder));
    dialog.setDirectory(!folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath());
    if (!request.fileName.empty())
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(request.fileName)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return DialogAnswer::cancelled();
    return DialogAnswer::chosen(pathFromQt(QDir::cleanPath(dialog.selectedFiles().first())));
}

}  // namespace plovix::ui

#include "ui/qt_operator.h"

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>

#include "ui/text_bridge.h"

namespace plovix::ui {

namespace {

constexpr qint64 kEventInterval = 50;  // ms between two runs of pending events
constexpr int kProgressSteps = 1000;

QMessageBox::Icon iconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Messages break their lines with CR (or CR LF), as the old message boxes did.
QString messageText(const std::string& text) {
    QString shown = toQt(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int ask(QWidget* window, const std::string& text, const std::string& title, MessageIcon icon,
        QMessageBox::StandardButtons buttons) {
    QMessageBox box(iconOf(icon), toQt(title), messageText(text), buttons, window);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

}  // namespace

QtOperator::QtOperator(QWidget* window, QLabel* status, QProgressBar* progress)
    : window_(window), status_(status), progress_(progress) {}

void QtOperator::showMessage(const std::string& text, const std::string& title, MessageIcon icon) {
    ask(window_, text, title, icon, QMessageBox::Ok);
}

bool QtOperator::askOkCancel(const std::string& text, const std::string& title, MessageIcon icon) {
    return ask(window_, text, title, icon, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void QtOperator::paintStatus(QLabel* label, int colourCode) {
    const char* background = colourCode == kStatusReading     ? "#000080"
                             : colourCode == kStatusFiltering ? "#008000"
                             : colourCode == kStatusOverLimit ? "#800000"
                                                              : nullptr;
    label->setStyleSheet(background ? QStringLiteral("QLabel { color: white; background: %1; "
                                                     "padding: 1px 6px; }")
                                          .arg(QLatin1String(background))
                                    : QString());
}

void QtOperator::showStatus(const std::string& text, int colourCode) {
    if (status_ == nullptr) return;
    status_->setText(toQt(text));
    paintStatus(status_, colourCode);
}

void QtOperator::reportProgress(std::int64_t done, std::int64_t total) {
    if (progress_ == nullptr) return;
    if (total <= 0) {
        progress_->setRange(0, 0);  // how far is not known: a moving bar
        return;
    }
    progress_->setRange(0, kProgressSteps);
    const std::int64_t step = std::clamp<std::int64_t>(done, 0, total) * kProgressSteps / total;
    progress_->setValue(static_cast<int>(step));
}

void QtOperator::processEvents() {
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventInterval) return;
    runPendingEvents();
}

void QtOperator::runPendingEvents() {
    // Input waits: the window is disabled, and a click must not start a second action inside
    // this one.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceEvents_.start();
}

void QtOperator::setBusy(bool busy) {
    if (progress_ == nullptr) return;
    progress_->setRange(0, kProgressSteps);
    progress_->setValue(0);
    progress_->setVisible(busy);
    if (busy) runPendingEvents();
}

}  // namespace plovix::ui

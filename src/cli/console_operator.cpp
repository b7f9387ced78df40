#include "cli/console_operator.h"

namespace plovix::cli {

namespace {
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}
}  // namespace

void ConsoleOperator::clearProgress() {
    if (!progressShown_) return;
    err_ << "\r\033[K";
    progressShown_ = false;
}

void ConsoleOperator::showMessage(const std::string& text, const std::string& title, MessageIcon) {
    clearProgress();
    const std::string message = oneLine(title) + ": " + oneLine(text);
    messages_.push_back(message);
    err_ << message << '\n';
}

bool ConsoleOperator::askOkCancel(const std::string& text, const std::string& title, MessageIcon) {
    clearProgress();
    const std::string message =
        oneLine(title) + ": " + oneLine(text) + (answerOk_ ? " [OK]" : " [Cancel]");
    messages_.push_back(message);
    err_ << message << '\n';
    return answerOk_;
}

void ConsoleOperator::showStatus(const std::string&, int) {}

void ConsoleOperator::reportProgress(std::int64_t done, std::int64_t total) {
    if (!showProgress_) return;
    err_ << "\r\033[K" << done;
    if (total > 0) err_ << " of " << total;
    err_ << " readings" << std::flush;
    progressShown_ = true;
}

}  // namespace plovix::cli

#include "support/recording_operator.h"

namespace plovix::testing {

void RecordingOperator::showMessage(const std::string& text, const std::string& title,
                                    plovix::MessageIcon icon) {
    messages.push_back({text, title, icon, false});
}

bool RecordingOperator::askOkCancel(const std::string& text, const std::string& title,
                                    plovix::MessageIcon icon) {
    messages.push_back({text, title, icon, true});
    if (answers_.empty()) return true;
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void RecordingOperator::showStatus(const std::string& text, int colourCode) {
    statuses.emplace_back(text, colourCode);
}

void RecordingOperator::reportProgress(std::int64_t done, std::int64_t total) {
    progress.emplace_back(done, total);
}

std::vector<std::string> RecordingOperator::texts() const {
    std::vector<std::string> all;
    for (const RecordedMessage& m : messages) all.push_back(m.text);
    return all;
}

void RecordingOperator::scriptAnswers(std::initializer_list<bool> answers) {
    answers_.insert(answers_.end(), answers);
}

}  // namespace plovix::testing

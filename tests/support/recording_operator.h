#pragma once
// The operator of the tests: records every message with its title, answers OK/Cancel from a
// script (OK when the script runs out), and keeps the status lines and progress reports.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "app/operator.h"

namespace plovix::testing {

struct RecordedMessage {
    std::string text;
    std::string title;
    plovix::MessageIcon icon;
    bool question;  // asked with OK/Cancel
};

class RecordingOperator : public plovix::Operator {
  public:
    void showMessage(const std::string& text, const std::string& title,
                     plovix::MessageIcon icon) override;
    bool askOkCancel(const std::string& text, const std::string& title,
                     plovix::MessageIcon icon) override;
    void showStatus(const std::string& text, int colourCode) override;
    void reportProgress(std::int64_t done, std::int64_t total) override;

    // Answers of the next questions, in order: true OK, false Cancel.
    void scriptAnswers(std::initializer_list<bool> answers);
    // The texts of the messages so far.
    std::vector<std::string> texts() const;

    std::vector<RecordedMessage> messages;
    std::vector<std::pair<std::string, int>> statuses;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;

  private:
    std::deque<bool> answers_;
};

}  // namespace plovix::testing

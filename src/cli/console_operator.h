#pragma once
// The converter's operator: every message goes to standard error and into the report,
// questions are answered from the command line (--yes: OK, otherwise Cancel), and progress is
// drawn on standard error only when it is a terminal.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "app/operator.h"

namespace plovix::cli {

class ConsoleOperator : public Operator {
  public:
    ConsoleOperator(std::ostream& err, bool answerOk, bool showProgress)
        : err_(err), answerOk_(answerOk), showProgress_(showProgress) {}

    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    bool askOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override;
    void showStatus(const std::string& text, int colourCode) override;
    void reportProgress(std::int64_t done, std::int64_t total) override;

    // Every message shown, in order, as "title: text".
    const std::vector<std::string>& messages() const { return messages_; }

  private:
    void clearProgress();

    std::ostream& err_;
    bool answerOk_;
    bool showProgress_;
    bool progressShown_ = false;
    std::vector<std::string> messages_;
};

}  // namespace plovix::cli

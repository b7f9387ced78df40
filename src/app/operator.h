#pragma once
// Everything the engine tells or asks a person goes through this interface. The window answers
// with message boxes and its status label, the converter with standard error and its command
// line, the tests with a scripted fake that records every message.

#include <cstdint>
#include <string>

namespace plovix {

// Title of a message box that has no title of its own.
inline constexpr const char* kProgramName = "Plovix";

enum class MessageIcon { None, Information, Exclamation, Critical, Question };

// Colour codes of the status line.
enum StatusColour : int {
    kStatusReading = 31,    // white on blue
    kStatusFiltering = 47,  // white on green, also when done
    kStatusOverLimit = 79,  // white on red: the DOS limit is exceeded
};

class Operator {
  public:
    virtual ~Operator() = default;

    // A message with an OK button.
    virtual void showMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool askOkCancel(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
    // The status line and its colour code.
    virtual void showStatus(const std::string& text, int colourCode) = 0;
    // Progress of a long pass: `done` of `total` units (total 0 when unknown).
    virtual void reportProgress(std::int64_t done, std::int64_t total) = 0;
    // Lets pending window events run; nothing to do outside the window.
    virtual void processEvents() {}

    // A message titled with the program's name.
    void tell(const std::string& text) { showMessage(text, kProgramName, MessageIcon::None); }
};

}  // namespace plovix

#pragma once
// What the fuzz targets share: the bytes that steer a run, a scratch folder for the files the
// engine reads by path, an operator that answers from the input, and the stop for a broken
// promise (a failed check aborts, so libFuzzer and the replay runner both report it).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"

namespace plovix::fuzz {

// The input as a few leading control bytes and the rest. A control byte past the end of the
// input reads as 0, so every input is usable.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size, std::size_t controlBytes);

    std::uint8_t control(std::size_t i) const;
    bool bit(std::size_t byte, int bit) const { return (control(byte) >> bit) & 1; }
    std::string_view rest() const { return rest_; }

  private:
    std::string_view all_, rest_;
    std::size_t controlBytes_;
};

// A folder of this process, made on first use (under /dev/shm where it can be, so that the
// engine's flushes cost nothing; else the temporary folder) and removed at exit.
const std::filesystem::path& scratchFolder();

// A session as the program starts, over a settings file in the scratch folder that does not
// exist (every default), made once.
const Session& defaultSession();

// Replaces the contents of `path` with `bytes`. No flush: the file only has to be there for
// the next open in this process.
void writeScratchFile(const std::filesystem::path& path, std::string_view bytes);

// The bytes of `path`, or "" when it cannot be read.
std::string fileBytes(const std::filesystem::path& path);

// Answers the first 8 questions from `cancels` (bit 0 first, a set bit for Cancel) and OK
// after them, so that control bytes of 0 answer as the tests' operator does. Messages are
// counted, and printed when PLOVIX_FUZZ_VERBOSE is set (to see what a finding's input does).
class ScriptedOperator : public Operator {
  public:
    explicit ScriptedOperator(std::uint8_t cancels);

    void showMessage(const std::string& text, const std::string& title, MessageIcon) override;
    bool askOkCancel(const std::string& text, const std::string& title, MessageIcon) override;
    void showStatus(const std::string&, int) override {}
    void reportProgress(std::int64_t, std::int64_t) override {}

    int shown = 0;
    int asked = 0;

  private:
    std::uint8_t cancels_;
    bool verbose_;
};

// Prints what broke and aborts.
[[noreturn]] void broken(const std::string& what);

}  // namespace plovix::fuzz

// The entry point every target defines.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

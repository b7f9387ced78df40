#pragma once
// Writing a whole file by atomic replace: a temporary file in the target's folder, flushed to
// disk, then renamed over the target. A failure at any step leaves the target as it was and
// removes the temporary file, so a settings file or a Norvo data file is never half written.

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace plovix {

// Writes `bytes` to `target` (through a symbolic link, to the file it names), creating the
// folder when missing and keeping the permissions of the file replaced.
// Renames `from` over `to` (one file system) and flushes the folder, so the rename survives a
// crash.
[[nodiscard]] std::error_code renameDurably(const std::filesystem::path& from,
                                            const std::filesystem::path& to);

[[nodiscard]] std::error_code writeFileAtomically(const std::filesystem::path& target,
                                                  std::string_view bytes);

// A file written piece by piece in a temporary file beside the target, so that memory does not
// grow with its size. finish() completes the temporary (flushed to disk and closed); commit()
// then renames it over the target. Two files that must change together are both finished
// before either is committed. Destroyed without a commit, the writer removes its temporary and
// the target stays as it was. The target's folder must exist; the first error sticks.
class AtomicFileWriter {
  public:
    // Opens the temporary file; error() tells when that failed.
    explicit AtomicFileWriter(const std::filesystem::path& target);
    virtual ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Buffered; a write after a failure does nothing and returns the first error.
    virtual std::error_code write(std::string_view bytes);
    std::error_code finish();
    // Finishes when that has not been done, then puts the file in place of the target.
    std::error_code commit();

    std::error_code error() const { return error_; }
    const std::filesystem::path& target() const { return target_; }
    const std::filesystem::path& temporary() const { return temp_; }

  protected:
    // Sets the writer's error when it has none yet; returns the error that sticks.
    std::error_code fail(std::error_code error);

  private:
    std::error_code flush();
    void discard();

    std::filesystem::path target_, temp_;
    std::string buffer_;
    int fd_ = -1;
    bool finished_ = false, committed_ = false;
    std::error_code error_;
};

}  // namespace plovix

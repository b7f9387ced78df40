#pragma once
// The settings file: an initialisation file of sections in square brackets and "key=value"
// lines, read and written the way the old program's platform calls did. Names are matched
// without regard to case; a value read is cut to 127 characters; writing a key changes only
// its own line, so other sections, unknown keys, comments and blank lines survive a save.
//
// The file is bytes in a single-byte code page and is never re-encoded. Lines are read up to
// CR LF, CR or LF and written with CR LF. A UTF-8 byte-order mark that an editor put at the
// start is not part of the first line, and a file that had one keeps it when written.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace plovix {

// The longest value a read returns: the old program read into a buffer of 128 characters.
inline constexpr std::size_t kIniValueMax = 127;

class IniFile {
  public:
    // Reads the file. A missing file is an empty file and no error; any other failure leaves
    // the contents empty and is returned.
    std::error_code load(const std::filesystem::path& path);

    // Writes the file by atomic replace: a temporary file in the target's folder, flushed to
    // disk, then renamed over the target. The folder is created when missing. On failure the
    // target is as it was, the temporary file is gone, and the error is returned.
    [[nodiscard]] std::error_code save(const std::filesystem::path& path) const;

    // The contents as bytes, and the bytes as save writes them.
    void setText(std::string_view bytes);
    std::string text() const;

    // The value of a key: trimmed of blanks, one pair of enclosing quotes (double or single)
    // removed, then cut to 127 characters. Empty when the section or the key is absent.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;
    // The same, with `fallback` (cut to 127 characters) when the section or key is absent.
    std::string getOr(std::string_view section, std::string_view key,
                      std::string_view fallback) const;

    // Writes "key=value": over the key's line when the section has the key, else after the
    // section's last non-blank line, else in a new section at the end of the file. A value is
    // one line, so it ends at its first CR or LF. The value is written as a line of the file
    // holds it, so get reads it by the file's own rules (blanks trimmed, quotes removed).
    void set(std::string_view section, std::string_view key, std::string_view value);
    // The same, but written so that get returns `value` as it is (up to its first CR or LF and
    // 127 characters): a value that begins or ends with a blank or a quote is enclosed in
    // double quotes.
    void setExact(std::string_view section, std::string_view key, std::string_view value);

  private:
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;

    std::vector<std::string> lines_;
    bool byteOrderMark_ = false;
};

}  // namespace plovix

#pragma once
// Writing a whole file by atomic replace: a temporary file in the target's folder, flushed to
// disk, then renamed over the target. A failure at any step leaves the target as it was and
// removes the temporary file, so a settings file or a Norvo data file is never half written.

#include <filesystem>
#include <string_view>
#include <system_error>

namespace plovix {

// Writes `bytes` to `target` (through a symbolic link, to the file it names), creating the
// folder when missing and keeping the permissions of the file replaced.
[[nodiscard]] std::error_code writeFileAtomically(const std::filesystem::path& target,
                                                  std::string_view bytes);

}  // namespace plovix

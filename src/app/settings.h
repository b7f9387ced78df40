#pragma once
// Loading the settings group of the session from the settings file, and writing it back.
// One table lists every key with its section, kind, default and session field, in the order
// the keys are written; loading and saving both walk it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "app/ini_file.h"
#include "app/session.h"

namespace plovix {

// Reads every key into the session. Absent keys take their defaults; nothing is reported.
void LoadSettings(Session& s, const IniFile& file);
// The same from the file s.program.IniFile. A missing file gives every default; a file that
// cannot be read gives every default too, and the error is returned.
std::error_code LoadSettings(Session& s);

// Sets every key but "Generic" from the session into `file`.
void storeSettings(const Session& s, IniFile& file);

// Writes every key but "Generic" into the settings file, keeping what else the file holds,
// in one atomic replace. False (with the reason in `error`) when the file could not be read
// or written; the file is then as it was.
bool SaveSettings(const Session& s, const std::filesystem::path& iniFile, std::error_code& error);
// The same into s.program.IniFile.
bool SaveSettings(const Session& s);

// The section that holds a settings key (matched without regard to case), for overriding a
// single key by name.
std::optional<std::string> settingsSectionOf(std::string_view key);

}  // namespace plovix

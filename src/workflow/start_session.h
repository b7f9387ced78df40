#pragma once
// The engine's part of start-up, shared by the window and the converter.

#include <filesystem>

#include "app/ini_file.h"
#include "app/session.h"

namespace plovix {

// Start-up before any window exists: the version text, the settings file's path, the settings
// read from it, the fixed name lists, and the last D/A file forgotten unless the operator asked
// for it to be kept (SaveName).
void startSession(Session& s, const std::filesystem::path& iniFile);
// The same with the settings already read into `settings` (the converter overrides keys).
void startSession(Session& s, const std::filesystem::path& iniFile, const IniFile& settings);

}  // namespace plovix

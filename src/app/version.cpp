#include "app/version.h"

#include "app/settings.h"
#include "version_numbers.h"

namespace plovix {

std::string appVersionText() {
    return std::to_string(PLOVIX_VERSION_MAJOR) + "." + std::to_string(PLOVIX_VERSION_MINOR) + "." +
           std::to_string(PLOVIX_VERSION_PATCH) + " ";
}

void startSession(Session& s, const std::filesystem::path& iniFile, const IniFile& settings) {
    s.program.AppVersion = appVersionText();
    s.program.IniFile = iniFile.string();
    LoadSettings(s, settings);
    fillNameLists(s.program);
    if (!s.settings.SaveName) s.settings.DAFile.clear();
}

void startSession(Session& s, const std::filesystem::path& iniFile) {
    IniFile settings;
    // An unreadable file starts with the defaults, as a missing one does; nothing is reported.
    (void)settings.load(iniFile);
    startSession(s, iniFile, settings);
}

}  // namespace plovix

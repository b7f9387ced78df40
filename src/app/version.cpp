#include "app/version.h"

#include "app/settings.h"
#include "version_numbers.h"

namespace plovix {

std::string appVersionText() {
    return std::to_string(PLOVIX_VERSION_MAJOR) + "." + std::to_string(PLOVIX_VERSION_MINOR) + "." +
           std::to_string(PLOVIX_VERSION_PATCH) + " ";
}

void startSession(Session& s, const std::filesystem::path& iniFile) {
    s.program.AppVersion = appVersionText();
    s.program.IniFile = iniFile.string();
    // An unreadable file starts with the defaults, as a missing one does; nothing is reported.
    (void)LoadSettings(s);
    fillNameLists(s.program);
    if (!s.settings.SaveName) s.settings.DAFile.clear();
}

}  // namespace plovix

#include "workflow/start_session.h"

#include "app/settings.h"
#include "app/version.h"
#include "sources/source_table.h"

namespace plovix {

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

#include "app/program_paths.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "text/fields.h"

#ifndef PLOVIX_DATA_SUBDIR
#define PLOVIX_DATA_SUBDIR "share/plovix"
#endif

namespace plovix {

namespace fs = std::filesystem;

namespace {

// A configuration folder from the environment, when it can be used: absolute and not empty.
std::optional<fs::path> usableFolder(const std::optional<std::string>& value) {
    if (!value || value->empty()) return std::nullopt;
    fs::path folder(*value);
    if (!folder.is_absolute()) return std::nullopt;
    return folder;
}

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

enum class Entry { Any, RegularFile };

bool usable(const fs::path& path, Entry kind) {
    std::error_code error;
    return kind == Entry::RegularFile ? fs::is_regular_file(path, error) : fs::exists(path, error);
}

std::optional<fs::path> findIn(const fs::path& folder, std::string_view name,
                               Entry kind = Entry::Any) {
    const fs::path exact = folder / fs::path(std::string(name));
    if (usable(exact, kind)) return exact;
    // Files copied from a Windows install keep whatever case they had there.
    const std::string wanted = upperAscii(name);
    std::vector<fs::path> matches;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (upperAscii(it->path().filename().string()) == wanted && usable(it->path(), kind))
            matches.push_back(it->path());
    }
    if (matches.empty()) return std::nullopt;
    // Directory order is arbitrary; with several spellings the choice must not be.
    std::sort(matches.begin(), matches.end());
    return matches.front();
}

}  // namespace

std::string fAppPath() {
    std::error_code error;
    fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    if (error || folder.empty()) folder = fs::current_path(error);
    std::string text = folder.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

fs::path settingsFileLocation(const SettingsLocationInputs& in) {
    if (in.overridePath && !in.overridePath->empty()) return *in.overridePath;
    if (in.plovixIni && !in.plovixIni->empty()) return fs::path(*in.plovixIni);
    if (in.iniInProgramFolder) return *in.iniInProgramFolder;
    const fs::path besideProgram = in.programFolder / kSettingsFileName;
    if (const auto config = usableFolder(in.xdgConfigHome))
        return *config / "plovix" / kSettingsFileName;
    if (const auto home = usableFolder(in.home))
        return *home / ".config" / "plovix" / kSettingsFileName;
    return besideProgram;
}

fs::path settingsFileLocationFromEnvironment(const fs::path& programFolder,
                                             const std::optional<fs::path>& overridePath) {
    SettingsLocationInputs in;
    in.programFolder = programFolder;
    in.overridePath = overridePath;
    in.plovixIni = environment("PLOVIX_INI");
    in.xdgConfigHome = environment("XDG_CONFIG_HOME");
    in.home = environment("HOME");
    in.iniInProgramFolder = findIn(programFolder, kSettingsFileName, Entry::RegularFile);
    return settingsFileLocation(in);
}

fs::path installedDataFolder(const fs::path& programFolder) {
    const fs::path sub(PLOVIX_DATA_SUBDIR);
    if (sub.is_absolute()) return sub;
    // The program folder may end with a separator; ".." must follow its last real component.
    fs::path folder = programFolder;
    if (!folder.empty() && !folder.has_filename()) folder = folder.parent_path();
    return (folder / ".." / sub).lexically_normal();
}

std::optional<fs::path> findCompanionFile(std::string_view name, const fs::path& programFolder,
                                          const fs::path& dataFolder) {
    if (name.empty()) return std::nullopt;
    if (auto found = findIn(programFolder, name)) return found;
    return findIn(dataFolder, name);
}

}  // namespace plovix

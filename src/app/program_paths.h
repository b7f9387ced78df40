#pragma once
// Where the program and its files are: the program folder, the settings file, and the
// companion files (the Norvo template, the DOS defaults, CONVERT.DDT, help) that are installed
// beside the program or in the shared data folder.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace plovix {

inline constexpr const char* kSettingsFileName = "Plovix.INI";

// The folder of the running program with exactly one trailing "/"; the current folder when
// the program's own path cannot be found.
std::string fAppPath();

// Everything the choice of the settings file depends on. Empty optionals are absent values.
struct SettingsLocationInputs {
    std::filesystem::path programFolder;
    std::optional<std::filesystem::path> overridePath;  // --settings FILE
    std::optional<std::string> plovixIni;               // $PLOVIX_INI
    std::optional<std::string> xdgConfigHome;           // $XDG_CONFIG_HOME
    std::optional<std::string> home;                    // $HOME
    // The settings file found beside the program, whatever the letter case of its name.
    std::optional<std::filesystem::path> iniInProgramFolder;
};

// The settings file: --settings, else $PLOVIX_INI, else the settings file beside the program
// when it is there (a portable install), else $XDG_CONFIG_HOME/plovix/Plovix.INI, else
// $HOME/.config/plovix/Plovix.INI, else beside the program. Empty values count as absent, and
// so do relative configuration or home folders.
std::filesystem::path settingsFileLocation(const SettingsLocationInputs& in);

// The same with the inputs taken from the environment and the program folder on disk.
std::filesystem::path settingsFileLocationFromEnvironment(
    const std::filesystem::path& programFolder,
    const std::optional<std::filesystem::path>& overridePath);

// The installed data folder that belongs to a program folder ("<folder>/../share/plovix").
std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder);

// A companion file by name, in the program folder first, then in the data folder; the name
// matches whatever the letter case of the file on the disk (the exact spelling is preferred).
std::optional<std::filesystem::path> findCompanionFile(std::string_view name,
                                                       const std::filesystem::path& programFolder,
                                                       const std::filesystem::path& dataFolder);

}  // namespace plovix

#pragma once
// The help pages shipped with the program (data/help, installed as share/plovix/help): one
// topic per window, and one per source's frame of the settings dialog. The help window opens
// a topic's page at its anchor; a window's "Help" button or menu item names the topic.

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace plovix {

enum class HelpTopic : int {
    Contents,
    MainWindow,
    CycleSelection,
    Settings,
    SettingsGeomatic,
    SettingsGeoTest,
    SettingsProprietaryClient,
    SettingsDurhamGeo,
    SettingsGeotac,
    SettingsHumboldt,
    SettingsEnKay,
    SettingsEleSoilTest,
    DataDisplay,
    Printing,
    About,
    Converter,
};

struct HelpPage {
    HelpTopic topic;
    const char* file;    // page file inside the help folder
    const char* anchor;  // element id on that page, "" for the top of the page
    const char* title;   // for the help window's caption
};

inline constexpr const char* kHelpFolderName = "help";

// Every topic once, in the order of the enum.
std::span<const HelpPage> helpPages();
const HelpPage& helpPage(HelpTopic topic);

// "settings.html#geotac": the page and its anchor, as a relative link.
std::string helpLink(HelpTopic topic);

// The help folder: beside the program, else in the installed data folder.
std::optional<std::filesystem::path> findHelpFolder(const std::filesystem::path& programFolder,
                                                    const std::filesystem::path& dataFolder);

}  // namespace plovix

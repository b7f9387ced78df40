#include "app/help_topics.h"

#include "app/program_paths.h"
#include "app/session.h"

namespace plovix {

namespace {

using T = HelpTopic;

constexpr HelpPage kPages[] = {
    {T::Contents, "index.html", "", "Plovix Help"},
    {T::MainWindow, "main_window.html", "", "The main window"},
    {T::CycleSelection, "cycle_selection.html", "", "Cycle selection"},
    {T::Settings, "settings.html", "", "Data Import Settings"},
    {T::SettingsGeomatic, "settings.html", "geomatic", "Settings for Geomatic files"},
    {T::SettingsGeoTest, "settings.html", "geotest", "Settings for GeoTest files"},
    {T::SettingsProprietaryClient, "settings.html", "proprietary-client",
     "Settings for Proprietary Client files"},
    {T::SettingsDurhamGeo, "settings.html", "durham-geo", "Settings for Durham Geo files"},
    {T::SettingsGeotac, "settings.html", "geotac", "Settings for GEOTAC files"},
    {T::SettingsHumboldt, "settings.html", "humboldt", "Settings for Humboldt files"},
    {T::SettingsEnKay, "settings.html", "enkay", "Settings for EnKay files"},
    {T::SettingsEleSoilTest, "settings.html", "ele-soiltest", "Settings for ELE/SoilTest files"},
    {T::DataDisplay, "data_display.html", "", "Import Data Display"},
    {T::Printing, "data_display.html", "printing", "Printing the data display"},
    {T::About, "index.html", "about", "About Plovix"},
    {T::Converter, "converter.html", "", "plovix-convert"},
};

constexpr bool pagesFollowTheTopics() {
    int n = 0;
    for (const HelpPage& page : kPages)
        if (static_cast<int>(page.topic) != n++) return false;
    return n == static_cast<int>(T::Converter) + 1;
}
static_assert(pagesFollowTheTopics(), "one help page per topic, in the order of the topics");

}  // namespace

std::span<const HelpPage> helpPages() {
    return kPages;
}

const HelpPage& helpPage(HelpTopic topic) {
    const auto index = static_cast<std::size_t>(topic);
    return index < std::size(kPages) ? kPages[index] : kPages[0];
}

std::string helpLink(HelpTopic topic) {
    const HelpPage& page = helpPage(topic);
    std::string link = page.file;
    if (*page.anchor != '\0') link += std::string("#") + page.anchor;
    return link;
}


std::optional<std::filesystem::path> findHelpFolder(const std::filesystem::path& programFolder,
                                                    const std::filesystem::path& dataFolder) {
    return findCompanionFile(kHelpFolderName, programFolder, dataFolder);
}

}  // namespace plovix

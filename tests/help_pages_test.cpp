// The help pages shipped in data/help: every link and anchor resolves inside the folder, every
// page is reachable from the contents, and every window's topic opens a page that exists.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "app/help_topics.h"
#include "app/session.h"
#include "sources/source_codes.h"
#include "sources/source_traits.h"
#include "support/norvo_files.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

namespace fs = std::filesystem;
using plovix::testing::bytesOf;

const fs::path kHelp = PLOVIX_HELP;

struct Page {
    std::vector<std::string> ids;
    std::vector<std::string> links;  // href and src values
    bool utf8 = false;
};

std::vector<std::string> matches(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back((*it)[1].str());
    return found;
}

// Every page of the help folder, by its path relative to the folder.
std::map<std::string, Page> helpPagesOnDisk() {
    static const std::regex id(R"(\bid="([^"]*)\")");
    static const std::regex link(R"(\b(?:href|src)="([^"]*)\")");
    std::map<std::string, Page> pages;
    for (const auto& entry : fs::recursive_directory_iterator(kHelp)) {
        if (entry.path().extension() != ".html") continue;
        const std::string text = bytesOf(entry.path());
        Page& page = pages[fs::relative(entry.path(), kHelp).generic_string()];
        page.ids = matches(text, id);
        page.links = matches(text, link);
        page.utf8 = text.find("<meta charset=\"utf-8\">") != std::string::npos;
    }
    return pages;
}

bool hasId(const Page& page, const std::string& id) {
    return std::find(page.ids.begin(), page.ids.end(), id) != page.ids.end();
}

TEST(HelpPages, EveryLinkAndAnchorResolvesAndEveryPageIsInTheContents) {
    const auto pages = helpPagesOnDisk();
    ASSERT_TRUE(pages.count("index.html"));
    std::set<std::string> fromContents;
    for (const auto& [name, page] : pages) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(page.utf8);
        std::set<std::string> unique(page.ids.begin(), page.ids.end());
        EXPECT_EQ(unique.size(), page.ids.size()) << "an id is used twice";
        for (const std::string& link : page.links) {
            SCOPED_TRACE(link);
            // The help is read offline: every link stays inside the folder.
            ASSERT_EQ(link.find(':'), std::string::npos);
            const auto hash = link.find('#');
            const std::string file = link.substr(0, hash);
            const std::string anchor = hash == std::string::npos ? "" : link.substr(hash + 1);
            const fs::path target =
                file.empty() ? kHelp / name : (kHelp / name).parent_path() / file;
            const std::string relative = fs::relative(target, kHelp).generic_string();
            ASSERT_TRUE(fs::is_regular_file(target));
            ASSERT_NE(relative.substr(0, 2), "..");
            if (!anchor.empty()) {
                ASSERT_TRUE(pages.count(relative));
                EXPECT_TRUE(hasId(pages.at(relative), anchor));
            }
            if (name == "index.html") fromContents.insert(relative);
        }
    }
    for (const auto& [name, page] : pages) {
        if (name != "index.html") {
            EXPECT_TRUE(fromContents.count(name)) << name;
        }
    }
}

TEST(HelpPages, EveryTopicOpensAPageThatHoldsIt) {
    const auto pages = helpPagesOnDisk();
    for (const HelpPage& topic : helpPages()) {
        SCOPED_TRACE(helpLink(topic.topic));
        ASSERT_TRUE(pages.count(topic.file));
        if (*topic.anchor != '\0') {
            EXPECT_TRUE(hasId(pages.at(topic.file), topic.anchor));
        }
    }
    for (int source = 1; source <= kSourceCount; ++source)
        EXPECT_STREQ(helpPage(traitsOf(source).settingsHelp).file, "settings.html");
    EXPECT_EQ(helpLink(traitsOf(kGeotac).settingsHelp), "settings.html#geotac");
    EXPECT_EQ(traitsOf(0).settingsHelp, HelpTopic::Settings);

    // The build copies the pages beside the programs, where the window looks first.
    const fs::path programs = fs::path(PLOVIX_CONVERT).parent_path();
    const auto beside = findHelpFolder(programs, "/nonexistent");
    ASSERT_TRUE(beside);
    EXPECT_TRUE(fs::is_regular_file(*beside / "index.html"));
    plovix::testing::TempFolder empty;
    EXPECT_EQ(findHelpFolder(empty.path, kHelp.parent_path()), kHelp);
}

}  // namespace
}  // namespace plovix

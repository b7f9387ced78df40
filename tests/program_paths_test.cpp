#include "app/program_paths.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>
#include "support/temp_folder.h"

#include <fstream>
#include <optional>
#include <string>

namespace fs = std::filesystem;
using namespace plovix;

using plovix::testing::TempFolder;

namespace {

void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

// Sets (or, without a value, clears) an environment variable for the life of the object.
struct ScopedVariable {
    const char* name;
    std::optional<std::string> old;
    ScopedVariable(const char* n, const char* value) : name(n) {
        if (const char* was = std::getenv(n)) old = was;
        value ? ::setenv(n, value, 1) : ::unsetenv(n);
    }
    ~ScopedVariable() { old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name); }
};

}  // namespace

TEST(ProgramPathsSettings, LocationPrecedence) {
    SettingsLocationInputs in;
    in.programFolder = "/opt/plovix/bin";
    in.overridePath = "/tmp/mine.ini";
    in.plovixIni = "/etc/plovix.ini";
    in.iniInProgramFolder = "/opt/plovix/bin/PLOVIX.INI";
    in.xdgConfigHome = "/home/u/.cfg";
    in.home = "/home/u";
    EXPECT_EQ(settingsFileLocation(in), "/tmp/mine.ini");
    in.overridePath.reset();
    EXPECT_EQ(settingsFileLocation(in), "/etc/plovix.ini");
    in.plovixIni = "";  // set but empty counts as absent
    EXPECT_EQ(settingsFileLocation(in), "/opt/plovix/bin/PLOVIX.INI");
    in.iniInProgramFolder.reset();
    EXPECT_EQ(settingsFileLocation(in), "/home/u/.cfg/plovix/Plovix.INI");
    in.xdgConfigHome = "relative/cfg";  // not a usable configuration folder
    EXPECT_EQ(settingsFileLocation(in), "/home/u/.config/plovix/Plovix.INI");
    in.xdgConfigHome.reset();
    in.home.reset();
    EXPECT_EQ(settingsFileLocation(in), "/opt/plovix/bin/Plovix.INI");
}

TEST(ProgramPathsFolders, ProgramFolderAndCompanionFiles) {
    const std::string app = fAppPath();
    ASSERT_GE(app.size(), 2u);
    EXPECT_EQ(app.back(), '/');
    EXPECT_NE(app[app.size() - 2], '/');
    EXPECT_TRUE(fs::exists(fs::path(app) / "plovix_tests"));

    EXPECT_EQ(installedDataFolder("/opt/plovix/bin/"), "/opt/plovix/share/plovix");
    EXPECT_EQ(installedDataFolder("/opt/plovix/bin"), "/opt/plovix/share/plovix");

    TempFolder temp;
    const fs::path program = temp.path / "bin";
    const fs::path data = temp.path / "share" / "plovix";
    touch(program / "nvnew.ndt");
    touch(data / "NVNEW.NDT");
    touch(data / "Nv.Ddt");
    fs::create_directories(data / "help");
    EXPECT_EQ(findCompanionFile("NVNEW.NDT", program, data), program / "nvnew.ndt");
    EXPECT_EQ(findCompanionFile("NV.DDT", program, data), data / "Nv.Ddt");
    EXPECT_EQ(findCompanionFile("help", program, data), data / "help");
    EXPECT_EQ(findCompanionFile("CONVERT.DDT", program, data), std::nullopt);
    EXPECT_EQ(findCompanionFile("NV.DDT", program, temp.path / "missing"), std::nullopt);
    // Several spellings in one folder: the exact one first, else always the same one.
    touch(program / "Convert.ddt");
    touch(program / "CONVERT.DDT");
    EXPECT_EQ(findCompanionFile("CONVERT.DDT", program, data), program / "CONVERT.DDT");
    EXPECT_EQ(findCompanionFile("convert.DDT", program, data), program / "CONVERT.DDT");
}

TEST(ProgramPathsSettings, FileBesideTheProgramInAnyCase) {
    TempFolder temp;
    const fs::path config = temp.path / "config";
    const ScopedVariable noIni("PLOVIX_INI", nullptr);
    const ScopedVariable xdg("XDG_CONFIG_HOME", config.c_str());
    const fs::path program = temp.path / "bin";
    fs::create_directories(program / "plovix.ini");  // a folder is no settings file
    EXPECT_EQ(settingsFileLocationFromEnvironment(program, std::nullopt),
              config / "plovix" / "Plovix.INI");
    // Copied from a Windows install, the name keeps whatever case it had there.
    touch(program / "PLOVIX.INI");
    EXPECT_EQ(settingsFileLocationFromEnvironment(program, std::nullopt), program / "PLOVIX.INI");
    touch(program / "Plovix.INI");
    EXPECT_EQ(settingsFileLocationFromEnvironment(program, std::nullopt), program / "Plovix.INI");
}

#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include "support/norvo_files.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using plovix::IniFile;

using plovix::testing::bytesOf;
using plovix::testing::TempFolder;

namespace {

IniFile fromText(std::string_view text) {
    IniFile ini;
    ini.setText(text);
    return ini;
}

}  // namespace

TEST(IniFileRead, MatchesNamesWithoutCaseAndCleansValues) {
    const auto ini = fromText(
        "Orphan=before any section\r\n[files]\r\n  daname  =   TEST.DAT   \r\n"
        "Quoted=\"  C:\\A B\\  \"\nSingle='x'\rMixed=\"x'\r\n; DAPath=comment\r\n"
        "#NorvoPath=comment\r\nNoEquals\r\nTwice=first\r\nTwice=second\r\n"
        "Long=" +
        std::string(200, 'v') + "\r\n[ Other ]\r\nKey=\xE9t\xE9\xFF");
    EXPECT_EQ(ini.get("FILES", "DAName"), "TEST.DAT");
    EXPECT_EQ(ini.get("Files", "Quoted"), "  C:\\A B\\  ");  // quotes keep the blanks inside
    EXPECT_EQ(ini.get("Files", "Single"), "x");
    EXPECT_EQ(ini.get("Files", "Mixed"), "\"x'");
    EXPECT_EQ(ini.get("Files", "Twice"), "first");
    EXPECT_EQ(ini.get("Files", "Long"), std::string(127, 'v'));
    EXPECT_EQ(ini.get("other", "KEY"), "\xE9t\xE9\xFF");  // bytes, never re-encoded
    EXPECT_EQ(ini.get("Files", "Key"), std::nullopt);     // keys belong to their own section
    EXPECT_EQ(ini.get("Files", "DAPath"), std::nullopt);
    EXPECT_EQ(ini.get("Files", "NoEquals"), std::nullopt);
    EXPECT_EQ(ini.get("", "Orphan"), std::nullopt);
    EXPECT_EQ(ini.getOr("Files", "Absent", "C:\\"), "C:\\");
    EXPECT_EQ(ini.getOr("Absent", "DAName", std::string(200, 'd')), std::string(127, 'd'));
}

TEST(IniFileWrite, ChangesOnlyTheLinesItWrites) {
    auto ini = fromText(
        "; settings\r\n[FiltTol]\r\nincmax = 0.1 ; old\rUnknown=kept\n\r\n[Mine]\r\n"
        "\tOdd  =  spacing \r\n");
    ini.set("FILTTOL", "IncMax", "0.05");
    ini.set("FiltTol", "Tolerance", "5");
    ini.set("Files", "DAName", "A.DAT");
    EXPECT_EQ(ini.text(),
              "; settings\r\n[FiltTol]\r\nIncMax=0.05\r\nUnknown=kept\r\nTolerance=5\r\n\r\n"
              "[Mine]\r\n\tOdd  =  spacing \r\n\r\n[Files]\r\nDAName=A.DAT\r\n");

    // A value is one line: whatever follows a line break would become a key of its own.
    ini.set("Files", "DAName", "B.DAT\r\n[Evil]\r\nx=1");
    EXPECT_EQ(ini.get("Files", "DAName"), "B.DAT");
    EXPECT_EQ(ini.get("Evil", "x"), std::nullopt);

    IniFile empty;
    empty.set("S", "K", "v");
    EXPECT_EQ(empty.text(), "[S]\r\nK=v\r\n");  // no blank line before the first section
}

TEST(IniFileSave, CreatesReplacesAndKeepsTheOldFileOnFailure) {
    TempFolder temp;
    const fs::path file = temp.path / "new" / "folder" / "Plovix.INI";
    IniFile ini;
    EXPECT_FALSE(ini.load(file));  // missing is empty, not an error
    ini.set("S", "K", "v");
    EXPECT_FALSE(ini.save(file));
    EXPECT_EQ(bytesOf(file), "[S]\r\nK=v\r\n");

    // Through a link, the file behind it is replaced and the link stays.
    const fs::path link = temp.path / "link.ini";
    fs::create_symlink(file, link);
    EXPECT_FALSE(ini.load(link));
    ini.set("S", "K", "w");
    EXPECT_FALSE(ini.save(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(bytesOf(file), "[S]\r\nK=w\r\n");

    // A folder in the target's place: the save fails and leaves nothing behind.
    const fs::path folderTarget = temp.path / "dir.ini";
    fs::create_directory(folderTarget);
    EXPECT_TRUE(ini.save(folderTarget));
    EXPECT_TRUE(ini.load(folderTarget));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.path), fs::directory_iterator{}), 3);

    // A file-size limit makes the write fail part way, whoever runs the test.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = fromText("[S]\r\nK=" + std::string(4000, 'n')).save(file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(error);
    EXPECT_EQ(bytesOf(file), "[S]\r\nK=w\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}),
              1);
}

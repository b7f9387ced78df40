#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace plovix;

TEST(CommandLineWinFile, NamesTheNorvoFile) {  // the quoted form: see below
    // Blanks inside the quotes go too; an extension is kept as it is.
    const auto padded = evaluateWinFile("WINFILE=\"  C:\\My Data\\T1.ndt \"");
    EXPECT_EQ(padded.NorvoFile, "C:\\My Data\\T1.ndt");
    EXPECT_EQ(padded.NorvoFileName, "T1.ndt");

    // A Linux path keeps its own separator.
    const auto unixPath = evaluateWinFile("WINFILE=/home/lab/tests/T2");
    EXPECT_EQ(unixPath.NorvoPath, "/home/lab/tests/");
    EXPECT_EQ(unixPath.NorvoFileName, "T2.NDT");

    // Quotes come off only as a pair around the whole text, before the blanks are trimmed.
    EXPECT_EQ(evaluateWinFile("WINFILE=\"C:\\A\\B").NorvoFile, "\"C:\\A\\B");
    EXPECT_EQ(evaluateWinFile("WINFILE= \"C:\\A\\B\" ").NorvoFile, "\"C:\\A\\B\"");
    EXPECT_EQ(evaluateWinFile("WINFILE=\"").NorvoFile, "");

    // A bare name has no folder; the old program gave it "\".
    EXPECT_EQ(evaluateWinFile("WINFILE=TEST").NorvoPath, "\\");
}

TEST(CommandLineWinFile, OnlyWinFileSelectsTheWindowsLayoutAndEverySource) {
    for (const char* line : {"winfile=C:\\DATA\\TEST", "", "WINFILE", " WINFILE=C:\\X",
                             "Winfile=C:\\X", "/settings"}) {
        const auto args = evaluateWinFile(line);
        EXPECT_FALSE(args.WinFileMode) << line;
        EXPECT_EQ(args.NorvoFile, "") << line;
    }
    Session s;
    s.settings.NorvoPath = "D:\\LAB\\";
    applyWinFile(s, evaluateWinFile("winfile=C:\\DATA\\TEST"));
    EXPECT_FALSE(s.program.WinFileMode || s.settings.NVWIN);
    EXPECT_EQ(s.settings.NorvoPath, "D:\\LAB\\");
    EXPECT_EQ(s.program.NumDASources, 0);

    applyWinFile(s, evaluateWinFile("WINFILE=\"C:\\DATA\\TEST\""));
    EXPECT_TRUE(s.program.WinFileMode && s.settings.NVWIN);
    EXPECT_EQ(s.program.NorvoFile + "|" + s.settings.NorvoPath + "|" + s.program.NorvoFileName,
              "C:\\DATA\\TEST|C:\\DATA\\|TEST.NDT");
    EXPECT_EQ(s.program.NumDASources, 8);
}

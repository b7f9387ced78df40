#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/options.h"

namespace plovix::cli {
namespace {

// The options of one command line, split at its blanks.
ParseResult parse(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> args;
    for (std::string arg; in >> arg;) args.push_back(arg);
    return parseOptions(args);
}

TEST(CliOptions, SourcesAndTestTypesByNumberOrName) {
    EXPECT_EQ((std::vector{sourceFromText("geotac"), sourceFromText("ELE"), sourceFromText("3"),
                           sourceFromText("9"), sourceFromText("3x"), testTypeFromText("ds"),
                           testTypeFromText("CUPP"), testTypeFromText("6"), testTypeFromText("0")}),
              (std::vector<std::optional<int>>{5, 8, 3, std::nullopt, std::nullopt, 2, 5, 6,
                                               std::nullopt}));
}

TEST(CliOptions, EveryOptionLandsInItsField) {
    const auto r = parse(
        "--source durham --test cu --settings my.ini --set IncMax=0.1 --cycles 2:1,3 "
        "--skip-disp-repeats 1 --skip-load-repeats 2 --yes --json - --summary a.txt b.txt");
    ASSERT_EQ(r.error, "");
    const ConvertOptions& o = r.options;
    EXPECT_EQ(o.source, 4);
    EXPECT_EQ(o.testType, 4);
    EXPECT_EQ(o.settingsFile, "my.ini");
    ASSERT_EQ(o.settingOverrides.size(), 1u);
    EXPECT_EQ(o.settingOverrides[0], (std::pair<std::string, std::string>{"IncMax", "0.1"}));
    EXPECT_EQ(o.cycles.at(2), (std::vector<int>{1, 3}));
    EXPECT_EQ(o.skipDispRepeats, std::vector<int>{1});
    EXPECT_EQ(o.skipLoadRepeats, std::vector<int>{2});
    EXPECT_TRUE(o.yes);
    EXPECT_TRUE(o.summary);
    EXPECT_EQ(o.jsonFile, "-");
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(CliOptions, UsageErrorsSayWhatIsWrong) {
    EXPECT_EQ(parse("").error, "no D/A file given");
    EXPECT_EQ(parse("a b c d e").error, "at most four D/A files, one per specimen");
    EXPECT_EQ(parse("--source").error, "--source needs a value");
    EXPECT_EQ(parse("--source acme f").error, "unknown source \"acme\"");
    EXPECT_EQ(parse("--set =1 f").error, "--set needs KEY=VALUE, not \"=1\"");
    EXPECT_EQ(parse("--cycles 5:1 f").error,
              "--cycles needs S:C,C,... with a specimen 1 to 4, not \"5:1\"");
    EXPECT_EQ(parse("--cycles 1:11 f").error, "a cycle of --cycles must be 1 to 10, not \"11\"");
    EXPECT_EQ(parse("--cycles 2:1 f").error, "--cycles names specimen 2, which has no file");
    EXPECT_EQ(parse("--plot plot.svg f").error,
              "--plot writes FILE.png or FILE.pdf, not \"plot.svg\"");
    EXPECT_EQ(parse("--frobnicate f").error, "unknown option --frobnicate");
    EXPECT_TRUE(parse("--help").options.help);
    EXPECT_EQ(parse("--help").error, "");
    // --version needs no file, and --help names it.
    EXPECT_TRUE(parse("--version").options.version);
    EXPECT_EQ(parse("--version").error, "");
    EXPECT_NE(std::string(kUsage).find("--version "), std::string::npos);
}

}  // namespace
}  // namespace plovix::cli

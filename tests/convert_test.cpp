// plovix-convert end to end: the binary on fixture files, its JSON report and exit codes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/sha256.h"
#include "cli/convert.h"
#include "export/dos_index.h"
#include "support/norvo_files.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

using testing::bytesOf;
using testing::fixture;
using testing::ConvertRun;
using testing::runConverter;

// The report's "sha256" and "bytes" of a file with these bytes.
std::string digestMembers(const std::string& bytes) {
    return "\"sha256\":\"" + sha256Hex(bytes) + "\",\"bytes\":" + std::to_string(bytes.size());
}

class Convert : public ::testing::Test {
  protected:
    testing::TempFolder temp;

    // Default settings (no settings file), the JSON report on standard output.
    ConvertRun run(const std::vector<std::string>& args) {
        std::vector<std::string> all{"--settings", (temp.path / "none.ini").string(), "--json",
                                     "-"};
        all.insert(all.end(), args.begin(), args.end());
        return runConverter(all);
    }
};

// The value of "key" in the first specimen (or the report) as text.
std::string value(const std::string& json, const std::string& key) {
    std::smatch m;
    const std::regex pattern("\"" + key + "\":(\"[^\"]*\"|[^,}\\]]*)");
    return std::regex_search(json, m, pattern) ? m.str(1) : "<missing>";
}

// Each "key=value" of the list, separated by blanks.
void expectValues(const std::string& json, const std::string& expected) {
    std::istringstream in(expected);
    for (std::string pair; in >> pair;) {
        const auto eq = pair.find('=');
        EXPECT_EQ(value(json, pair.substr(0, eq)), pair.substr(eq + 1)) << pair;
    }
}

// Golden Norvo files worked out by hand (tests/data/README.md) with the default settings.
struct GoldenCase {
    const char* name;
    const char* args;    // source, test type and settings, separated by blanks
    const char* input;   // copied beside the output: workbooks write files beside them
    const char* golden;  // nullptr: the input's folder and name, ".expected.NDT"
};
const GoldenCase kGoldenCases[] = {
    {"GeoTest", "--source geotest --test ds", "geotest/lst_ds_reversing.LST",
     "norvo/geotest_ds_reversing.expected.NDT"},
    {"Geomatic", "--source geomatic --test ds", "geomatic/passes.DAT",
     "norvo/geomatic_passes.expected.NDT"},
    {"ProprietaryClient", "--source proprietary --test cupp", "norvo/proprietary_cupp.TRX",
     nullptr},
    {"DurhamGeoDos", "--source durham --test ds --target dos", "durham/runs_and_stars.TXT",
     "norvo/durham_runs_dos.expected.NDT"},
    {"GeotacSigma1", "--source geotac --test cupp", "geotac/sigma1_cu.TRX", nullptr},
    {"GeotacTruePath", "--source geotac --test cd", "geotac/truepath_cd_ilc.TRX", nullptr},
    {"GeotacDigiShear", "--source geotac --test ds", "geotac/digishear_ds.SDF", nullptr},
    {"Geotac521", "--source geotac --test ds", "geotac/v521_ds.SDF", nullptr},
    {"GeotacLoadRing", "--source geotac --test ds", "geotac/v542_load_ring.SDF", nullptr},
    {"HumboldtPrepared", "--source humboldt --test cupp", "humboldt/prepared_cupp.TXT", nullptr},
    {"EnKay", "--source enkay --test cupp", "enkay/cupp_kn_mm.TXT", nullptr},
    {"EleSoilTest", "--source ele --test cupp", "ele/cupp_pcf_density.tab", nullptr},
    {"HumboldtWorkbookUU", "--source humboldt --test uu --set HUMREADXL=True --set HUMFTHSD=True",
     "humboldt/workbook_unconsolidated.xls", nullptr},
    {"HumboldtWorkbookXls", "--source humboldt --test ds --set HUMREADXL=True --set HUMFTHSD=True",
     "humboldt/workbook_direct_shear.xls", nullptr},
    {"HumboldtWorkbookXlsx", "--source humboldt --test ds --set HUMREADXL=True --set HUMFTHSD=True",
     "humboldt/workbook_direct_shear.xlsx", nullptr},
};

void PrintTo(const GoldenCase& c, std::ostream* os) {
    *os << c.name;
}

class ConvertGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ConvertGolden, NorvoFileRecordByRecord) {
    const GoldenCase& c = GetParam();
    namespace fs = std::filesystem;
    testing::TempFolder temp;
    const fs::path input = temp.path / fs::path(c.input).filename(), out = temp.path / "RESULT.NDT";
    fs::copy_file(fixture(c.input), input);
    std::vector<std::string> args{"--settings", (temp.path / "none.ini").string(),
                                  "--template", fixture("../../data/NVNEW.NDT"),
                                  "-o",         out.string()};
    std::istringstream options(c.args);
    for (std::string arg; options >> arg;) args.push_back(arg);
    args.push_back(input.string());
    const ConvertRun r = runConverter(args);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const std::string stem = std::string(c.input).substr(0, std::string(c.input).rfind('.'));
    testing::expectSameNorvoFile(bytesOf(out),
                                 bytesOf(fixture(c.golden ? c.golden : stem + ".expected.NDT")));
    // Only the DOS Norvo keeps an index: a new one gets record 1 "2" and the file.
    EXPECT_EQ(
        bytesOf(temp.path / "TRFILENM.RDT"),
        std::string(c.args).ends_with("dos")
            ? indexRecord("2") + indexRecord("\"RESULT\",\"Imported from data acquisition file\"")
            : "");
}

INSTANTIATE_TEST_SUITE_P(EverySource, ConvertGolden, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Convert, GeoTestDirectShearOfThreeCyclesAndTheCycleTicks) {
    ConvertRun r =
        run({"--source", "geotest", "--test", "ds", fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // Three cycles of 4, 2, 3 readings; LoadTol 5 % of 20 = 1 keeps all nine (8 by load).
    expectValues(r.out,
                 "source=2 test_type=2 target=\"windows\" readings_in_file=9 cycles_in_file=3 "
                 "used_cycles=3 readings_before_filtering=9 initial_disp_repeats=0 "
                 "initial_load_repeats=0 max_load=20 readings_to_write=9 met_disp=1 met_load=8 "
                 "time_or_rate=4 normal_stress=1000 stress_unit=3 load_unit=1 disp_unit=1 "
                 "test_type_after_header=2");
    EXPECT_NE(r.out.find("\"messages\":[]"), std::string::npos);
    // Each cycle's largest step is 0.01 in, 0.4 % of the 2.5 in shear box.
    EXPECT_NE(
        r.out.find("\"filter_report\":[{\"cycle\":1,\"readings\":4,\"kept\":4,\"dropped\":0,"
                   "\"largest_drop_distance_pct\":null,\"largest_step\":0.01,"
                   "\"largest_step_pct_diameter\":0.4},{\"cycle\":2,\"readings\":2,\"kept\":2,"
                   "\"dropped\":0,\"largest_drop_distance_pct\":null,\"largest_step\":0.01,"
                   "\"largest_step_pct_diameter\":0.4},{\"cycle\":3,\"readings\":3,\"kept\":3,"
                   "\"dropped\":0,\"largest_drop_distance_pct\":null,\"largest_step\":0.01,"
                   "\"largest_step_pct_diameter\":0.4}],\"filter_notes\":[]}"),
        std::string::npos)
        << r.out;

    // Cycle 2 skipped in both passes: 4 + 3 readings.
    r = run({"--source", "geotest", "--test", "ds", "--cycles", "1:1,3",
             fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    expectValues(r.out, "readings_to_write=7 met_disp=1 met_load=6");
    EXPECT_NE(r.out.find("\"direction\":\"REVERSE\",\"used\":false"), std::string::npos);

    // Durham Geo: 1.50 ksf with a psi pressure channel is 10.4166... psi, shown as "#.00".
    r = run({"--source", "durham", "--test", "ds", fixture("durham/header_four_channels.TXT")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    expectValues(r.out, "readings_to_write=1 normal_stress=10.42");
}

TEST_F(Convert, ExitCodesAndMessages) {
    // A header that ends early: the file is refused and the message is in the report.
    ConvertRun r =
        run({"--source", "geotest", "--test", "cu", fixture("geotest/truncated_header.LST")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.out.find("not in the expected format, GeoTest"), std::string::npos);
    EXPECT_NE(r.out.find("\"specimens\":[]"), std::string::npos);

    r = run({"--source", "geotest", "--test", "cu", "/nonexistent/file.LST"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(
        run({"--source", "geomatic", "--test", "cu", fixture("geomatic/passes.DAT")}).exitCode,
        1);  // Geomatic files are direct shear only
    EXPECT_EQ(run({"--set", "NOSUCHKEY=1", fixture("geomatic/passes.DAT")}).exitCode, 1);
    EXPECT_EQ(run({"--bogus"}).exitCode, 1);

    // A Norvo file that cannot be written: the export fails.
    r = run({"--source", "geotest", "--test", "ds", "-o", (temp.path / "TEST1.TXT").string(),
             fixture("geotest/lst_ds_reversing.LST")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.out.find("Not a valid NORVO file"), std::string::npos);
    r = run({"--source", "geotest", "--test", "ds", "-o", "/proc/no/such/folder/X.NDT",
             fixture("geotest/lst_ds_reversing.LST")});
    EXPECT_EQ(r.exitCode, 3);
}

TEST_F(Convert, TextsAreUtf8ExactlyOnce) {
    namespace fs = std::filesystem;
    // A folder named in UTF-8 stays as it is; one in the files' code page is read as Windows-1252.
    const std::pair<std::string, std::string> folders[] = {
        {"M\xC3\xBCller \xC3\xB1", "M\xC3\xBCller \xC3\xB1"},
        {"M\xFCller \x80\x9D", "M\xC3\xBCller \xE2\x82\xAC\xC2\x9D"}};
    for (const auto& [name, inJson] : folders) {
        fs::create_directory(temp.path / name);
        const fs::path file = temp.path / name / "lst_ds_reversing.LST";
        fs::copy_file(fixture("geotest/lst_ds_reversing.LST"), file);
        const ConvertRun r = run({"--source", "geotest", "--test", "ds", file.string()});
        ASSERT_EQ(r.exitCode, 0) << r.out;
        EXPECT_EQ(value(r.out, "file"),
                  "\"" + temp.path.string() + "/" + inJson + "/lst_ds_reversing.LST\"");
    }

    // Each string is judged on its own; every byte from 80 to 9F, in order.
    cli::ConvertReport report;
    report.messages = {
        "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
        "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
        "\xE2\x82\xAC \"q\"\r"};
    const std::string json = cli::jsonReport(report);
    EXPECT_NE(json.find("\n  \"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160"
                        "\u2039\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022"
                        "\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178\",\n  "
                        "\"\u20AC \\\"q\\\"\\r\""),
              std::string::npos)
        << json;
}

TEST_F(Convert, ReportSaysWhereEachNumberCameFrom) {
    const ConvertRun version = runConverter({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    std::smatch m;
    ASSERT_TRUE(
        std::regex_match(version.out, m, std::regex("plovix-convert ([0-9]+\\.[0-9]+\\.[0-9]+)\n")))
        << version.out;

    const std::string input = fixture("geotest/lst_ds_reversing.LST");
    const std::filesystem::path ini = temp.path / "Plovix.INI";
    std::ofstream(ini, std::ios::binary) << "[FiltTol]\r\nIncMax=0.1\r\nKWDS=False\r\n";
    const std::string out = (temp.path / "TEST1.NDT").string();
    ConvertRun r = run({"--settings", ini.string(), "--set", "Tolerance=7", "--source", "geotest",
                        "--test", "ds", "-o", out, input});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find(",\"input\":{" + digestMembers(bytesOf(input)) + "}"), std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find("\"program\":{\"name\":\"plovix-convert\",\"version\":\"" + m.str(1) + "\"}"),
        std::string::npos);
    // The settings file's value, the default and the override, each as the run used them.
    EXPECT_NE(r.out.find("\"settings\":{\"file\":\"" + ini.string() +
                         "\",\"values\":{\"DAT\":\"2\",\"LTTU\":\"2\",\"NVWIN\":\"True\","
                         "\"IncMax\":\"0.1\",\"Tolerance\":\"7\",\"KWDS\":\"False\","
                         "\"GEOTACUFVDAZ\":\"True\",\"HUMFTHSD\":\"False\"}}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find("\"output\":{\"file\":\"" + out + "\"," + digestMembers(bytesOf(out)) + "}"),
        std::string::npos)
        << r.out;

    // No settings file, no export, another source: its own keys.
    r = run({"--source", "geotac", "--test", "ds", "--target", "dos",
             fixture("geotac/v542_load_ring.SDF")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("\"settings\":{\"file\":null,\"values\":{\"DAT\":\"5\",\"LTTU\":\"2\","
                         "\"NVWIN\":\"False\",\"IncMax\":\"0.05\",\"Tolerance\":\"5\","
                         "\"GEOTACI0\":\"True\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"GEOTAC_LRCDS361\":\"8669\""), std::string::npos);
    EXPECT_EQ(value(r.out, "KWDS"), "<missing>");
    EXPECT_NE(r.out.find("\"output\":null"), std::string::npos);
}

// The digest is of the bytes read: a Humboldt file as prepared, a workbook's specimen text file.
TEST_F(Convert, HumboldtInputsAreTheFilesRead) {
    namespace fs = std::filesystem;
    const fs::path text = temp.path / "prepare_two_sections.TXT";
    fs::copy_file(fixture("humboldt/prepare_two_sections.TXT"), text);
    ConvertRun r = run({"--source", "humboldt", "--test", "ucc", text.string()});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const std::string prepared = bytesOf(text);
    ASSERT_NE(prepared, bytesOf(fixture("humboldt/prepare_two_sections.TXT")));
    EXPECT_NE(r.out.find(",\"input\":{" + digestMembers(prepared) + "}"), std::string::npos)
        << r.out;

    const fs::path workbook = temp.path / "workbook_direct_shear.xlsx";
    fs::copy_file(fixture("humboldt/workbook_direct_shear.xlsx"), workbook);
    r = run({"--source", "humboldt", "--test", "ds", "--set", "HUMREADXL=True", "--set",
             "HUMFTHSD=True", workbook.string()});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const std::string file = value(r.out, "file");
    ASSERT_GT(file.size(), 2u);
    EXPECT_NE(r.out.find(",\"input\":{" + digestMembers(bytesOf(file.substr(1, file.size() - 2))) +
                         ",\"workbook\":{\"file\":\"" + workbook.string() + "\"," +
                         digestMembers(bytesOf(workbook)) + "}}"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(value(r.out, "HUMREADXL"), "\"True\"");
}

// --display: each specimen's data display in order; the filter report follows each's results.
TEST_F(Convert, DisplayAndFilterReport) {
    const std::string input = fixture("geotest/lst_ds_reversing.LST");
    const std::string none = (temp.path / "none.ini").string();
    ::setenv("SOURCE_DATE_EPOCH", "1704207845", 1);  // 2 January 2024, 15:04:05 UTC
    ConvertRun r = runConverter({"--settings", none, "--source", "geotest", "--test", "ds",
                                 "--display", "-", input, input});
    ::unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    std::string shown = bytesOf(fixture("geotest/lst_ds_reversing.display.expected"));
    shown.replace(shown.find("tests/data"), 10, PLOVIX_TEST_DATA);
    EXPECT_EQ(r.out, "== specimen 1\n" + shown + "== specimen 2\n" + shown);

    r = runConverter({"--settings", none, "--source", "geotest", "--test", "ds", input});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("  Time of test:                       4.0\n"
                         "  FILTER REPORT (distances in % of the maximum load, steps in in)\n"),
              std::string::npos)
        << r.out;

    EXPECT_EQ(runConverter({"--display", "-", "--json", "-", input}).exitCode, 1);
}

}  // namespace
}  // namespace plovix

// plovix-convert end to end: the binary on fixture files, its JSON report and exit codes.

#include <gtest/gtest.h>

#include <algorithm>
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
using testing::ConvertRun;
using testing::runConverter;

std::string fixture(const std::string& name) {
    return std::string(PLOVIX_TEST_DATA) + "/" + name;
}

// The report's "sha256" and "bytes" of a file with these bytes.
std::string digestMembers(const std::string& bytes) {
    return "\"sha256\":\"" + sha256Hex(bytes) + "\",\"bytes\":" + std::to_string(bytes.size());
}

class Convert : public ::testing::Test {
  protected:
    testing::TempFolder temp;

    // Runs the converter with default settings (no settings file) and the JSON report on
    // standard output.
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

// Golden Norvo files, worked out by hand from each fixture and data/NVNEW.NDT (its head records
// 2, 4, 6, 12-14, 17-22, 29 and the blocks without readings pass through unchanged), with the
// default settings: Windows Norvo (rate mode 2) unless DOS is chosen, criteria 0.05 and 5 %,
// GEOTACI0, GEOTACROS, GEOTACUFVDAZ, GEOTACUIL, HUMROS, load ring 8669 lbs/in.
struct GoldenCase {
    const char* name;
    std::vector<std::string> args;  // source, test type and settings
    const char* input;              // copied beside the output: workbooks write files beside them
    const char* golden;
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
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back(input.string());
    const ConvertRun r = runConverter(args);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    testing::expectSameNorvoFile(bytesOf(out), bytesOf(fixture(c.golden)));
    // Only the DOS Norvo keeps an index: a new one gets record 1 "2" and the file.
    const bool dos = std::find(c.args.begin(), c.args.end(), "dos") != c.args.end();
    EXPECT_EQ(bytesOf(temp.path / "TRFILENM.RDT"),
              dos ? indexRecord("2") + indexRecord("\"RESULT\",\"Imported from data acquisition "
                                                   "file\"")
                  : "");
}

INSTANTIATE_TEST_SUITE_P(
    EverySource, ConvertGolden,
    ::testing::Values(
        // Field 9 "Grey silty clay, f" (18 characters), field 10 the rest; all 9 readings kept
        // (maximum load 20, 5 % = 1, every load step is larger); after the displacement falls at
        // reading 5 it grows by each step's travel: .02 + .01 = .03, .04, .05, .06, .07; third
        // value the second "Displ" column; rate mode 2: 4.00 - 0.00 = 4 min; record 7 diameter
        // 2.5 and shear-stage height 0.99; units of the Windows Norvo 4,1,1,1,2,2,1.
        GoldenCase{"GeoTest",
                   {"--source", "geotest", "--test", "ds"},
                   "geotest/lst_ds_reversing.LST",
                   "norvo/geotest_ds_reversing.expected.NDT"},
        // Load = column 2 x area / 144, area 3.141592654 x 2.5^2 / 4 = 4.908738521875: 288 ->
        // 9.81747704375, 432 -> 14.726215565625, 360 -> 12.2718463046875, 144 ->
        // 4.908738521875; the second pass adds its travel to .015: .03, .036, .042, the third
        // none (.042); rate 0.0100 from header line 14; record 7 diameter sqrt(area x 4 / pi) =
        // 2.5; units 3,1,3,1,2,2,1.
        GoldenCase{"Geomatic",
                   {"--source", "geomatic", "--test", "ds"},
                   "geomatic/passes.DAT",
                   "norvo/geomatic_passes.expected.NDT"},
        // CU with pore pressures: disp (c3 - 1) x 1 / 2, load (c2 - 0.5) x 2 / 10, pore
        // (c4 - 0.25) x 4 / 2; the last line only ends the data; normal (50.2 - 0.2) x 10 / 5 =
        // 100; strain rate 0.4 x 100 / 5.6 / 4 min = 1.7857 -> 1.786; units kPa 6, 1, 6, in 1,
        // 2, 2, kN 2.
        GoldenCase{"ProprietaryClient",
                   {"--source", "proprietary", "--test", "cupp"},
                   "norvo/proprietary_cupp.TRX",
                   "norvo/proprietary_cupp.expected.NDT"},
        // DOS with data/NV.DDT (d = 3,2,3,1,1,4,1, rate mode 1, method 5, shear flag -1): run 1
        // only, the horizontal travel (larger range) is the displacement; test record
        // 2,1,-1,...; rate 0.03 in / 0.25 min = 0.12; units psi 1, 2, 1, in 1, 1, 4, lbs 1;
        // field 15 line 2 & " : " & 30 characters of line 1 from 13.
        GoldenCase{"DurhamGeoDos",
                   {"--source", "durham", "--test", "ds", "--target", "dos"},
                   "durham/runs_and_stars.TXT",
                   "norvo/durham_runs_dos.expected.NDT"},
        // Sigma-1 CU as CUPP: load (c2 - 0.5) x 8 / 2 - piston 1, pore (c4 - 0.25) x 4 / 2, cell
        // c5 - 0.5 = 40, platen c6 / 1. Loads 0 10 20 25 24.5 24: peak 25, high 24.5, tolerance
        // 1.25; 24 moves 0.5 and 0.01 in: dropped. Cell 5 x 40 / 5 = 40; rate 0.05 x 100 / 5.0 /
        // 5 min = 0.2.
        GoldenCase{"GeotacSigma1",
                   {"--source", "geotac", "--test", "cupp"},
                   "geotac/sigma1_cu.TRX",
                   "geotac/sigma1_cu.expected.NDT"},
        // TruePath CD with an internal load cell: load (c3 - 0.25) x 8 / 2, cell c5 - 0.5 = 60,
        // platen c8, volume c11 / 1. 10.5 after 10 with 0.02 in is dropped; 60 x 6 / 6 = 60;
        // rate 0.12 x 100 / 5.6 / 12 min = 0.17857 -> 0.179.
        GoldenCase{"GeotacTruePath",
                   {"--source", "geotac", "--test", "cd"},
                   "geotac/truepath_cd_ilc.TRX",
                   "geotac/truepath_cd_ilc.expected.NDT"},
        // DigiShear: first displacement 0.002, so a zero reading goes first (its vertical zero
        // is 0); load (c2 - 0.25) x 50 / 5, normal (c3 - 0.5) x 100 / 5 = 100 lbs, vertical c4 x
        // 0.1, the horizontal c6. The 0 load is the cycle's minimum (kept), 15.625 dropped,
        // 34.375 kept by 0.1 in of travel: 7 lines. Normal 100 x 6 / (7 - 1) / 4.908738521875 =
        // 20.37 psi; rate (0.3 - 0) x 100 / 2.5 / 3 min = 4.
        GoldenCase{"GeotacDigiShear",
                   {"--source", "geotac", "--test", "ds"},
                   "geotac/digishear_ds.SDF",
                   "geotac/digishear_ds.expected.NDT"},
        // 5.2.1 direct shear: horizontal c2 / 1000, load (c3 - 0.5) x 2, vertical c4 less the
        // first (0.5). Peak 36, high 35.5, 35.25 dropped. Every block's normal value is 0 while
        // the file is 5.2.1, the template's too; no diameter or height is read, so no rate.
        GoldenCase{"Geotac521",
                   {"--source", "geotac", "--test", "ds"},
                   "geotac/v521_ds.SDF",
                   "geotac/v521_ds.expected.NDT"},
        // 5.4.2 load ring: load = deflection x 8669, horizontal c4, vertical c3 less 0.05; peak
        // 26.007, high 25.1401, 24.2732 dropped and then kept by 0.09 in of travel. No normal
        // channel.
        GoldenCase{"GeotacLoadRing",
                   {"--source", "geotac", "--test", "ds"},
                   "geotac/v542_load_ring.SDF",
                   "geotac/v542_load_ring.expected.NDT"},
        // CU with pore pressures from here on; the first reading's third value is 0, as
        // GEOTACUFVDAZ makes it the zero of the third channel. Prepared Humboldt text: columns
        // 7, 8, 9; loads 0 .1 2 2.1 2.2 5 4.9 3, tolerance .25: kept the first, 2 (change), 2.2
        // (travel .09 - .02 > .05), 5 (peak), 4.9 (high), 3 (change); units mm, kN, kPa give
        // 6,1,6,3,2,2,2; the time stamps are no dates, so the rate is 0.
        GoldenCase{"HumboldtPrepared",
                   {"--source", "humboldt", "--test", "cupp"},
                   "humboldt/prepared_cupp.TXT",
                   "humboldt/prepared_cupp.expected.NDT"},
        // Load column 2, displacement 3, pore 4: loads 0 .03 .4 .42 .8 .79 .6, tolerance .04,
        // kept as above (.42 for its travel .1 - .04), the first reading included; the empty
        // last line ends the data; head: job, company, location from "Sample Location",
        // "Sample Number: S-12 Boring:  Depth: ", description from "Sample Description", " : ".
        GoldenCase{"EnKay",
                   {"--source", "enkay", "--test", "cupp"},
                   "enkay/cupp_kn_mm.TXT",
                   "enkay/cupp_kn_mm.expected.NDT"},
        // The same loads as forces in newtons (column 5 / 1000), pore column 3; normal value the
        // mean cell pressure of the six kept readings (300+300+301+301+302+302)/6 = 301; rate
        // 0.05 from the header; weight 812.4 and gravity 2.64 in record 6 of every block;
        // diameter 38 and height 76 in record 7; company unquoted.
        GoldenCase{"EleSoilTest",
                   {"--source", "ele", "--test", "cupp"},
                   "ele/cupp_pcf_density.tab",
                   "ele/cupp_pcf_density.expected.NDT"},
        // Humboldt workbooks read directly, from the cells in workbook_sources.py, with the
        // default positions (UU sheet 4, row 42, column C, step 1; direct shear sheet 3, row 12,
        // column B, step 1) and HUMFTHSD, so the text written has the labelled full-transfer
        // layout (readings in fields 2 to 4, or 2 to 6). UU: G21 of sheets 4 and 5 is 1.4, of
        // sheet 6 empty: two specimens. C the reading, E the load (field 3), D the deformation
        // (field 4); loads 0 12 25 31 30 (tolerance 1.55) and 0 20 38 44 42 (2.2): every reading
        // moves the load by more than the tolerance or is the peak (31, 44) or the high load
        // (30, 42): five lines each, third value 0 (not read for UU). Column D labels: cell
        // pressure E12 (5, 10) as the normal value, "Rate of Strain" E13 = 1 (no time stamps, so
        // it stays), weight G23 98.6 and gravity E17 2.7 in record 6, diameter G21 1.4 and
        // height G22 2.8 in record 7. "(psi)", "(in)" and "(lbs)" give the unit record
        // 1,1,1,1,2,2,1. Head: job E9, project E8, description E11; method "ASTM - D 2850"
        // (code 4), Direct Shear flag 0, "No".
        GoldenCase{"HumboldtWorkbookUU",
                   {"--source", "humboldt", "--test", "uu", "--set", "HUMREADXL=True", "--set",
                    "HUMFTHSD=True"},
                   "humboldt/workbook_unconsolidated.xls",
                   "humboldt/workbook_unconsolidated.expected.NDT"},
        // Direct Shear: summary check cells C27, E27 (=C27), G27 are 2.5, I27 0: sheets 3 to 5.
        // Readings B to F: load D (field 4), horizontal E (field 5), vertical F (field 6); loads
        // 0 5 7 + 10 per row, each more than 5 % of the peak above the last: all five kept.
        // Normal stress from the summary rows 14, 16, 18: C14 10, C16 20, C18 40 psi. The rate
        // written is the header's C7 0.05: the block head is written right after the header is
        // read again in the export pass; only after the readings does the time (column C, "0"
        // to "2", no dates) make it 0, as the preview shows. Weight C31 120.5, E31 121, G31
        // #DIV/0! (0); height C26 1, E26 1.02, G26 0.98; diameter row 27, 2.5 each; no
        // "Gravity" line: 0. "Sample Description" shares the line of "Project Name", so both
        // take its field 6, C5 "Rivi", byte E8, "re Dam". Method code 1, flag 4 ("Yes"), three
        // specimens, the template's fourth block. The .xls and .xlsx hold the same cells.
        GoldenCase{"HumboldtWorkbookXls",
                   {"--source", "humboldt", "--test", "ds", "--set", "HUMREADXL=True", "--set",
                    "HUMFTHSD=True"},
                   "humboldt/workbook_direct_shear.xls",
                   "humboldt/workbook_direct_shear.expected.NDT"},
        GoldenCase{"HumboldtWorkbookXlsx",
                   {"--source", "humboldt", "--test", "ds", "--set", "HUMREADXL=True", "--set",
                    "HUMFTHSD=True"},
                   "humboldt/workbook_direct_shear.xlsx",
                   "humboldt/workbook_direct_shear.expected.NDT"}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return info.param.name; });

TEST_F(Convert, GeoTestDirectShearOfThreeCyclesAndTheCycleTicks) {
    ConvertRun r =
        run({"--source", "geotest", "--test", "ds", fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // Displacements 0 .01 .02 .02 | .01 0 | .01 .02 .03: three cycles, nine readings (the
    // "lastline" trailer ends the data). Cycle maxima 20, -5, 16: the maximum load is 20, so
    // the load criterion is 5% of 20 = 1. Kept: the first reading (a displacement point);
    // 10 (change 10 > 1), 20 (peak), 18 (the cycle's highest non-peak load), -5 (peak of
    // cycle 2), -12 (its minimum), 4 (the high load of cycle 3, its first), 12 (change 8),
    // 16 (peak): 8 load points. Time 4.00 - 0.00 min; normal pressure 1000 psf.
    expectValues(r.out,
                 "source=2 test_type=2 target=\"windows\" readings_in_file=9 cycles_in_file=3 "
                 "used_cycles=3 readings_before_filtering=9 initial_disp_repeats=0 "
                 "initial_load_repeats=0 max_load=20 readings_to_write=9 met_disp=1 met_load=8 "
                 "time_or_rate=4 normal_stress=1000 stress_unit=3 load_unit=1 disp_unit=1 "
                 "test_type_after_header=2");
    EXPECT_NE(r.out.find("\"messages\":[]"), std::string::npos);
    // The filter report: all nine readings kept; each cycle's largest step is 0.01 in, 0.4 % of
    // the 2.5 in shear box.
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

    // Cycle 2 (-5, -12) is skipped in both passes: 4 + 3 readings logged, two cycles used;
    // kept: the first reading, 10, 20, 18, then 4, 12, 16.
    r = run({"--source", "geotest", "--test", "ds", "--cycles", "1:1,3",
             fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    expectValues(r.out, "readings_to_write=7 met_disp=1 met_load=6");
    EXPECT_NE(r.out.find("\"direction\":\"REVERSE\",\"used\":false"), std::string::npos);

    // Durham Geo: 1.50 ksf with a psi pressure channel is 10.4166... psi; the report gives the
    // value kept, as shown ("#.00").
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
    // A folder named in UTF-8 stays as it is; one named in the files' code page is read as
    // Windows-1252: FC is u-umlaut, 80 the euro sign, 9D (undefined there) U+009D.
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

    // Each string is judged on its own: a message quoting header text in the code page is
    // Windows-1252 throughout, beside one in UTF-8. Every byte from 80 to 9F, in order.
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
    // The source, test type, target and criteria, then what GeoTest files depend on; the
    // settings file's value, the default and the override each as the run used them.
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

// The digest is of the bytes the reading pass read: a Humboldt file after its preparation in
// place, and a workbook's specimen text file, with the workbook's own digest beside it.
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

// --display: each specimen's data display in order, bytes as the engine lays them out (the
// print date from SOURCE_DATE_EPOCH); the filter report follows each specimen's results.
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

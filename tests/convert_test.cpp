// plovix-convert end to end: the binary on fixture files, its JSON report and exit codes.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

#include "support/temp_folder.h"

namespace plovix {
namespace {

struct ConvertRun {
    int exitCode = -1;
    std::string out;
};

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string fixture(const std::string& name) {
    return std::string(PLOVIX_TEST_DATA) + "/" + name;
}

class Convert : public ::testing::Test {
  protected:
    testing::TempFolder temp;

    // Runs the converter with default settings (no settings file) and the JSON report on
    // standard output; standard error is dropped.
    ConvertRun run(const std::vector<std::string>& args) {
        std::string command = std::string(PLOVIX_CONVERT) + " --settings " +
                              quoted((temp.path / "none.ini").string()) + " --json -";
        for (const auto& a : args) command += " " + quoted(a);
        command += " 2>/dev/null";
        ConvertRun r;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return r;
        std::array<char, 4096> buffer{};
        while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
            r.out.append(buffer.data(), n);
        const int status = ::pclose(pipe);
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }
};

// The value of "key" in the first specimen (or the report) as text.
std::string value(const std::string& json, const std::string& key) {
    std::smatch m;
    const std::regex pattern("\"" + key + "\":(\"[^\"]*\"|[^,}\\]]*)");
    return std::regex_search(json, m, pattern) ? m.str(1) : "<missing>";
}

void expectValues(const std::string& json,
                  std::initializer_list<std::pair<const char*, const char*>> expected) {
    for (const auto& [key, v] : expected) EXPECT_EQ(value(json, key), v) << key;
}

TEST_F(Convert, GeoTestDirectShearOfThreeCycles) {
    const ConvertRun r =
        run({"--source", "geotest", "--test", "ds", fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // Displacements 0 .01 .02 .02 | .01 0 | .01 .02 .03: three cycles, nine readings (the
    // "lastline" trailer ends the data). Cycle maxima 20, -5, 16: the maximum load is 20, so
    // the load criterion is 5% of 20 = 1. Kept: the first reading (a displacement point);
    // 10 (change 10 > 1), 20 (peak), 18 (the cycle's highest non-peak load), -5 (peak of
    // cycle 2), -12 (its minimum), 4 (the high load of cycle 3, its first), 12 (change 8),
    // 16 (peak): 8 load points. Time 4.00 - 0.00 min; normal pressure 1000 psf.
    expectValues(r.out, {{"source", "2"},
                         {"test_type", "2"},
                         {"target", "\"windows\""},
                         {"readings_in_file", "9"},
                         {"cycles_in_file", "3"},
                         {"used_cycles", "3"},
                         {"readings_before_filtering", "9"},
                         {"initial_disp_repeats", "0"},
                         {"initial_load_repeats", "0"},
                         {"max_load", "20"},
                         {"readings_to_write", "9"},
                         {"met_disp", "1"},
                         {"met_load", "8"},
                         {"time_or_rate", "4"},
                         {"normal_stress", "1000"},
                         {"stress_unit", "3"},
                         {"load_unit", "1"},
                         {"disp_unit", "1"},
                         {"test_type_after_header", "2"}});
    EXPECT_NE(r.out.find("\"messages\":[]"), std::string::npos);
}

TEST_F(Convert, CycleTicksLeaveOutTheReverseCycle) {
    const ConvertRun r = run({"--source", "geotest", "--test", "ds", "--cycles", "1:1,3",
                              fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // Cycle 2 (-5, -12) is skipped in both passes: 4 + 3 readings logged, two cycles used;
    // kept: the first reading, 10, 20, 18, then 4, 12, 16.
    expectValues(r.out, {{"readings_to_write", "7"}, {"met_disp", "1"}, {"met_load", "6"}});
    EXPECT_NE(r.out.find("\"direction\":\"REVERSE\",\"used\":false"), std::string::npos);
}

TEST_F(Convert, GeomaticPassesAndTheOtherSources) {
    ConvertRun r = run({"--source", "geomatic", "--test", "ds", fixture("geomatic/passes.DAT")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    // Passes of 4, 3 and 1 readings. Stresses 0 288 432 360 | 0 144 288 | 144 psf on an area
    // of 4.908738522 sq in: loads = psf x 0.0340884620; the peak 432 psf is 14.7262... lb.
    // Load criterion 5% of it (0.736): every reading but the first is a key load or moves the
    // load by more (9.82 after 0, the pass-2 start 0 is its high load, 4.91 after 0).
    expectValues(r.out, {{"readings_in_file", "8"},
                         {"readings_to_write", "8"},
                         {"met_disp", "1"},
                         {"met_load", "7"}});
    EXPECT_NEAR(std::stod(value(r.out, "max_load")), 432 * 4.908738522 / 144, 1e-9);

    // Proprietary Client: the file's last line ends the data before it is counted, so one
    // reading of load (0.0125 - 0.0125) x 0.45 / 10 = 0. The normal stress sums the cell
    // reading less its zero: 0.1 - 0.1 = 0.
    r = run({"--source", "proprietary", "--test", "cu", fixture("proprietary/header.TRX")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    expectValues(r.out, {{"readings_in_file", "1"},
                         {"readings_to_write", "1"},
                         {"max_load", "0"},
                         {"normal_stress", "0"},
                         {"test_type_after_header", "4"}});

    // Durham Geo: 1.50 ksf with a psi pressure channel is 10.4166... psi, shown and kept as
    // 10.42 ("#.00").
    r = run({"--source", "durham", "--test", "ds", fixture("durham/header_four_channels.TXT")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    expectValues(r.out, {{"readings_to_write", "1"}, {"normal_stress", "10.42"}});
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
}

TEST_F(Convert, WritesTheNorvoFileOrFailsWithoutTouchingIt) {
    const std::string out = (temp.path / "TEST1.NDT").string();
    ConvertRun r = run({"--source", "geotest", "--test", "ds", "-o", out,
                        fixture("geotest/lst_ds_reversing.LST")});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    ASSERT_TRUE(std::filesystem::exists(out));
    EXPECT_GT(std::filesystem::file_size(out), 0u);

    r = run({"--source", "geotest", "--test", "ds", "-o", (temp.path / "TEST1.TXT").string(),
             fixture("geotest/lst_ds_reversing.LST")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.out.find("Not a valid NORVO file"), std::string::npos);
    r = run({"--source", "geotest", "--test", "ds", "-o", "/proc/no/such/folder/X.NDT",
             fixture("geotest/lst_ds_reversing.LST")});
    EXPECT_EQ(r.exitCode, 3);
}

}  // namespace
}  // namespace plovix

#include "support/norvo_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "text/number_reading.h"

namespace plovix::testing {

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string geotestShearFile(const std::vector<std::array<double, 3>>& rows) {
    std::string text = bytesOf(std::filesystem::path(PLOVIX_TEST_DATA) / "geotest/pass_keys.LST");
    text.resize(text.find("  1  0.00"));
    char line[96];
    int n = 0;
    for (const auto& [time, disp, load] : rows) {
        std::snprintf(line, sizeof line, "%d %.2f %.3f %.1f 0.0 0.0000 1000.0\r\n", ++n, time, disp,
                      load);
        text += line;
    }
    return text + "123456789lastline987654321\r\n";
}

std::vector<std::string> norvoRecords(const std::string& bytes) {
    std::vector<std::string> records;
    for (std::size_t at = 0, end; at < bytes.size(); at = end + 2) {
        end = bytes.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "no CR LF after byte " << at;
        if (end == std::string::npos) break;
        records.push_back(bytes.substr(at, end - at));
        EXPECT_EQ(records.back().find_first_of("\r\n"), std::string::npos);
    }
    return records;
}

std::vector<std::string> norvoValues(const std::string& record) {
    std::vector<std::string> values(1);
    bool quoted = false;
    for (char c : record) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted)
            values.emplace_back();
        else
            values.back() += c;
    }
    return values;
}

void expectSameNorvoFile(const std::string& actual, const std::string& golden) {
    const auto got = norvoRecords(actual), want = norvoRecords(golden);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t r = 0; r < want.size(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1) + ": " + got[r]);
        const auto g = norvoValues(got[r]), w = norvoValues(want[r]);
        ASSERT_EQ(g.size(), w.size());
        for (std::size_t v = 0; v < w.size(); ++v) {
            if (w[v].empty() || w[v].front() == '"') {
                EXPECT_EQ(g[v], w[v]);
                continue;
            }
            EXPECT_NE(g[v].find_first_of("0123456789"), std::string::npos) << "value " << v + 1;
            const double x = readNumber(w[v]);
            EXPECT_NEAR(readNumber(g[v]), x, 1e-12 * std::max(1.0, std::fabs(x)))
                << "value " << v + 1;
        }
    }
}

ConvertRun runConverter(const std::vector<std::string>& args) {
    std::string command = PLOVIX_CONVERT;
    for (const std::string& arg : args) {
        command += " '";
        for (char c : arg) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += "'";
    }
    ConvertRun run;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace plovix::testing

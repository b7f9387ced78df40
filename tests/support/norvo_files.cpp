#include "support/norvo_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "text/number_reading.h"

namespace plovix::testing {

std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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

int runConverter(const std::string& arguments) {
    const std::string command = std::string(PLOVIX_CONVERT) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace plovix::testing

#pragma once
// A fixture that reads a D/A file's header as the reading pass does, then its lines and fields.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "sources/get_field.h"
#include "sources/header_reader.h"
#include "support/recording_operator.h"

namespace plovix::testing {

class HeaderFixture : public ::testing::Test {
  protected:
    Session s;
    RecordingOperator op;
    std::optional<LineReader> in;
    const HeaderValues& h = s.header;

    HeaderResult readHeader(int source, int test, std::optional<LineReader> reader) {
        s.settings.SourceType = source;
        s.program.TestType = test;
        in = std::move(reader);
        EXPECT_TRUE(in.has_value()) << s.settings.DAFile;
        return in ? fSkipHeaders(s, op, *in) : HeaderResult{};
    }
    std::string dataLine() { return in->next(h.LineByLF).value_or("<end>"); }
    double field(const std::string& line, int n) { return fGetField(s, op, line, n).toNumber(); }
    std::array<int, 3> units() const { return {h.DispUnit, h.LoadUnit, h.StressUnit}; }
};

}  // namespace plovix::testing

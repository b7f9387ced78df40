// Random and mutated lines through the line reader, number reading and every source's field
// extraction, under the sanitizers: nothing may crash, read out of bounds or yield a number
// that is not finite.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <regex>

#include "sources/get_field.h"
#include "sources/header_reader.h"
#include "sources/source_codes.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "text/line_reader.h"
#include "text/number_reading.h"

namespace plovix {
namespace {

constexpr int kRounds = 3000;
constexpr int kFieldRounds = 20000;

class LineMaker {
  public:
    explicit LineMaker(unsigned seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string randomBytes(int maxLength, std::string_view alphabet) {
        std::string s;
        const int n = pick(0, maxLength);
        for (int i = 0; i < n; ++i)
            s += alphabet[static_cast<std::size_t>(pick(0, static_cast<int>(alphabet.size()) - 1))];
        return s;
    }

    // A plausible reading line of some layout, then a few random edits.
    std::string line() {
        static const char* const kSamples[] = {
            "0.0125 144 0.0031",
            "  1  0:05  0.0100  12.5  0.5  0.3  10.0",
            "12.5,0.2,0.01,30",
            "10:00 AM\t1.5\t3.0\t5.0\t42",
            "10:00:01 0.1000   25.0 3.5 7.25",
            "0:01 AM\t9\t0.5\t0.3\t7\t0.9",
            "1\t\"ABCDEFGHIJ\"\t\"0123456789\"\t\"250\"\t 31.5 \t\"2\"",
            "\"ABCDEFGHIJ\", \"0.125\",\"0123456789\",\"45.5\",\"-1.5\"",
            "0.5\t2500\t\"12.5\"\t300",
            "1e308 1e308 -1e308\t1e308\t9e307",
        };
        if (pick(0, 3) == 0) return randomBytes(120, kAlphabet);
        std::string s = kSamples[pick(0, 9)];
        const int edits = pick(0, 6);
        for (int e = 0; e < edits && !s.empty(); ++e) {
            const auto at = static_cast<std::size_t>(pick(0, static_cast<int>(s.size()) - 1));
            switch (pick(0, 3)) {
                case 0:
                    s.erase(at, static_cast<std::size_t>(pick(1, 5)));
                    break;
                case 1:
                    s.insert(at, randomBytes(6, kAlphabet));
                    break;
                case 2:
                    s[at] = kAlphabet[static_cast<std::size_t>(
                        pick(0, static_cast<int>(kAlphabet.size()) - 1))];
                    break;
                default:
                    s = s.substr(0, at);
                    break;
            }
        }
        return s;
    }

    static constexpr char kAlphabetBytes[] = "0123456789.+-eEdD \t,\"\r\n:/AMxyz\xff\x80\0";
    static constexpr std::string_view kAlphabet{kAlphabetBytes, sizeof kAlphabetBytes - 1};

  private:
    std::mt19937 rng_;
};

void randomHeader(Session& s, LineMaker& m) {
    static const double kConstants[] = {0, -1, 1, 2.5, -3, 1e-300, 1e308, -1e308};
    auto constant = [&] { return kConstants[m.pick(0, 7)]; };
    HeaderValues& h = s.header;
    for (int* column : {&h.ColDisp, &h.ColLoad, &h.ColAux, &h.ColCell, &h.Reading.disp,
                        &h.Reading.load, &h.Reading.aux, &h.Reading.cell})
        *column = m.pick(-1, 12);
    for (int* channel :
         {&h.ChanTravel, &h.ChanTravel2, &h.ChanLoad, &h.ChanPressure, &h.ChanStress})
        *channel = m.pick(-2, 12);
    h.HumFormat = m.pick(-1, 4);
    for (auto ch : {CalChannel::Load, CalChannel::Disp, CalChannel::Aux, CalChannel::Cell})
        for (int k = 1; k <= 3; ++k) h.Cal(ch, k) = constant();
    for (bool* flag : {&h.TouchScreenFile, &h.KnownVersion, &h.Version521, &h.UUDirect,
                       &h.LoadRingDS, &h.Reading.dispOverFactor, &h.UseDCDT, &h.GeoFile,
                       &s.specimens.KWDSFile, &s.settings.GEOTACUFVDAZ, &s.settings.HUMREADXL,
                       &s.settings.HUMXLEXP, &s.settings.HUMFTHSD})
        *flag = m.pick(0, 1);
    h.PistonWeight = m.pick(0, 1) ? "1e308" : "0.5";
    h.LastRevisionDate = m.pick(0, 1) ? "01/20/2002" : "";
    for (double* value :
         {&h.SpecimenArea(1), &s.settings.LRCDS361, &s.settings.HumDefDiv, &s.pass.VertZero})
        *value = constant();
}

TEST(Fuzz, FieldExtractionOfEverySourceSurvivesAnyLine) {
    LineMaker m(20261206);
    testing::RecordingOperator op;
    long long numbers = 0;
    for (int round = 0; round < kFieldRounds; ++round) {
        Session s;
        s.settings.SourceType = 1 + round % 8;
        s.program.TestType = m.pick(1, 6);
        s.specimens.CurrentSpecimen = 1;
        randomHeader(s, m);
        const std::string line = m.line();
        for (int n = -1; n <= 7; ++n) {
            const FieldValue v = fGetField(s, op, line, n);
            if (v.kind() == FieldValue::Kind::Number) {
                ++numbers;
                ASSERT_TRUE(std::isfinite(v.toNumber()))
                    << "source " << s.settings.SourceType << " field " << n << " line " << line;
            }
        }
        op.messages.clear();
    }
    EXPECT_GT(numbers, kFieldRounds);  // the lines did reach the arithmetic
}

TEST(Fuzz, NumberReadingAgreesWithAStraightforwardReading) {
    LineMaker m(7);
    const std::regex number(R"(^[+-]?(\d+\.?\d*|\.\d+)([Ee][+-]?\d+)?)");
    for (int round = 0; round < kRounds; ++round) {
        const std::string text =
            m.pick(0, 1) ? m.line() : m.randomBytes(30, "0123456789.+-eEdD \t\nx");
        std::string squeezed;
        for (char c : text)
            if (c != ' ' && c != '\t' && c != '\n') squeezed += (c == 'D' || c == 'd') ? 'E' : c;
        std::smatch match;
        double expected = 0.0;
        if (std::regex_search(squeezed, match, number))
            expected = std::strtod(match.str(0).c_str(), nullptr);
        const double got = readNumber(text);
        if (std::isinf(expected)) {
            EXPECT_EQ(got, expected) << text;
        } else {
            EXPECT_DOUBLE_EQ(got, expected) << text;
        }
    }
}

TEST(Fuzz, LineReaderOnRandomBytes) {
    LineMaker m(99);
    for (int round = 0; round < kRounds; ++round) {
        const std::string bytes = m.randomBytes(300, std::string_view("ab \r\r\n\n\n\0\xff", 10));
        auto r = LineReader::fromBytes(bytes);
        std::size_t total = 0;
        std::int64_t count = 0;
        LineReader::Position mark;
        std::string lineAtMark;
        bool marked = false;
        while (!r.atEnd()) {
            const bool byLF = m.pick(0, 1);
            if (!marked && m.pick(0, 3) == 0) {
                mark = r.tell();
                marked = true;
                const auto line = r.next(byLF);
                ASSERT_TRUE(line.has_value());
                lineAtMark = *line;
                r.seek(mark);
                ASSERT_EQ(r.next(byLF), lineAtMark);
                total += lineAtMark.size();
            } else {
                const auto line = r.next(byLF);
                ASSERT_TRUE(line.has_value());
                total += line->size();
            }
            ++count;
            ASSERT_LE(count, static_cast<std::int64_t>(bytes.size()));
        }
        EXPECT_LE(total, bytes.size());
        EXPECT_EQ(r.linesConsumed(), count);
        EXPECT_FALSE(r.next().has_value());
    }
}

TEST(Fuzz, HeaderReadersSurviveTruncatedAndEditedFixtures) {
    struct Case {
        int source, test;
        const char* fixture;
        bool fourColumn;
    };
    const Case cases[] = {
        {kGeomatic, kDirectShear, "geomatic/header_basic.DAT", false},
        {kGeoTest, kConsolidatedUndrained, "geotest/header_geo.geo", false},
        {kGeoTest, kDirectShear, "geotest/header_lst_ds.LST", false},
        {kGeoTest, kUnconfinedCompression, "geotest/header_lst_ucc.LST", false},
        {kGeoTest, kDirectShear, "geotest/header_four_column.DAT", true},
        {kProprietaryClient, kConsolidatedUndrained, "proprietary/header.TRX", false},
        {kDurhamGeo, kDirectShear, "durham/header_four_channels.TXT", false},
        {kDurhamGeo, kConsolidatedUndrained, "durham/header_three_channels.TXT", false},
        {kDurhamGeo, kUnconsolidatedUndrained, "durham/touchscreen.TXT", false},
        {kHumboldt, kCuWithPorePressures, "humboldt/prepared_cupp.TXT", false},
        {kEnKay, kCuWithPorePressures, "enkay/cupp_kn_mm.TXT", false},
        {kEleSoilTest, kCuWithPorePressures, "ele/cupp_pcf_density.tab", false},
    };
    LineMaker m(4242);
    for (const Case& c : cases) {
        const std::string path = std::string(PLOVIX_TEST_DATA) + "/" + c.fixture;
        const std::string original = testing::bytesOf(path);
        ASSERT_FALSE(original.empty()) << path;
        for (int round = 0; round < 300; ++round) {
            std::string bytes = original;
            if (round % 2 == 0)
                bytes.resize(static_cast<std::size_t>(m.pick(0, static_cast<int>(bytes.size()))));
            for (int e = m.pick(0, 8); e > 0 && !bytes.empty(); --e) {
                const auto at =
                    static_cast<std::size_t>(m.pick(0, static_cast<int>(bytes.size()) - 1));
                bytes[at] = LineMaker::kAlphabet[static_cast<std::size_t>(
                    m.pick(0, static_cast<int>(LineMaker::kAlphabet.size()) - 1))];
            }
            Session s;
            s.settings.SourceType = c.source;
            s.program.TestType = c.test;
            s.specimens.CurrentSpecimen = 1 + round % 4;
            s.specimens.KWDSFile = c.fourColumn;
            s.settings.DAFile = path;
            s.settings.HUMXLEXP = round % 5 == 1;
            s.settings.HUMFTHSD = round % 7 == 2;
            s.settings.HumIncOne = round % 3 == 1;
            testing::RecordingOperator op;
            op.scriptAnswers({round % 3 == 0});
            auto in = LineReader::fromBytes(bytes);
            const HeaderResult r = fSkipHeaders(s, op, in);
            if (r.status != HeaderStatus::Read) {
                EXPECT_EQ(r.lines, 0);
            }
            // Whatever the header said, the readings after it can be split without harm.
            while (auto line = in.next())
                for (int n = 1; n <= 5; ++n) fGetField(s, op, *line, n);
        }
    }
}

}  // namespace
}  // namespace plovix

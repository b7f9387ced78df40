// The label-driven headers of Humboldt text, EnKay and ELE/SoilTest files.

#include <gtest/gtest.h>

#include <array>

#include "sources/source_codes.h"
#include "support/header_fixture.h"
#include "support/norvo_files.h"

namespace plovix {
namespace {

using plovix::testing::bytesOf;

const std::string kData = PLOVIX_TEST_DATA;

class TextLayoutHeader : public testing::HeaderFixture {
  protected:
    HeaderResult read(int source, int test, std::string bytes) {
        s.specimens.CurrentSpecimen = 2;
        s.settings.HumDefDiv = 1;
        return readHeader(source, test, LineReader::fromBytes(std::move(bytes)));
    }
    // Field n of the next line.
    double field(int n) { return HeaderFixture::field(dataLine(), n); }
    std::pair<int, int> dispAndLoadColumns() const { return {h.ColDisp, h.ColLoad}; }
};

TEST_F(TextLayoutHeader, HumboldtFullTransferLabelsAndColumnsByTestType) {
    // Values stand in the fields the workbook reader writes them to: 6, 10 and 14.
    const std::string file =
        "\tSheet3\r\n\tProject Name\t\t\t\tPier 9\r\n\tProject No\t\t\t\tP-77\r\n"
        "\tSample Location\t\t\t\tDock\r\n\tSample Description\t\t\t\tSoft clay\r\n"
        "\t\t\t\t\t\t\t\tSpecific Gravity\t2.70\r\n"
        "\t\t\t\t\t\t\t\t\t\t\tDiameter (in)\t\t2.85\r\n\t\t\t\t\t\t\t\t\t\t\tHeight\t\t5.70\r\n"
        "\t\t\t\t\t\t\t\t\t\t\tWeight (lbs)\t\t1.25\r\n\tNormal Stress (psi)\t\t\t\t10.5\r\n"
        "\tCell Pressure\t\t\t\t20\r\n\tRate of Strain\t\t\t\t1.5\r\n"
        "\t0\t0.01\t12\t0.02\t3\t0.001\r\n";
    s.settings.HUMXLEXP = s.settings.HUMFTHSD = true;
    const auto r = read(kHumboldt, kDirectShear, file);
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 12);  // the readings start on line 13
    const HeaderValues& h = s.header;
    EXPECT_EQ(h.HumFormat, 3);
    EXPECT_EQ(
        h.ContractOrProject + "|" + h.JobNumber + "|" + h.Location + "|" + h.SampleDescription,
        "Pier 9|P-77|Dock|Soft clay");
    EXPECT_EQ(h.SpecificGravity + "|" + h.DiameterText + "|" + h.HeightText + "|" + h.SampleWeight,
              "2.70|2.85|5.70|1.25");
    EXPECT_EQ(h.NormalStress(2), 10.5);  // direct shear: the normal stress, not the cell pressure
    EXPECT_EQ(h.TimeOrRate(2), 1.5);
    EXPECT_EQ(units(), (std::array<int, 3>{kInches, kPounds, kPsi}));  // "(in)" anywhere in a line
    EXPECT_EQ(dispAndLoadColumns(), std::pair(5, 4));
    EXPECT_DOUBLE_EQ(field(3), 3.0);  // column 6 of the first reading

    read(kHumboldt, kUnconfinedCompression, file);
    EXPECT_EQ(s.header.NormalStress(2), 20);  // the cell pressure
    EXPECT_EQ(dispAndLoadColumns(), std::pair(3, 4));
    read(kHumboldt, kConsolidatedUndrained, "\tSheet3\r\n\t0\t1\r\n");
    EXPECT_EQ(dispAndLoadColumns(), std::pair(4, 3));
    EXPECT_EQ(s.header.DispUnit, kUnknownUnit);  // no "(in)" this time

    // Columns that step by one start their readings with "1"; a "0" line is then a header line.
    s.settings.HumIncOne = true;
    EXPECT_EQ(read(kHumboldt, kDirectShear, "\tSheet3\r\n\t0\t5\r\n\t1\t6\r\n").lines, 2);
    EXPECT_EQ(dataLine(), "\t1\t6");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(TextLayoutHeader, HumboldtExportedFormatsAndPreparedUnits) {
    s.settings.HUMXLEXP = true;
    auto r =
        read(kHumboldt, kUnconfinedCompression, "Exported\r\nTime\t\r\n0\t\t\t12\t0.05\t7\r\n");
    EXPECT_EQ(std::pair(r.lines, s.header.HumFormat), (std::pair<std::int64_t, int>(2, 1)));
    EXPECT_EQ(dispAndLoadColumns(), std::pair(5, 4));
    EXPECT_DOUBLE_EQ(field(3), 7.0);  // column 6
    EXPECT_EQ(std::pair(s.header.DispUnit, s.header.LoadUnit), std::pair(1, 1));

    s.settings.HUMXLEXP = false;
    s.settings.HUMREADXL = true;  // text written from a workbook without the full transfer
    r = read(kHumboldt, kUnconfinedCompression, "Exported\r\n\t1\t3\t4\t5\t6\t7\t8\t9\t10\r\n");
    EXPECT_EQ(std::pair(r.lines, s.header.HumFormat), (std::pair<std::int64_t, int>(1, 2)));
    EXPECT_EQ(dispAndLoadColumns(), std::pair(8, 6));
    EXPECT_DOUBLE_EQ(field(3), 10.0);

    // Prepared text: units from line 2, unquoted, in any letter case.
    s.settings.HUMREADXL = false;
    s.header.LineByLF = true;      // left by an EnKay file read before
    s.header.NormalIsLoad = true;  // left by a GEOTAC 5.2.1 direct shear file
    r = read(kHumboldt, kUnconfinedCompression, "Ready4Import\r\n\"ft\"\tLBF\tbar\r\n1\r\n");
    EXPECT_EQ(r.lines, 2);
    EXPECT_FALSE(s.header.NormalIsLoad);
    EXPECT_EQ(units(), (std::array<int, 3>{kUnknownUnit, kPounds, kUnknownUnit}));
    EXPECT_EQ(dataLine(), "1");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(TextLayoutHeader, EnKayCountsAndUnitsEleLabelsAndDensity) {
    auto r = read(kEnKay, kCuWithPorePressures, bytesOf(kData + "/enkay/cupp_kn_mm.TXT"));
    EXPECT_EQ(r.lines, 15);  // the rule is line 14: lines read plus one
    EXPECT_EQ(in->linesConsumed(), 14);
    EXPECT_TRUE(s.header.LineByLF);
    EXPECT_EQ(dataLine(), R"("00:00:00", "0.000", "0.00", "100.0")");  // the first reading

    std::string file;
    for (int n = 1; n <= 12; ++n) file += "\"Line\"\n";
    r = read(kEnKay, kCuWithPorePressures, file + "\"Units\",\"lbs\",\"in\",\"psi\"\n\"0\"\n");
    EXPECT_EQ(units(), (std::array<int, 3>{kInches, kPounds, kPsi}));
    EXPECT_EQ(r.lines, 15);  // no rule: all 14 lines read, plus one

    // The ELE labels that the Norvo file does not show.
    r = read(kEleSoilTest, kCuWithPorePressures, bytesOf(kData + "/ele/cupp_pcf_density.tab"));
    EXPECT_EQ(r.lines, 21);  // the heading line included
    const HeaderValues& h = s.header;
    EXPECT_FALSE(h.LineByLF);
    EXPECT_EQ(h.Location + "|" + h.BoreholeID + "|" + h.SampleDepth + "|" + h.TestedBy,
              "East embankment|BH-4|3.50 m|A. Moss 06/24/2003");
    EXPECT_EQ(h.InfoText1 + "|" + h.DateSampled, "CU with pore pressure measurement|06/20/2003");
    EXPECT_EQ(h.Remarks, "\"Saturated by back pressure\"");  // not unquoted
    EXPECT_EQ(h.SpecificGravity, "2.64");                    // 165.0 pcf / 62.428 = 2.6430...
    EXPECT_DOUBLE_EQ(field(5), 300.0);                       // cell pressure: column 2

    EXPECT_EQ(read(kEleSoilTest, kCuWithPorePressures, "Particle Density\t2.65\r\n").lines, 1);
    EXPECT_EQ(s.header.SpecificGravity, "2.65");
    read(kEleSoilTest, kCuWithPorePressures, "Particle Density\t63\r\n");
    EXPECT_EQ(s.header.SpecificGravity, "63");
    EXPECT_TRUE(op.messages.empty());
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include "sources/source_codes.h"
#include "support/header_fixture.h"

namespace plovix {
namespace {

using Texts = std::vector<std::string>;
using Units = std::array<int, 3>;  // displacement, load, stress

constexpr double kArea25 = 4.908738522;  // pi x 2.5^2 / 4 with pi = 3.141592654

class HeaderReader : public testing::HeaderFixture {
  protected:
    HeaderResult read(int source, int test, const std::string& fixture) {
        s.program.AppVersion = "0.1.0 ";
        s.specimens.CurrentSpecimen = 2;
        s.settings.DAFile = std::string(PLOVIX_TEST_DATA) + "/" + fixture;
        return readHeader(source, test, LineReader::open(s.settings.DAFile));
    }
    std::int64_t readLines(int source, int test, const std::string& fixture) {
        const HeaderResult r = read(source, test, fixture);
        EXPECT_EQ(r.status, HeaderStatus::Read) << fixture;
        return r.lines;
    }
};

TEST_F(HeaderReader, GeomaticFourteenValueLines) {
    EXPECT_EQ(readLines(kGeomatic, kDirectShear, "geomatic/header_basic.DAT"), 14);
    EXPECT_EQ(in->linesConsumed(), 14);
    EXPECT_EQ((Texts{h.CompanyName, h.JobNumber, h.TestedBy, h.ContractOrProject,
                     h.SampleDescription, h.BoreholeID, h.SampleNumber, h.SampleDepth}),
              (Texts{"Coastal Soils Laboratory", "J-2207", "M. Ortega", "Harbour Road Embankment",
                     "Brown clayey sand", "BH-3", "SS-2", "4.5 ft"}));
    EXPECT_NEAR(h.SpecimenArea(2), kArea25, 1e-9);  // line 6: diameter 2.5
    EXPECT_EQ(h.NormalStress(2), 1000);
    EXPECT_EQ(h.TimeOrRate(2), 0.02);
    EXPECT_EQ(h.LoadUnit, kPounds);
    EXPECT_EQ(dataLine(), "0.0000 0 0.0000");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(HeaderReader, GeoTestGeoFileNamedInSmallLetters) {
    EXPECT_EQ(readLines(kGeoTest, kConsolidatedUndrained, "geotest/header_geo.geo"), 20);
    EXPECT_TRUE(h.GeoFile);
    // "Project ID:" is the job label of GEO files.
    EXPECT_EQ(
        (Texts{h.CompanyName, h.ContractOrProject, h.JobNumber, h.Location, h.BoreholeID,
               h.SampleNumber, h.SampleDepth, h.SampleDescription, h.TestedBy, h.SpecimenNumber,
               h.Remarks, h.LastRevisionDate, h.DiameterText, h.HeightText}),
        (Texts{"Harbor Point Developers", "Pier 7 Retaining Wall", "HP-2291", "North abutment",
               "B-12", "S-4", "12.5 ft", "Grey silty clay with sand", "R. Ames", "Undisturbed",
               "Trimmed from tube", "03/15/2004", "2.416", "5.012"}));
    EXPECT_EQ(h.NormalStress(2), 30);  // "Cell Pressure"; "Normal Pressure" counts for shear only
    EXPECT_EQ(units(), (Units{kInches, kPounds, kPsi}));
    const std::string line = dataLine();  // GEO columns: time, displacement, load, pressure
    EXPECT_EQ((std::array{field(line, 1), field(line, 2), field(line, 3)}),
              (std::array{0.0, 0.0, 30.0}));
}

TEST_F(HeaderReader, GeoTestLstDirectShear) {
    EXPECT_EQ(readLines(kGeoTest, kDirectShear, "geotest/header_lst_ds.LST"), 19);
    EXPECT_FALSE(h.GeoFile);
    // The location cut to 25 characters; the shear-stage height replaces the default one.
    EXPECT_EQ((Texts{h.CompanyName, h.ContractOrProject, h.JobNumber, h.Location, h.BoreholeID,
                     h.SampleNumber, h.DiameterText, h.HeightText}),
              (Texts{"Valley Water District", "Spillway Rehabilitation Phase 2", "VW-118",
                     "Left abutment, station 4+", "DH-07", "3B", "2.5", "0.995"}));
    EXPECT_EQ(h.NormalStress(2), 0.25);  // "-0.25": the numeric search starts at the first digit
    EXPECT_EQ(units(), (Units{kMillimetres, kPounds, kPsf}));  // "(mm)"
    EXPECT_EQ(field(dataLine(), 5), 1000.0);
}

TEST_F(HeaderReader, GeoTestLstOtherTestsAndTheirUnitWords) {
    EXPECT_EQ(readLines(kGeoTest, kUnconfinedCompression, "geotest/header_lst_ucc.LST"), 9);
    EXPECT_EQ(s.header.DiameterText + "|" + s.header.HeightText, "1.4|2.8");
    // "(cm)"; "(kN)", the last word of its line.
    EXPECT_EQ(std::pair(s.header.DispUnit, s.header.LoadUnit),
              (std::pair<int, int>(kCentimetres, kKilonewtons)));
    EXPECT_EQ(dataLine(), "  1  0.00  0.000  0.000");

    s.header.StressUnit = 7;
    EXPECT_EQ(readLines(kGeoTest, kConsolidatedUndrained, "geotest/header_lst_cu.LST"), 10);
    EXPECT_EQ(s.header.NormalStress(2), 45.5);  // cell pressure; "Normal Pressure" ignored
    // "(N)": anything but kN is pounds; only direct shear reads the stress unit.
    EXPECT_EQ(units(), (Units{kInches, kPounds, 7}));
}

TEST_F(HeaderReader, GeoTestFourColumnCommaFiles) {
    s.specimens.KWDSFile = true;
    s.header.JobNumber = "old";
    EXPECT_EQ(readLines(kGeoTest, kDirectShear, "geotest/header_four_column.DAT"), 4);
    EXPECT_EQ(in->linesConsumed(), 3);
    EXPECT_EQ(s.header.CompanyName + "|" + s.header.JobNumber + "|" + s.header.SampleNumber,
              "Metro Transit||");
    EXPECT_EQ(std::pair(s.header.DispUnit, s.header.StressUnit),
              (std::pair<int, int>(kInches, kPsi)));
    EXPECT_EQ(field(dataLine(), 2), 12.5);
}

TEST_F(HeaderReader, GeoTestEndingInsideItsHeader) {
    s.header.CompanyName = "previous file";
    op.scriptAnswers({true});
    auto r = read(kGeoTest, kConsolidatedUndrained, "geotest/truncated_header.LST");
    EXPECT_EQ(r.status, HeaderStatus::OpenSettings);
    EXPECT_EQ(r.lines, 0);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].title, "Error in fSkipHeaders");
    EXPECT_TRUE(op.messages[0].question);
    EXPECT_EQ(s.header.CompanyName, "previous file");  // nothing of the failed header is kept

    op.scriptAnswers({false});
    r = read(kGeoTest, kConsolidatedUndrained, "geotest/truncated_header.LST");
    EXPECT_EQ(r.status, HeaderStatus::Ended);
}

TEST_F(HeaderReader, ProprietaryClientLinesAndCalibration) {
    EXPECT_EQ(readLines(kProprietaryClient, kConsolidatedUndrained, "proprietary/header.TRX"), 18);
    EXPECT_EQ((Texts{h.ContractOrProject, h.SampleDepth, h.BoreholeID, h.DiameterText,
                     h.SampleNumber, h.HeightText, h.SpecimenNumber}),
              (Texts{"Riverside Levee", "22.0 ft", "B-7", "2.5", "ST-3", "5.8", "2"}));
    EXPECT_NEAR(h.SpecimenArea(2), kArea25, 1e-9);
    EXPECT_EQ(units(), (Units{kInches, kKilonewtons, kKpa}));
    using enum CalChannel;
    EXPECT_EQ((std::array{h.Cal(Load, kCalFactor), h.Cal(Load, kCalZero), h.Cal(Load, kCalDivisor),
                          h.Cal(Disp, kCalZero), h.Cal(Aux, kCalFactor), h.Cal(Cell, kCalFactor),
                          h.Cal(Cell, kCalZero), h.Cal(Cell, kCalDivisor)}),
              (std::array{0.45, 0.0125, 10.0, 1.5, 50.0, 25.0, 0.1, 5.0}));
    EXPECT_EQ(h.ColCell, 5);  // the cell channel is announced
}

TEST_F(HeaderReader, DurhamGeoFourChannelsWithRunLine) {
    s.settings.SourceType = kDurhamGeo;
    const auto r = read(kDurhamGeo, kDirectShear, "durham/header_four_channels.TXT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 19);  // one less than consumed: the units under "RUN 1"
    EXPECT_EQ(in->linesConsumed(), 20);
    EXPECT_FALSE(h.TouchScreenFile);
    EXPECT_EQ(h.InfoText2, "DIRECT SHEAR TEST B-5 DEPTH 3 ");  // 30 characters from 13
    EXPECT_EQ(h.InfoText1, "Normal Stress   1.50 ksf");
    // Direct shear without a stress channel takes the pressure; the larger range is the travel.
    EXPECT_EQ((std::array{h.ChanLoad, h.ChanPressure, h.ChanStress, h.ChanTravel, h.ChanTravel2,
                          h.ColCell}),
              (std::array{1, 4, 4, 3, 2, 1}));
    EXPECT_FLOAT_EQ(h.TravelMax(1), 1.0f);
    EXPECT_FLOAT_EQ(h.TravelMax(2), 0.5f);
    EXPECT_TRUE(h.Channel3Present && h.Channel4Present);
    EXPECT_EQ(units(), (Units{kInches, kPounds, kPsi}));
    EXPECT_NEAR(h.NormalStress(2), 1.5 * 1000 / 144, 1e-12);  // 1.50 ksf in psi
    dataLine();
    const std::string line = dataLine();  // horizontal travel: the column after 3 words
    EXPECT_EQ((std::array{field(line, 1), field(line, 2), field(line, 3)}),
              (std::array{0.01, 25.0, 0.001}));
}

TEST_F(HeaderReader, DurhamGeoThreeChannelsWithoutRunLine) {
    const auto r = read(kDurhamGeo, kConsolidatedUndrained, "durham/header_three_channels.TXT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 14);  // line 14 names no channel
    EXPECT_EQ(in->linesConsumed(), 15);
    EXPECT_EQ(h.InfoText2, "TRIAXIAL CU TEST B-9");
    EXPECT_EQ(h.NormalStress(2), 40);
    EXPECT_EQ((std::array{h.ChanLoad, h.ChanTravel, h.ChanPressure, h.ChanStress, h.ColCell}),
              (std::array{1, 2, 3, 0, 0}));
    EXPECT_TRUE(h.Channel3Present);
    EXPECT_FALSE(h.Channel4Present);
    EXPECT_FLOAT_EQ(h.TravelMax(1), 0.4f);
    EXPECT_EQ(h.StressUnit, kPsi);
    const std::string line = dataLine();
    EXPECT_EQ((std::array{field(line, 1), field(line, 3)}), (std::array{0.01, 20.5}));
}

TEST_F(HeaderReader, DurhamGeoTouchScreen) {
    EXPECT_EQ(readLines(kDurhamGeo, kUnconsolidatedUndrained, "durham/touchscreen.TXT"), 13);
    EXPECT_EQ(in->linesConsumed(), 15);
    EXPECT_TRUE(s.header.TouchScreenFile);
    EXPECT_EQ(units(), (Units{kUnknownUnit, kUnknownUnit, kUnknownUnit}));
    const std::string line = dataLine();
    EXPECT_EQ(field(line, 2), 0.0);
    EXPECT_EQ(fGetField(s, op, line, 5).toText(), "100");
}

TEST_F(HeaderReader, DurhamGeoSecondLineWithoutANumberOrUnit) {
    s.settings.SourceType = kDurhamGeo;
    s.program.TestType = kDirectShear;
    s.specimens.CurrentSpecimen = 1;
    for (const char* second : {"Normal stress not recorded", "Normal 2.0 bar"}) {  // no unit
        s.header.NormalStress(1) = 7;
        auto reader = LineReader::fromBytes(
            "DURHAM GEO  X\r\n" + std::string(second) +
            "\r\n\r\n\r\nCHANNEL 1 Load\r\nRange 10 lbs\r\n\r\nCHANNEL 2 Travel\r\n"
            "Range 1 in\r\n\r\nEnd\r\n\r\n1 2 3\r\n");
        ASSERT_EQ(fSkipHeaders(s, op, reader).status, HeaderStatus::Read);
        EXPECT_EQ(s.header.NormalStress(1), 0) << second;
        EXPECT_EQ(reader.next(), "1 2 3");
    }
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(HeaderReader, EndOfFileInsideAFixedHeaderIsReportedAndNothingKept) {
    s.settings.SourceType = kProprietaryClient;
    s.program.AppVersion = "0.1.0 ";
    s.header.SampleNumber = "kept";
    auto reader = LineReader::fromBytes("a\r\nProject\tX\r\n");
    EXPECT_EQ(fSkipHeaders(s, op, reader).status, HeaderStatus::Ended);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "0.1.0 Error: 62 - Input past end of file   Waypoint: 2");
    EXPECT_EQ(op.messages[0].title, "Error in fSkipHeaders");
    EXPECT_EQ(s.header.SampleNumber, "kept");
    EXPECT_EQ(s.header.ContractOrProject, "");
}

TEST(TestTypePrompt, TextTitleAndCancel) {
    Session s;
    s.program.TestType = kConsolidatedUndrained;
    testing::RecordingOperator op;
    op.scriptAnswers({true, false});
    EXPECT_NO_THROW(confirmTestType(s.program.TestType, op, "a Direct shear"));
    EXPECT_THROW(confirmTestType(s.program.TestType, op, "a CUPP or CD"), OperationEnded);
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text,
              "The import file indicates this is a Direct shear, you selected Consolidated "
              "Undrained Press OK to use Consolidated Undrained or Cancel to change test type to a "
              "Direct shear and try again.");
    EXPECT_EQ(op.messages[0].title, "Continue with wrong test type?");
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include "sources/get_field.h"
#include "sources/header_reader.h"
#include "support/recording_operator.h"

namespace plovix {
namespace {

constexpr double kArea25 = 4.908738522;  // pi x 2.5^2 / 4 with pi = 3.141592654

class HeaderReader : public ::testing::Test {
  protected:
    Session s;
    testing::RecordingOperator op;
    std::optional<LineReader> in;

    HeaderResult read(int source, int test, const std::string& fixture) {
        s.settings.SourceType = source;
        s.program.TestType = test;
        s.program.AppVersion = "0.1.0 ";
        s.specimens.CurrentSpecimen = 2;
        s.settings.DAFile = std::string(PLOVIX_TEST_DATA) + "/" + fixture;
        in = LineReader::open(s.settings.DAFile);
        EXPECT_TRUE(in.has_value()) << fixture;
        return fSkipHeaders(s, op, *in);
    }
    // The next data line after the header.
    std::string dataLine() { return in->next().value_or("<end>"); }
    double field(const std::string& line, int n) { return fGetField(s, op, line, n).toNumber(); }
};

TEST_F(HeaderReader, GeomaticFourteenValueLines) {
    const auto r = read(kGeomatic, kDirectShear, "geomatic/header_basic.DAT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 14);
    EXPECT_EQ(in->linesConsumed(), 14);
    const HeaderValues& h = s.header;
    EXPECT_EQ(h.CompanyName, "Coastal Soils Laboratory");
    EXPECT_EQ(h.JobNumber, "J-2207");
    EXPECT_EQ(h.TestedBy, "M. Ortega");
    EXPECT_EQ(h.ContractOrProject, "Harbour Road Embankment");
    EXPECT_NEAR(h.SpecimenArea(2), kArea25, 1e-9);  // line 6: diameter 2.5
    EXPECT_EQ(h.NormalStress(2), 1000);
    EXPECT_EQ(h.SampleDescription, "Brown clayey sand");
    EXPECT_EQ(h.BoreholeID, "BH-3");
    EXPECT_EQ(h.SampleNumber, "SS-2");
    EXPECT_EQ(h.SampleDepth, "4.5 ft");
    EXPECT_EQ(h.TimeOrRate(2), 0.02);
    EXPECT_EQ(h.LoadUnit, kPounds);
    EXPECT_EQ(dataLine(), "0.0000 0 0.0000");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(HeaderReader, GeoTestGeoFileNamedInSmallLetters) {
    const auto r = read(kGeoTest, kConsolidatedUndrained, "geotest/header_geo.geo");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 20);  // "Frequency:" on line 17, the column heading on line 20
    const HeaderValues& h = s.header;
    EXPECT_TRUE(h.GeoFile);
    EXPECT_EQ(h.CompanyName, "Harbor Point Developers");
    EXPECT_EQ(h.ContractOrProject, "Pier 7 Retaining Wall");
    EXPECT_EQ(h.JobNumber, "HP-2291");  // "Project ID:" is the job label of GEO files
    EXPECT_EQ(h.Location, "North abutment");
    EXPECT_EQ(h.BoreholeID, "B-12");
    EXPECT_EQ(h.SampleNumber, "S-4");
    EXPECT_EQ(h.SampleDepth, "12.5 ft");
    EXPECT_EQ(h.SampleDescription, "Grey silty clay with sand");
    EXPECT_EQ(h.TestedBy, "R. Ames");
    EXPECT_EQ(h.SpecimenNumber, "Undisturbed");
    EXPECT_EQ(h.Remarks, "Trimmed from tube");
    EXPECT_EQ(h.LastRevisionDate, "03/15/2004");
    EXPECT_EQ(h.DiameterText, "2.416");
    EXPECT_EQ(h.HeightText, "5.012");
    EXPECT_EQ(h.NormalStress(2), 30);  // "Cell Pressure"; "Normal Pressure" counts for shear only
    EXPECT_EQ(h.DispUnit, kInches);
    EXPECT_EQ(h.LoadUnit, kPounds);
    EXPECT_EQ(h.StressUnit, kPsi);
    const std::string line = dataLine();  // GEO columns: time, displacement, load, pressure
    EXPECT_EQ(field(line, 1), 0.0);
    EXPECT_EQ(field(line, 2), 0.0);
    EXPECT_EQ(field(line, 3), 30.0);
}

TEST_F(HeaderReader, GeoTestLstDirectShear) {
    const auto r = read(kGeoTest, kDirectShear, "geotest/header_lst_ds.LST");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 19);  // marker 13, heading 17, unit line 18, the line under it 19
    const HeaderValues& h = s.header;
    EXPECT_FALSE(h.GeoFile);
    EXPECT_EQ(h.CompanyName, "Valley Water District");
    EXPECT_EQ(h.ContractOrProject, "Spillway Rehabilitation Phase 2");
    EXPECT_EQ(h.JobNumber, "VW-118");
    EXPECT_EQ(h.Location, "Left abutment, station 4+");  // cut to 25 characters
    EXPECT_EQ(h.BoreholeID, "DH-07");
    EXPECT_EQ(h.SampleNumber, "3B");
    EXPECT_EQ(h.DiameterText, "2.5");
    EXPECT_EQ(h.HeightText, "0.995");     // the shear-stage height replaces the default one
    EXPECT_EQ(h.NormalStress(2), 0.25);   // "-0.25": the numeric search starts at the first digit
    EXPECT_EQ(h.DispUnit, kMillimetres);  // "(mm)"
    EXPECT_EQ(h.LoadUnit, kPounds);
    EXPECT_EQ(h.StressUnit, kPsf);
    const std::string line = dataLine();
    EXPECT_EQ(line, "  1  0.00  0.000  0.0  0.0  0.0000  1000.0");
    EXPECT_EQ(field(line, 5), 1000.0);
}

TEST_F(HeaderReader, GeoTestLstOtherTestsAndTheirUnitWords) {
    auto r = read(kGeoTest, kUnconfinedCompression, "geotest/header_lst_ucc.LST");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 9);
    EXPECT_EQ(s.header.DiameterText, "1.4");
    EXPECT_EQ(s.header.HeightText, "2.8");
    EXPECT_EQ(s.header.DispUnit, kCentimetres);  // "(cm)"
    EXPECT_EQ(s.header.LoadUnit, kKilonewtons);  // "(kN)", the last word of its line
    EXPECT_EQ(dataLine(), "  1  0.00  0.000  0.000");

    s.header.StressUnit = 7;
    r = read(kGeoTest, kConsolidatedUndrained, "geotest/header_lst_cu.LST");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 10);
    EXPECT_EQ(s.header.NormalStress(2), 45.5);  // cell pressure; "Normal Pressure" ignored
    EXPECT_EQ(s.header.DispUnit, kInches);
    EXPECT_EQ(s.header.LoadUnit, kPounds);  // "(N)": anything but kN is pounds
    EXPECT_EQ(s.header.StressUnit, 7);      // only direct shear reads the stress unit
}

TEST_F(HeaderReader, GeoTestFourColumnCommaFiles) {
    s.specimens.KWDSFile = true;
    s.header.JobNumber = "old";
    const auto r = read(kGeoTest, kDirectShear, "geotest/header_four_column.DAT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 4);  // three lines read, plus one
    EXPECT_EQ(in->linesConsumed(), 3);
    EXPECT_EQ(s.header.CompanyName, "Metro Transit");
    EXPECT_EQ(s.header.JobNumber, "");
    EXPECT_EQ(s.header.SampleNumber, "");  // no sample label in this layout
    EXPECT_EQ(s.header.DispUnit, kInches);
    EXPECT_EQ(s.header.StressUnit, kPsi);
    const std::string line = dataLine();
    EXPECT_EQ(field(line, 1), 0.01);
    EXPECT_EQ(field(line, 2), 12.5);
}

TEST_F(HeaderReader, GeoTestEndingInsideItsHeader) {
    s.header.CompanyName = "previous file";
    op.scriptAnswers({true});
    auto r = read(kGeoTest, kConsolidatedUndrained, "geotest/truncated_header.LST");
    EXPECT_EQ(r.status, HeaderStatus::OpenSettings);
    EXPECT_EQ(r.lines, 0);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text,
              "The file you are importing is not in the expected format, GeoTest. Press OK to go "
              "to Program Setup, or Cancel to Abort");
    EXPECT_EQ(op.messages[0].title, "Error in fSkipHeaders");
    EXPECT_TRUE(op.messages[0].question);
    EXPECT_EQ(s.header.CompanyName, "previous file");  // nothing of the failed header is kept

    op.scriptAnswers({false});
    r = read(kGeoTest, kConsolidatedUndrained, "geotest/truncated_header.LST");
    EXPECT_EQ(r.status, HeaderStatus::Ended);
}

TEST_F(HeaderReader, ProprietaryClientLinesAndCalibration) {
    const auto r = read(kProprietaryClient, kConsolidatedUndrained, "proprietary/header.TRX");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 18);
    const HeaderValues& h = s.header;
    EXPECT_EQ(h.ContractOrProject, "Riverside Levee");
    EXPECT_EQ(h.SampleDepth, "22.0 ft");
    EXPECT_EQ(h.BoreholeID, "B-7");
    EXPECT_EQ(h.DiameterText, "2.5");
    EXPECT_NEAR(h.SpecimenArea(2), kArea25, 1e-9);
    EXPECT_EQ(h.SampleNumber, "ST-3");
    EXPECT_EQ(h.HeightText, "5.8");
    EXPECT_EQ(h.SpecimenNumber, "2");
    EXPECT_EQ(h.LoadUnit, kKilonewtons);
    EXPECT_EQ(h.DispUnit, kInches);
    EXPECT_EQ(h.StressUnit, kKpa);
    // Fields 4, 5, 6 of each channel line: factor, zero, excitation.
    EXPECT_EQ(h.Cal(CalChannel::Load, kCalFactor), 0.45);
    EXPECT_EQ(h.Cal(CalChannel::Load, kCalZero), 0.0125);
    EXPECT_EQ(h.Cal(CalChannel::Load, kCalDivisor), 10.0);
    EXPECT_EQ(h.Cal(CalChannel::Disp, kCalZero), 1.5);
    EXPECT_EQ(h.Cal(CalChannel::Aux, kCalFactor), 50);
    EXPECT_EQ(h.Cal(CalChannel::Cell, kCalFactor), 25);
    EXPECT_EQ(h.Cal(CalChannel::Cell, kCalZero), 0.1);
    EXPECT_EQ(h.Cal(CalChannel::Cell, kCalDivisor), 5);
    EXPECT_EQ(h.ColCell, 5);  // the cell channel is announced
    dataLine();
    const std::string line = dataLine();
    EXPECT_NEAR(field(line, 1), 0.002, 1e-12);  // (1.6 - 1.5) x 0.1 / 5
    EXPECT_NEAR(field(line, 2), 0.009, 1e-12);  // (0.2125 - 0.0125) x 0.45 / 10
}

TEST_F(HeaderReader, DurhamGeoFourChannelsWithRunLine) {
    s.settings.SourceType = kDurhamGeo;
    const auto r = read(kDurhamGeo, kDirectShear, "durham/header_four_channels.TXT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    // 17 header lines, the empty line 18, "RUN 1" and the units under it: 20 lines consumed,
    // the documented count is one less.
    EXPECT_EQ(r.lines, 19);
    EXPECT_EQ(in->linesConsumed(), 20);
    const HeaderValues& h = s.header;
    EXPECT_FALSE(h.TouchScreenFile);
    EXPECT_EQ(h.InfoText2, "DIRECT SHEAR TEST B-5 DEPTH 3 ");  // 30 characters from 13
    EXPECT_EQ(h.InfoText1, "Normal Stress   1.50 ksf");
    EXPECT_EQ(h.ChanLoad, 1);
    EXPECT_EQ(h.ChanPressure, 4);
    EXPECT_EQ(h.ChanStress, 4);  // direct shear without a stress channel takes the pressure
    // Channel 3 has the larger range (1.000 against 0.500), so it becomes the travel channel.
    EXPECT_EQ(h.ChanTravel, 3);
    EXPECT_EQ(h.ChanTravel2, 2);
    EXPECT_FLOAT_EQ(h.TravelMax(1), 1.0f);
    EXPECT_FLOAT_EQ(h.TravelMax(2), 0.5f);
    EXPECT_TRUE(h.Channel3Present);
    EXPECT_TRUE(h.Channel4Present);
    EXPECT_EQ(h.ColCell, 1);
    EXPECT_EQ(h.LoadUnit, kPounds);
    EXPECT_EQ(h.DispUnit, kInches);
    EXPECT_EQ(h.StressUnit, kPsi);
    EXPECT_NEAR(h.NormalStress(2), 1.5 * 1000 / 144, 1e-12);  // 1.50 ksf in psi
    dataLine();
    const std::string line = dataLine();
    EXPECT_EQ(field(line, 1), 0.01);  // horizontal travel, column after 3 words
    EXPECT_EQ(field(line, 2), 25.0);
    EXPECT_EQ(field(line, 3), 0.001);
}

TEST_F(HeaderReader, DurhamGeoThreeChannelsWithoutRunLine) {
    const auto r = read(kDurhamGeo, kConsolidatedUndrained, "durham/header_three_channels.TXT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    // Line 14 does not name a channel: reading stops there; the empty line 15 follows.
    EXPECT_EQ(r.lines, 14);
    EXPECT_EQ(in->linesConsumed(), 15);
    const HeaderValues& h = s.header;
    EXPECT_EQ(h.InfoText2, "TRIAXIAL CU TEST B-9");
    EXPECT_EQ(h.NormalStress(2), 40);
    EXPECT_EQ(h.ChanLoad, 1);
    EXPECT_EQ(h.ChanTravel, 2);
    EXPECT_EQ(h.ChanPressure, 3);
    EXPECT_EQ(h.ChanStress, 0);
    EXPECT_TRUE(h.Channel3Present);
    EXPECT_FALSE(h.Channel4Present);
    EXPECT_EQ(h.ColCell, 0);
    EXPECT_FLOAT_EQ(h.TravelMax(1), 0.4f);
    EXPECT_EQ(h.StressUnit, kPsi);
    const std::string line = dataLine();
    EXPECT_EQ(line, "10:00:00 12.5 0.0100 20.5");
    EXPECT_EQ(field(line, 1), 0.01);
    EXPECT_EQ(field(line, 3), 20.5);
}

TEST_F(HeaderReader, DurhamGeoTouchScreen) {
    const auto r = read(kDurhamGeo, kUnconsolidatedUndrained, "durham/touchscreen.TXT");
    ASSERT_EQ(r.status, HeaderStatus::Read);
    EXPECT_EQ(r.lines, 13);
    EXPECT_EQ(in->linesConsumed(), 15);
    EXPECT_TRUE(s.header.TouchScreenFile);
    EXPECT_EQ(s.header.StressUnit, kUnknownUnit);
    EXPECT_EQ(s.header.LoadUnit, kUnknownUnit);
    EXPECT_EQ(s.header.DispUnit, kUnknownUnit);
    const std::string line = dataLine();
    EXPECT_EQ(field(line, 2), 0.0);
    EXPECT_EQ(fGetField(s, op, line, 5).toText(), "100");
}

TEST_F(HeaderReader, DurhamGeoSecondLineWithoutANumberOrUnit) {
    s.settings.SourceType = kDurhamGeo;
    s.program.TestType = kDirectShear;
    s.specimens.CurrentSpecimen = 1;
    s.header.NormalStress(1) = 7;
    const std::string head =
        "DURHAM GEO  X\r\nNormal stress not recorded\r\n\r\n\r\nCHANNEL 1 Load\r\n"
        "Range 10 lbs\r\n\r\nCHANNEL 2 Travel\r\nRange 1 in\r\n\r\nEnd\r\n\r\n1 2 3\r\n";
    auto reader = LineReader::fromBytes(head);
    ASSERT_EQ(fSkipHeaders(s, op, reader).status, HeaderStatus::Read);
    EXPECT_EQ(s.header.NormalStress(1), 0);
    EXPECT_EQ(reader.next(), "1 2 3");

    auto withWord = LineReader::fromBytes(
        "DURHAM GEO  X\r\nNormal 2.0 bar\r\n\r\n\r\nCHANNEL 1 Load\r\nRange 10 lbs\r\n\r\n"
        "CHANNEL 2 Travel\r\nRange 1 in\r\n\r\nEnd\r\n\r\n1 2 3\r\n");
    ASSERT_EQ(fSkipHeaders(s, op, withWord).status, HeaderStatus::Read);
    EXPECT_EQ(s.header.NormalStress(1), 0);  // "bar" is no stress unit
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
    EXPECT_NO_THROW(confirmTestType(s, op, "a Direct shear"));
    EXPECT_THROW(confirmTestType(s, op, "a CUPP or CD"), ImportCancelled);
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[0].text,
              "The import file indicates this is a Direct shear, you selected Consolidated "
              "Undrained Press OK to use Consolidated Undrained or Cancel to change test type to a "
              "Direct shear and try again.");
    EXPECT_EQ(op.messages[0].title, "Continue with wrong test type?");
    EXPECT_EQ(testTypeName(6), "Consolidated Drained");
    EXPECT_EQ(testTypeName(0), "");
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include "sources/source_codes.h"
#include "support/header_fixture.h"

namespace plovix {
namespace {

class GetField : public testing::HeaderFixture {
  protected:
    void useSource(int source, int test) {
        s.settings.SourceType = source;
        s.program.TestType = test;
        s.specimens.CurrentSpecimen = 1;
    }
    void columns(int disp, int load, int aux, int cell = 0) {
        s.header.ColDisp = disp, s.header.ColLoad = load, s.header.ColAux = aux;
        s.header.ColCell = cell;
    }
    void setCal(CalChannel ch, double factor, double divisor, double zero) {
        s.header.Cal(ch, kCalFactor) = factor;
        s.header.Cal(ch, kCalDivisor) = divisor;
        s.header.Cal(ch, kCalZero) = zero;
    }
    double number(std::string_view line, int n) {
        const FieldValue v = fGetField(s, op, line, n);
        EXPECT_EQ(v.kind(), FieldValue::Kind::Number) << "field " << n << " of " << line;
        return v.toNumber();
    }
    std::string text(std::string_view line, int n) {
        const FieldValue v = fGetField(s, op, line, n);
        EXPECT_EQ(v.kind(), FieldValue::Kind::Text) << "field " << n << " of " << line;
        return v.toText();
    }
    bool none(std::string_view line, int n) { return fGetField(s, op, line, n).isNone(); }
    // Fields 1, 2, 3, ... of a line, as numbers.
    void expectNumbers(std::string_view line, std::initializer_list<double> expected) {
        int n = 0;
        for (double e : expected) EXPECT_DOUBLE_EQ(number(line, ++n), e) << "field " << n;
    }
};

TEST_F(GetField, GeomaticColumnsAndStressTimesArea) {
    useSource(kGeomatic, kDirectShear);
    s.header.SpecimenArea(1) = 2.5;  // 144 psf on 2.5 sq in is 2.5 lb
    expectNumbers("0.0125   144    0.0031", {0.0125, 2.5, 0.0031});
    EXPECT_DOUBLE_EQ(number("0.0125 144 0.0031", 7), 0.0031);  // fields past 3: the third
    EXPECT_DOUBLE_EQ(number(" 0.0125 144", 1), 0.0);      // a leading blank leaves column 1 empty
    EXPECT_TRUE(none("0.0125", 1) && none("0.0125", 2));  // no blank: no reading
    EXPECT_TRUE(none("1 2 3", 0));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(GetField, GeoTestBlankColumnsByFileKind) {
    useSource(kGeoTest, kCuWithPorePressures);
    const std::string lst = "  1  0:05  0.0100  12.5  0.5  0.3  10.0";
    expectNumbers(lst, {0.01, 12.5, 0.5, 0.0, 10.0});  // field 4, the time "0:05", reads 0
    s.program.TestType = kDirectShear;
    EXPECT_DOUBLE_EQ(number(lst, 3), 0.3);
    s.header.LastRevisionDate = "01/20/2002";
    EXPECT_DOUBLE_EQ(number(lst + "  99", 5), 99.0);

    s.header.GeoFile = true;
    expectNumbers("17 0.020 30.5 1.25", {0.02, 30.5, 1.25, 17.0});
    EXPECT_DOUBLE_EQ(number("5", 4), 5.0);  // GeoTest lines need no blank
    s.header = HeaderValues{};
    s.specimens.KWDSFile = true;  // the four-column comma layout
    expectNumbers("12.5,0.2,0.01,30", {0.01, 12.5, 0.2});
    EXPECT_DOUBLE_EQ(number("12.5,0.2,0.01,30", 5), 30.0);
}

TEST_F(GetField, PlainFieldsGiveWhatFGetFieldGives) {
    // Read straight from the line, as fGetField reads them; too large a number is its to report.
    useSource(kGeoTest, kDirectShear);
    for (bool fourColumn : {false, true}) {
        s.specimens.KWDSFile = fourColumn;
        const PlainFields plain(s);
        for (const std::string text : {"  1  0:05  0.0100  -12.5  0.5  0.3  10.0",
                                       "12.5,0.2,0.01,30", "1 2 3 1e400 5", "12.5,0.2,1e400,30"}) {
            const LineColumns line(text);
            for (int n = 0; n <= 6; ++n) {
                const FieldValue expected = fGetField(s, op, line, n);
                double value = 0;
                EXPECT_EQ(plain.read(line, n, value), expected.kind() == FieldValue::Kind::Number)
                    << text << " field " << n;
                if (expected.kind() == FieldValue::Kind::Number) {
                    EXPECT_EQ(value, expected.toNumber());
                }
            }
        }
    }
    EXPECT_EQ(op.messages.size(), 3u);  // the numbers too large
}

TEST_F(GetField, ProprietaryClientCalibratedChannels) {
    useSource(kProprietaryClient, kConsolidatedUndrained);
    setCal(CalChannel::Disp, 2.0, 4.0, 1.0);
    setCal(CalChannel::Load, 10.0, 1.0, 0.5);
    setCal(CalChannel::Aux, 1.0, 2.0, 0.0);
    const std::string line = "10:00 AM\t1.5\t3.0\t5.0\t42";
    expectNumbers(line, {1.0, 10.0, 2.5});  // (3 - 1) x 2 / 4, (1.5 - 0.5) x 10 / 1, 5 x 1 / 2
    EXPECT_EQ(text(line, 4), "10:00 AM");
    EXPECT_DOUBLE_EQ(number(line, 5), 42.0);
    EXPECT_TRUE(none(line, 6));
    EXPECT_EQ(op.texts(), std::vector<std::string>{"error in fGetField"});
    EXPECT_EQ(op.messages[0].title, "Plovix");
}

TEST_F(GetField, DivisionByZeroAndOverflowAreShownAndGiveNoValue) {
    useSource(kProprietaryClient, kConsolidatedUndrained);
    setCal(CalChannel::Disp, 2.0, 0.0, 1.0);
    EXPECT_TRUE(none("t x\t0\t3.0", 1));
    EXPECT_TRUE(none("t x\t0\t1.0", 1));  // 0 / 0
    setCal(CalChannel::Load, 1.0, 1.0, 0.0);
    EXPECT_TRUE(none("t x\t1e400", 2));
    setCal(CalChannel::Load, 1e300, 1.0, 0.0);
    EXPECT_TRUE(none("t x\t1e300", 2));  // the product overflows
    EXPECT_EQ(op.texts(),
              (std::vector<std::string>{
                  "Error: 11 - Division by zero   Field N=1", "Error: 6 - Overflow   Field N=1",
                  "Error: 6 - Overflow   Field N=2", "Error: 6 - Overflow   Field N=2"}));
    EXPECT_EQ(op.messages[0].title, "Error in fGetField");
}

TEST_F(GetField, DurhamGeoChannelWordsAndTouchScreen) {
    useSource(kDurhamGeo, kConsolidatedUndrained);
    s.header.ChanTravel = 1, s.header.ChanLoad = 2, s.header.ChanPressure = 3;
    s.header.ChanTravel2 = s.header.ChanStress = 4;
    const std::string line = "10:00:01 0.1000   25.0 3.5 7.25";
    expectNumbers(line, {0.1, 25.0, 3.5});
    EXPECT_EQ(text(line, 4), "10:00:01 ");
    EXPECT_DOUBLE_EQ(number(line, 5), 7.25);
    s.program.TestType = kDirectShear;
    EXPECT_DOUBLE_EQ(number(line, 3), 7.25);
    EXPECT_TRUE(none(line, 6));
    s.header.ChanLoad = 9;  // a channel beyond the line reads 0
    EXPECT_DOUBLE_EQ(number(line, 2), 0.0);

    s.header.TouchScreenFile = true;
    const std::string ts = "12:00\t0.25\t31.5\t20 psi";
    expectNumbers(ts, {0.25, 31.5});
    EXPECT_EQ(text(ts, 4), "12:00");
    EXPECT_EQ(text(ts, 5), "20 psi");
    EXPECT_TRUE(none(ts, 3));
    EXPECT_DOUBLE_EQ(number("1\t2\t3", 2), 3.0);  // touch-screen lines need no blank
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(GetField, GeotacTriaxialFirstDisplacementBecomesTheZero) {
    useSource(kGeotac, kConsolidatedUndrained);
    s.header.Reading.disp = 2;
    setCal(CalChannel::Disp, 2.0, 4.0, -1.0);
    EXPECT_DOUBLE_EQ(number("0:01 AM\t5.0", 1), 0.0);
    EXPECT_EQ(s.fields.firstDisplacement, 5.0);
    EXPECT_DOUBLE_EQ(number("0:02 AM\t6.0", 1), -0.5);  // (6 - 5) x -(2 / 4)
    s.settings.GEOTACCS = true;
    EXPECT_DOUBLE_EQ(number("0:02 AM\t6.0", 1), 0.5);
    s.settings.GEOTACCSUCCV = true;  // acts on unconfined compression only here
    EXPECT_DOUBLE_EQ(number("0:02 AM\t6.0", 1), 0.5);

    s.header.Reading.dispOverFactor = true;
    EXPECT_DOUBLE_EQ(number("0:02 AM\t6.0", 1), -3.0);  // 6 / 2, turned by GEOTACCSUCCV
}

TEST_F(GetField, GeotacTriaxialLoadAuxCellAndTime) {
    useSource(kGeotac, kConsolidatedUndrained);
    s.header.Reading = {0, 3, 4, 5};
    setCal(CalChannel::Load, 100.0, 2.0, 0.5);
    setCal(CalChannel::Aux, 10.0, 5.0, 1.0);
    setCal(CalChannel::Cell, 1.0, 1.0, 0.25);
    s.header.PistonWeight = "1.5 lbs";
    const std::string line = "0:10 AM\t0\t2.5\t3.0\t4.25";
    EXPECT_DOUBLE_EQ(number(line, 2), 98.5);  // (2.5 - 0.5) x 100 / 2 - 1.5
    EXPECT_DOUBLE_EQ(number(line, 3), 4.0);   // (3 - 1) x 10 / 5
    EXPECT_DOUBLE_EQ(number(line, 5), 4.0);   // 4.25 - 0.25
    EXPECT_EQ(text(line, 4), "0:10 AM");
    s.program.TestType = kConsolidatedDrained;
    EXPECT_DOUBLE_EQ(number(line, 3), 0.3);  // volume: 3 / 10
    s.header.Reading.cell = kNoColumn;
    EXPECT_TRUE(none(line, 5));
    EXPECT_TRUE(none(line, 6));
    EXPECT_EQ(op.messages.size(), 1u);
}

TEST_F(GetField, GeotacDirectShearLoadRingAndVerticalZero) {
    useSource(kGeotac, kDirectShear);
    s.settings.LRCDS361 = 8669;
    s.header.LoadRingDS = true;
    s.header.Reading = {4, 3, 2, kNoColumn, true};
    setCal(CalChannel::Disp, 2.0, 1.0, 0.0);
    const std::string line = "0:01 AM\t9\t0.5\t0.3\t7\t0.9";
    EXPECT_DOUBLE_EQ(number(line, 2), 4334.5);  // 0.5 in x 8669 lbs/in
    EXPECT_DOUBLE_EQ(number(line, 1), 0.15);    // 0.3 over the factor 2
    s.header.LoadRingDS = false;
    setCal(CalChannel::Load, 10.0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(number(line, 2), 5.0);
    s.header.Reading.dispOverFactor = false;
    EXPECT_DOUBLE_EQ(number(line, 1), 0.6);  // (0.3 - 0) x 2 / 1

    setCal(CalChannel::Aux, 3.0, 2.0, 1.0);
    s.pass.VertZero = 1.5;
    s.settings.GEOTACUFVDAZ = true;
    EXPECT_DOUBLE_EQ(number(line, 3), 12.0);  // 9 x 3 / 2 - 1.5
    s.settings.GEOTACUFVDAZ = false;
    EXPECT_DOUBLE_EQ(number(line, 3), 12.0);  // (9 - 1) x 3 / 2
    s.settings.GEOTACCSDSV = true;
    EXPECT_DOUBLE_EQ(number(line, 3), -12.0);

    const FieldValue noCell = fGetField(s, op, line, 5);
    EXPECT_EQ(noCell, FieldValue::integer(0));
    s.header.Reading.cell = 5;
    setCal(CalChannel::Cell, 1.0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(number(line, 5), 7.0);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(GetField, HumboldtQuotedColumnsAndTimeStamps) {
    useSource(kHumboldt, kUnconfinedCompression);
    columns(4, 5, 6);
    s.settings.HumDefDiv = 1000;
    const std::string line = "1\t\"ABCDEFGHIJ\"\t\"0123456789\"\t\"250\"\t 31.5 \t\"2\"";
    expectNumbers(line, {0.25, 31.5, 2.0});
    EXPECT_EQ(text(line, 4), "ABC/DEFGH 01234567");
    s.settings.HUMXLEXP = true;
    s.header.HumFormat = 2;
    EXPECT_EQ(text(line, 4), "\"250\"");
    s.settings.HUMFTHSD = true;
    EXPECT_EQ(text(line, 4), "");
    s.settings.HUMREADXL = true;
    s.program.TestType = kDirectShear;
    EXPECT_EQ(text(line, 4), "\"0123456789\"");
    EXPECT_EQ(text("1\t\"AB\"\t\"0\"", 4), "\"0\"");
    EXPECT_TRUE(op.messages.empty());

    s.settings.HumDefDiv = 0;
    EXPECT_TRUE(none(line, 1));
    EXPECT_EQ(op.messages.back().text, "Error: 11 - Division by zero   Field N=1");
    EXPECT_TRUE(none(line, 5));
    EXPECT_EQ(op.messages.back().text, "error in fGetField");
    s.settings = Settings{};
    s.header = HeaderValues{};
    useSource(kHumboldt, kUnconfinedCompression);
    EXPECT_EQ(text("1\t\"AB\"\t", 4), "AB\"/ ");  // short date columns: a short stamp
}

TEST_F(GetField, EnKayCommaColumns) {
    useSource(kEnKay, kCuWithPorePressures);
    columns(2, 4, 5);
    const std::string line = "\"ABCDEFGHIJ\", \"0.125\",\"0123456789\",\"45.5\",\"-1.5\"";
    expectNumbers(line, {0.125, 45.5, -1.5});
    EXPECT_EQ(text(line, 4), "ABC/DEFGH 01234567");
    EXPECT_TRUE(none(line, 5));
    EXPECT_EQ(op.messages.back().text, "error in fGetField");
    EXPECT_TRUE(none("\"1\",\"2\"", 1));  // EnKay lines need a blank
}

TEST_F(GetField, EleSoilTestLoadInThousands) {
    useSource(kEleSoilTest, kCuWithPorePressures);
    columns(1, 2, 3, 4);
    const std::string line = "0.5\t2500\t\"12.5\"\t300";
    expectNumbers(line, {0.5, 2.5, 12.5});
    EXPECT_EQ(fGetField(s, op, line, 4), FieldValue::integer(0));
    EXPECT_DOUBLE_EQ(number(line, 5), 300.0);
    EXPECT_TRUE(none(line, 6));
    EXPECT_EQ(op.messages.size(), 1u);
}

TEST_F(GetField, UnknownSourceGivesNoValue) {
    for (int source : {0, 9}) {
        useSource(source, 1);
        EXPECT_TRUE(none("1 2 3", 1)) << source;
    }
    EXPECT_TRUE(op.messages.empty());
}

}  // namespace
}  // namespace plovix

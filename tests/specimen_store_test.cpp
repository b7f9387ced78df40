#include <gtest/gtest.h>

#include "filter/specimen_store.h"
#include "filter/time_stamps.h"
#include "sources/source_codes.h"
#include "sources/source_table.h"

namespace plovix {
namespace {

class SpecimenStoreTest : public ::testing::Test {
  protected:
    Session s;
    SpecimenStoreTest() {
        resetForNewTest(s);
        fillNameLists(s.program);
    }
    void use(int source, int test) {
        s.settings.SourceType = source;
        s.program.TestType = test;
    }
    double& timeOrRate() { return s.header.TimeOrRate(1); }
    double& stress() { return s.header.NormalStress(1); }
    // With time stamp texts and a travel of 0.5.
    double timed(const std::string& start, const std::string& end) {
        SetTimeOrRate(s, FieldValue::text(start), FieldValue::text(end), 0.5);
        return timeOrRate();
    }
    const std::string& heading() const { return s.specimens.Headings.timeOrRate; }
};

TEST_F(SpecimenStoreTest, ColumnsNumberLabelsAndCycleTicks) {
    s.specimens.SkipDispRepeats(1) = true;
    s.specimens.CurrentSpecimen = 3;
    s.specimens.Column(3).maxLoad = "12.00";
    s.specimens.ReadingsToWrite(3) = 40;
    const NewColumn third = AddSpecimen(s);
    EXPECT_EQ(third.offsetTwips, 3300);  // (3 - 1) x 1650
    EXPECT_TRUE(third.nextButton && s.specimens.Column(3).maxLoad.empty());
    EXPECT_EQ(s.specimens.ReadingsToWrite(3), 0);
    EXPECT_TRUE(s.specimens.SkipDispRepeats(3));  // copied from specimen 1's box
    s.specimens.CurrentSpecimen = 4;
    EXPECT_FALSE(AddSpecimen(s).nextButton);

    s.specimens.SpecimenCount = 2;
    s.specimens.CurrentSpecimen = 2;
    s.specimens.SpecimenPath(2) = "/lab/";
    s.specimens.SpecimenFileName(2) = "b.LST";
    const SpecimenMarks marks = SetSpecimen(s);
    EXPECT_EQ((std::array{marks[1], marks[2], marks[3], marks[4]}),
              (std::array{SpecimenMark::Imported, SpecimenMark::Current, SpecimenMark::NotImported,
                          SpecimenMark::NotImported}));
    EXPECT_EQ(s.settings.DAFile, "/lab/b.LST");
    s.specimens.CurrentSpecimen = 3;  // not imported yet: the file stays
    SetSpecimen(s);
    EXPECT_EQ(s.settings.DAFile, "/lab/b.LST");

    // Three cycles of 4, 2 and 3 readings.
    s.specimens.CurrentSpecimen = 1;
    s.cycles.NumCycles(1, 1) = 3;
    s.cycles.CycleReadings(1, 1) = 4, s.cycles.CycleReadings(1, 2) = 2,
                              s.cycles.CycleReadings(1, 3) = 3;
    CycleUse use = tickCycle(s, 2, false);
    EXPECT_EQ((std::array<std::int64_t, 3>{use.cycles, use.readings, s.cycles.UseCycle(1, 1, 2)}),
              (std::array<std::int64_t, 3>{2, 7, 0}));
    tickCycle(s, 1, false);
    use = tickCycle(s, 3, false);
    EXPECT_EQ((std::array<std::int64_t, 2>{use.cycles, use.readings}),
              (std::array<std::int64_t, 2>{0, 0}));
    EXPECT_THROW(tickCycle(s, 11, true), std::out_of_range);
}

TEST_F(SpecimenStoreTest, TimeOfTestAndRateBySource) {
    use(kGeotac, kConsolidatedUndrained);
    EXPECT_DOUBLE_EQ(timed("1/15/2010 11:59:00 PM", "1/16/2010 12:01:00 AM"), 2);  // over midnight
    EXPECT_EQ(heading(), "Time of test (min):");
    EXPECT_DOUBLE_EQ(timed("10:00 a.m.", "10:02 a.m."), 2);  // the points are cleaned away
    s.settings.GEOTACIPM = true;
    EXPECT_DOUBLE_EQ(timed("10:00", "10:02"), 0.25);  // 0.5 in / 2 min
    EXPECT_EQ(heading(), "Inches per min:");
    EXPECT_DOUBLE_EQ(timed("10:00", "10:00"), 0);  // no time: no rate, not a failure
    s.settings.GEOTACROS = true;
    s.header.HeightText = "5.0";
    s.header.DiameterText = "2.5";
    EXPECT_DOUBLE_EQ(timed("10:00", "10:02"), 5);  // 0.5 x 100 / 5.0 / 2
    EXPECT_EQ(heading(), "Approx. rate of strain (%/min):");
    use(kProprietaryClient, kDirectShear);
    EXPECT_DOUBLE_EQ(timed("10:00", "10:02"), 10);  // direct shear: over the diameter
    EXPECT_THROW(timed("10:00", "10:6x"), DateTypeMismatch);

    use(kDurhamGeo, kDirectShear);
    // Over the hour: minutes and seconds alone go back 3580 s.
    EXPECT_DOUBLE_EQ(timed("10:59:50 ", "11:00:10 "), 20.0 / 60);
    s.header.TouchScreenFile = true;
    EXPECT_DOUBLE_EQ(timed("12:00", "12:03"), 3);

    use(kHumboldt, kDirectShear);
    EXPECT_DOUBLE_EQ(timed("01/15/2010 10:00:00", "01/15/2010 10:30:00"), 30);
    EXPECT_EQ(heading(), "Time to failure (min):");
    EXPECT_DOUBLE_EQ(timed("01//15/20 10:00:00", "01/15/2010 10:30:00"), 0);  // no date
    s.settings.HUMFTHSD = true;
    timeOrRate() = 7;
    EXPECT_DOUBLE_EQ(timed("", ""), 7);  // full transfer: the header's value stays
    s.settings.HUMROS = true;
    EXPECT_DOUBLE_EQ(timed("10:00", "10:20"), 20);  // not read from a workbook: stays
    s.settings.HUMREADXL = true;
    EXPECT_DOUBLE_EQ(timed("10:00", "10:20"), 0.025);  // 0.5 / 20
    s.settings.HUMFTHSD = false;
    EXPECT_DOUBLE_EQ(timed("10:00", "09:50"), 0);
    EXPECT_EQ(heading(), "Rate of strain:");

    for (int source : {kGeomatic, kEnKay, kEleSoilTest}) {
        use(source, kCuWithPorePressures);
        timeOrRate() = 0.75;
        EXPECT_DOUBLE_EQ(timed("junk", "junk"), 0.75) << source;
    }
    use(kGeoTest, kDirectShear);
    SetTimeOrRate(s, FieldValue::number(0.5), FieldValue::number(4), 0);
    EXPECT_DOUBLE_EQ(timeOrRate(), 3.5);
    EXPECT_EQ(timeOrRateText(3.5) + " " + timeOrRateText(0.05) + " " + timeOrRateText(0.0004),
              "3.5 0.05 0.000");
}

TEST_F(SpecimenStoreTest, NormalStressBySourceAndHowItIsShown) {
    ReadingPass& p = s.pass;
    auto normal = [&](int source, int test) {
        use(source, test);
        SetNormalStress(s);
        return stress();
    };
    s.header.Cal(CalChannel::Cell, kCalFactor) = 25;
    s.header.Cal(CalChannel::Cell, kCalDivisor) = 5;
    p.NormalSum = 6, p.NumToWrite = 3;
    EXPECT_DOUBLE_EQ(normal(kProprietaryClient, kConsolidatedUndrained), 10);  // 25 / 5 x 6 / 3
    s.header.SpecimenArea(1) = 5;
    s.header.LoadUnit = kPounds;
    s.settings.GEOTACNPSF = true;
    p.NormalSum = 100, p.NumToWrite = 5, p.InsertZero(1) = true;
    EXPECT_DOUBLE_EQ(normal(kGeotac, kDirectShear), 720);  // 100 / (5 - 1) / 5 x 144
    p.NumToWrite = 1;                                      // only the inserted zero
    EXPECT_DOUBLE_EQ(normal(kGeotac, kDirectShear), 0);
    p.InsertZero(1) = false;
    p.NormalSum = 30, p.NumToWrite = 4;
    s.header.Channel4Present = true;
    EXPECT_DOUBLE_EQ(normal(kDurhamGeo, kCuWithPorePressures), 7.5);
    EXPECT_DOUBLE_EQ(normal(kEleSoilTest, kCuWithPorePressures), 7.5);
    // The header's value stays elsewhere, but not for unconfined compression or GEO files.
    for (int source : {kDurhamGeo, kGeomatic, kGeoTest, kHumboldt}) {
        stress() = 1000;
        EXPECT_DOUBLE_EQ(normal(source, kDirectShear), 1000) << source;
    }
    s.header.GeoFile = true;
    EXPECT_DOUBLE_EQ(normal(kGeoTest, kConsolidatedUndrained), 0);
    stress() = 40;
    EXPECT_DOUBLE_EQ(normal(kDurhamGeo, kUnconfinedCompression), 0);

    // Shown: "#.00" rounds half away from zero, "#.000" below 0.01; the value becomes the text's.
    const ResultHeadings& h = s.specimens.Headings;
    auto shown = [&](double value) {
        stress() = value;
        ShowNormalStress(s);
        return s.specimens.Column(1).normalStress;
    };
    EXPECT_EQ(shown(0), "n/a");
    EXPECT_FALSE(h.normalStressEnabled);
    EXPECT_EQ(h.normalStress, "");  // unconfined compression
    EXPECT_EQ(shown(12.345), "12.35");
    EXPECT_DOUBLE_EQ(stress(), 12.35);
    EXPECT_TRUE(h.normalStressEnabled);
    EXPECT_EQ(shown(0.005), ".005");
    auto heading = [&](int source, int test) {
        use(source, test);
        shown(1);
        return h.normalStress;
    };
    s.header.StressUnit = kKpa;
    s.header.LoadUnit = kKilonewtons;
    EXPECT_EQ(heading(kDurhamGeo, kConsolidatedDrained), "Cell Pressure (kPa):");
    EXPECT_EQ(heading(kGeoTest, kDirectShear), "Vertical Stress (kPa):");
    EXPECT_EQ(heading(kGeomatic, kDirectShear), "Vertical Load (kN):");
    EXPECT_EQ(heading(kGeotac, kDirectShear), "Vertical Stress (kN/cm2):");
    s.header.LoadUnit = kPounds;
    EXPECT_EQ(heading(kGeotac, kDirectShear), "Vertical Stress (psf):");
    s.header.NormalIsLoad = true;
    EXPECT_EQ(heading(kGeotac, kDirectShear), "Vertical Load (lbs):");
    s.settings.HUMFTHSD = false;
    EXPECT_EQ(heading(kHumboldt, kDirectShear), "Vertical Load (lbs):");  // left as it was
    s.settings.HUMFTHSD = true;
    EXPECT_EQ(heading(kHumboldt, kDirectShear), "Vertical Stress ():");
}

}  // namespace
}  // namespace plovix

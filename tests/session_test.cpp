#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/session.h"
#include "app/settings.h"
#include "sources/source_table.h"
#include "text/fields.h"

namespace plovix {
namespace {

TEST(Session, TablesRefuseIndexesOutsideTheirBounds) {
    Session s;
    s.cycles.UseCycle(4, 10, 10) = 1;
    s.cycles.NumCycles(4, 10) = 3;
    s.cycles.CycleReadings(10, 10) = 70000;  // counts are wider than 16 bits
    s.header.NormalStress(4) = 1.0;
    EXPECT_THROW(s.cycles.UseCycle(5, 1, 1), std::out_of_range);
    EXPECT_THROW(s.cycles.UseCycle(1, 11, 1), std::out_of_range);
    EXPECT_THROW(s.cycles.UseCycle(1, 1, 11), std::out_of_range);
    EXPECT_THROW(s.cycles.NumCycles(-1, 0), std::out_of_range);
    EXPECT_THROW(s.pass.CycleMaxLoad(1, 1, -1), std::out_of_range);
    EXPECT_THROW(s.header.SpecimenArea(5), std::out_of_range);
    EXPECT_THROW(s.header.Cal(CalChannel::Disp, 4), std::out_of_range);
    EXPECT_THROW(s.header.Cal(CalChannel::Disp, 0), std::out_of_range);
    EXPECT_EQ(s.cycles.CycleReadings(10, 10), 70000);
}

TEST(Session, CalibrationChannelsAreSeparate) {
    Session s;
    s.header.Cal(CalChannel::Load, kCalZero) = 1;
    s.header.Cal(CalChannel::Disp, kCalFactor) = 2;
    s.header.Cal(CalChannel::Cell, kCalDivisor) = 3;
    EXPECT_EQ(s.header.Cal(CalChannel::Load, kCalZero), 1);
    EXPECT_EQ(s.header.Cal(CalChannel::Load, kCalFactor), 0);
    EXPECT_EQ(s.header.Cal(CalChannel::Disp, kCalFactor), 2);
    EXPECT_EQ(s.header.Cal(CalChannel::Aux, kCalDivisor), 0);
    EXPECT_EQ(s.header.Cal(CalChannel::Cell, kCalDivisor), 3);
}

TEST(Session, SixteenBitValuesAreRefusedWithAMessage) {
    EXPECT_EQ(checkedInt16(32767, "x"), 32767);
    EXPECT_EQ(checkedInt16(-32768, "x"), -32768);
    try {
        checkedInt16(40000, "The reading count of specimen 2");
        FAIL() << "40000 must not fit";
    } catch (const std::range_error& e) {
        EXPECT_NE(std::string(e.what()).find("The reading count of specimen 2 is 40000"),
                  std::string::npos);
    }
    EXPECT_THROW(checkedInt16(-32769, "x"), std::range_error);
}

TEST(Session, NameListsAndUnknownStressUnit) {
    Session s;
    fillNameLists(s.program);
    EXPECT_EQ(s.program.SourceNames(1), "Geomatic");
    EXPECT_EQ(s.program.SourceNames(0) + s.program.SourceNames(9), "");
    EXPECT_EQ(stressUnitName(s, 8), "ksc");  // the others show in the result headings
    EXPECT_EQ(stressUnitName(s, -1), "");
    EXPECT_EQ(stressUnitName(s, 99), "");
}

TEST(Session, NewTestMarksEveryCycleUsedAndTakesTheLoadedTestType) {
    Session s;
    s.settings.LTTU = 5;
    s.program.TestType = 2;
    s.specimens.SpecimenCount = 3;
    s.pass.NumToWrite = 12;
    resetForNewTest(s);
    EXPECT_EQ(s.program.TestType, 5);
    EXPECT_EQ(s.specimens.SpecimenCount, 0);
    EXPECT_EQ(s.specimens.CurrentSpecimen, 1);
    EXPECT_EQ(s.specimens.CurRun, 1);
    EXPECT_TRUE(s.program.NeedSetup);
    EXPECT_EQ(s.pass.NumToWrite, 12);  // nothing else is reset
    EXPECT_EQ(s.cycles.UseCycle(1, 1, 1), 1);
    EXPECT_EQ(s.cycles.UseCycle(4, 10, 10), 1);
    EXPECT_EQ(s.cycles.UseCycle(0, 1, 1), 0);
    EXPECT_EQ(s.cycles.UseCycle(1, 0, 1), 0);
}

TEST(SourceTable, CodesNamesFiltersAndTestTypes) {
    Session s;
    const auto table = sourceTable();
    ASSERT_EQ(table.size(), 8u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].code, static_cast<int>(i) + 1);
        EXPECT_EQ(findSource(table[i].code), &table[i]);
        const std::string filter = table[i].filter(s);
        EXPECT_NE(filter.find('|'), std::string::npos) << table[i].name;
        const std::string allowed = table[i].allowedTestTypes(s);
        EXPECT_EQ(allowed.front(), ',');
        EXPECT_EQ(allowed.back(), ',');
        EXPECT_GT(fListPos(fListItem(allowed, 1, true), allowed), 0);
        // The data display is printed larger for Geomatic.
        EXPECT_EQ(table[i].printPointSize, table[i].code == kGeomatic ? 12 : 10) << table[i].name;
    }
    EXPECT_EQ(findSource(0), nullptr);
    EXPECT_EQ(findSource(9), nullptr);
    EXPECT_STREQ(findSource(kProprietaryClient)->name, "Proprietary Client");

    EXPECT_EQ(findSource(kGeomatic)->allowedTestTypes(s), ",2,");
    EXPECT_EQ(findSource(kGeoTest)->allowedTestTypes(s), ",1,2,3,4,5,");
    s.specimens.KWDSFile = true;
    EXPECT_EQ(findSource(kGeoTest)->allowedTestTypes(s), ",2,");
    EXPECT_EQ(findSource(kProprietaryClient)->allowedTestTypes(s), ",3,4,5,6,");
    EXPECT_EQ(findSource(kEnKay)->allowedTestTypes(s), ",5,");
    EXPECT_EQ(findSource(kEleSoilTest)->allowedTestTypes(s), ",5,");
    EXPECT_EQ(findSource(kHumboldt)->allowedTestTypes(s), ",1,2,3,4,5,6,");
    s.settings.HUMXLEXP = true;
    EXPECT_EQ(findSource(kHumboldt)->allowedTestTypes(s), ",1,3,4,5,6,");
    s.settings.HUMREADXL = true;
    EXPECT_EQ(findSource(kHumboldt)->allowedTestTypes(s), ",1,2,3,");
    EXPECT_EQ(findSource(kHumboldt)->filter(s), "Humboldt XL files |*.XLS;*.XLSX");

    s.program.TestType = kConsolidatedUndrained;
    EXPECT_EQ(findSource(kGeoTest)->filter(s), "GeoTest files |*.GEO;*.LST");
    s.program.TestType = kDirectShear;
    EXPECT_EQ(findSource(kGeoTest)->filter(s), "GeoTest files |*.LST");
    EXPECT_EQ(findSource(kGeotac)->filter(s), "GEOTAC files |*.SDF;*.DAT");
    s.settings.KWDS = true;
    EXPECT_EQ(findSource(kGeoTest)->filter(s), "GeoTest files |*.DAT");
    s.program.TestType = kUnconfinedCompression;
    EXPECT_EQ(findSource(kGeotac)->filter(s), "GEOTAC files |*.TRX;*.DAT");
}

// The keys a source's results depend on are reported by name: each must be a key of the
// settings file, listed once.
TEST(SourceTable, SettingsKeysAreSettingsFileKeys) {
    for (const SourceLayout& source : sourceTable()) {
        std::set<std::string> seen;
        for (std::string_view key : source.settingsKeys) {
            EXPECT_TRUE(settingsSectionOf(key)) << source.name << ": " << key;
            EXPECT_TRUE(seen.insert(upperAscii(key)).second) << source.name << ": " << key;
        }
    }
}

}  // namespace
}  // namespace plovix

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/session.h"
#include "app/settings.h"
#include "sources/source_codes.h"
#include "sources/source_table.h"
#include "text/fields.h"

namespace plovix {
namespace {

TEST(Session, TablesKeepTheirEntriesApartAndRefuseIndexesOutsideTheirBounds) {
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

    s.header.Cal(CalChannel::Load, kCalZero) = 1;
    s.header.Cal(CalChannel::Disp, kCalFactor) = 2;
    s.header.Cal(CalChannel::Cell, kCalDivisor) = 3;
    EXPECT_EQ(
        (std::array{
            s.header.Cal(CalChannel::Load, kCalZero), s.header.Cal(CalChannel::Load, kCalFactor),
            s.header.Cal(CalChannel::Disp, kCalFactor), s.header.Cal(CalChannel::Aux, kCalDivisor),
            s.header.Cal(CalChannel::Cell, kCalDivisor)}),
        (std::array{1.0, 0.0, 2.0, 0.0, 3.0}));
    // Names outside the lists are empty.
    fillNameLists(s.program);
    EXPECT_EQ(s.program.SourceNames(0) + s.program.SourceNames(9), "");
    EXPECT_EQ(stressUnitName(s, -1) + stressUnitName(s, 99), "");
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

TEST(Session, NewTestMarksEveryCycleUsedAndTakesTheLoadedTestType) {
    Session s;
    s.settings.LTTU = 5;
    s.program.TestType = 2;
    s.specimens.SpecimenCount = 3;
    s.pass.NumToWrite = 12;
    resetForNewTest(s);
    EXPECT_EQ(s.program.TestType, 5);
    EXPECT_EQ(
        (std::array{s.specimens.SpecimenCount, s.specimens.CurrentSpecimen, s.specimens.CurRun}),
        (std::array{0, 1, 1}));
    EXPECT_TRUE(s.program.NeedSetup);
    EXPECT_EQ(s.pass.NumToWrite, 12);  // nothing else is reset
    EXPECT_EQ((std::array{s.cycles.UseCycle(1, 1, 1), s.cycles.UseCycle(4, 10, 10),
                          s.cycles.UseCycle(0, 1, 1), s.cycles.UseCycle(1, 0, 1)}),
              (std::array{1, 1, 0, 0}));
}

// The test types and file filters that change with the settings and the test type.
TEST(SourceTable, TestTypesAndFiltersThatChange) {
    Session s;
    const auto allowed = [&](int source) { return findSource(source)->allowedTestTypes(s); };
    EXPECT_EQ(allowed(kGeoTest), ",1,2,3,4,5,");
    s.specimens.KWDSFile = true;
    EXPECT_EQ(allowed(kGeoTest), ",2,");
    EXPECT_EQ(allowed(kHumboldt), ",1,2,3,4,5,6,");
    s.settings.HUMXLEXP = true;
    EXPECT_EQ(allowed(kHumboldt), ",1,3,4,5,6,");
    s.settings.HUMREADXL = true;
    EXPECT_EQ(allowed(kHumboldt), ",1,2,3,");
    EXPECT_EQ(findSource(kHumboldt)->filter(s), "Humboldt XL files |*.XLS;*.XLSX");

    const auto filter = [&](int source) { return findSource(source)->filter(s); };
    s.program.TestType = kConsolidatedUndrained;
    EXPECT_EQ(filter(kGeoTest), "GeoTest files |*.GEO;*.LST");
    s.program.TestType = kDirectShear;
    EXPECT_EQ(filter(kGeoTest), "GeoTest files |*.LST");
    EXPECT_EQ(filter(kGeotac), "GEOTAC files |*.SDF;*.DAT");
    s.settings.KWDS = true;
    EXPECT_EQ(filter(kGeoTest), "GeoTest files |*.DAT");
    s.program.TestType = kUnconfinedCompression;
    EXPECT_EQ(filter(kGeotac), "GEOTAC files |*.TRX;*.DAT");
}

// Each row of the table holds together: its code is its place, every operation is there, the
// keys it names are settings-file keys listed once, each option of the settings dialog sits on
// one frame, and the traits that build on each other agree.
TEST(SourceTable, EveryRowIsConsistent) {
    std::set<HelpTopic> helpTopics;
    std::set<std::string_view> shortNames;
    for (const SourceLayout& source : sourceTable()) {
        SCOPED_TRACE(source.name);
        EXPECT_EQ(&source - sourceTable().data(), source.code - 1);
        ASSERT_TRUE(source.field && source.readHeader && source.cycleEnds && source.dataEnds &&
                    source.display && source.traits);
        const Session s;
        const std::string allowed = source.allowedTestTypes(s);
        EXPECT_TRUE(allowed.size() >= 3 && allowed.front() == ',' && allowed.back() == ',');
        EXPECT_NE(source.filter(s).find(" |*."), std::string::npos);

        std::set<std::string> seen;
        for (std::string_view key : source.settingsKeys) {
            EXPECT_TRUE(settingsSectionOf(key)) << key;
            EXPECT_TRUE(seen.insert(upperAscii(key)).second) << key;
        }
        const SourceTraits& t = *source.traits;
        EXPECT_EQ(findSource(source.code), &source);
        EXPECT_EQ(&traitsOf(source.code), &t);
        for (std::string_view key : t.frameOptions) {
            EXPECT_TRUE(settingsSectionOf(key)) << key;
            EXPECT_EQ(settingsFrameOf(key), source.code) << key;
        }
        EXPECT_EQ(t.frameOptions.empty(), t.frameLayout == SettingsFrameLayout::NoteOnly);
        EXPECT_FALSE(t.frameCaption.empty() || t.frameNote.empty());
        EXPECT_TRUE(helpTopics.insert(t.settingsHelp).second);
        EXPECT_TRUE(!t.shortName.empty() && shortNames.insert(t.shortName).second);
        EXPECT_TRUE(t.normalSum == NormalSum::Never || t.normalChannel);
        EXPECT_TRUE(!t.normalSumLessCellZero || t.normalSum != NormalSum::Never);
        // Options only a source honours are among the keys its results depend on.
        const auto reads = [&](bool honours, std::string_view key) {
            return !honours || seen.count(std::string(key)) != 0;
        };
        EXPECT_TRUE(reads(t.fourColumnOption, "KWDS"));
        EXPECT_TRUE(reads(t.fullTransferOption, "HUMFTHSD"));
        EXPECT_TRUE(reads(t.workbookOption, "HUMREADXL"));
        EXPECT_TRUE(reads(t.preparedFiles, "HUMXLEXP"));
        EXPECT_TRUE(reads(t.zeroInsertion == ZeroInsertion::WhenAskedAndFirstDisplacementNonZero,
                          "GEOTACI0"));
    }
    EXPECT_TRUE(findSource(0) == nullptr && findSource(kSourceCount + 1) == nullptr);
    EXPECT_EQ(settingsFrameOf("DDMM"), 0);
    EXPECT_EQ(traitsOf(0).cycleSkip, CycleSkip::NotSupported);
}

}  // namespace
}  // namespace plovix

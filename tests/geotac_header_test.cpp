// GEOTAC headers of every generation, their prompts, and the settings acting on their columns.

#include <gtest/gtest.h>

#include "sources/geotac_layouts.h"
#include "sources/source_codes.h"
#include "support/header_fixture.h"
#include "support/norvo_files.h"

namespace plovix {
namespace {

std::string fixturePath(const std::string& name) {
    return std::string(PLOVIX_TEST_DATA) + "/geotac/" + name;
}

// The fixture with line `n` (1-based) replaced.
std::string variant(const std::string& name, int n, const std::string& text) {
    std::string bytes = testing::bytesOf(fixturePath(name));
    std::size_t at = 0;
    for (int k = 1; k < n; ++k) at = bytes.find("\r\n", at) + 2;
    return bytes.replace(at, bytes.find("\r\n", at) - at, text);
}

class GeotacHeader : public testing::HeaderFixture {
  protected:
    GeotacHeader() { s.specimens.CurrentSpecimen = 1; }
    // Reads the fixture's header, or `bytes` read as if they were that fixture.
    HeaderResult read(int test, const std::string& name, const std::string& bytes = "") {
        s.settings.DAFile = fixturePath(name);
        return readHeader(
            kGeotac, test,
            bytes.empty() ? LineReader::open(s.settings.DAFile) : LineReader::fromBytes(bytes));
    }
    bool shown(const std::string& part) const {
        for (const auto& m : op.messages)
            if (m.text.find(part) != std::string::npos) return true;
        return false;
    }
};

// Worked from the fixtures (columns 1-based, the time stamp is column 1); loads are in pounds
// and displacements in inches throughout. The line after the header must be a reading.
struct Layout {
    const char* file;
    int test;
    const char* settings;  // "A" sets GEOTACADCDT, "U" clears GEOTACUIL
    int disp, load, aux, cell;
    std::int64_t lines, consumed;
    int stressUnit;
    bool known, dcdt;
    const char* flags;   // see `flags` below
    const char* marker;  // nullptr: "[SHEAR]"
};
const Layout kLayouts[] = {
    {"unknown_triaxial.TRX", 4, "", 5, 2, 4, 3, 19, 20, 1, false, false, "3", nullptr},
    // Unit "V" on column 5: the displacement moves to column 6 ("in").
    {"unknown_uu_moving_disp.TRX", 3, "", 6, 2, 4, 3, 19, 20, 1, false, false, "3U", nullptr},
    {"unknown_version_on_line3.TRX", 4, "", 5, 2, 4, 3, 19, 20, 1, false, false, "3", nullptr},
    // The DCDT chosen by the setting moves the displacement one column left.
    {"sigma1_uc_v294.TRX", 1, "", 4, 2, 4, 5, 20, 21, -1, true, false, "", nullptr},
    {"sigma1_uc_v294.TRX", 1, "A", 3, 2, 4, 5, 20, 21, -1, true, true, "", nullptr},
    {"sigma1_uc_radial.TRX", 1, "", 6, 2, 4, 5, 20, 21, -1, true, false, "R", nullptr},
    {"sigma1_uu_si.TRX", 3, "", 4, 2, 4, 3, 20, 21, 1, true, false, "", nullptr},
    {"v382_cell_at_25.TRX", 3, "", 5, 2, 4, 3, 20, 21, 1, true, false, "", nullptr},
    {"v382_cell_at_25.TRX", 3, "A", 4, 2, 4, 3, 20, 21, 1, true, true, "", nullptr},
    {"v382_cell_elsewhere.TRX", 3, "", 5, 2, 4, 4, 20, 21, 1, true, false, "", nullptr},
    {"v382_cell_elsewhere.TRX", 3, "A", 3, 2, 4, 4, 20, 21, 1, true, true, "", nullptr},
    {"v371_sensor_line.TRX", 5, "", 6, 2, 4, 5, 20, 21, 1, true, false, "", nullptr},
    // Three lines more after "[SENSORS]" move the units and the marker down by 3.
    {"v414_empty_sensors.TRX", 3, "", 5, 2, 4, 3, 23, 24, 1, true, false, "4", nullptr},
    {"v543_empty_sensors.SDF", 2, "", 6, 2, 4, 3, 22, 23, -1, true, false, "3", nullptr},
    {"v414_lpt.TRX", 3, "", 3, 2, 4, 4, 20, 21, 1, true, true, "4", nullptr},
    // "LDT" on line 12: no DCDT, whatever the setting.
    {"v313_ldt.TRX", 5, "A", 4, 2, 4, 5, 20, 21, -1, true, false, "O", nullptr},
    {"v542_cu_stages.TRX", 5, "", 2, 3, 4, 0, 19, 20, 1, false, false, "3",
     "[S1],[S2],[S3],[S4],[CIU S1,[CIU S2,[CIU S3,[CIU S4"},
    {"v542_uu_stages.TRX", 3, "A", 2, 3, 4, 0, 19, 20, -1, false, true, "3U",
     "[S1],[S2],[S3],[S4],[ST-3],[ST-1],[UU-1]"},
    {"truepath_cu.TRX", 5, "", 8, 2, 6, 4, 19, 20, 1, true, false, "3T", nullptr},
    {"truepath_cu.TRX", 6, "A", 3, 2, 10, 4, 19, 20, 1, true, true, "3T", nullptr},
    // "Internal Load Cell": cell and aux one right, the load from column 3 unless not wanted.
    {"truepath_cd_ilc.TRX", 6, "", 8, 3, 11, 5, 19, 20, 1, true, false, "3T", nullptr},
    {"truepath_cd_ilc.TRX", 6, "U", 8, 2, 11, 5, 19, 20, 1, true, false, "3T", nullptr},
    {"sigma1_cu.TRX", 6, "", 6, 2, 4, 5, 20, 21, 1, true, false, "3", nullptr},
    {"digishear_ds.SDF", 2, "", 6, 2, 4, 3, 19, 20, -1, true, false, "", nullptr},
    {"v521_ds.SDF", 2, "", 2, 3, 4, 5, 23, 24, -1, false, false, "35N", nullptr},
    // The unit line under the heading is read but not counted.
    {"v542_load_ring.SDF", 2, "", 4, 2, 3, 0, 19, 21, -1, false, false, "3L", "TIME\tLR"},
    // Section named after the file: no heading follows it.
    {"NAMED1.SDF", 2, "", 6, 2, 4, 3, 19, 19, -1, true, false, "", nullptr},
};

TEST_F(GeotacHeader, EveryGenerationsColumnsUnitsAndMarker) {
    for (const Layout& c : kLayouts) {
        SCOPED_TRACE(std::string(c.file) + " test " + std::to_string(c.test) + " " + c.settings);
        s = Session{};
        s.settings.SourceType = kGeotac;
        s.specimens.CurrentSpecimen = 1;
        s.settings.GEOTACADCDT = std::string(c.settings).find('A') != std::string::npos;
        s.settings.GEOTACUIL = std::string(c.settings).find('U') == std::string::npos;
        s.settings.DAName = "OTHER.SDF";  // the file being read names its section, not this
        op.scriptAnswers({true, true});
        const HeaderResult r = read(c.test, c.file);
        ASSERT_EQ(r.status, HeaderStatus::Read);
        EXPECT_EQ(std::pair(r.lines, in->linesConsumed()), std::pair(c.lines, c.consumed));
        EXPECT_EQ((std::array{h.ColDisp, h.ColLoad, h.ColAux, h.ColCell}),
                  (std::array{c.disp, c.load, c.aux, c.cell}));
        EXPECT_EQ(h.Reading.aux, h.ColAux);
        EXPECT_EQ((std::array{h.LoadUnit, h.StressUnit, h.DispUnit}),
                  (std::array{1, c.stressUnit, 1}));
        EXPECT_EQ(std::pair(h.KnownVersion, h.UseDCDT), std::pair(c.known, c.dcdt));
        std::string flags;
        const std::pair<bool, char> kFlags[] = {
            {h.Version383, '3'},      {h.Version414, '4'},   {h.Version521, '5'},
            {h.OldFormat313, 'O'},    {h.RadialStrain, 'R'}, {h.TruePathFile, 'T'},
            {h.UnknownUULayout, 'U'}, {h.LoadRingDS, 'L'},   {h.NormalIsLoad, 'N'}};
        for (auto [set, letter] : kFlags)
            if (set) flags += letter;
        EXPECT_EQ(flags, c.flags);
        EXPECT_FALSE(h.UUDirect);
        EXPECT_EQ(h.ReadingsMarker, c.marker ? c.marker : "[SHEAR]");
        const std::string reading = dataLine();
        EXPECT_TRUE(reading.rfind("10:00:00 AM\t", 0) == 0 ||
                    reading.rfind("09:00:00 AM\t", 0) == 0)
            << reading;
    }
}

// recogniseVersion with the sensor line that the file would give.
TEST(GeotacVersions, EquivalencesSearchOrderAndLookAheads) {
    const std::string kLpt = "Name\tExternal Load Cell\tLPT\tCell Pressure\tLoad Frame Encoder";
    const std::string kLp223 =
        "Name\tExternal Load Cell\tCell Pressure\tLP-223\tLoad Frame Encoder";
    struct Row {
        const char* line;
        std::string sensors;
        bool alwaysDCDT;
        const char* text;   // nullptr: the line's
        const char* flags;  // K known, D useDCDT, 3 version383, 4 version414
        int x, y;
    } const rows[] = {
        {"UU-SI Version 1.0.0", "", false, "Version 4.1.4", "K4", 1, 0},
        {"Version 3.7.1", "Name\tLoad\tLVDT\tCell Pressure", false, "Version 3.8.2", "K", 1, 1},
        {"Version 3.7.1", "Name\tLoad\tLVDT\tCell Pressure", true, "Version 3.8.2", "KD", -1, 1},
        {"Version 3.7.1", kLpt, false, "Version 4.1.3", "KD3", -1, 1},
        {"Version 4.1.2", kLp223, false, "Version 4.1.3", "K3", 1, 0},
        {"Version 4.1.2", kLp223, true, "Version 4.1.3", "K3", 0, 0},
        {"Version 3.7.1", "Name\tLoad\tDCDT\tPore Pressure\tCell Pressure", false, "Version 3.8.2",
         "K", 1, 1},
        {"Version 3.8.2", "Name\tLoad\tCell Pressure", false, nullptr, "K", 0, 0},
        {"Version 5.4.3", "Name\tLoad\tDCDT\tLPT", false, nullptr, "K3", 1, 1},
        {"Version 5.4.3", "[EXCITATION]", true, nullptr, "KD3", 0, 0},
        {"Version 4.1.4", "[EXCITATION]", true, nullptr, "K4", 0, 0},
        // The search passing "Version 3.8.3" unmatched sets 383.
        {"Version 5.3.2", "", true, nullptr, "KD", 0, 0},
        {"Version 5.5.1", "", true, nullptr, "KD3", 0, 0},
        {"Version 2.6.1", "", true, nullptr, "K", 0, 0},
        {"Triaxial Program", "", false, nullptr, "3", 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.line) + " / " + r.sensors);
        const auto f = geotac::recogniseVersion(r.line, r.alwaysDCDT, [&] { return r.sensors; });
        EXPECT_EQ(f.text, r.text ? r.text : r.line);
        std::string flags;
        for (auto [set, letter] :
             {std::pair{f.known, 'K'}, {f.useDCDT, 'D'}, {f.version383, '3'}, {f.version414, '4'}})
            if (set) flags += letter;
        EXPECT_EQ(flags, r.flags);
        EXPECT_EQ((std::array{f.x, f.y}), (std::array{r.x, r.y}));
    }
    EXPECT_TRUE(geotac::recogniseVersion("Version 3.1.4", false, {}).oldFormat313);
    EXPECT_NO_THROW(geotac::recogniseVersion("Version 2.7.2", false, {}));  // no look-ahead
}

TEST(GeotacReadingColumns, ChosenFromTheGenerationAndTheTestType) {
    HeaderValues h;
    h.ColDisp = 5, h.ColLoad = 2, h.ColAux = 4, h.ColCell = 6;  // where the constants stand
    const auto chosen = [&](int test) {
        const ReadingColumns c = geotac::readingColumns(h, test);
        return std::array{c.disp, c.load, c.aux, c.cell, c.dispOverFactor ? 1 : 0};
    };
    // Direct shear: column 6 over its factor; load ring; UU direct; 5.2.1.
    EXPECT_EQ(chosen(kDirectShear), (std::array{6, 2, 4, 6, 1}));
    h.LoadRingDS = true;
    EXPECT_EQ(chosen(kDirectShear), (std::array{5, 2, 4, 6, 1}));
    h.LoadRingDS = false, h.UUDirect = true;
    EXPECT_EQ(chosen(kDirectShear), (std::array{5, 2, 4, 6, 0}));
    h.Version521 = true;
    EXPECT_EQ(chosen(kDirectShear), (std::array{5, 3, 4, 5, 0}));
    h.ColCell = kNoColumn;  // no cell constants, no cell reading
    EXPECT_EQ(chosen(kDirectShear)[3], kNoColumn);
    // Triaxial: the platen of known or unconfined files over its factor unless the DCDT.
    EXPECT_EQ(chosen(kConsolidatedUndrained), (std::array{5, 2, 4, kNoColumn, 0}));
    EXPECT_EQ(chosen(kUnconfinedCompression)[4], 1);
    h.KnownVersion = true;
    EXPECT_EQ(chosen(kConsolidatedUndrained)[4], 1);
    h.UseDCDT = true;
    EXPECT_EQ(chosen(kUnconfinedCompression)[4], 0);
}

TEST_F(GeotacHeader, KindOfTestPromptsAndTheirAnswers) {
    ASSERT_EQ(read(kConsolidatedUndrained, "sigma1_uu_si.TRX").status, HeaderStatus::Read);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_TRUE(shown("indicates this is an UU, you selected Consolidated Undrained"));
    read(kConsolidatedDrained, "sigma1_cu.TRX");
    EXPECT_EQ(op.messages.size(), 2u);
    EXPECT_TRUE(shown("indicates this is a CUPP,"));
    // No "Shear" in the version line; another test named on line 7; no "[SENSORS]".
    read(kDirectShear, "digishear_ds.SDF", variant("digishear_ds.SDF", 2, "GEOTAC Version 2.6.1"));
    EXPECT_TRUE(shown("indicates this is a CUPP or CD,"));
    read(kUnconsolidatedUndrained, "sigma1_uu_si.TRX",
         variant("sigma1_uu_si.TRX", 7, "Diameter\t2.8\tHeight\t5.6\tUnconfined"));
    EXPECT_TRUE(shown("indicates this is *unknown test type*,"));
    op.messages.clear();
    read(kDirectShear, "digishear_ds.SDF", variant("digishear_ds.SDF", 10, "Sensors"));
    EXPECT_TRUE(shown("indicates this is *unknown test type*,"));

    // Version 5.3.1 on line 3 makes direct shear UU; 5.3.2 puts CD's displacement in 4.
    read(kDirectShear, "unknown_version_on_line3.TRX");
    EXPECT_EQ(s.program.TestType, kUnconsolidatedUndrained);
    read(kConsolidatedDrained, "unknown_version_on_line3.TRX",
         variant("unknown_version_on_line3.TRX", 3, "Software\tVersion 5.3.2"));
    EXPECT_EQ(h.ColDisp, 4);

    // Cancel ends the import and leaves the session as it was.
    op.scriptAnswers({false});
    EXPECT_EQ(read(kUnconfinedCompression, "sigma1_cu.TRX").status, HeaderStatus::Ended);
    EXPECT_EQ(h.ColDisp, 4);
    EXPECT_FALSE(h.KnownVersion);
}

TEST_F(GeotacHeader, SpecimenFactsMissingSectionsAndZeroFactors) {
    ASSERT_EQ(read(kUnconsolidatedUndrained, "v414_empty_sensors.TRX").status, HeaderStatus::Read);
    EXPECT_EQ((std::array{h.ContractOrProject, h.DateSampled, h.BoreholeID, h.SampleNumber,
                          h.SpecimenNumber, h.SampleDepth, h.DiameterText, h.HeightText,
                          h.PistonWeight, h.Remarks}),
              (std::array<std::string, 10>{"Levee Reach 3", "05/14/2021", "B-4", "S-2", "1",
                                           "10.5 ft", "2.8", "5.6", "0.75", "Soft clay"}));
    EXPECT_NEAR(h.SpecimenArea(1), 3.141592654 * 2.8 * 2.8 / 4, 1e-12);
    EXPECT_EQ((std::array{h.Cal(CalChannel::Load, kCalFactor), h.Cal(CalChannel::Load, kCalDivisor),
                          h.Cal(CalChannel::Load, kCalZero)}),
              (std::array{10.0, 2.0, 0.25}));
    // TruePath: the piston weight is in the load already.
    read(kCuWithPorePressures, "truepath_cu.TRX");
    EXPECT_EQ(h.PistonWeight, "0");
    EXPECT_EQ(h.Remarks, "Soft clay");

    // No "[SENSORS]" where the sensor line is looked for.
    op.scriptAnswers({false});
    EXPECT_EQ(read(kCuWithPorePressures, "v371_sensor_line.TRX",
                   variant("v371_sensor_line.TRX", 10, "[SENSOR LIST]"))
                  .status,
              HeaderStatus::Ended);
    EXPECT_TRUE(shown("not in the expected format, GEOTAC. Press OK to go to Program Setup"));
    // A zero displacement factor (known) or excitation (unknown): no header.
    EXPECT_EQ(read(kCuWithPorePressures, "sigma1_cu.TRX",
                   variant("sigma1_cu.TRX", 17, "Factor\t8\t0.001\t4\t2\t0"))
                  .lines,
              0);
    EXPECT_EQ(read(kConsolidatedUndrained, "unknown_triaxial.TRX",
                   variant("unknown_triaxial.TRX", 17, "Excitation\t10\t5\t5\t0"))
                  .lines,
              0);
}

TEST_F(GeotacHeader, SettingsActOnTheFieldsOfTheColumnsFound) {
    // 2.9.4 UC: platen column 4 with factor 1, turned by GEOTACCSUCCV.
    read(kUnconfinedCompression, "sigma1_uc_v294.TRX");
    dataLine();
    const std::string second = dataLine();  // DCDT 0.65, platen 0.02
    EXPECT_EQ(field(second, 1), 0.02);
    s.settings.GEOTACCSUCCV = true;
    EXPECT_EQ(field(second, 1), -0.02);
    // DCDT: (r - zero) x -(0.5 / 10), the zero 0.75 or the first reading 0.7 (GEOTACUFDAZ).
    s.settings = Settings{};
    s.settings.SourceType = kGeotac;
    s.settings.GEOTACADCDT = s.settings.GEOTACUFDAZ = true;
    read(kUnconfinedCompression, "sigma1_uc_v294.TRX");
    EXPECT_EQ(h.Cal(CalChannel::Disp, kCalZero), -1.0);
    EXPECT_EQ(field(dataLine(), 1), 0);
    EXPECT_NEAR(field(second, 1), 0.0025, 1e-15);
    s.settings.GEOTACUFDAZ = false;
    read(kUnconfinedCompression, "sigma1_uc_v294.TRX");
    EXPECT_NEAR(field(dataLine(), 1), 0.0025, 1e-15);
    EXPECT_NEAR(field(second, 1), 0.005, 1e-15);

    // 5.4.2 UU (unknown version), turned by GEOTACCS.
    read(kUnconsolidatedUndrained, "v542_uu_stages.TRX");
    const std::string uu = dataLine();
    EXPECT_EQ(field(uu, 1), -0.01);
    s.settings.GEOTACCS = true;
    EXPECT_EQ(field(uu, 1), 0.01);
    EXPECT_TRUE(op.messages.empty());
}

}  // namespace
}  // namespace plovix

#include "sources/source_table.h"

#include <array>

#include "sources/header_lines.h"
#include "sources/source_layouts.h"

namespace plovix {

namespace {

std::string fixed(const char* text) {
    return text;
}

// The settings each source's reading depends on. Two keys count for every source: the reading
// pass takes the first vertical reading as its zero with GEOTACUFVDAZ, and the export writes
// the sample weight and specific gravity with HUMFTHSD, whatever the source.
constexpr std::string_view kSharedKeys[] = {"GEOTACUFVDAZ", "HUMFTHSD"};
constexpr std::string_view kGeoTestKeys[] = {"KWDS", "GEOTACUFVDAZ", "HUMFTHSD"};
// The rate reported for Proprietary Client files follows GEOTAC's choice.
constexpr std::string_view kProprietaryClientKeys[] = {"GEOTACROS", "GEOTACIPM", "GEOTACUFVDAZ",
                                                       "HUMFTHSD"};
constexpr std::string_view kGeotacKeys[] = {
    "GEOTACI0",     "GEOTACNPSF",      "GEOTACADCDT",  "GEOTACCS",  "GEOTACCSDSV",
    "GEOTACCSUCCV", "GEOTACUFDAZ",     "GEOTACUFVDAZ", "GEOTACROS", "GEOTACIPM",
    "GEOTACUIL",    "GEOTAC_LRCDS361", "HUMFTHSD"};
// HUMXLCOLINCUCC also decides whether workbook readings are numbered from 1 (HumIncOne).
constexpr std::string_view kHumboldtKeys[] = {
    "GEOTACUFVDAZ",  "HUMROS",      "HUMXLEXP",     "HUMREADXL",      "HUMFTHSD",
    "HUMDEFDIV",     "HUMXLSHEET",  "HUMXLROW",     "HUMXLCOL",       "HUMXLCOLINC",
    "HUMXLSHEETUCC", "HUMXLROWUCC", "HUMXLCOLUCC",  "HUMXLCOLINCUCC", "HUMXLSHEETDS",
    "HUMXLROWDS",    "HUMXLCOLDS",  "HUMXLCOLINCDS"};

using T = HelpTopic;

// The notes at the top of each source's frame of the settings dialog, a line an item.
constexpr std::string_view kGeomaticNote[] = {
    "Direct Shear tests are the only Geomatic test type supported.  Strength and "
    "pore pressure units are always PSF, lengths always inches, force always lbs. "
    "Rate of strain is in in/min, you must manually set the Norvo program to that "
    "convention"};

constexpr std::string_view kGeoTestNote[] = {
    "Triaxial, Unconfined Compression, and Direct Shear tests are supported for "
    "GeoTest."};

constexpr std::string_view kProprietaryClientNote[] = {
    "Triaxial tests are the only Proprietary Client test type supported."};

constexpr std::string_view kDurhamGeoNote[] = {
    "Triaxial, Unconfined Compression, and Direct Shear tests are supported for "
    "Durham Geo."};

constexpr std::string_view kGeotacNote[] = {
    "Triaxial, Unconfined Compression, and Direct Shear tests are supported for "
    "GEOTAC."};

constexpr std::string_view kHumboldtNote[] = {
    "Humboldt data acquisition files for Unconfined Compression, Direct Shear and",
    "Triaxial Shear are supported.  A 2 channel test is assumed to be Unconfined "
    "Compression.",
    "A 3 channel test is assumed to be a Triaxial Test with Pore Pressures unless the "
    "word",
    "\"Vert\" appears in either the Channel or Description field in",
    "the header of the channel data for one of the sections of the D/A data file.",
    "",
    "The XL export option is for users of the newest Humboldt D/A system.  Only "
    "Unconfined",
    "Compression and Triaxial are supported for this option.  To convert from Excel, "
    "save as",
    "text, tab delimited, and, if prompted, assure Xcel that you know what you are "
    "doing.",
    "The deformation reading divisor should be set to give the correct deformations.",
    "With the first Minilogger spreadsheet the value was 10000, with the second, the "
    "value was",
    "1. So be sure to adjust that value if needed.  Some spreadsheets have more "
    "information in",
    "text file that is exported, they require the Full Transfer HSD option.  The best "
    "way to",
    "tell if that is needed is to send a sample of the text file you get after doing "
    "a Save As.",
    "",
    "The Directly Read XL option reads certain Humboldt XL Unconsolidated Undrained "
    "test spreadsheets.",
    "With these, Sample A is the 4th sheet, if it is not, change the Specimen A "
    "Worksheet Number",
    "option.  The first row of readings is 42.  If it is not, change the First Reading "
    "Row option.",
    "The column of the reading number is C.  If it is not, change the First Reading "
    "Col option.",
    "",
    "",
    ""};

constexpr std::string_view kEnKayNote[] = {
    "CUPP Triaxial tests are supported for En Kay Enterprises"};

constexpr std::string_view kEleSoilTestNote[] = {
    "For ELE tests, after importing to Norvo, on the specimen tab for the specimen"
    " imported, in the Test Parameters frame, where it says Readings units, select kN."
    " Also, in the Norvo program, select Options->Norvo Setup->Units->Data Entry->"
    " Specimen Weight as grams, Fluid Pressure as kPa, and Dimensions as mm."};

constexpr std::string_view kGeoTestGroups[] = {"Triaxial Settings", "Direct Shear settings"};
constexpr std::string_view kGeotacGroups[] = {"Report Rate as"};
constexpr std::string_view kHumboldtGroups[] = {"Data file format", "Test rate options",
                                                "Directly Read XL File Settings"};

constexpr std::string_view kGeoTestOptions[] = {"KWDS",      "SDispFac",  "SLoadFac", "PressFac",
                                                "DSDispFac", "DSLoadFac", "VDispFac", "VLoadFac"};
constexpr std::string_view kGeotacOptions[] = {
    "GEOTACROS",  "GEOTACIPM",    "GEOTACCSUCCV", "GEOTACCSDSV", "GEOTACCS", "GEOTACUIL",
    "GEOTACNPSF", "GEOTACUFVDAZ", "GEOTACUFDAZ",  "GEOTACADCDT", "GEOTACI0", "GEOTAC_LRCDS361"};
constexpr std::string_view kHumboldtOptions[] = {"HUMFTHSD", "HUMXLEXP",  "HUMREADXL",
                                                 "HUMROS",   "HUMDEFDIV", "HUMXLSHEET",
                                                 "HUMXLROW", "HUMXLCOL",  "HUMXLCOLINC"};

constexpr SourceTraits kGeomaticTraits{
    .shortName = "geomatic",
    .zeroInsertion = ZeroInsertion::WhenFirstDisplacementNonZero,
    .cycleSkip = CycleSkip::ToCycleEnd,
    .travelAfterReversal = TravelAfterReversal::Accumulated,
    .absoluteLoads = true,
    .sampleLines = NorvoSampleLines::Boring,
    .techLine = NorvoTechLine::TestedBy,
    .unitRecord = NorvoUnitRecord::FixedEnglish,
    .specimenSize = NorvoSpecimenSize::DiameterFromArea,
    .normalStressCaption = "Vertical Pressure:",
    .timeCaption = "Shear Rate:",
    .frameCaption = "Properties for Geomatic data acquisition import files",
    .frameNote = kGeomaticNote,
    .settingsHelp = T::SettingsGeomatic,
};

constexpr SourceTraits kGeoTestTraits{
    .shortName = "geotest",
    .readingsHoldBlanks = false,
    .cycleSkip = CycleSkip::ToDisplacementTurn,
    .travelAfterReversal = TravelAfterReversal::AccumulatedFromSize,
    .normalStress = NormalStressRule::FromHeaderUnlessGeoFile,
    .directShearNormalHeading = DirectShearNormalHeading::VerticalStress,
    .timeOfTest = TimeOfTest::FieldDifference,
    .sampleLines = NorvoSampleLines::LocationAndRemarks,
    .techLine = NorvoTechLine::TestedBy,
    .unitRecord = NorvoUnitRecord::Defaults,
    .fourColumnOption = true,
    .frameCaption = "Properties for GeoTest data acquisition import files",
    .frameNote = kGeoTestNote,
    .frameGroups = kGeoTestGroups,
    .frameOptions = kGeoTestOptions,
    .frameLayout = SettingsFrameLayout::NoteAndFactors,
    .settingsHelp = T::SettingsGeoTest,
};

constexpr SourceTraits kProprietaryClientTraits{
    .shortName = "proprietary",
    .normalChannel = true,
    .normalSum = NormalSum::FromUnconsolidatedUndrained,
    .normalSumLessCellZero = true,
    .insertedZeroHasNoNormal = true,
    .clearsHeaderNormalStress = true,
    .normalStress = NormalStressRule::CalibratedCellMean,
    .timeOfTest = TimeOfTest::MinutesOrRateBySettings,
    .sampleLines = NorvoSampleLines::Boring,
    .frameCaption = "Properties for Proprietary Client data acquisition import files",
    .frameNote = kProprietaryClientNote,
    .settingsHelp = T::SettingsProprietaryClient,
};

constexpr SourceTraits kDurhamGeoTraits{
    .shortName = "durham",
    .normalChannel = true,
    .normalSum = NormalSum::WithFourthChannel,
    .normalStress = NormalStressRule::FourthChannelMean,
    .timeOfTest = TimeOfTest::DurhamClock,
    .techLine = NorvoTechLine::InfoTexts,
    .specimenSize = NorvoSpecimenSize::None,
    .frameCaption = "Properties for Durham Geo data acquisition import files",
    .frameNote = kDurhamGeoNote,
    .settingsHelp = T::SettingsDurhamGeo,
};

constexpr SourceTraits kGeotacTraits{
    .shortName = "geotac",
    .zeroInsertion = ZeroInsertion::WhenAskedAndFirstDisplacementNonZero,
    .normalChannel = true,
    .normalSum = NormalSum::FromDirectShear,
    .clearsHeaderNormalStress = true,
    .startTimeFromFirstReading = true,
    .endOfCycleAskedPerReading = true,
    .normalStress = NormalStressRule::LoadOverArea,
    .directShearNormalHeading = DirectShearNormalHeading::LoadOrStressByGeneration,
    .timeOfTest = TimeOfTest::MinutesOrRateBySettings,
    .sampleLines = NorvoSampleLines::Boring,
    .timeCaption = "Time to Failure (min):",
    .frameCaption = "Properties for GEOTAC data acquisition import files",
    .frameNote = kGeotacNote,
    .frameGroups = kGeotacGroups,
    .frameOptions = kGeotacOptions,
    .frameLayout = SettingsFrameLayout::NoteAndOptions,
    .settingsHelp = T::SettingsGeotac,
};

constexpr SourceTraits kHumboldtTraits{
    .shortName = "humboldt",
    .readingsHoldBlanks = false,
    .insertedZeroHasNoNormal = true,
    .clearsHeaderNormalStress = true,
    .directShearNormalHeading = DirectShearNormalHeading::StressWithFullTransfer,
    .timeOfTest = TimeOfTest::MinutesOrRateOfStrain,
    .keepsResultRate = true,
    .fullTransferOption = true,
    .workbookOption = true,
    .preparedFiles = true,
    .timeCaption = "Time to Failure (min):",
    .frameCaption = "Properties for Humboldt data acquisition import files",
    .frameNote = kHumboldtNote,
    .frameGroups = kHumboldtGroups,
    .frameOptions = kHumboldtOptions,
    .frameLayout = SettingsFrameLayout::FormatsAndWorkbookGrid,
    .settingsHelp = T::SettingsHumboldt,
};

constexpr SourceTraits kEnKayTraits{
    .shortName = "enkay",
    .columnSeparator = ',',
    .sampleLines = NorvoSampleLines::LocationAndRemarks,
    .techLine = NorvoTechLine::InfoTexts,
    .unitRecord = NorvoUnitRecord::HeaderForReadings,
    .specimenSize = NorvoSpecimenSize::None,
    .frameCaption = "Properties for EnKey data acquisition import files",
    .frameNote = kEnKayNote,
    .settingsHelp = T::SettingsEnKay,
};

constexpr SourceTraits kEleSoilTestTraits{
    .shortName = "ele",
    .readingsHoldBlanks = false,
    .normalChannel = true,
    .normalSum = NormalSum::FromUnconsolidatedUndrained,
    .startTimeInRecord4 = true,
    .normalStress = NormalStressRule::PorePressureTestMean,
    .timeOfTest = TimeOfTest::RateOfStrainAsRead,
    .unitRecord = NorvoUnitRecord::FixedMetric,
    .alwaysWritesWeightAndGravity = true,
    .frameCaption = "Properties for ELE/SoilTest data acquisition import files",
    .frameNote = kEleSoilTestNote,
    .settingsHelp = T::SettingsEleSoilTest,
};

const std::array<SourceLayout, kSourceCount> kSources{{
    {kGeomatic, "Geomatic", [](const Session&) { return fixed("Geomatic files |*.DAT"); },
     [](const Session&) { return fixed(",2,"); }, geomaticField, geomaticHeader, geomaticCycleEnds,
     geomaticDataEnds, kSharedKeys, &kGeomaticDisplay, 12, &kGeomaticTraits},
    {kGeoTest, "GeoTest",
     [](const Session& s) {
         if (s.settings.KWDS) return fixed("GeoTest files |*.DAT");
         if (s.program.TestType == kUnconfinedCompression || s.program.TestType == kDirectShear)
             return fixed("GeoTest files |*.LST");
         return fixed("GeoTest files |*.GEO;*.LST");
     },
     [](const Session& s) { return fixed(s.specimens.KWDSFile ? ",2," : ",1,2,3,4,5,"); },
     geotestField, geotestHeader, geotestCycleEnds, geotestDataEnds, kGeoTestKeys, &kGeoTestDisplay,
     10, &kGeoTestTraits, geotestPlainField},
    {kProprietaryClient, "Proprietary Client",
     [](const Session&) { return fixed("Proprietary Client files |*.TRX"); },
     [](const Session&) { return fixed(",3,4,5,6,"); }, proprietaryClientField,
     proprietaryClientHeader, cycleEndsAtFileEnd, dataEndAtEmptyOrTabLine, kProprietaryClientKeys,
     &kProprietaryClientDisplay, 10, &kProprietaryClientTraits},
    {kDurhamGeo, "Durham Geo",
     [](const Session&) { return fixed("Durham Geo files |*.TXT;*.DAT"); },
     [](const Session&) { return fixed(",1,2,3,4,5,6,"); }, durhamGeoField, durhamGeoHeader,
     durhamGeoCycleEnds, durhamGeoDataEnds, kSharedKeys, &kDurhamGeoDisplay, 10, &kDurhamGeoTraits},
    {kGeotac, "GEOTAC",
     [](const Session& s) {
         return fixed(s.program.TestType == kDirectShear ? "GEOTAC files |*.SDF;*.DAT"
                                                         : "GEOTAC files |*.TRX;*.DAT");
     },
     [](const Session&) { return fixed(",1,2,3,4,5,6,"); }, geotacField, geotacHeader,
     geotacCycleEnds, dataEndAtEmptyOrTabLine, kGeotacKeys, &kGeotacDisplay, 10, &kGeotacTraits},
    {kHumboldt, "Humboldt",
     [](const Session& s) {
         return fixed(s.settings.HUMREADXL ? "Humboldt XL files |*.XLS;*.XLSX"
                                           : "Humboldt files |*.TXT");
     },
     [](const Session& s) {
         if (s.settings.HUMREADXL) return fixed(",1,2,3,");
         if (s.settings.HUMXLEXP) return fixed(",1,3,4,5,6,");
         return fixed(",1,2,3,4,5,6,");
     },
     humboldtField, humboldtHeader, humboldtCycleEnds, humboldtDataEnds, kHumboldtKeys,
     &kHumboldtDisplay, 10, &kHumboldtTraits},
    {kEnKay, "EnKay", [](const Session&) { return fixed("Enkay files |*.TXT"); },
     [](const Session&) { return fixed(",5,"); }, enkayField, enkayHeader, cycleEndsAtFileEnd,
     dataEndAtEmptyLine, kSharedKeys, &kEnKayDisplay, 10, &kEnKayTraits},
    {kEleSoilTest, "ELE/SoilTest", [](const Session&) { return fixed("ELE/Soiltest |*.tab"); },
     [](const Session&) { return fixed(",5,"); }, eleSoilTestField, eleSoilTestHeader,
     cycleEndsAtEmptyLine, dataEndAtEmptyLine, kSharedKeys, &kEleSoilTestDisplay, 10,
     &kEleSoilTestTraits},
}};

}  // namespace

std::span<const SourceLayout> sourceTable() {
    return kSources;
}

const SourceLayout* findSource(int code) {
    if (code < 1 || code > kSourceCount) return nullptr;
    return &kSources[static_cast<std::size_t>(code - 1)];
}

void fillNameLists(ProgramState& program) {
    for (const SourceLayout& source : kSources) program.SourceNames(source.code) = source.name;
    fillStressUnitNames(program);
}

}  // namespace plovix

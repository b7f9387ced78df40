#pragma once
// What the reading pass, the results, the export, the window and the settings dialog do
// differently per source, as named traits of the table of sources. Code outside src/sources
// asks these instead of comparing source codes; a default-constructed set is what a source
// code outside the table gets (every rule at its plainest).

#include <span>
#include <string_view>

#include "app/help_topics.h"
#include "app/session.h"
#include "sources/source_codes.h"

namespace plovix {

// Whether the filter pass puts a zero reading ahead of the first one.
enum class ZeroInsertion {
    Never,
    WhenFirstDisplacementNonZero,
    // Only with GEOTACI0 ticked.
    WhenAskedAndFirstDisplacementNonZero,
};

// How the pass reads past a cycle the operator left out.
enum class CycleSkip {
    // To the line the source's own end-of-cycle test stops at.
    ToCycleEnd,
    // To the line where the displacement turns back (or the data end).
    ToDisplacementTurn,
    // The source has no repeated cycles: leaving one out is refused with a message.
    NotSupported,
};

// The displacement written after the box reversed.
enum class TravelAfterReversal {
    AsRead,
    // The travel since the last written reading added to the last written displacement; the
    // reading as read before the reversal.
    Accumulated,
    // The same, with the size of the reading before the reversal.
    AccumulatedFromSize,
};

// When the normal value of each written reading (field 5) is summed for the mean normal stress.
enum class NormalSum {
    Never,
    FromUnconsolidatedUndrained,  // test types UU and above
    FromDirectShear,              // test types direct shear and above
    WithFourthChannel,            // when the header found a fourth channel
};

// The specimen's normal stress once its readings are filtered.
enum class NormalStressRule {
    // As the header reader set it (zero for unconfined compression).
    FromHeader,
    // As the header set it, zero for a GeoTest .GEO file.
    FromHeaderUnlessGeoFile,
    // The mean summed cell reading times the cell channel's factor over its divisor.
    CalibratedCellMean,
    // The mean summed reading for CU tests with pore pressures when a fourth channel exists.
    FourthChannelMean,
    // The mean summed load, over the specimen's area for direct shear, in psf with GEOTACNPSF.
    LoadOverArea,
    // The mean over every written reading, for CU tests with pore pressures.
    PorePressureTestMean,
};

// The heading over the normal stress of a direct shear test.
enum class DirectShearNormalHeading {
    VerticalLoad,
    VerticalStress,
    // "Vertical Load" where the header found the normal column to hold a load, else a stress
    // in kN/cm2, psf or psi.
    LoadOrStressByGeneration,
    // A stress in psi only with HUMFTHSD; without it the heading stays as it is.
    StressWithFullTransfer,
};

// How the time of test (or rate) of a specimen is measured.
enum class TimeOfTest {
    // As the header reader set it.
    FromHeader,
    // The last reading's time field less the first's.
    FieldDifference,
    // Minutes between the first and last date stamps, or a rate with GEOTACROS / GEOTACIPM.
    MinutesOrRateBySettings,
    // Durham Geo clocks (touch-screen files: the last eight characters of each stamp).
    DurhamClock,
    // Minutes between date stamps, a rate of strain with HUMROS.
    MinutesOrRateOfStrain,
    // Left as read, under the heading "Rate of strain:".
    RateOfStrainAsRead,
};

// The Norvo head's sample lines (fields 7, 8 and 16).
enum class NorvoSampleLines {
    None,
    // Location, then sample number with boring and depth; remarks in field 16.
    LocationAndRemarks,
    // Boring and depth, then sample number.
    Boring,
};

// The Norvo head's field 15.
enum class NorvoTechLine {
    None,
    TestedBy,   // "Tech: " and the technician
    InfoTexts,  // the two information texts, " : " between
};

// Which units the Norvo unit record states.
enum class NorvoUnitRecord {
    // psf, inches, lbs always.
    FixedEnglish,
    // Every unit as the Norvo defaults give it.
    Defaults,
    // Stress, displacement and load as the header found them, the rest from the defaults.
    HeaderForReadings,
    // kPa, mm, kN always.
    FixedMetric,
    // As HeaderForReadings, with the header's stress unit also for the pressures.
    Header,
};

// The specimen size the export writes into record 7.
enum class NorvoSpecimenSize {
    None,
    // The diameter worked out from the specimen's area.
    DiameterFromArea,
    // The diameter and height as the header read them.
    DiameterAndHeight,
};

// How the settings dialog lays out the source's frame.
enum class SettingsFrameLayout {
    NoteOnly,
    NoteAndFactors,
    NoteAndOptions,
    FormatsAndWorkbookGrid,
};

struct SourceTraits {
    // The name plovix-convert's --source takes (any letter case).
    std::string_view shortName = {};

    // Reading lines.
    // The character between the columns of a reading (a four-column GeoTest file: ',').
    char columnSeparator = '\t';
    // A reading line holds a blank: a line without one is no reading (touch-screen files
    // excepted).
    bool readingsHoldBlanks = true;

    // Reading pass.
    ZeroInsertion zeroInsertion = ZeroInsertion::Never;
    CycleSkip cycleSkip = CycleSkip::NotSupported;
    TravelAfterReversal travelAfterReversal = TravelAfterReversal::AsRead;
    // Loads are taken as their size; the first reading's load is at most the smallest one.
    bool absoluteLoads = false;
    // Field 5 holds the normal value of each reading, where the header announced that channel.
    bool normalChannel = false;
    NormalSum normalSum = NormalSum::Never;
    // The cell channel's zero is taken off each summed normal value.
    bool normalSumLessCellZero = false;
    // An inserted zero reading has a normal value of zero.
    bool insertedZeroHasNoNormal = false;
    // The header's normal stress is cleared before the filter pass (kept with HUMFTHSD where
    // the source honours it).
    bool clearsHeaderNormalStress = false;
    // After an inserted zero the time is measured from the first reading of the file.
    bool startTimeFromFirstReading = false;
    // The end-of-cycle test is asked once more for each filtered reading: it keeps a state
    // of its own that the second question settles.
    bool endOfCycleAskedPerReading = false;
    // The first reading's time field is kept as a number and written in record 4 of the block.
    bool startTimeInRecord4 = false;

    // Results.
    NormalStressRule normalStress = NormalStressRule::FromHeader;
    DirectShearNormalHeading directShearNormalHeading = DirectShearNormalHeading::VerticalLoad;
    TimeOfTest timeOfTest = TimeOfTest::FromHeader;

    // Export.
    NorvoSampleLines sampleLines = NorvoSampleLines::None;
    NorvoTechLine techLine = NorvoTechLine::None;
    NorvoUnitRecord unitRecord = NorvoUnitRecord::Header;
    NorvoSpecimenSize specimenSize = NorvoSpecimenSize::DiameterAndHeight;
    // The block's rate is the one the results hold, not worked out again.
    bool keepsResultRate = false;
    // Sample weight and specific gravity are written whatever HUMFTHSD says.
    bool alwaysWritesWeightAndGravity = false;

    // Options of the settings file that only this source honours.
    bool fourColumnOption = false;    // KWDS: four-column direct shear files
    bool fullTransferOption = false;  // HUMFTHSD: full-transfer header values
    bool workbookOption = false;      // HUMREADXL: workbooks read directly
    // Files are prepared before they are read, unless HUMXLEXP says they were exported as text.
    bool preparedFiles = false;

    // Main window: the captions of the normal stress and time rows.
    std::string_view normalStressCaption = "Cell Pressure:";
    std::string_view timeCaption = "Time of test:";

    // Settings dialog.
    std::string_view frameCaption = {};
    std::span<const std::string_view> frameNote = {};
    // The group boxes of the frame, in order.
    std::span<const std::string_view> frameGroups = {};
    // The settings keys of the options shown on the frame.
    std::span<const std::string_view> frameOptions = {};
    SettingsFrameLayout frameLayout = SettingsFrameLayout::NoteOnly;
    HelpTopic settingsHelp = HelpTopic::Settings;
};

// The traits of source `code`; the plainest set for a code outside the table.
const SourceTraits& traitsOf(int code);
const SourceTraits& traitsOf(const Settings& st);

// Settings that only some sources honour, asked for the settings' own source.
bool readsFourColumnFiles(const Settings& st);  // KWDS
bool usesFullTransfer(const Settings& st);      // HUMFTHSD
bool readsWorkbooks(const Settings& st);        // HUMREADXL
bool preparesFiles(const Settings& st);         // not HUMXLEXP
// Whether the Unconfined Compression column increment of 1 (HumIncOne) applies: only to
// workbooks, read directly or exported as text.
bool keepsHumIncOne(const Settings& st);

// The source whose frame in the settings dialog holds the option stored under settings key
// `key` (as spelt in the settings file); 0 for options shown on every frame.
int settingsFrameOf(std::string_view key);

}  // namespace plovix

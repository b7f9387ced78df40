#pragma once
// The state of one test under way: settings, source and test type, up to four specimens with
// their files, the header values of the file being read, the cycle selection and the working
// values of the reading pass. One Session is passed by reference to every operation; the engine
// keeps no state of its own, so any number of sessions can live side by side.
//
// Field names are the system's documented names. Values that the old program held in 16 bits
// and that count readings or lines are held in 64 bits here; where such a value must be written
// back into a 16-bit field, `checkedInt16` refuses it instead of letting it wrap.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/tables.h"

namespace plovix {

// Source codes (`SourceType`) run from 1 to kSourceCount; which vendor layout each is, only the
// table of sources knows.
inline constexpr int kSourceCount = 8;
// The source a generic copy of the program reads: the settings file's "Generic" key forces it.
inline constexpr int kGenericSource = 2;

// Test-type codes (`TestType`).
enum TestCode : int {
    kUnconfinedCompression = 1,
    kDirectShear = 2,
    kUnconsolidatedUndrained = 3,
    kConsolidatedUndrained = 4,
    kCuWithPorePressures = 5,
    kConsolidatedDrained = 6,
};
inline constexpr int kTestTypeCount = 6;

// Unit codes; -1 is unknown.
inline constexpr int kUnknownUnit = -1;
enum StressUnitCode : int { kPsi = 1, kKsi, kPsf, kKsf, kTsf, kKpa, kMpa, kKsc };
enum LoadUnitCode : int { kPounds = 1, kKilonewtons };
enum DispUnitCode : int { kInches = 1, kCentimetres, kMillimetres };

// Channels of the calibration table `Cal(channel, k)`.
enum class CalChannel : int { Load = 0, Disp = 1, Aux = 2, Cell = 3 };
// k of `Cal(channel, k)`.
inline constexpr int kCalFactor = 1;
inline constexpr int kCalDivisor = 2;
inline constexpr int kCalZero = 3;

class CalTable {
  public:
    double& operator()(CalChannel ch, int k) { return cells_[index(ch, k)]; }
    double operator()(CalChannel ch, int k) const { return cells_[index(ch, k)]; }
    void clear() { cells_.fill(0.0); }

  private:
    static std::size_t index(CalChannel ch, int k) {
        checkIndex("Cal k", k - 1, 2);
        return static_cast<std::size_t>(static_cast<int>(ch)) * 3 + static_cast<std::size_t>(k - 1);
    }
    std::array<double, 12> cells_{};
};

// 1. Settings: persisted in the settings file.
struct Settings {
    // GeoTest factors, stored and edited only.
    double SDispFac = 0, SLoadFac = 0, PressFac = 0, DSDispFac = 0, DSLoadFac = 0, VDispFac = 0,
           VLoadFac = 0;
    bool KWDS = false;
    double IncMax = 0;     // displacement criterion
    double Tolerance = 0;  // load criterion, percent of the specimen's maximum load
    std::string DAFile, DAName, DAPath, NorvoPath, NorvoProgPath;
    bool SaveName = false, GEOTACI0 = false, GEOTACNPSF = false, GEOTACADCDT = false,
         GEOTACCS = false, GEOTACCSDSV = false, GEOTACCSUCCV = false, GEOTACUFDAZ = false,
         GEOTACUFVDAZ = false, GEOTACROS = false, GEOTACIPM = false, GEOTACUIL = false;
    double LRCDS361 = 0;  // lbs per inch
    double HumDefDiv = 0;
    bool HUMROS = false, HUMXLEXP = false, HUMREADXL = false, HUMFTHSD = false;
    // Index 1 UCC, 2 direct shear, 3 UU.
    Table1<std::string, 6> HumXLSheet, HumXLRow, HumXLCol, HumXLColInc;
    bool NVWIN = false, DDMM = false, Generic = false;
    int SourceType = 0;      // 1..8
    int LTTU = 0;            // test type as loaded; copied into TestType when the window loads
    bool HumIncOne = false;  // derived: HumXLColInc(1) reads as 1

    bool operator==(const Settings& other) const;  // every field; defined with the settings file
};

// 2. Program and window state.
struct ProgramState {
    std::string IniFile;
    std::string AppVersion;
    Table1<std::string, 10> SourceNames;
    Table1<std::string, 9> StressUnits;
    std::string SourceName;
    int TestType = 0;  // 1..6
    bool WinFileMode = false;
    int NumDASources = 0;
    bool NeedSetup = false;
    std::string NorvoFile;
    std::string NorvoFileName;
};

// What the window shows in a specimen's results column; the export reads it back from here.
struct SpecimenColumn {
    std::string cyclesInFile;          // "Cycles in file:" (direct shear only)
    std::string readingsInFile;        // "Readings in File"
    std::string cycleReadings;         // "Cycles/Readings before filtering:"
    bool cycleReadingsEnabled = true;  // disabled for unconfined compression
    std::string initialDispRepeats;    // "Initial disp. repeats:"
    std::string initialLoadRepeats;    // "Initial load repeats:"
    std::string metDisp;               // "Readings meeting disp. criteria:"
    std::string metLoad;               // "Readings meeting load criteria:"
    std::string readingsToWrite;       // "Readings to be written:"
    bool readingsToWriteRed = false;   // light red: too many for the DOS Norvo, or none
    std::string maxLoad;               // "Maximum load:" ("#.00")
    std::string normalStress;          // "Vertical pressure:" or "n/a"
    std::string timeOrRate;            // "Time of test:"
    std::string status;                // the status line after the pass
    int statusColour = 0;
};

// The headings of the results column that change with source, test type and settings.
struct ResultHeadings {
    std::string maxLoad = "Maximum load:";
    std::string normalStress = "Vertical pressure:";
    bool normalStressEnabled = true;
    std::string timeOrRate = "Time of test:";
    bool cycleReadingsEnabled = true;
};

// 3. Specimens and their files. The old window kept the file name, the "Readings to be
// written:" count and the skip-repeats boxes in its controls; they live here.
struct SpecimenFiles {
    int SpecimenCount = 0;    // 0..4
    int CurrentSpecimen = 0;  // 1..4
    int CurRun = 0, CurCycle = 0;
    SpecimenTable<std::string> SpecimenPath;      // folder with trailing separator
    SpecimenTable<std::string> SpecimenFileName;  // the specimen's file-name label
    SpecimenTable<std::int64_t> ReadingsToWrite;  // the "Readings to be written:" label
    SpecimenTable<bool> SkipDispRepeats, SkipLoadRepeats;
    SpecimenTable<SpecimenColumn> Column;
    ResultHeadings Headings;
    bool KWDSFile = false;
    Table1<std::string, 5> WorkbookSpecimen;
};

// 4. Cycle selection.
struct CycleSelection {
    SpecimenRunCycleTable<int> UseCycle;        // 1 used, 0 left out
    SpecimenRunTable<int> NumCycles;            // cycles found in each run
    RunCycleTable<std::int64_t> CycleReadings;  // readings per cycle of the last file pre-processed
    // The rest of the pre-processing summary, per (run, cycle).
    RunCycleTable<double> MaxHorLoad, MinHorLoad, MaxAux, HorDisp;
    RunCycleTable<std::string> Direction;  // "NORMAL" for odd cycles, "REVERSE" for even ones
};

// A data column that a file does not have.
inline constexpr int kNoColumn = 0;

// Where a file's readings hold each channel (1-based columns), and whether the displacement is
// the reading over its factor (already in engineering units) rather than calibrated by factor,
// excitation and zero.
struct ReadingColumns {
    int disp = kNoColumn, load = kNoColumn, aux = kNoColumn, cell = kNoColumn;
    bool dispOverFactor = false;
};

// 5. Header values of the current D/A file.
struct HeaderValues {
    int StressUnit = 0, DispUnit = 0, LoadUnit = 0;
    // The columns of the channels (1-based, kNoColumn when absent): the readings' columns, and
    // for GEOTAC the columns the header's constants stand in.
    int ColDisp = kNoColumn, ColLoad = kNoColumn, ColAux = kNoColumn, ColCell = kNoColumn;
    // GEOTAC: the readings' columns, chosen once per file from the generation and the test
    // type; a generation may read a channel from another column than its constants.
    ReadingColumns Reading;
    CalTable Cal;
    SpecimenTable<double> SpecimenArea, NormalStress, TimeOrRate;
    std::string CompanyName, ContractOrProject, JobNumber, TestedBy, Location, SampleDescription,
        BoreholeID, SampleNumber, DiameterText, HeightText, SampleWeight, SpecimenNumber,
        SampleDepth, LastRevisionDate, PistonWeight, InfoText1, InfoText2, Remarks, DateSampled,
        SpecificGravity;
    bool GeoFile = false, TouchScreenFile = false, KnownVersion = false, Version521 = false,
         UUDirect = false, LoadRingDS = false, UseDCDT = false, LineByLF = false;
    // GEOTAC "Version 5.2.1" direct shear: the normal channel holds a load, not a stress.
    bool NormalIsLoad = false;
    // GEOTAC generations: TruePath triaxial; "Version 3.1.2" to "3.1.4"; the search passed the
    // "Version 3.8.3" test unmatched; "Version 4.1.4"; a radial strain LVDT (Sigma-1 UC); an
    // unknown version read as Unconsolidated Undrained.
    bool TruePathFile = false, OldFormat313 = false, Version383 = false, Version414 = false,
         RadialStrain = false, UnknownUULayout = false;
    // GEOTAC: comma list of the section names that open the readings ("[SHEAR]" by default).
    std::string ReadingsMarker;
    int HumFormat = 0;
    bool Channel3Present = false, Channel4Present = false;
    int ChanTravel = 0, ChanTravel2 = 0, ChanLoad = 0, ChanPressure = 0, ChanStress = 0;
    Table1<float, 2> TravelMax;  // full-scale range of the two travel channels, 1..2
};

// 6. Working values of the reading pass and the export.
struct ReadingPass {
    double CurDisp = 0, CurLoad = 0, CurThird = 0, PrevDisp = 0, LastDisp = 0, LastLoad = 0,
           FirstThird = 0, VertZero = 0, NormalReading = 0, NormalSum = 0;
    std::string PrevLine;
    std::int64_t ReadCount = 0, LineNo = 0, InitLoadRepeats = 0, InitDispRepeats = 0,
                 ReadingsInFile = 0, NumToWrite = 0;
    std::int64_t HeaderLines = 0;
    bool PeakDone = false, HighDone = false, MinDone = false, Reversed = false, Exporting = false,
         ExportOpen = false;
    // Counts of the last pass: used cycles entered by the survey, readings kept by the
    // displacement and by the load criteria.
    std::int64_t UsedCycles = 0, MetDisp = 0, MetLoad = 0;
    bool PendingEnd = false;  // GEOTAC: the file ended, the cycle ends at the next test
    SpecimenRunCycleTable<double> CycleMaxLoad, CycleHighLoad, CycleMinLoad;
    SpecimenTable<double> SpecMaxLoad, LoadTol, MinAbsLoad, FinalDisp, TimeField;
    SpecimenTable<bool> InsertZero;
    SpecimenTable<std::int64_t> InitialSkip, FirstLine;
    SpecimenTable<int> FirstRun, FirstCycle;
    int RateMode = 0;
    std::string ProgFolder;
};

// What the field readers learn from a file's readings, kept until its header is read again.
struct FieldState {
    // The first displacement read, where the header asked for it as the displacement's zero.
    std::optional<double> firstDisplacement;
};

struct Session {
    Settings settings;
    ProgramState program;
    SpecimenFiles specimens;
    CycleSelection cycles;
    HeaderValues header;
    FieldState fields;
    ReadingPass pass;
};

// The limit of a 16-bit field in the files the program writes.
inline constexpr std::int64_t kInt16Max = 32767;
inline constexpr std::int64_t kInt16Min = -32768;

// `value` as a 16-bit number; throws std::range_error with a message that names `what` when
// it does not fit.
std::int16_t checkedInt16(std::int64_t value, const std::string& what);

// The name of stress-unit code `code` (-1 and anything unknown give "").
std::string stressUnitName(const Session& s, int code);

// Fills the stress-unit names 2..9. (The source names come from the table of sources:
// fillNameLists in sources/source_table.h fills both lists.)
void fillStressUnitNames(ProgramState& program);

// What the main window does to the state each time it loads: every cycle of specimens 1..4
// used, no specimen yet, specimen 1 and run 1 current, the test type of the settings file.
void resetForNewTest(Session& s);

}  // namespace plovix

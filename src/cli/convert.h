#pragma once
// What plovix-convert does: the same steps as the window, file by file, and a report of the
// values the window shows.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/session.h"
#include "app/sha256.h"
#include "cli/options.h"
#include "filter/filter_report.h"
#include "filter/plot_points.h"
#include "sources/cycles.h"

namespace plovix::cli {

enum ExitCode : int { kExitDone = 0, kExitUsage = 1, kExitRefused = 2, kExitExportFailed = 3 };

struct SpecimenReport {
    int specimen = 0;
    std::string file;
    std::int64_t readingsInFile = 0;
    std::int64_t cyclesInFile = 0;
    std::int64_t usedCycles = 0;
    std::int64_t readingsBeforeFiltering = 0;
    std::int64_t initialDispRepeats = 0;
    std::int64_t initialLoadRepeats = 0;
    double maxLoad = 0;
    std::int64_t readingsToWrite = 0;
    std::int64_t metDisp = 0;
    std::int64_t metLoad = 0;
    double timeOrRate = 0;
    double normalStress = 0;
    int stressUnit = 0, loadUnit = 0, dispUnit = 0;
    int testTypeAfterHeader = 0;
    SpecimenColumn column;                // the texts the window shows
    ResultHeadings headings;              // and their headings
    std::optional<CycleSummary> summary;  // with --summary
    // What the filter kept and dropped in each cycle of the specimen's last reading pass.
    std::optional<FilterReport> filterReport;
    // The bytes the specimen was read from: the file after any preparation; nullopt when the
    // file could not be read again to take its digest.
    std::optional<FileDigest> input;
    // The workbook whose specimen this file was written from, when workbooks are read directly.
    std::optional<std::string> workbookFile;
    std::optional<FileDigest> workbook;
};

// A file written, with the digest of the bytes written (nullopt when it could not be read back).
struct OutputReport {
    std::string file;
    std::optional<FileDigest> digest;
};

struct ConvertReport {
    int source = 0;
    int testType = 0;
    std::string target;  // "windows" or "dos"
    std::vector<SpecimenReport> specimens;
    std::string version;  // the program's version, "0.1.0"
    // The settings file read (nullopt: there was none, every key took its default), and the
    // values of the keys that results depend on, as the settings file would hold them.
    std::optional<std::string> settingsFile;
    std::vector<std::pair<std::string, std::string>> settingValues;
    std::optional<OutputReport> output;  // after an export that wrote the Norvo data file
    std::vector<std::string> messages;
    int exitCode = kExitDone;
};

// The program's version as shown by --version and in the report ("0.1.0").
std::string programVersion();

// Writes one specimen's plot to `path`; returns why it could not. The drawing needs a toolkit,
// which the program brings (the engine has none).
using PlotWriter =
    std::function<std::optional<std::string>(const PlotData& plot, const std::string& path)>;

// The file that --plot FILE writes for specimen `specimen`: FILE itself for one specimen,
// else "-N" before its ending ("plot.png" -> "plot-2.png").
std::string plotFileOf(const std::string& file, int specimen, bool several);

// Runs the conversion; messages go to `err` as they are shown. `err` gets progress when
// `errIsTerminal`. The data display goes to the file --display names, or to `out` for "-".
// --plot needs `plotWriter`.
ConvertReport runConvert(const ConvertOptions& options, std::ostream& err, bool errIsTerminal,
                         std::ostream* out = nullptr, const PlotWriter& plotWriter = {});

// The report as text, as the window's results column reads.
void writeTextReport(const ConvertReport& report, std::ostream& out);
// The report as JSON.
std::string jsonReport(const ConvertReport& report);

}  // namespace plovix::cli

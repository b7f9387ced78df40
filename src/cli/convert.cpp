#include "cli/convert.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "app/ini_file.h"
#include "app/program_paths.h"
#include "app/settings.h"
#include "app/sha256.h"
#include "app/version.h"
#include "cli/console_operator.h"
#include "export/norvo_export.h"
#include "export/norvo_name.h"
#include "filter/reading_pass.h"
#include "humboldt/prepare_text.h"
#include "humboldt/workbook_to_text.h"
#include "sources/source_table.h"
#include "text/fields.h"
#include "text/number_reading.h"

namespace plovix::cli {

namespace fs = std::filesystem;

namespace {

// The window's set-up for the chosen source and test type: the test type must be one the
// source supports; without an explicit choice the first supported one is taken, as the window
// selects it.
std::string chooseSourceAndTest(Session& s, const ConvertOptions& o) {
    if (o.source) s.settings.SourceType = *o.source;
    const SourceLayout* layout = findSource(s.settings.SourceType);
    if (layout == nullptr)
        return "the settings name no known source (DAT=" + std::to_string(s.settings.SourceType) +
               "); give --source";
    s.program.SourceName = s.program.SourceNames(s.settings.SourceType);
    s.specimens.KWDSFile = s.settings.SourceType == kGeoTest && s.settings.KWDS;
    if (!(s.settings.SourceType == kHumboldt && (s.settings.HUMREADXL || s.settings.HUMXLEXP)))
        s.settings.HumIncOne = false;
    const std::string allowed = layout->allowedTestTypes(s);
    if (o.testType) {
        if (fListPos(*o.testType, allowed) == 0)
            return "the source " + s.program.SourceName + " does not support the test type " +
                   std::to_string(*o.testType) +
                   " (supported: " + allowed.substr(1, allowed.size() - 2) + ")";
        s.program.TestType = *o.testType;
    } else if (fListPos(s.program.TestType, allowed) == 0) {
        s.program.TestType = static_cast<int>(readNumber(fListItem(allowed, 1, true)));
    }
    return "";
}

// What choosing the file of specimen `n` does before the reading pass runs.
void chooseFile(Session& s, int n, const fs::path& path) {
    const std::string folder = path.parent_path().string() + "/";
    s.settings.DAFile = path.string();
    s.settings.DAName = path.filename().string();
    s.settings.DAPath = folder;
    s.specimens.SpecimenPath(n) = folder;
    s.specimens.SpecimenFileName(n) = s.settings.DAName;
    s.specimens.CurrentSpecimen = n;
    s.specimens.SpecimenCount = std::max(s.specimens.SpecimenCount, n);
    s.specimens.KWDSFile = s.settings.SourceType == kGeoTest && s.settings.KWDS;
    s.pass.ReadingsInFile = 0;
    for (int r = 1; r <= kMaxRun; ++r) s.cycles.NumCycles(n, r) = 0;
}

// The keys that results depend on, with their texts as the settings file would hold them:
// source, test type, target, the filter criteria, then every key the source reads.
std::vector<std::pair<std::string, std::string>> effectiveSettings(const Session& s) {
    IniFile written;
    storeSettings(s, written);
    std::vector<std::string_view> keys{"DAT", "LTTU", "NVWIN", "IncMax", "Tolerance"};
    if (const SourceLayout* layout = findSource(s.settings.SourceType))
        keys.insert(keys.end(), layout->settingsKeys.begin(), layout->settingsKeys.end());
    std::vector<std::pair<std::string, std::string>> values;
    for (std::string_view key : keys) {
        if (const auto section = settingsSectionOf(key))
            values.emplace_back(key, written.get(*section, key).value_or(""));
    }
    return values;
}

std::optional<FileDigest> digestOf(const fs::path& path) {
    std::error_code error;
    return sha256OfFile(path, error);
}

SpecimenReport reportOf(const Session& s, int n) {
    SpecimenReport r;
    const SpecimenColumn& c = s.specimens.Column(n);
    r.specimen = n;
    r.file = s.settings.DAFile;
    r.readingsInFile = s.pass.ReadingsInFile;
    r.cyclesInFile = s.cycles.NumCycles(n, 1);
    r.usedCycles = s.pass.UsedCycles;
    r.readingsBeforeFiltering = s.pass.ReadCount;
    r.initialDispRepeats = s.pass.InitDispRepeats;
    r.initialLoadRepeats = s.pass.InitLoadRepeats;
    r.maxLoad = s.pass.SpecMaxLoad(n);
    r.readingsToWrite = s.specimens.ReadingsToWrite(n);
    r.metDisp = s.pass.MetDisp;
    r.metLoad = s.pass.MetLoad;
    r.timeOrRate = s.header.TimeOrRate(n);
    r.normalStress = s.header.NormalStress(n);
    r.stressUnit = s.header.StressUnit;
    r.loadUnit = s.header.LoadUnit;
    r.dispUnit = s.header.DispUnit;
    r.testTypeAfterHeader = s.program.TestType;
    r.column = c;
    r.headings = s.specimens.Headings;
    return r;
}

// "Save and Exit": the Norvo data file chosen, its checks, and the export.
bool exportTest(Session& s, Operator& op, const ConvertOptions& o) {
    std::error_code error;
    const fs::path target = fs::absolute(*o.output, error);
    if (error || !chooseNorvoFile(s, op, target.string()).accepted) return false;
    ExportFiles files;
    if (o.templateFile) files.templateFile = *o.templateFile;
    if (o.description) files.description = *o.description;
    if (o.defaultsFile) {
        files.defaultsFile = *o.defaultsFile;
        if (!s.settings.NVWIN && !fs::is_regular_file(files.defaultsFile, error)) {
            op.showMessage("Could not find: " + *o.defaultsFile, kProgramName, MessageIcon::None);
            return false;
        }
    }
    // The window also insists on NV.DDT in the old Norvo program's folder; the converter lets
    // the export find it there or beside the program, where one is installed.
    return NorvoExport(s, op, files);
}

}  // namespace

std::string programVersion() {
    std::string version = appVersionText();
    while (!version.empty() && version.back() == ' ') version.pop_back();
    return version;
}

ConvertReport runConvert(const ConvertOptions& o, std::ostream& err, bool errIsTerminal) {
    ConvertReport report;
    report.version = programVersion();
    ConsoleOperator op(err, o.yes, errIsTerminal);
    auto finish = [&](int code) {
        report.exitCode = code;
        report.messages = op.messages();
        return report;
    };
    auto usage = [&](const std::string& message) {
        err << "plovix-convert: " << message << '\n';
        return finish(kExitUsage);
    };

    const fs::path iniPath = o.settingsFile
                                 ? fs::path(*o.settingsFile)
                                 : settingsFileLocationFromEnvironment(fAppPath(), std::nullopt);
    std::error_code missing;
    if (fs::exists(iniPath, missing)) {
        const fs::path absolute = fs::absolute(iniPath, missing);
        report.settingsFile = (missing ? iniPath : absolute).string();
    }
    IniFile ini;
    if (const auto error = ini.load(iniPath))
        return usage("cannot read the settings file " + iniPath.string() + ": " + error.message());
    for (const auto& [key, value] : o.settingOverrides) {
        const auto section = settingsSectionOf(key);
        if (!section) return usage("--set: unknown settings key \"" + key + "\"");
        ini.set(*section, key, value);
    }

    Session s;
    startSession(s, iniPath, ini);
    resetForNewTest(s);
    if (const std::string problem = chooseSourceAndTest(s, o); !problem.empty())
        return usage(problem);
    report.source = s.settings.SourceType;
    report.testType = s.program.TestType;
    if (o.windowsTarget) s.settings.NVWIN = *o.windowsTarget;
    report.target = s.settings.NVWIN ? "windows" : "dos";
    report.settingValues = effectiveSettings(s);

    for (int n : o.skipDispRepeats) s.specimens.SkipDispRepeats(n) = true;
    for (int n : o.skipLoadRepeats) s.specimens.SkipLoadRepeats(n) = true;

    std::vector<fs::path> files;
    for (const std::string& file : o.files) {
        std::error_code error;
        const fs::path path = fs::absolute(file, error);
        if (error || !fs::is_regular_file(path, error)) {
            op.showMessage("The D/A file " + file + " does not exist or is not a file.",
                           kProgramName, MessageIcon::Critical);
            return finish(kExitRefused);
        }
        files.push_back(path);
    }
    std::optional<fs::path> workbookFile;
    std::optional<FileDigest> workbookDigest;
    // A workbook read directly: its specimens are written beside it as text files, as the
    // window does, and those become specimens 1 to 4.
    if (s.settings.SourceType == kHumboldt && s.settings.HUMREADXL) {
        if (files.size() != 1)
            return usage("with HUMREADXL set, give the one workbook whose specimens are read");
        const fs::path workbook = files.front();
        workbookDigest = digestOf(workbook);
        Convert_XL_To_HSD(s, op, workbook);
        files.clear();
        for (int n = 1; n <= kMaxSpecimen; ++n)
            if (!s.specimens.WorkbookSpecimen(n).empty())
                files.push_back(workbook.parent_path() / s.specimens.WorkbookSpecimen(n));
        if (files.empty()) return finish(kExitRefused);
        workbookFile = workbook;
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const fs::path& path = files[i];
        chooseFile(s, n, path);
        // Humboldt channel-section files are rewritten into one line per reading first.
        if (s.settings.SourceType == kHumboldt && !s.settings.HUMREADXL && !s.settings.HUMXLEXP &&
            ModifyHumFile(s, op).outcome == HumPrepareOutcome::Failed)
            return finish(kExitRefused);
        // The bytes the reading pass reads: the file as prepared.
        const std::optional<FileDigest> input = digestOf(s.settings.DAFile);

        std::optional<CycleSummary> summary;
        const auto ticks = o.cycles.find(n);
        if (o.summary || ticks != o.cycles.end()) {
            summary = PreProcess(s, op);
            if (!summary->ok) return finish(kExitRefused);
            if (ticks != o.cycles.end()) {
                // The technician's ticks in the cycle panel: the listed cycles of run 1 only.
                const auto& keep = ticks->second;
                summary->usedCycles = 0;
                summary->usedReadings = 0;
                for (CycleSummaryRow& row : summary->rows) {
                    row.used = std::find(keep.begin(), keep.end(), row.cycle) != keep.end();
                    s.cycles.UseCycle(n, 1, row.cycle) = row.used ? 1 : 0;
                    if (row.used) {
                        ++summary->usedCycles;
                        summary->usedReadings += row.readings;
                    }
                }
            }
        }

        s.pass.Exporting = false;
        if (DAImport(s, op) != PassOutcome::Done) return finish(kExitRefused);
        report.specimens.push_back(reportOf(s, n));
        SpecimenReport& r = report.specimens.back();
        r.summary = summary;
        r.input = input;
        if (workbookFile) {
            r.workbookFile = workbookFile->string();
            r.workbook = workbookDigest;
        }
    }
    if (o.output) {
        if (!exportTest(s, op, o)) return finish(kExitExportFailed);
        report.output = OutputReport{s.program.NorvoFile, digestOf(s.program.NorvoFile)};
    }
    return finish(kExitDone);
}

}  // namespace plovix::cli

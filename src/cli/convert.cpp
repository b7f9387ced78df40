#include "cli/convert.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <ostream>

#include "app/atomic_file.h"
#include "app/ini_file.h"
#include "app/program_paths.h"
#include "app/settings.h"
#include "app/sha256.h"
#include "app/version.h"
#include "cli/console_operator.h"
#include "display/data_display.h"
#include "export/norvo_output.h"
#include "sources/source_table.h"
#include "text/fields.h"
#include "workflow/import_workflow.h"
#include "workflow/start_session.h"

namespace plovix::cli {

namespace fs = std::filesystem;

namespace {

// The converter's answers to the window's file dialogs: the files of the command line, one
// per "Select D/A File", and the output file as the Norvo data file.
struct CommandLineDialogs final : FileDialogs {
    std::string daFile, norvoFile;
    DialogAnswer openDAFile(const FileDialogRequest&) override {
        return DialogAnswer::chosen(daFile);
    }
    DialogAnswer chooseNorvoFile(const FileDialogRequest&) override {
        return DialogAnswer::chosen(norvoFile);
    }
};

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

// Now, or the moment SOURCE_DATE_EPOCH names (in UTC), for output that can be reproduced.
PrintedAt printedAtNow() {
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (end != epoch && *end == '\0') return printedAt(static_cast<std::time_t>(seconds), true);
    }
    return printedAt(std::time(nullptr), false);
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

}  // namespace

std::string programVersion() {
    std::string version = appVersionText();
    while (!version.empty() && version.back() == ' ') version.pop_back();
    return version;
}

std::string plotFileOf(const std::string& file, int specimen, bool several) {
    if (!several) return file;
    const fs::path path(file);
    fs::path named = path;
    named.replace_filename(path.stem().string() + "-" + std::to_string(specimen) +
                           path.extension().string());
    return named.string();
}

ConvertReport runConvert(const ConvertOptions& o, std::ostream& err, bool errIsTerminal,
                         std::ostream* out, const PlotWriter& plotWriter) {
    ConvertReport report;
    report.version = programVersion();
    ConsoleOperator op(err, o.yes, errIsTerminal);
    // Each specimen is reported as its last reading pass left it.
    std::map<int, SpecimenReport> read;
    Session s;
    bool displayDue = false;  // set once the files are read
    // The data display of every specimen read, in order, as the display window shows it when
    // the specimen is current. False when the display file could not be written.
    auto writeDisplays = [&] {
        if (!o.displayFile || !displayDue) return true;
        displayDue = false;
        const bool toFile = *o.displayFile != "-";
        std::optional<AtomicFileWriter> file;
        std::error_code error;
        if (toFile) file.emplace(fs::absolute(*o.displayFile, error));
        const auto put = [&](std::string_view text) {
            if (file)
                (void)file->write(text);
            else if (out)
                *out << text;
        };
        const PrintedAt at = printedAtNow();
        for (const auto& [n, r] : read) {
            put("== specimen " + std::to_string(n) + "\n");
            Session shown = s;
            shown.specimens.CurrentSpecimen = n;
            shown.settings.DAFile = r.file;
            Display(shown, op, at, [&](std::string_view line) {
                put(line);
                put("\n");
            });
        }
        if (!file) return true;
        if ((error = file->commit())) {
            op.showMessage("The data display could not be written to " + *o.displayFile + ": " +
                               error.message() + ".",
                           kProgramName, MessageIcon::Critical);
            return false;
        }
        return true;
    };
    auto finish = [&](int code) {
        if (!writeDisplays() && code == kExitDone) code = kExitUsage;
        report.exitCode = code;
        report.messages = op.messages();
        return report;
    };
    auto usage = [&](const std::string& message) {
        err << "plovix-convert: " << message << '\n';
        return finish(kExitUsage);
    };

    if (o.plotFile && !plotWriter) return usage("this plovix-convert was built without the plot");

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

    startSession(s, iniPath, ini);
    if (o.source) s.settings.SourceType = *o.source;
    if (findSource(s.settings.SourceType) == nullptr)
        return usage("the settings name no known source (DAT=" +
                     std::to_string(s.settings.SourceType) + "); give --source");
    // The window's own logic, driven by the command line: set-up, one file per specimen, the
    // cycle panel's ticks, and "Save and Exit".
    CommandLineDialogs dialogs;
    ImportWorkflow window(s, op, dialogs);
    window.setGatherPlots(o.plotFile.has_value());
    window.setSaveSettingsOnClose(false);
    window.setCheckDefaultsFolder(false);
    window.load("");
    window.activate();
    if (o.testType) {
        const std::string allowed = window.allowedTestTypes();
        if (fListPos(*o.testType, allowed) == 0)
            return usage("the source " + s.program.SourceName + " does not support the test type " +
                         std::to_string(*o.testType) +
                         " (supported: " + allowed.substr(1, allowed.size() - 2) + ")");
        window.chooseTestType(*o.testType - 1);
    }
    report.source = s.settings.SourceType;
    report.testType = s.program.TestType;
    if (o.windowsTarget) window.chooseWindowsVersion(*o.windowsTarget);
    report.target = s.settings.NVWIN ? "windows" : "dos";
    report.settingValues = effectiveSettings(s);

    for (int n : o.skipDispRepeats) window.setSkipRepeats(n, true, true);
    for (int n : o.skipLoadRepeats) window.setSkipRepeats(n, false, true);

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
    // A workbook read directly fills specimens 1 to 4 from its one choice.
    std::optional<fs::path> workbookFile;
    std::optional<FileDigest> workbookDigest;
    if (readsWorkbooks(s.settings)) {
        if (files.size() != 1)
            return usage("with HUMREADXL set, give the one workbook whose specimens are read");
        workbookFile = files.front();
        // Digests are only reported in JSON: reading a large file once more costs as much as
        // the preview itself.
        if (o.jsonFile) workbookDigest = digestOf(*workbookFile);
    }

    window.setSpecimenRead([&](int n) {
        SpecimenReport r = reportOf(s, n);
        r.filterReport = window.filterReport(n);
        // The bytes the reading pass read: the file as prepared.
        if (o.jsonFile) r.input = digestOf(s.settings.DAFile);
        if (workbookFile) {
            r.workbookFile = workbookFile->string();
            r.workbook = workbookDigest;
        }
        read[n] = std::move(r);
    });
    displayDue = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        dialogs.daFile = files[i].string();
        if (window.getDAFile(n) != ImportOutcome::Read) return finish(kExitRefused);
    }
    std::map<int, CycleSummary> summaries;
    for (const auto& [n, r] : read) {
        const auto ticks = o.cycles.find(n);
        if (!o.summary && ticks == o.cycles.end()) continue;
        window.clickSpecimenNumber(n);
        window.toggleCyclePanel();
        if (window.view().panel != Panel::PreProcess) return finish(kExitRefused);
        if (ticks != o.cycles.end()) {
            // The technician's ticks in the cycle panel: the listed cycles of run 1 only.
            const auto& keep = ticks->second;
            for (const CycleSummaryRow& row : CycleSummary(window.view().summary).rows)
                window.tickCycle(row.cycle,
                                 std::find(keep.begin(), keep.end(), row.cycle) != keep.end());
        }
        summaries[n] = window.view().summary;
        window.toggleCyclePanel();  // back to the import panel: the specimen is read again
    }
    for (auto& [n, r] : read) {
        if (summaries.count(n)) r.summary = summaries[n];
        report.specimens.push_back(r);
    }
    if (!writeDisplays()) return finish(kExitUsage);
    if (o.plotFile) {
        for (const auto& [n, r] : read) {
            const std::optional<PlotData>& plot = window.plotData(n);
            if (!plot) continue;
            const std::string file = plotFileOf(*o.plotFile, n, read.size() > 1);
            if (const auto error = plotWriter(*plot, file)) {
                op.showMessage("The plot of specimen " + std::to_string(n) +
                                   " could not be written to " + file + ": " + *error + ".",
                               kProgramName, MessageIcon::Critical);
                return finish(kExitUsage);
            }
        }
    }

    if (o.output) {
        std::error_code error;
        const fs::path target = fs::absolute(*o.output, error);
        dialogs.norvoFile = target.string();
        window.chooseNorvoFile();
        if (error || s.program.NorvoFile.empty()) return finish(kExitExportFailed);
        ExportFiles exportFiles;
        if (o.templateFile) exportFiles.templateFile = *o.templateFile;
        if (o.description) window.editDescription(*o.description);
        if (o.defaultsFile) {
            exportFiles.defaultsFile = *o.defaultsFile;
            if (!s.settings.NVWIN && !fs::is_regular_file(exportFiles.defaultsFile, error)) {
                op.showMessage("Could not find: " + *o.defaultsFile, kProgramName,
                               MessageIcon::None);
                return finish(kExitExportFailed);
            }
        }
        if (!window.saveAndExit(exportFiles) || !window.exportWritten())
            return finish(kExitExportFailed);
        report.output = OutputReport{s.program.NorvoFile,
                                     o.jsonFile ? digestOf(s.program.NorvoFile) : std::nullopt};
    }
    return finish(kExitDone);
}

}  // namespace plovix::cli

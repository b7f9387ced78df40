#include "export/norvo_head.h"

#include <algorithm>

#include "app/program_paths.h"
#include "export/dos_index.h"
#include "sources/header_reader.h"
#include "sources/source_traits.h"
#include "text/fields.h"

namespace plovix {

namespace fs = std::filesystem;

namespace {

std::string characters(const std::string& text, std::size_t from, std::size_t count) {
    return from - 1 < text.size() ? text.substr(from - 1, count) : "";
}

// A unit of the file, or the default where the file named none.
int unitOr(int unit, int fallback) {
    return unit >= 1 ? unit : fallback;
}

// The index lists the files of its own folder: the data file's. NorvoPath is that folder
// whenever the file was chosen; it only stands in for a data file named without folder.
fs::path indexFolder(const Session& s) {
    const std::string& file = s.program.NorvoFile;
    const std::size_t slash = file.find_last_of("\\/");
    std::string folder =
        slash == std::string::npos ? s.settings.NorvoPath : file.substr(0, slash + 1);
    return folder.empty() ? fs::path(".") : fs::path(folder);
}

fs::path templatePathFor(const ExportFiles& files, const std::string& programFolder) {
    if (!files.templateFile.empty()) return files.templateFile;
    if (auto found = findCompanionFile(kNorvoTemplateFileName, programFolder,
                                       installedDataFolder(programFolder)))
        return *found;
    return fs::path(programFolder + kNorvoTemplateFileName);
}

void writeHead(Session& s, NorvoOutput& file, const NorvoDefaults& defaults, int& waypoint) {
    NorvoValueReader& in = file.openTemplate();
    const std::string first = in.nextText();
    std::array<std::string, kHeaderFieldCount + 1> fields;
    for (int k = 1; k <= kHeaderFieldCount; ++k)
        fields[static_cast<std::size_t>(k)] = in.nextText();
    in.skip(7);  // the template's test record, replaced below

    file.openData(s.program.NorvoFile);
    waypoint = 4;
    file.write(norvoRecord({textValue(first)}));
    const TestMethod method = testMethodFor(s.program.TestType, defaults);
    waypoint = 5;
    for (int k = 1; k <= kHeaderFieldCount; ++k)
        file.write(norvoRecord(
            {textValue(headerField(s, k, fields[static_cast<std::size_t>(k)], method))}));
    waypoint = 6;
    const std::int16_t specimens = checkedInt16(s.specimens.SpecimenCount, "The specimen count");
    file.write(norvoRecord({flagOrIntValue(s.program.TestType), flagOrIntValue(method.code),
                            flagOrIntValue(method.directShearFlag), flagOrIntValue(-1),
                            flagOrIntValue(0), flagOrIntValue(specimens), numberValue(1)}));
    for (int r = 0; r < 4; ++r) {
        std::array<std::string, 5> v;
        for (std::string& value : v) value = numberValue(in.nextNumber());
        file.write(norvoRecord({v[0], v[1], v[2], v[3], v[4]}));
    }
    for (int k = 0; k < 7; ++k) in.nextInt16();  // the template's unit record, replaced
    waypoint = 7;
    const std::array<int, 8> u = unitRecordFor(s, defaults);
    file.write(norvoRecord({flagOrIntValue(u[1]), flagOrIntValue(u[2]), flagOrIntValue(u[3]),
                            flagOrIntValue(u[4]), flagOrIntValue(u[5]), flagOrIntValue(u[6]),
                            flagOrIntValue(u[7])}));
}

}  // namespace

TestMethod testMethodFor(int testType, const NorvoDefaults& defaults) {
    TestMethod m;
    m.code = testType == kDirectShear               ? 1
             : testType == kUnconsolidatedUndrained ? 4
                                                    : defaults.methodCode;
    m.name = testMethodName(testType == kUnconsolidatedUndrained ? 0 : m.code);
    m.directShearFlag = testType == kDirectShear ? defaults.directShearFlag : 0;
    return m;
}

std::string headerField(const Session& s, int field, const std::string& templateText,
                        const TestMethod& method) {
    const HeaderValues& h = s.header;
    const SourceTraits& traits = traitsOf(s.settings);
    const bool locationLines = traits.sampleLines == NorvoSampleLines::LocationAndRemarks;
    const bool boringLines = traits.sampleLines == NorvoSampleLines::Boring;
    switch (field) {
        case 1:
            return h.JobNumber;
        case 3:
            return h.CompanyName;
        case 5:
            return h.ContractOrProject;
        case 7:
            if (locationLines) return h.Location;
            if (boringLines) return "Boring: " + h.BoreholeID + " Depth: " + h.SampleDepth;
            break;
        case 8:
            if (locationLines)
                return "Sample Number: " + h.SampleNumber + " Boring: " + h.BoreholeID +
                       " Depth: " + h.SampleDepth;
            if (boringLines) return "Sample Number: " + h.SampleNumber;
            break;
        case 9:
            return characters(h.SampleDescription, 1, 18);
        case 10:
            return characters(h.SampleDescription, 19, 29);
        case 11:
            return h.SpecimenNumber;
        case 15:
            if (traits.techLine == NorvoTechLine::TestedBy) return "Tech: " + h.TestedBy;
            if (traits.techLine == NorvoTechLine::InfoTexts)
                return h.InfoText1 + " : " + h.InfoText2;
            break;
        case 16:
            if (locationLines) return h.Remarks;
            break;
        case 23:
            return testTypeName(s.program.TestType);
        case 24:
            return "Yes";
        case 25:
        case 27:
            return "1.0";
        case 26:
            return method.name;
        case 28:
            return method.directShearFlag != 0 ? "Yes" : "No";
        default:
            break;
    }
    return templateText;
}

std::array<int, 8> unitRecordFor(const Session& s, const NorvoDefaults& defaults) {
    const auto& d = defaults.d;
    const HeaderValues& h = s.header;
    const int S = unitOr(h.StressUnit, d[3]);
    const int D = unitOr(h.DispUnit, d[4]);
    const int L = unitOr(h.LoadUnit, d[7]);
    switch (traitsOf(s.settings).unitRecord) {
        case NorvoUnitRecord::FixedEnglish:
            return {0, 3, d[2], 3, 1, d[5], d[6], 1};
        case NorvoUnitRecord::Defaults:
            return {0, d[1], d[2], d[3], d[4], d[5], d[6], d[7]};
        case NorvoUnitRecord::HeaderForReadings:
            return {0, d[1], d[2], S, D, d[5], d[6], L};
        case NorvoUnitRecord::FixedMetric:
            return {0, 6, d[2], 6, 3, d[5], d[6], 2};
        case NorvoUnitRecord::Header:
            break;
    }
    return {0, S, d[2], S, D, d[5], d[6], L};
}

std::unique_ptr<NorvoOutput> fSetupExportFile(Session& s, Operator& op, const ExportFiles& files) {
    int waypoint = 0;
    s.pass.ProgFolder = fAppPath();
    auto file = std::make_unique<NorvoOutput>(files, templatePathFor(files, s.pass.ProgFolder));
    const std::string templatePath = file->templatePath().string();
    waypoint = 1;
    std::error_code missing;
    if (!fs::is_regular_file(file->templatePath(), missing)) {
        op.tell("Could not find: " + templatePath + ". Make sure\r" +
                "a valid path to NORVO data files is entered on the Settings screen");
        return nullptr;
    }
    try {
        waypoint = 2;
        NorvoDefaults defaults = windowsNorvoDefaults();
        if (!s.settings.NVWIN) {
            const fs::path index = indexFileIn(indexFolder(s));
            file->lastOpened = index.string();
            const std::string name = s.program.NorvoFileName.empty()
                                         ? fSplitPath(s.program.NorvoFile, 1)
                                         : s.program.NorvoFileName;
            file->setIndex(index, indexWithFile(readIndexFile(index), name, files.description, op));
            const auto found = files.defaultsFile.empty() ? norvoDefaultsFile(s)
                                                          : std::optional(files.defaultsFile);
            file->lastOpened =
                found ? found->string() : s.settings.NorvoProgPath + kNorvoDefaultsFileName;
            if (!found) throw ExportError{kErrFileNotFound, "File not found"};
            defaults = readNorvoDefaults(*found);
        }
        s.pass.RateMode = defaults.RateMode;
        waypoint = 3;
        writeHead(s, *file, defaults, waypoint);
    } catch (const ExportError& error) {
        op.showMessage(s.program.AppVersion + errorText(error) + " @ WayPoint " +
                           std::to_string(waypoint) + "  " + templatePath + " " + file->lastOpened,
                       "Error writing NORVO file in fSetupExportFile", MessageIcon::None);
        return nullptr;
    } catch (const std::range_error& error) {
        op.showMessage(s.program.AppVersion + error.what() + " @ WayPoint " +
                           std::to_string(waypoint) + "  " + templatePath + " " + file->lastOpened,
                       "Error writing NORVO file in fSetupExportFile", MessageIcon::None);
        return nullptr;
    }
    return file;
}

}  // namespace plovix

#pragma once
// The command line of plovix-convert.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plovix::cli {

struct ConvertOptions {
    std::vector<std::string> files;  // specimens 1..4 in order
    std::optional<int> source;       // 1..8
    std::optional<int> testType;     // 1..6
    std::optional<std::string> settingsFile;
    std::vector<std::pair<std::string, std::string>> settingOverrides;  // --set KEY=VALUE
    std::map<int, std::vector<int>> cycles;                             // --cycles S:C,C,...
    std::vector<int> skipDispRepeats, skipLoadRepeats;
    bool yes = false;
    std::optional<std::string> jsonFile;  // "-" for standard output
    // The data display of each specimen's file; "-" for standard output.
    std::optional<std::string> displayFile;
    // Each specimen's load-displacement plot, FILE.png or FILE.pdf ("-N" before the ending
    // when there are several specimens).
    std::optional<std::string> plotFile;
    bool summary = false;
    bool help = false;
    bool version = false;  // --version: print the version and stop
    // Export: -o writes the Norvo data file as "Save and Exit" does.
    std::optional<std::string> output;
    std::optional<bool> windowsTarget;  // --target windows|dos
    std::optional<std::string> templateFile, defaultsFile, description;
};

struct ParseResult {
    ConvertOptions options;
    std::string error;  // empty when the command line is valid
};

ParseResult parseOptions(const std::vector<std::string>& args);

// 1..8 from a number or a name such as "geotac"; nullopt when neither.
std::optional<int> sourceFromText(const std::string& text);
// 1..6 from a number or a name such as "ds"; nullopt when neither.
std::optional<int> testTypeFromText(const std::string& text);

extern const char* const kUsage;

}  // namespace plovix::cli

#include "app/command_line.h"

#include "text/fields.h"

namespace plovix {

namespace {

constexpr std::string_view kWinFilePrefix = "WINFILE=";

}  // namespace

WinFileArguments evaluateWinFile(std::string_view commandLine) {
    WinFileArguments args;
    if (!commandLine.starts_with(kWinFilePrefix)) return args;
    args.WinFileMode = true;

    std::string_view file = commandLine.substr(kWinFilePrefix.size());
    // Quotes come off before the blanks: Norvo quotes the path as a whole.
    if (!file.empty() && file.front() == '"' && file.back() == '"') {
        file = file.size() >= 2 ? file.substr(1, file.size() - 2) : std::string_view{};
    }
    args.NorvoFile = trimBlanks(file);

    args.NorvoPath = fSplitPath(args.NorvoFile, 0);
    if (args.NorvoPath.empty() || (args.NorvoPath.back() != '\\' && args.NorvoPath.back() != '/')) {
        // The separator the path itself uses, so a Linux path does not gain a backslash.
        const auto last = args.NorvoFile.find_last_of("\\/");
        const bool slash = last != std::string::npos && args.NorvoFile[last] == '/';
        args.NorvoPath += slash ? '/' : '\\';
    }
    args.NorvoFileName = fSplitPath(args.NorvoFile, 1);
    return args;
}

void applyWinFile(Session& s, const WinFileArguments& args) {
    if (!args.WinFileMode) return;
    s.program.WinFileMode = true;
    s.program.NorvoFile = args.NorvoFile;
    s.settings.NorvoPath = args.NorvoPath;
    s.program.NorvoFileName = args.NorvoFileName;
    s.settings.NVWIN = true;
    s.program.NumDASources = kSourceCount;
}

}  // namespace plovix

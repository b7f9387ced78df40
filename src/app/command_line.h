#pragma once
// The command line through which Norvo names the data file that is to receive the test:
// "WINFILE=" followed by the file's full path.

#include <string>
#include <string_view>

#include "app/session.h"

namespace plovix {

struct WinFileArguments {
    bool WinFileMode = false;   // the command line began with "WINFILE="
    std::string NorvoFile;      // the path as given, without enclosing quotes and blanks
    std::string NorvoPath;      // its folder, ending in a separator
    std::string NorvoFileName;  // its file name, with ".NDT" when it has no extension
};

// Evaluates a command line; anything that does not begin with exactly "WINFILE=" (upper case)
// gives WinFileMode false and nothing else.
WinFileArguments evaluateWinFile(std::string_view commandLine);

// With WinFileMode: takes over the Norvo file and its folder, and selects the Windows layout
// of the Norvo file with every source offered. Without it, nothing changes.
void applyWinFile(Session& s, const WinFileArguments& args);

}  // namespace plovix

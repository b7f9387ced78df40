#pragma once
// The program's version text.

#include <string>

namespace plovix {

// Major, minor and patch numbers joined by "." and followed by one blank ("0.1.0 "); the
// reading pass puts it in front of its failure messages.
std::string appVersionText();

}  // namespace plovix

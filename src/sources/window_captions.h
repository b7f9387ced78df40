#pragma once
// What the main window shows differently per source: the headings of the normal stress and
// time rows of the results column, and whether the Unconfined Compression column increment of
// 1 (HumIncOne) still applies.

#include <string>

#include "app/session.h"

namespace plovix {

struct SourceCaptions {
    std::string normalStress = "Cell Pressure:";
    std::string time = "Time of test:";
};

SourceCaptions sourceCaptions(const Session& s);

// HumIncOne only matters for Humboldt workbooks, read directly or exported as text.
bool keepsHumIncOne(const Session& s);

}  // namespace plovix

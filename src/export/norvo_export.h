#pragma once
// "Save and Exit": the checks before the export, and the export of the whole test into the
// Norvo data file (`NorvoExport`). The new file is built beside the old one and replaces it,
// together with the DOS index, only when all four blocks are complete; on any failure both stay
// as they were, the failure's message is shown, and the session is as it was before.

#include <filesystem>

#include "app/operator.h"
#include "app/session.h"
#include "export/norvo_output.h"

namespace plovix {

// The checks "Save and Exit" makes before exporting, in order: a specimen was read, a Norvo
// file was chosen, and (unless Norvo started the program) NV.DDT is in NorvoProgPath. True when
// the export may run; otherwise the check's message has been shown. The converter leaves out
// the last check: its export finds NV.DDT there or beside the program.
bool saveAndExitChecks(const Session& s, Operator& op, bool checkDefaultsFolder = true);

// Writes the test into NorvoFile: refuses specimens the target cannot hold, writes the head,
// then the four blocks (loaded specimens through the reading pass in export mode, the others
// copied from the template), then replaces the file and, for the DOS target, the index. True
// when the file was written.
bool NorvoExport(Session& s, Operator& op, const ExportFiles& files = {});

}  // namespace plovix

#pragma once
// Humboldt channel-section text files keep each channel (deformation, load, and for some tests a
// pressure or vertical channel) in a section of its own: fifteen header lines, the section's
// "Channel" line second among them, then one reading per line. The reading pass needs the
// channels side by side, so `ModifyHumFile` rewrites such a file once into
//
//   Ready4Import
//   deformation unit TAB load unit [TAB third unit]
//   one line per reading: the deformation line as it stands (it ends with a TAB), the load
//     value (field 7 of the load line) and, with a third section, TAB and its field 7
//   the whole unprepared file
//
// and keeps the unprepared file beside it with the ending "ODA" (SPEC1.TXT -> SPEC1.ODA).
// The channels also tell the test type: a vertical channel makes a Direct Shear test, a file
// of only two channels an Unconfined Compression test unless Unconsolidated Undrained is chosen.

#include <filesystem>
#include <functional>
#include <system_error>

#include "app/operator.h"
#include "app/session.h"

namespace plovix {

// First line of a prepared file; a file that starts with it is never prepared again.
inline constexpr const char* kPreparedMarker = "Ready4Import";
// Working folder beside the file, kept afterwards.
inline constexpr const char* kHumWorkFolder = "HumTemp";

enum class HumPrepareOutcome {
    Unchanged,  // the file was prepared before: nothing written, nothing shown
    Prepared,   // the file now holds the prepared text, its backup the unprepared one
    Failed,     // one message was shown; the file and the session are as they were
};

struct HumPrepareResult {
    HumPrepareOutcome outcome = HumPrepareOutcome::Failed;
    int testType = 0;  // TestType after the call: derived from the channels when Prepared
};

// The last step, which puts the finished prepared file in place of the original (a rename
// within one file system, so the file is either wholly old or wholly new).
using ReplaceFileStep = std::function<std::error_code(const std::filesystem::path& from,
                                                      const std::filesystem::path& to)>;

// Prepares the file `s.settings.DAFile` of specimen `s.specimens.CurrentSpecimen`.
//
// The working file is HumTemp/_MH_TEMP<specimen>.$$$ in the file's own folder (created when
// missing, so that the final rename never crosses file systems). The backup is written first,
// by atomic replace of an older one, and only then is the prepared file renamed over the
// original: at every moment the original is either untouched or prepared with its backup in
// place.
//
// Prepared: `s.program.TestType` holds the derived test type (the caller shows it in the
// test-type list) and the reading pass can read the file. Unchanged: go on with the file as it
// is. Failed (no second "Channel" line, a section cut short, without readings or shorter than
// the second one, a channel no section fills, an unreadable file, a backup or rename that
// failed): a message naming the file was shown, the file is byte for byte as it was and the
// session untouched; the caller ends the import of this file. The backup of a file whose last
// rename failed stays written (it holds the same bytes as the file).
HumPrepareResult ModifyHumFile(Session& s, Operator& op);
HumPrepareResult ModifyHumFile(Session& s, Operator& op, const ReplaceFileStep& replace);

}  // namespace plovix

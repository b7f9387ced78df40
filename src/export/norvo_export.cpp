#include "export/norvo_export.h"

#include <stdexcept>

#include "app/operation.h"
#include "export/norvo_block.h"
#include "export/norvo_defaults.h"
#include "export/norvo_head.h"
#include "filter/reading_pass.h"
#include "filter/specimen_store.h"

namespace plovix {

namespace {

// The most readings one block can take: its count is a 16-bit number.
constexpr std::int64_t kMostReadings = kInt16Max;
// The most readings the DOS Norvo takes in one block.
constexpr std::int64_t kMostDosReadings = 99;

// A specimen the target cannot take; nothing is written then.
bool refuseSpecimens(Session& s, Operator& op) {
    for (int n = 1; n <= s.specimens.SpecimenCount; ++n) {
        s.specimens.CurrentSpecimen = n;
        SetSpecimen(s);
        const std::int64_t readings = s.specimens.ReadingsToWrite(n);
        const std::string specimen = "Specimen " + std::to_string(n);
        if (readings > kMostDosReadings && !s.settings.NVWIN) {
            op.showMessage(specimen + " has more than 99 readings, cannot export", kProgramName,
                           MessageIcon::Information);
            return true;
        }
        if (readings > kMostReadings) {
            op.showMessage(specimen + " has more than " + std::to_string(kMostReadings) +
                               " readings, cannot export: a block of the NORVO file holds "
                               "at most " +
                               std::to_string(kMostReadings),
                           kProgramName, MessageIcon::Information);
            return true;
        }
    }
    return false;
}

void writeBlocks(Session& s, Operator& op, NorvoBlockWriter& blocks) {
    SpecimenFiles& f = s.specimens;
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        f.CurrentSpecimen = n;
        SetSpecimen(s);
        if (n > f.SpecimenCount) {
            s.settings.DAFile.clear();
            blocks.beginSpecimen(s, op);
        } else {
            s.settings.DAFile = f.SpecimenPath(n) + f.SpecimenFileName(n);
            if (DAImport(s, op, &blocks) != PassOutcome::Done)
                throw ExportError{0, "The reading pass of specimen " + std::to_string(n) +
                                         " ended before its block was complete"};
        }
        blocks.endSpecimen();
    }
}

}  // namespace

bool saveAndExitChecks(const Session& s, Operator& op, bool checkDefaultsFolder) {
    const auto inform = [&](const std::string& text) {
        op.showMessage(text, kProgramName, MessageIcon::Information);
        return false;
    };
    if (s.specimens.SpecimenCount == 0) return inform("No data filtered yet");
    if (s.program.NorvoFile.empty())
        return inform("A NORVO file name must be selected before exporting");
    if (checkDefaultsFolder && !s.program.WinFileMode &&
        !norvoDefaultsIn(s.settings.NorvoProgPath)) {
        op.tell("Could not find: " + s.settings.NorvoProgPath + kNorvoDefaultsFileName +
                ". Make sure\r" +
                "a valid path to NORVO data files is entered on the Settings screen");
        return false;
    }
    return true;
}

bool NorvoExport(Session& s, Operator& op, const ExportFiles& files) {
    // A failed export leaves nothing of itself in the session either.
    SessionRollback rollback(s);
    rollback.saved().pass.Exporting = false;
    int waypoint = 0;
    s.pass.Exporting = true;
    if (refuseSpecimens(s, op)) return false;
    waypoint = 1;
    std::unique_ptr<NorvoOutput> file = fSetupExportFile(s, op, files);
    if (!file) return false;
    const auto fail = [&](const std::string& text) {
        op.showMessage("NorvoExport error: " + text + " @ WayPoint " + std::to_string(waypoint) +
                           "  P=" + "  S=" + s.program.NorvoFile,
                       "Error writing NORVO file in NorvoExport", MessageIcon::None);
        return false;
    };
    try {
        NorvoBlockWriter blocks(*file);
        writeBlocks(s, op, blocks);
        waypoint = 2;
        file->commit();
    } catch (const ExportAbandoned&) {
        return false;
    } catch (const ExportError& error) {
        return fail(error.number == 0 ? error.description
                                      : std::to_string(error.number) + " - " + error.description);
    } catch (const std::exception& error) {
        return fail(error.what());
    }
    rollback.keep();
    s.pass.Exporting = false;
    s.pass.ExportOpen = false;
    s.specimens.CurrentSpecimen = s.specimens.SpecimenCount;
    waypoint = 3;
    SetSpecimen(s);
    return true;
}

}  // namespace plovix

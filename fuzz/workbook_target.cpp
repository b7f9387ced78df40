// A Humboldt workbook (.xls or .xlsx by its content) read directly and written out as the
// per-specimen text files, then, when asked, each specimen file through the preview reading
// pass as plovix-convert runs it.
//
// Control byte 0: bits 0-1 the test type (Unconfined Compression, Direct Shear,
// Unconsolidated Undrained), bit 2 HUMXLCOLINCUCC=1, bit 3 HUMFTHSD, bit 4 run the reading
// pass over the specimen files. The rest is the workbook.

#include <glib.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "filter/reading_pass.h"
#include "fuzz_support.h"
#include "humboldt/workbook.h"
#include "humboldt/workbook_to_text.h"
#include "sources/source_codes.h"
#include "text/number_reading.h"

namespace {

using namespace plovix;
namespace fs = std::filesystem;

constexpr std::array<int, 4> kTestTypes = {kUnconfinedCompression, kDirectShear,
                                           kUnconsolidatedUndrained, kUnconfinedCompression};

// libGSF warns on standard error about every damaged container it opens; the fuzzer opens
// thousands a second.
void silenceLibraryWarnings() {
    static const bool silenced = [] {
        g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {},
                                  nullptr);
        return true;
    }();
    (void)silenced;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    silenceLibraryWarnings();
    const fuzz::Input input(data, size, 1);
    std::unique_ptr<StoredWorkbook> book;
    try {
        book = readWorkbook(input.rest());
    } catch (const WorkbookError& e) {
        if (e.description.empty()) fuzz::broken("a workbook was refused without a reason");
        return 0;
    }

    Session s = fuzz::defaultSession();
    s.settings.SourceType = kHumboldt;
    s.settings.HUMREADXL = true;
    s.settings.HUMFTHSD = input.bit(0, 3);
    if (input.bit(0, 2)) s.settings.HumXLColInc(1) = "1";
    s.settings.HumIncOne = readNumber(s.settings.HumXLColInc(1)) == 1.0;
    resetForNewTest(s);
    s.program.TestType = kTestTypes[input.control(0) & 3];
    s.program.SourceName = s.program.SourceNames(kHumboldt);

    // A fresh folder each time, so that whatever a run leaves behind is its own.
    const fs::path folder = fuzz::scratchFolder() / "workbook";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directory(folder, ignored);
    const fs::path workbook = folder / "BOOK.XLS";
    fuzz::ScriptedOperator op(0);
    const bool converted = convertWorkbookToText(s, op, *book, workbook);
    if (!converted && op.shown != 1) fuzz::broken("a failed conversion did not show one message");

    std::vector<fs::path> files;
    for (int n = 1; n <= kMaxSpecimen; ++n) {
        const std::string& name = s.specimens.WorkbookSpecimen(n);
        if (name.empty()) continue;
        if (name != "BOOK" + std::to_string(n) + ".TXT")
            fuzz::broken("specimen " + std::to_string(n) + " was written as " + name);
        files.push_back(folder / name);
    }
    std::size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        (void)entry;
        ++entries;
    }
    if (entries != files.size())
        fuzz::broken("the folder holds " + std::to_string(entries) + " files, the session names " +
                     std::to_string(files.size()));
    if (!input.bit(0, 4)) return 0;

    for (std::size_t i = 0; i < files.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const std::string path = files[i].string();
        s.settings.DAFile = path;
        s.settings.DAName = files[i].filename().string();
        s.specimens.SpecimenPath(n) = folder.string() + "/";
        s.specimens.SpecimenFileName(n) = s.settings.DAName;
        s.specimens.CurrentSpecimen = n;
        s.specimens.SpecimenCount = n;
        s.pass.ReadingsInFile = 0;
        for (int r = 1; r <= kMaxRun; ++r) s.cycles.NumCycles(n, r) = 0;
        if (DAImport(s, op) != PassOutcome::Done) break;
    }
    return 0;
}

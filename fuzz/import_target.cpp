// A whole D/A file through what choosing it does: the header, the pre-processing into the
// cycle summary, the preview reading pass, and the export-mode pass into a sink that counts.
//
// Control bytes (0 everywhere gives the settings file's defaults and OK to every question):
//   0  source 1..8
//   1  test type: the n-th of those the source allows, as the window lists them
//   2  settings: KWDS, HUMXLEXP, HUMFTHSD, HUMXLCOLINCUCC=1, NVWIN, GEOTACADCDT, GEOTACNPSF,
//      GEOTACI0 (a set bit turns the default round)
//   3  settings: GEOTACUFDAZ, GEOTACUFVDAZ, GEOTACCS, GEOTACROS, GEOTACIPM, GEOTACUIL, HUMROS,
//      DDMM
//   4  Cancel to the n-th question of each step (bit n)
//   5  bits 0-1 specimen 1..4, bits 2-3 the file's name, bit 4 / 5 the skip-repeats boxes,
//      bit 6 the cycle ticks below apply, bit 7 HUMREADXL
//   6  cycles 1..8 of run 1 left out (bit n-1)
//   7  bits 0-1 cycles 9 and 10 left out, bits 2-3 IncMax, bits 4-5 Tolerance
// The rest is the file.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "filter/reading_pass.h"
#include "filter/specimen_store.h"
#include "fuzz_support.h"
#include "sources/cycles.h"
#include "sources/source_codes.h"
#include "sources/source_table.h"
#include "text/fields.h"
#include "text/number_reading.h"

namespace {

using namespace plovix;
namespace fs = std::filesystem;

// Names that some layouts look at: a ".geo" GeoTest file, a GEOTAC section named after the
// file.
constexpr std::array<const char*, 4> kFileNames = {"SPECIMEN.DAT", "NAMED1.SDF", "TEST.geo",
                                                   "TEST.TXT"};
constexpr std::array<double, 4> kIncMax = {0.05, 0, 0.5, 1e-9};
constexpr std::array<double, 4> kTolerance = {5, 0, 50, 100};

// Receives what the export would write and checks it against what the block head announces.
class CountingSink : public ReadingSink {
  public:
    void beginSpecimen(Session& s, Operator&) override {
        ++begun;
        announced = s.specimens.ReadingsToWrite(s.specimens.CurrentSpecimen);
    }
    void writeReading(const std::string& line) override {
        if (line.empty()) fuzz::broken("an empty reading line was handed to the export");
        ++written;
    }

    int begun = 0;
    std::int64_t announced = 0, written = 0;
};

void flip(bool& flag, bool bit) {
    if (bit) flag = !flag;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Input input(data, size, 8);
    Session s = fuzz::defaultSession();
    Settings& set = s.settings;
    set.SourceType = 1 + input.control(0) % kSourceCount;
    flip(set.KWDS, input.bit(2, 0));
    flip(set.HUMXLEXP, input.bit(2, 1));
    flip(set.HUMFTHSD, input.bit(2, 2));
    if (input.bit(2, 3)) set.HumXLColInc(1) = "1";
    set.HumIncOne = readNumber(set.HumXLColInc(1)) == 1.0;
    flip(set.NVWIN, input.bit(2, 4));
    flip(set.GEOTACADCDT, input.bit(2, 5));
    flip(set.GEOTACNPSF, input.bit(2, 6));
    flip(set.GEOTACI0, input.bit(2, 7));
    flip(set.GEOTACUFDAZ, input.bit(3, 0));
    flip(set.GEOTACUFVDAZ, input.bit(3, 1));
    flip(set.GEOTACCS, input.bit(3, 2));
    flip(set.GEOTACROS, input.bit(3, 3));
    flip(set.GEOTACIPM, input.bit(3, 4));
    flip(set.GEOTACUIL, input.bit(3, 5));
    flip(set.HUMROS, input.bit(3, 6));
    flip(set.DDMM, input.bit(3, 7));
    flip(set.HUMREADXL, input.bit(5, 7));
    set.IncMax = kIncMax[(input.control(7) >> 2) & 3];
    set.Tolerance = kTolerance[(input.control(7) >> 4) & 3];

    // The window's set-up for the source: the test types it offers, the derived flags.
    resetForNewTest(s);
    const SourceLayout& layout = *findSource(set.SourceType);
    s.program.SourceName = s.program.SourceNames(set.SourceType);
    s.specimens.KWDSFile = set.SourceType == kGeoTest && set.KWDS;
    if (!(set.SourceType == kHumboldt && (set.HUMREADXL || set.HUMXLEXP))) set.HumIncOne = false;
    const std::string allowed = layout.allowedTestTypes(s);
    // ",1,2," offers two: one comma more than items.
    const auto offered =
        static_cast<long long>(std::count(allowed.begin(), allowed.end(), ',')) - 1;
    s.program.TestType =
        static_cast<int>(readNumber(fListItem(allowed, 1 + input.control(1) % offered, true)));

    // Choosing the file of specimen n.
    const int n = 1 + (input.control(5) & 3);
    const fs::path path = fuzz::scratchFolder() / kFileNames[(input.control(5) >> 2) & 3];
    fuzz::writeScratchFile(path, input.rest());
    const std::string folder = path.parent_path().string() + "/";
    set.DAFile = path.string();
    set.DAName = path.filename().string();
    set.DAPath = folder;
    s.specimens.SpecimenPath(n) = folder;
    s.specimens.SpecimenFileName(n) = set.DAName;
    s.specimens.CurrentSpecimen = n;
    s.specimens.SpecimenCount = n;
    s.specimens.SkipDispRepeats(n) = input.bit(5, 4);
    s.specimens.SkipLoadRepeats(n) = input.bit(5, 5);

    // Each step asks its questions afresh; the operator answers them alike every time.
    fuzz::ScriptedOperator preProcessing(input.control(4));
    const CycleSummary summary = PreProcess(s, preProcessing);
    if (summary.ok && input.bit(5, 6)) {
        const unsigned leftOut = input.control(6) | (input.control(7) & 3u) << 8;
        for (const CycleSummaryRow& row : summary.rows)
            s.cycles.UseCycle(n, 1, row.cycle) = (leftOut >> (row.cycle - 1)) & 1 ? 0 : 1;
    }

    s.pass.Exporting = false;
    fuzz::ScriptedOperator previewing(input.control(4));
    if (DAImport(s, previewing) != PassOutcome::Done) return 0;

    // "Save and Exit" reads the file once more in export mode; it must write exactly the
    // readings the preview announced, or the block it writes would not match its head.
    SetSpecimen(s);
    s.pass.Exporting = true;
    CountingSink sink;
    const std::int64_t preview = s.specimens.ReadingsToWrite(n);
    fuzz::ScriptedOperator exporting(input.control(4));
    const PassOutcome exported = DAImport(s, exporting, &sink);
    if (exported != PassOutcome::Done)
        fuzz::broken("the export-mode pass ended where the preview did not");
    if (sink.begun != 1) fuzz::broken("the export-mode pass did not begin the block once");
    if (sink.announced != preview || s.specimens.ReadingsToWrite(n) != preview)
        fuzz::broken("the export-mode pass counted " +
                     std::to_string(s.specimens.ReadingsToWrite(n)) +
                     " readings to write, the preview " + std::to_string(preview));
    const std::int64_t expected = preview > 0 ? preview : 0;
    if (sink.written != expected)
        fuzz::broken("the export-mode pass wrote " + std::to_string(sink.written) +
                     " readings, its block announced " + std::to_string(expected));
    return 0;
}

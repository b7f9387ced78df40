// Humboldt workbooks read directly, end to end: plovix-convert splits the workbook into one text
// file per specimen beside it, imports those and writes a Norvo file equal, record by record, to
// a golden file worked out by hand.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/norvo_files.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

using plovix::testing::bytesOf;
using plovix::testing::expectSameNorvoFile;

namespace fs = std::filesystem;

const fs::path kData = PLOVIX_TEST_DATA;

// Worked by hand from the cells in workbook_sources.py and data/NVNEW.NDT, with the settings'
// defaults: Windows Norvo, criteria 0.05 and 5 %, HUMROS, GEOTACUFVDAZ, the workbook positions
// (UU sheet 4, row 42, column C, step 1; direct shear sheet 3, row 12, column B, step 1).
//
// HUMFTHSD is set, as for workbooks read directly: the text written has the labelled
// full-transfer layout (readings in fields 2 to 4, or 2 to 6); without it every value reads 0.
//
// - Unconsolidated Undrained: G21 of sheets 4 and 5 is 1.4, of sheet 6 empty: two specimens.
//   Readings: C the reading, E the load (field 3), D the deformation (field 4); loads 0 12 25 31
//   30 (tolerance 1.55) and 0 20 38 44 42 (2.2, E46 = E45 - 2): every reading moves the load by
//   more than the tolerance or is the peak (31, 44) or the high load (30, 42): five lines each,
//   third value 0 (not read for UU). The labels in column D: cell pressure E12 (5, 10) as the
//   normal value, "Rate of Strain" E13 = 1 (no time stamps, so it stays), weight G23 98.6 and
//   gravity E17 2.7 in record 6, diameter G21 1.4 and height G22 2.8 in record 7. "(psi)",
//   "(in)" and "(lbs)" give the unit record 1,1,1,1,2,2,1. Head: job E9, project E8,
//   description E11; method "ASTM - D 2850" (code 4), Direct Shear flag 0, "No".
// - Direct Shear: summary check cells C27, E27 (=C27), G27 are 2.5, I27 0: sheets 3 to 5.
//   Readings B to F: load D (field 4), horizontal E (field 5), vertical F (field 6); loads 0 5 7
//   + 10 per row, each more than 5 % of the peak above the last: all five kept. Normal stress
//   from the summary rows 14, 16, 18: C14 10, C16 20, C18 40 psi. The rate written is the
//   header's C7 0.05: the block head is written right after the header is read again in the
//   export pass; only after the readings does the time (column C, "0" to "2", no dates) make
//   it 0, as the preview shows. Weight C31 120.5, E31 121, G31 #DIV/0! (0); height C26 1,
//   E26 1.02, G26 0.98; diameter row 27, 2.5 each; no "Gravity" line: 0. "Sample Description"
//   shares the line of "Project Name", so both take its field 6, C5 "Rivi", byte E8, "re Dam".
//   Method code 1, flag 4 ("Yes"), three specimens, the template's fourth block.
// The .xls and .xlsx direct shear workbooks hold the same cells, so they share one golden file.
TEST(WorkbookConvert, GoldenNorvoFilesRecordByRecord) {
    struct Case {
        const char* test;
        const char* workbook;
        const char* golden;
    };
    const Case cases[] = {
        {"uu", "workbook_unconsolidated.xls", "workbook_unconsolidated.expected.NDT"},
        {"ds", "workbook_direct_shear.xls", "workbook_direct_shear.expected.NDT"},
        {"ds", "workbook_direct_shear.xlsx", "workbook_direct_shear.expected.NDT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workbook);
        // The specimens' text files are written beside the workbook: work on a copy.
        testing::TempFolder temp;
        const fs::path workbook = temp.path / c.workbook;
        fs::copy_file(kData / "humboldt" / c.workbook, workbook);
        const fs::path out = temp.path / "OUT.NDT";
        ASSERT_EQ(testing::runConverter("--settings '" + (temp.path / "none.ini").string() +
                                        "' --template '" +
                                        (kData / ".." / ".." / "data" / "NVNEW.NDT").string() +
                                        "' --source humboldt --test " + c.test +
                                        " --set HUMREADXL=True --set HUMFTHSD=True -o '" +
                                        out.string() + "' '" + workbook.string() + "'"),
                  0);

        expectSameNorvoFile(bytesOf(out), bytesOf(kData / "humboldt" / c.golden));
    }
}

}  // namespace
}  // namespace plovix

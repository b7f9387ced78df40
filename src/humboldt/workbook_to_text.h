#pragma once
// Convert_XL_To_HSD: a Humboldt workbook read directly, written out as one tab-separated text
// file per specimen in the layout the Humboldt full-transfer header reader expects, so that the
// rest of the program imports the specimens as if Humboldt text files had been chosen.

#include <filesystem>

namespace plovix {

struct Session;
class Operator;
class Workbook;

// Reads the workbook at `workbook` (an .xls or .xlsx by its content, whatever its name) and
// writes, for specimen n = 1 .. 4, the file named like the workbook with its last four
// characters replaced by n + ".TXT" (C:\DATA\TEST.XLS gives TEST1.TXT; TEST.XLSX keeps its
// dot: TEST.1.TXT), beside it, replacing a file of that name. Each file holds header lines
// 1 to 24, the reading rows and a line of six tabs, lines ending CR LF, texts in Windows-1252.
//
// Reads from the session: TestType, HumXLSheet / HumXLRow / HumXLCol / HumXLColInc of that
// test type, HumIncOne. Writes: WorkbookSpecimen(1..4), cleared first, element n then naming
// (without folder) specimen n's file once it is complete on the disk; DAFile and DAName, set to
// specimen 1's file when it is written (a workbook whose specimen A check cell is 0 or empty
// writes nothing and leaves them as they were).
//
// Returns false after a failure (the workbook cannot be opened or read, a sheet number beyond
// the workbook, a row or column out of range, a file that cannot be written): the message
// "Error: <number> - <description>" titled "Error writing NORVO file in Convert_XL_To_HSD" has
// then been shown. Files completed before the failure stay, and WorkbookSpecimen names them;
// the file being written is not put in place, so an older file of its name stays as it was.
// The caller imports the specimens that WorkbookSpecimen names, failure or not.
bool Convert_XL_To_HSD(Session& s, Operator& op, const std::filesystem::path& workbook);

// The same for a workbook already open; `workbookPath` names the files written.
bool convertWorkbookToText(Session& s, Operator& op, const Workbook& book,
                           const std::filesystem::path& workbookPath);

}  // namespace plovix

// Convert_XL_To_HSD: which specimens a workbook yields, the text written for each, and how a
// failure ends the operation.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/session.h"
#include "humboldt/workbook.h"
#include "humboldt/workbook_to_text.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"

namespace plovix {
namespace {

namespace fs = std::filesystem;
using testing::RecordingOperator;
using testing::TempFolder;

const fs::path kData = fs::path(PLOVIX_TEST_DATA) / "humboldt";

// The settings' defaults; the Unconfined Compression increment as given.
Session humboldtSession(int testType, const std::string& ucIncrement = "2") {
    Session s;
    s.program.TestType = testType;
    const char* values[3][4] = {{"2", "37", "C", ""}, {"3", "12", "B", "1"}, {"4", "42", "C", "1"}};
    for (int i = 1; i <= 3; ++i) {
        s.settings.HumXLSheet(i) = values[i - 1][0];
        s.settings.HumXLRow(i) = values[i - 1][1];
        s.settings.HumXLCol(i) = values[i - 1][2];
        s.settings.HumXLColInc(i) = values[i - 1][3];
    }
    s.settings.HumXLColInc(1) = ucIncrement;
    s.settings.HumIncOne = ucIncrement == "1";
    return s;
}

// Lines 1, 2, ... of a written file, without their CR LF.
std::vector<std::string> fileLines(const fs::path& path) {
    std::vector<std::string> lines{""};
    const std::string text = testing::bytesOf(path);
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

TEST(WorkbookToText, DirectShearWritesOneFilePerFilledCheckCell) {
    TempFolder temp;
    for (const std::string extension : {".xls", ".xlsx"}) {
        SCOPED_TRACE(extension);
        const fs::path workbook = temp.path / ("TEST" + extension);
        fs::copy_file(kData / ("workbook_direct_shear" + extension), workbook);
        Session s = humboldtSession(kDirectShear);
        RecordingOperator op;
        ASSERT_TRUE(Convert_XL_To_HSD(s, op, workbook));
        EXPECT_TRUE(op.messages.empty());
        // The last four characters give way: ".xls" goes, of ".xlsx" the dot stays.
        const std::string base = extension == ".xls" ? "TEST" : "TEST.";
        // C27, E27, G27 of the summary sheet are filled, I27 is 0: sheets 3 to 5.
        for (int n = 1; n <= 3; ++n)
            EXPECT_EQ(s.specimens.WorkbookSpecimen(n), base + std::to_string(n) + ".TXT");
        EXPECT_EQ(s.specimens.WorkbookSpecimen(4), "");
        EXPECT_FALSE(fs::exists(temp.path / (base + "4.TXT")));
        EXPECT_EQ(s.settings.DAFile, (temp.path / (base + "1.TXT")).string());
        EXPECT_EQ(s.settings.DAName, base + "1.TXT");
        EXPECT_EQ(testing::bytesOf(temp.path / (base + "1.TXT")),
                  testing::bytesOf(kData / "workbook_direct_shear.1.expected.TXT"));
        // Specimen C (k = 2): summary column G, summary rows 18 and 19, sheet 1 column L.
        const auto third = fileLines(temp.path / (base + "3.TXT"));
        ASSERT_EQ(third.size(), 31u);
        EXPECT_EQ(third[1], "\tSummary");
        EXPECT_EQ(third[4], "\tSpecimen C");
        EXPECT_EQ(third[8],
                  "\t\t\t\tProject Name\tRivi\xE8re Dam\t\t\tSample Description\tTan "
                  "silt\t\tDiameter\t\t2.5");
        EXPECT_TRUE(third[10].ends_with("\tWeight\t\t#DIV/0!")) << third[10];
        EXPECT_EQ(third[11], "\t\t\t\tNormal Stress (psi)\t40\t\t\t\t\t\tCohesion\t\t1.1\t\t\t\t");
        EXPECT_EQ(third[18], "\t\t\t\tTime to failure\t7.5");
        EXPECT_EQ(third[26], "\t1\t0.5\t17\t0.01\t-0.001");
    }
}

TEST(WorkbookToText, UnconfinedCompressionColumnsAndRowsOfZeros) {
    TempFolder temp;
    const fs::path workbook = temp.path / "UC.xlsx";
    fs::copy_file(kData / "workbook_unconfined.xlsx", workbook);
    const fs::path written = temp.path / "UC.1.TXT";

    Session s = humboldtSession(kUnconfinedCompression);
    RecordingOperator op;
    ASSERT_TRUE(Convert_XL_To_HSD(s, op, workbook));
    EXPECT_EQ(s.specimens.WorkbookSpecimen(2), "");  // sheet 3's check cell is empty
    auto lines = fileLines(written);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[2], "\tUnconfined Compression\t\t\t\tJob 8");
    EXPECT_EQ(lines[22], "\tReading\tLoad\tStrain");
    EXPECT_EQ(lines[23], "\t\t(lbs)\t(%)");
    // Columns C, E, G; C39 is a division error; E40 says "specimen", so row 41 is zeros too.
    const std::vector<std::string> byTwo = {
        "\t0\t0\t0", "\t1\t15\t0.5", "\t0\t0\t0",   "\t3\t40\tspecimen cracked",
        "\t0\t0\t0", "\t5\t42\t2.5", "\t\t\t\t\t\t"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 25, lines.end()), byTwo);

    s = humboldtSession(kUnconfinedCompression, "1");
    ASSERT_TRUE(Convert_XL_To_HSD(s, op, workbook));
    lines = fileLines(written);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[1], "\tSpecimen 1");  // the sheet's name is always read
    EXPECT_EQ(lines[2], "\tn/a\t\t\t\tn/a");
    EXPECT_EQ(lines[7], "\t\t\t\tn/a\tn/a\t\t\tn/a\tn/a\t\t\tn/a\t\tn/a\t\tn/a");
    EXPECT_EQ(lines[22], "\tn/a\tn/a\tn/a");
    EXPECT_EQ(lines[23], "\t\tn/a\tn/a");
    // Columns C, C+4, C+3: C, G, F.
    const std::vector<std::string> byOne = {
        "\t0\t0\t0.2", "\t1\t0.5\t1.2", "\t0\t0\t0",   "\t3\tspecimen cracked\t3.2",
        "\t0\t0\t0",   "\t5\t2.5\t5.2", "\t\t\t\t\t\t"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 25, lines.end()), byOne);
}

TEST(WorkbookToText, SheetCountCheckCellsAndDirectShearColumns) {
    TempFolder temp;
    RecordingOperator op;
    // One sheet: at most one file, whatever the check cells say; no readings below the header.
    StoredWorkbook one;
    one.addSheet("Only");
    one.setCell(1, 21, 7, Cell::numberCell(3));
    Session s = humboldtSession(kUnconsolidatedUndrained);
    s.settings.HumXLSheet(3) = "1";
    ASSERT_TRUE(convertWorkbookToText(s, op, one, temp.path / "ONE.XLS"));
    EXPECT_EQ(s.specimens.WorkbookSpecimen(1), "ONE1.TXT");
    EXPECT_EQ(s.specimens.WorkbookSpecimen(2), "");
    const auto lines = fileLines(temp.path / "ONE1.TXT");
    ASSERT_EQ(lines.size(), 26u);  // 24 header lines and the end line
    EXPECT_EQ(lines[8], "\t\t\t\t\t\t\t\t\t\t\t\t\t3");
    EXPECT_EQ(lines[24], "\t");
    EXPECT_EQ(lines[25], "\t\t\t\t\t\t");

    // Specimen A's check cell empty: nothing written, the workbook stays the D/A file.
    one.setCell(1, 21, 7, Cell{});
    s.settings.DAFile = "keep";
    ASSERT_TRUE(convertWorkbookToText(s, op, one, temp.path / "NONE.XLS"));
    EXPECT_EQ(s.settings.DAFile, "keep");
    EXPECT_EQ(s.specimens.WorkbookSpecimen(1), "");
    EXPECT_FALSE(fs::exists(temp.path / "NONE1.TXT"));

    // Direct Shear with the "n/a" fields: its own columns C+1 and C+4 are still read.
    StoredWorkbook ds;
    for (const char* name : {"General", "Summary", "A"}) ds.addSheet(name);
    ds.setCell(2, 27, 3, Cell::numberCell(2.5));
    for (int column = 2; column <= 6; ++column) {
        const std::string letter(1, static_cast<char>('A' + column - 1));
        ds.setCell(3, 7, column, Cell::textCell(letter + "7"));
        ds.setCell(3, 10, column, Cell::textCell(letter + "10"));
        ds.setCell(3, 12, column, Cell::numberCell(column - 2));
    }
    s = humboldtSession(kDirectShear, "1");
    ASSERT_TRUE(convertWorkbookToText(s, op, ds, temp.path / "DS.XLS"));
    EXPECT_EQ(s.specimens.WorkbookSpecimen(2), "");  // E27 empty
    const auto dsLines = fileLines(temp.path / "DS1.TXT");
    ASSERT_EQ(dsLines.size(), 27u);
    EXPECT_EQ(dsLines[22], "\tn/a\tC7\tn/a\tn/a\tF7");
    EXPECT_EQ(dsLines[23], "\t\t\tn/a\tn/a\tF10");
    EXPECT_EQ(dsLines[25], "\t0\t1\t2\t3\t4");
    EXPECT_TRUE(op.messages.empty());
}

TEST(WorkbookToText, FailuresEndWithTheMessageAndKeepWhatWasWritten) {
    TempFolder temp;
    const std::string title = "Error writing NORVO file in Convert_XL_To_HSD";
    // Specimen 1 on sheet 2 is written; the next check cell is on sheet 3, which is missing.
    StoredWorkbook book;
    book.addSheet("Cover");
    book.addSheet("Specimen");
    book.setCell(2, 21, 7, Cell::numberCell(1));
    book.setCell(2, 37, 3, Cell::numberCell(0));
    Session s = humboldtSession(kUnconfinedCompression);
    RecordingOperator op;
    EXPECT_FALSE(convertWorkbookToText(s, op, book, temp.path / "UC.XLS"));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text.rfind("Error: 9 - Subscript out of range", 0), 0u);
    EXPECT_EQ(op.messages[0].title, title);
    EXPECT_EQ(s.specimens.WorkbookSpecimen(1), "UC1.TXT");
    EXPECT_EQ(fileLines(temp.path / "UC1.TXT").back(), "\t\t\t\t\t\t");

    // An error value in specimen A's check cell cannot be compared with 0.
    book.setCell(2, 21, 7, Cell::errorCell("#VALUE!"));
    EXPECT_FALSE(convertWorkbookToText(s, op, book, temp.path / "ERR.XLS"));
    EXPECT_EQ(op.messages.back().text.rfind("Error: 13 - Type mismatch", 0), 0u);
    EXPECT_EQ(s.specimens.WorkbookSpecimen(1), "");

    // A heading row above row 1; a folder that does not exist; a workbook that does not.
    book.setCell(2, 21, 7, Cell::numberCell(1));
    s.settings.HumXLRow(1) = "2";
    EXPECT_FALSE(convertWorkbookToText(s, op, book, temp.path / "ROW.XLS"));
    EXPECT_EQ(op.messages.back().text.rfind("Error: 1004 - ", 0), 0u);
    EXPECT_FALSE(fs::exists(temp.path / "ROW1.TXT"));
    s.settings.HumXLRow(1) = "37";
    EXPECT_FALSE(convertWorkbookToText(s, op, book, temp.path / "missing" / "UC.XLS"));
    EXPECT_EQ(op.messages.back().text.rfind("Error: 76 - Path not found", 0), 0u);
    EXPECT_EQ(s.specimens.WorkbookSpecimen(1), "");
    EXPECT_FALSE(Convert_XL_To_HSD(s, op, temp.path / "absent.xls"));
    EXPECT_EQ(op.messages.back().text.rfind("Error: 53 - File not found", 0), 0u);
    EXPECT_EQ(op.messages.back().title, title);

    // Readings that go on past the last row a 16-bit position reaches.
    for (int row = 37; row <= 32768; ++row) book.setCell(2, row, 3, Cell::numberCell(row));
    EXPECT_FALSE(convertWorkbookToText(s, op, book, temp.path / "LONG.XLS"));
    EXPECT_EQ(op.messages.back().text,
              "Error: 6 - Overflow (LONG.XLS, sheet 2 \"Specimen\": the readings go on past row "
              "32767, the last row that can be read)");

    // A cut workbook: its one message, nothing from the container library on standard error,
    // no file.
    const std::string whole = testing::bytesOf(kData / "workbook_cells.xls");
    testing::writeBytes(temp.path / "CUT.xls", whole.substr(0, whole.size() * 3 / 4));
    const std::size_t before = op.messages.size();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(Convert_XL_To_HSD(s, op, temp.path / "CUT.xls"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(op.messages.size(), before + 1);
    EXPECT_EQ(op.messages.back().text.rfind("Error: 432 - CUT.xls: ", 0), 0u);
    EXPECT_FALSE(fs::exists(temp.path / "CUT1.TXT"));
}

}  // namespace
}  // namespace plovix

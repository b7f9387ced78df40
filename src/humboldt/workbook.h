#pragma once
// A Humboldt workbook as the workbook reader sees it: numbered sheets with names, and cells
// that are empty, an error value, a number, a boolean or a text. A formula counts as the value
// it had when the workbook was last saved; nothing is calculated here.
//
// Two readers fill it, chosen by the file's content: .xls (BIFF8 in an OLE2 compound file) and
// .xlsx (zip). Every text a cell or sheet name gives is already in Windows-1252, the code page
// of the files the program writes; a character that code page cannot hold becomes "?".

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace plovix {

enum class CellKind { Empty, Error, Number, Boolean, Text };

struct Cell {
    CellKind kind = CellKind::Empty;
    // Number: the value (a date is its serial number); Boolean: -1 for true, 0 for false, as
    // the old platform counted them; otherwise 0.
    double number = 0;
    // The text the cell gives when it is written out: a number in "General Number", a boolean
    // "True" or "False", an error value its code ("#DIV/0!"), a text as it stands, empty "".
    std::string text;

    static Cell numberCell(double value);
    static Cell booleanCell(bool value);
    static Cell errorCell(std::string code);
    static Cell textCell(std::string windows1252);
};

// A failure while a workbook is opened or read, numbered as the old platform numbered it; the
// description says what went wrong in words an operator can act on.
struct WorkbookError {
    int number = 0;
    std::string description;
};

inline constexpr int kErrWorkbookInvalidCall = 5;    // "Invalid procedure call or argument"
inline constexpr int kErrWorkbookOverflow = 6;       // a position beyond 16 bits
inline constexpr int kErrWorkbookOutOfMemory = 7;    // a workbook too large to hold
inline constexpr int kErrWorkbookSubscript = 9;      // a sheet number beyond the workbook
inline constexpr int kErrWorkbookTypeMismatch = 13;  // an error value compared with a number
inline constexpr int kErrWorkbookNotFound = 53;      // no file by that name
inline constexpr int kErrWorkbookAccess = 75;        // the file cannot be read
inline constexpr int kErrWorkbookUnreadable = 432;   // not a workbook this program can read
inline constexpr int kErrWorkbookNoCells = 438;      // cells asked of a chart sheet
inline constexpr int kErrWorkbookBadCell = 1004;     // row or column 0 or below

class Workbook {
  public:
    virtual ~Workbook() = default;

    // All sheets, charts included, as the workbook orders them.
    virtual int sheetCount() const = 0;
    // Sheet `sheet` (1-based); both throw WorkbookError 9 beyond the workbook.
    virtual std::string sheetName(int sheet) const = 0;
    // Cell (row, column), both 1-based. Throws WorkbookError 1004 for a row or column below 1
    // and 438 on a sheet without cells (a chart).
    virtual Cell cell(int sheet, int row, int column) const = 0;
};

// The workbook both readers produce: every cell held in memory, compactly, and every text
// once (a shared string shown by many cells is not copied into each). What it holds is counted:
// beyond 512 MB it throws WorkbookError 7, so that no file can exhaust the memory.
class StoredWorkbook final : public Workbook {
  public:
    // Appends a sheet and returns its number.
    int addSheet(std::string windows1252Name, bool hasCells = true);
    // Keeps a text and returns the number that cells showing it refer to.
    std::uint32_t addText(std::string windows1252);
    // A text cell (or with `isError` an error value) showing text number `text`.
    void setTextCell(int sheet, int row, int column, std::uint32_t text, bool isError = false);
    void setCell(int sheet, int row, int column, Cell cell);

    int sheetCount() const override { return static_cast<int>(sheets_.size()); }
    std::string sheetName(int sheet) const override;
    Cell cell(int sheet, int row, int column) const override;

  private:
    struct StoredCell {
        double number = 0;       // Number, Boolean
        std::uint32_t text = 0;  // Text, Error: its number in texts_
        CellKind kind = CellKind::Empty;
    };
    struct Sheet {
        std::string name;
        bool hasCells = true;
        std::unordered_map<std::uint64_t, StoredCell> cells;
    };
    const Sheet& sheetAt(int sheet) const;
    void store(int sheet, int row, int column, StoredCell cell);
    void hold(std::size_t bytes);

    std::vector<Sheet> sheets_;
    std::vector<std::string> texts_;
    std::size_t heldBytes_ = 0;
};

// Opens the workbook at `path` by its content: "D0 CF 11 E0" is .xls, "PK 03 04" is .xlsx,
// whatever the name ends with. Throws WorkbookError (53 missing, 75 unreadable, 7 too large to
// hold, 432 for a file that is not a BIFF8 or Office Open XML workbook, an Excel 5.0/95
// workbook, an encrypted one or a damaged one: a zip member that fails its CRC-32 or size
// check included), the description naming the file. Nothing the container library reports
// while it reads goes to standard error: its first report ends a failure's description.
std::unique_ptr<Workbook> openWorkbook(const std::filesystem::path& path);

// The same for a workbook already in memory; the descriptions do not name a file.
std::unique_ptr<StoredWorkbook> readWorkbook(std::string_view bytes);

// Texts of the readers in the program's code page.
std::string windows1252FromUtf16(std::u16string_view text);
std::string windows1252FromUtf8(std::string_view text);

// The code of an error value by its number in a BIFF file (0x07 "#DIV/0!"); "" when unknown.
std::string_view errorCodeText(int biffCode);

}  // namespace plovix

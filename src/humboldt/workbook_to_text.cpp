#include "humboldt/workbook_to_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <new>
#include <string>

#include "app/atomic_file.h"
#include "app/numbered_error.h"
#include "app/operator.h"
#include "app/session.h"
#include "humboldt/workbook.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

namespace fs = std::filesystem;

// A cell position per test type: 1 Unconfined Compression, 2 Direct Shear, 3 Unconsolidated
// Undrained, 4 Consolidated Undrained, 5 CU with Pore Pressures, 6 Consolidated Drained.
using Six = std::array<int, 6>;

constexpr const char* kTitle = "Error writing NORVO file in Convert_XL_To_HSD";

[[noreturn]] void overflow() {
    throw WorkbookError{kErrWorkbookOverflow, "Overflow"};
}

// Positions were 16-bit integers: one beyond is an overflow, not a wrap.
int int16Of(long long value) {
    if (value < kInt16Min || value > kInt16Max) overflow();
    return static_cast<int>(value);
}

// A setting's text as a whole number: its leading number, halves to even.
int settingNumber(const std::string& text) {
    const double value = readNumber(text);
    if (!std::isfinite(value) || std::fabs(value) > 1e9) overflow();
    return int16Of(roundHalfEven(value));
}

// "Is the check cell 0?" as the number comparison did it: an empty cell is 0, a text must be a
// number in full, an error value cannot be compared.
bool equalsZero(const Cell& cell) {
    switch (cell.kind) {
        case CellKind::Empty:
            return true;
        case CellKind::Number:
        case CellKind::Boolean:
            return cell.number == 0;
        case CellKind::Error:
            break;
        case CellKind::Text: {
            std::string_view t = cell.text;
            while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
            while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
            if (t.starts_with('+')) t.remove_prefix(1);
            double value = 0;
            const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
            if (!t.empty() && error == std::errc() && end == t.data() + t.size()) return value == 0;
            break;
        }
    }
    throw WorkbookError{kErrWorkbookTypeMismatch,
                        "Type mismatch (the check cell holds \"" + cell.text + "\")"};
}

std::string nameWithoutFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class SpecimenWriter {
  public:
    SpecimenWriter(Session& s, const Workbook& book, std::string workbookName)
        : book_(book),
          workbookName_(std::move(workbookName)),
          type_(s.program.TestType),
          na_(s.settings.HumIncOne) {
        if (type_ < 1 || type_ > 6)
            throw WorkbookError{
                kErrWorkbookInvalidCall,
                "Invalid procedure call or argument (test type " + std::to_string(type_) + ")"};
        const int settingsIndex = type_;  // UCC 1, DS 2, UU 3; 4 to 6 have no settings
        firstSheet_ = settingNumber(s.settings.HumXLSheet(settingsIndex));
        firstRow_ = settingNumber(s.settings.HumXLRow(settingsIndex));
        const std::string& column = s.settings.HumXLCol(settingsIndex);
        if (column.empty())
            throw WorkbookError{kErrWorkbookInvalidCall,
                                "Invalid procedure call or argument (no first reading column)"};
        firstColumn_ = static_cast<unsigned char>(column[0]) - 64;
        increment_ = settingNumber(s.settings.HumXLColInc(settingsIndex));
    }

    int firstSheet() const { return firstSheet_; }

    // Specimen index k's sheet and the sheet most of its header comes from.
    void moveTo(int sheet) {
        sheet_ = sheet;
        k_ = sheet - firstSheet_;
        infoSheet_ = type_ == kDirectShear ? 2 : sheet;
    }

    // The check cell of specimen A: is it 0?
    bool firstCheckIsZero() const {
        return equalsZero(
            book_.cell(infoSheet_, pick({21, 27, 21, 21, 21, 21}), pick({7, 3, 7, 7, 7, 7})));
    }
    // The check cell of the next specimen, by the leading number of its text.
    bool nextCheckIsZero() const {
        return readNumber(text(infoSheet_, pick({21, 27, 21, 21, 21, 21}),
                               pick({7, dsCol(), 7, 7, 7, 7}))) == 0;
    }

    void write(AtomicFileWriter& out) {
        out_ = &out;
        writeHeader();
        writeReadingTableHeads();
        tabs(1);  // 24
        endLine();
        writeReadings();
        tabs(6);
        endLine();
    }

  private:
    int pick(const Six& entries) const { return entries[static_cast<std::size_t>(type_ - 1)]; }
    int dsCol() const { return int16Of(2LL * k_ + 3); }
    int dsRow() const { return int16Of(2LL * k_ + 14); }

    std::string text(int sheet, int row, int column) const {
        return book_.cell(sheet, row, column).text;
    }

    enum class On { Info, Own, First };  // sheets I, S and P

    int sheetOf(On on) const {
        if (on == On::Own) return sheet_;
        if (on == On::First && type_ == kDirectShear) return 1;
        return infoSheet_;
    }

    void tabs(int count) { line_.append(static_cast<std::size_t>(count), '\t'); }

    // A header field that reads "n/a" when the reading columns step by one.
    void field(int tabCount, On on, const Six& rows, const Six& columns) {
        tabs(tabCount);
        line_ += na_ ? "n/a" : text(sheetOf(on), pick(rows), pick(columns));
    }
    // A field that is always read.
    void cellField(int tabCount, int sheet, int row, int column) {
        tabs(tabCount);
        line_ += text(sheet, row, column);
    }

    void endLine() {
        line_ += "\r\n";
        (void)out_->write(line_);  // the first error sticks; it is looked at on commit
        line_.clear();
    }

    void writeHeader() {
        const On I = On::Info, S = On::Own, P = On::First;
        const int dc = dsCol(), dr = dsRow();
        tabs(1);  // 1
        line_ += book_.sheetName(infoSheet_);
        endLine();
        field(1, I, {3, 2, 3, 3, 3, 3}, {2, 2, 2, 2, 2, 2});  // 2
        field(4, I, {2, 1, 2, 2, 2, 2}, {8, 5, 8, 8, 8, 8});
        endLine();
        tabs(1);  // 3
        endLine();
        field(1, S, {4, 3, 4, 4, 4, 4}, {2, 2, 2, 2, 2, 2});  // 4
        endLine();
        field(1, S, {5, 4, 5, 5, 5, 5}, {2, 2, 2, 2, 2, 2});  // 5
        endLine();
        field(2, I, {6, 4, 6, 6, 6, 6}, {2, 2, 2, 2, 2, 2});  // 6
        field(5, I, {15, 24, 15, 15, 15, 15}, {2, 3, 2, 2, 2, 2});
        endLine();
        field(4, I, {8, 7, 8, 8, 8, 8}, {4, 2, 4, 4, 4, 4});  // 7
        field(1, I, {8, 7, 8, 8, 8, 8}, {5, 3, 5, 5, 5, 5});
        field(3, I, {17, 1, 17, 17, 17, 17}, {4, 1, 4, 4, 4, 4});
        field(1, I, {17, 1, 17, 17, 17, 17}, {5, 1, 5, 5, 5, 5});
        field(3, I, {20, 23, 20, 20, 20, 20}, {4, 2, 4, 4, 4, 4});
        field(2, I, {20, 25, 20, 20, 20, 20}, {7, 3, 7, 7, 7, 7});
        if (type_ >= kConsolidatedUndrained) {
            tabs(2);
            line_ += "After Consolidation";
        }
        field(2, I, {1, 25, 20, 20, 20, 20}, {1, 4, 9, 9, 9, 9});
        endLine();
        field(4, I, {9, 5, 9, 9, 9, 9}, {4, 2, 4, 4, 4, 4});  // 8
        field(1, I, {9, 5, 9, 9, 9, 9}, {5, 3, 5, 5, 5, 5});
        field(3, I, {18, 45, 18, 18, 18, 18}, {4, 2, 4, 4, 4, 4});
        field(1, I, {18, 45, 18, 18, 18, 18}, {5, dc, 5, 5, 5, 5});
        field(2, I, {21, 27, 21, 21, 21, 21}, {4, 2, 4, 4, 4, 4});
        field(2, I, {21, 27, 21, 21, 21, 21}, {7, dc, 7, 7, 7, 7});
        endLine();
        field(4, I, {10, 8, 10, 10, 10, 10}, {4, 2, 4, 4, 4, 4});  // 9
        field(1, I, {10, 8, 10, 10, 10, 10}, {5, 3, 5, 5, 5, 5});
        field(3, I, {18, 1, 18, 18, 18, 18}, {7, 1, 6, 6, 6, 6});
        field(1, I, {18, 1, 18, 18, 18, 18}, {8, 1, 7, 7, 7, 7});
        field(2, I, {22, 26, 22, 22, 22, 22}, {4, 2, 4, 4, 4, 4});
        field(2, I, {22, 26, 22, 22, 22, 22}, {7, dc, 7, 7, 7, 7});
        endLine();
        field(4, I, {11, 9, 11, 11, 11, 11}, {4, 2, 4, 4, 4, 4});  // 10
        field(1, I, {11, 9, 11, 11, 11, 11}, {5, 3, 5, 5, 5, 5});
        field(3, I, {18, 1, 18, 18, 18, 18}, {9, 1, 8, 8, 8, 8});
        field(1, I, {18, 1, 18, 18, 18, 18}, {10, 1, 9, 9, 9, 9});
        field(2, I, {23, 31, 23, 23, 23, 23}, {4, 2, 4, 4, 4, 4});
        field(2, I, {23, 31, 23, 23, 23, 23}, {7, dc, 7, 7, 7, 7});
        endLine();
        field(4, I, {12, dr, 12, 12, 12, 12}, {4, 2, 4, 4, 4, 4});  // 11
        field(1, I, {12, dr, 12, 12, 12, 12}, {5, 3, 5, 5, 5, 5});
        field(6, I, {24, 48, 24, 24, 24, 24}, {4, 2, 4, 4, 4, 4});
        field(2, I, {24, 48, 24, 24, 24, 24}, {7, dc, 7, 7, 7, 7});
        field(4, I, {1, 48, 24, 24, 24, 24}, {1, int16Of(dc + 1LL), 9, 9, 9, 9});
        endLine();
        field(4, I, {13, int16Of(dr + 1LL), 13, 13, 13, 13}, {4, 2, 4, 4, 4, 4});  // 12
        field(1, I, {13, int16Of(dr + 1LL), 13, 13, 13, 13}, {5, 3, 5, 5, 5, 5});
        field(6, I, {25, 50, 25, 25, 25, 25}, {4, 2, 4, 4, 4, 4});
        field(2, I, {25, 50, 25, 25, 25, 25}, {7, dc, 7, 7, 7, 7});
        endLine();
        field(11, I, {26, 51, 26, 26, 26, 26}, {4, 2, 4, 4, 4, 4});  // 13
        field(2, I, {26, 51, 26, 26, 26, 26}, {7, dc, 7, 7, 7, 7});
        endLine();
        field(11, I, {27, 52, 27, 27, 27, 27}, {4, 2, 4, 4, 4, 4});  // 14
        field(2, I, {27, 52, 27, 27, 27, 27}, {7, dc, 7, 7, 7, 7});
        endLine();
        tabs(1);  // 15
        endLine();
        field(2, I, {30, 24, 29, 29, 29, 29}, {2, dc, 2, 2, 2, 2});  // 16
        endLine();
        field(4, I, {32, 1, 31, 31, 31, 31}, {4, 1, 4, 4, 4, 4});  // 17
        field(1, I, {32, 1, 31, 31, 31, 31}, {5, 1, 5, 5, 5, 5});
        endLine();
        field(4, P, {1, 35, 32, 32, 32, 32}, {1, 7, 4, 4, 4, 4});  // 18
        field(1, P, {1, 35, 32, 32, 32, 32}, {1, int16Of(k_ + 10LL), 5, 5, 5, 5});
        endLine();
        field(4, I, {1, 1, 33, 33, 33, 33}, {1, 1, 4, 4, 4, 4});  // 19
        field(1, I, {1, 1, 33, 33, 33, 33}, {1, 1, 5, 5, 5, 5});
        endLine();
        field(4, I, {33, 1, 34, 34, 34, 34}, {5, 1, 4, 4, 4, 4});  // 20
        field(1, I, {33, 1, 34, 34, 34, 34}, {6, 1, 5, 5, 5, 5});
        field(2, I, {33, 1, 34, 34, 34, 34}, {9, 1, 8, 8, 8, 8});
        field(1, I, {33, 1, 34, 34, 34, 34}, {10, 1, 9, 9, 9, 9});
        endLine();
        field(1, S, {30, 1, 29, 29, 29, 29}, {2, 2, 2, 2, 2, 2});  // 21
        endLine();
    }

    // Lines 22 and 23: the column headings and units above the first reading row. Test types
    // 4 to 6 take fixed cells; the columns Direct Shear alone has are read even when every
    // other field reads "n/a".
    void writeReadingTableHeads() {
        const bool triaxial = type_ >= kConsolidatedUndrained;
        const bool ds = type_ == kDirectShear;
        const int c = triaxial ? 3 : firstColumn_;
        const auto at = [&](int offset) { return int16Of(static_cast<long long>(c) + offset); };
        const int fourth = pick({4, 3, 1, 1, 1, 1});
        const int headingRow =
            triaxial ? 38 : int16Of(firstRow_ - static_cast<long long>(pick({3, 5, 4, 4, 4, 4})));
        const int unitRow = triaxial ? 40 : int16Of(firstRow_ - 2LL);
        const auto optional = [&](int row, int column) {
            line_ += na_ ? "n/a" : text(sheet_, row, column);
        };

        tabs(1);
        optional(headingRow, at(0));
        if (ds) cellField(1, sheet_, headingRow, at(1));
        tabs(1);
        optional(headingRow, at(2));
        tabs(1);
        optional(headingRow, at(fourth));
        if (ds) cellField(1, sheet_, headingRow, at(4));
        endLineKeeping();

        tabs(ds ? 3 : 2);
        optional(unitRow, at(2));
        tabs(1);
        optional(unitRow, at(fourth));
        if (ds) cellField(1, sheet_, unitRow, at(4));
        endLineKeeping();
    }

    // Ends a line and remembers its text: the Unconfined Compression rows look back at it.
    void endLineKeeping() {
        previous_ = line_;
        endLine();
    }

    void writeReadings() {
        if (type_ >= kConsolidatedUndrained) return;
        const long long c = firstColumn_, n = increment_;
        for (int row = firstRow_;; ++row) {
            if (row > kInt16Max)
                throw WorkbookError{
                    kErrWorkbookOverflow,
                    "Overflow (" + workbookName_ + ", sheet " + std::to_string(sheet_) + " \"" +
                        book_.sheetName(sheet_) + "\": the readings go on past row " +
                        std::to_string(kInt16Max) + ", the last row that can be read)"};
            const Cell first = book_.cell(sheet_, row, firstColumn_);
            if (first.kind == CellKind::Empty) return;
            if (type_ == kUnconfinedCompression) {
                // A row after a "specimen" line, or one whose first value failed, is written as
                // zeros so that the reading count stays right.
                if (previous_.find("specimen") != std::string::npos ||
                    first.kind == CellKind::Error) {
                    line_ = "\t0\t0\t0";
                } else {
                    const long long step = n == 1 ? 3 : n;
                    tabs(1);
                    line_ += first.text;
                    cellField(1, sheet_, row, int16Of(c + step + (na_ ? n : 0)));
                    cellField(1, sheet_, row, int16Of(c + step + (na_ ? 0 : n)));
                }
            } else {
                const std::array<long long, 5> ds = {0, n, 2 * n, 3 * n, 4 * n};
                const std::array<long long, 3> uu = {0, 2 * n, n};
                tabs(1);
                line_ += first.text;
                if (type_ == kDirectShear)
                    for (std::size_t i = 1; i < ds.size(); ++i)
                        cellField(1, sheet_, row, int16Of(c + ds[i]));
                else
                    for (std::size_t i = 1; i < uu.size(); ++i)
                        cellField(1, sheet_, row, int16Of(c + uu[i]));
            }
            previous_ = line_;
            endLine();
        }
    }

    const Workbook& book_;
    const std::string workbookName_;  // for messages
    const int type_;
    const bool na_;
    int firstSheet_ = 0, firstRow_ = 0, firstColumn_ = 0, increment_ = 0;
    int sheet_ = 0, infoSheet_ = 0, k_ = 0;
    AtomicFileWriter* out_ = nullptr;
    std::string line_, previous_;
};

void showFailure(Operator& op, int number, const std::string& description) {
    op.showMessage("Error: " + std::to_string(number) + " - " + description, kTitle,
                   MessageIcon::None);
}

}  // namespace

bool convertWorkbookToText(Session& s, Operator& op, const Workbook& book,
                           const fs::path& workbookPath) {
    for (int n = 1; n <= kMaxSpecimen; ++n) s.specimens.WorkbookSpecimen(n).clear();
    try {
        SpecimenWriter writer(s, book, workbookPath.filename().string());
        const std::string path = workbookPath.string();
        if (path.size() < 4)
            throw WorkbookError{kErrWorkbookInvalidCall,
                                "Invalid procedure call or argument (workbook name " + path + ")"};
        const std::string base = path.substr(0, path.size() - 4);
        const int first = writer.firstSheet();
        int sheet = first;
        writer.moveTo(sheet);
        bool stop = writer.firstCheckIsZero();
        while (sheet != first + kMaxSpecimen && !stop) {
            const int n = sheet - first + 1;
            const std::string output = base + std::to_string(n) + ".TXT";
            AtomicFileWriter out{fs::path(output)};
            writer.write(out);
            if (const std::error_code error = out.commit()) {
                const NumberedError e = numberedErrorOf(error);
                showFailure(op, e.number, e.description + " (" + output + ")");
                return false;
            }
            const std::string name = nameWithoutFolder(output);
            if (n == 1) {
                s.settings.DAFile = output;
                s.settings.DAName = name;
            }
            s.specimens.WorkbookSpecimen(n) = name;
            if (book.sheetCount() > 1) {
                sheet = int16Of(sheet + 1LL);
                writer.moveTo(sheet);
                stop = writer.nextCheckIsZero();
            } else {
                stop = true;
            }
        }
    } catch (const WorkbookError& e) {
        showFailure(op, e.number, e.description);
        return false;
    } catch (const std::bad_alloc&) {
        showFailure(op, kErrWorkbookOutOfMemory,
                    workbookPath.filename().string() +
                        ": the workbook is too large to convert (there is not enough memory)");
        return false;
    }
    return true;
}

bool Convert_XL_To_HSD(Session& s, Operator& op, const fs::path& workbook) {
    for (int n = 1; n <= kMaxSpecimen; ++n) s.specimens.WorkbookSpecimen(n).clear();
    std::unique_ptr<Workbook> book;
    try {
        book = openWorkbook(workbook);
    } catch (const WorkbookError& e) {
        showFailure(op, e.number, e.description);
        return false;
    }
    return convertWorkbookToText(s, op, *book, workbook);
}

}  // namespace plovix

// Opening a workbook: the file's first bytes choose the reader, libgsf opens the container
// (OLE2 compound file or zip), our own parsers read the cells. What both readers share lives
// here too: the stored workbook, cell texts and the Windows-1252 conversion.

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "humboldt/workbook.h"
#include "humboldt/workbook_xls.h"
#include "humboldt/workbook_xlsx.h"
#include "text/number_format.h"

namespace plovix {

namespace fs = std::filesystem;

// --- Cells and the stored workbook -----------------------------------------------------------

Cell Cell::numberCell(double value) {
    return {CellKind::Number, value, formatGeneralNumber(value)};
}

Cell Cell::booleanCell(bool value) {
    return {CellKind::Boolean, value ? -1.0 : 0.0, value ? "True" : "False"};
}

Cell Cell::errorCell(std::string code) {
    return {CellKind::Error, 0, std::move(code)};
}

Cell Cell::textCell(std::string windows1252) {
    return {CellKind::Text, 0, std::move(windows1252)};
}

namespace {

std::uint64_t cellKey(int row, int column) {
    return (static_cast<std::uint64_t>(row) << 32) | static_cast<std::uint32_t>(column);
}

}  // namespace

int StoredWorkbook::addSheet(std::string windows1252Name, bool hasCells) {
    sheets_.push_back(Sheet{std::move(windows1252Name), hasCells, {}});
    return static_cast<int>(sheets_.size());
}

void StoredWorkbook::setCell(int sheet, int row, int column, Cell cell) {
    if (sheet < 1 || sheet > sheetCount() || row < 1 || column < 1) return;
    auto& cells = sheets_[static_cast<std::size_t>(sheet - 1)].cells;
    if (cell.kind == CellKind::Empty)
        cells.erase(cellKey(row, column));
    else
        cells[cellKey(row, column)] = std::move(cell);
}

const StoredWorkbook::Sheet& StoredWorkbook::sheetAt(int sheet) const {
    if (sheet < 1 || sheet > sheetCount())
        throw WorkbookError{kErrWorkbookSubscript,
                            "Subscript out of range (sheet " + std::to_string(sheet) +
                                " of a workbook of " + std::to_string(sheetCount()) + ")"};
    return sheets_[static_cast<std::size_t>(sheet - 1)];
}

std::string StoredWorkbook::sheetName(int sheet) const {
    return sheetAt(sheet).name;
}

Cell StoredWorkbook::cell(int sheet, int row, int column) const {
    const Sheet& s = sheetAt(sheet);
    if (row < 1 || column < 1)
        throw WorkbookError{kErrWorkbookBadCell,
                            "Application-defined or object-defined error (cell row " +
                                std::to_string(row) + ", column " + std::to_string(column) + ")"};
    if (!s.hasCells)
        throw WorkbookError{kErrWorkbookNoCells,
                            "Object doesn't support this property or method (sheet " +
                                std::to_string(sheet) + " is a chart)"};
    const auto it = s.cells.find(cellKey(row, column));
    return it == s.cells.end() ? Cell{} : it->second;
}

// --- Texts ----------------------------------------------------------------------------------

namespace {

// Windows-1252 0x80..0x9F. The five bytes the code page leaves undefined keep the C1 control
// of the same number, as Windows converts them both ways.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kWindows1252High.size(); ++i)
        if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

std::string windows1252FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDFFF) {
            // A pair is one character beyond the code page; a lone half is one too.
            if (u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            out += '?';
        } else {
            out += windows1252Byte(u);
        }
    }
    return out;
}

std::string windows1252FromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = b;
        if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
        } else if (b >= 0xE0) {
            extra = b <= 0xEF ? 2 : -1;
            c = b & 0x0F;
        } else if (b >= 0xC2) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0x80) {
            extra = -1;
        }
        ++i;
        bool valid = extra >= 0;
        for (int k = 0; valid && k < extra; ++k, ++i) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        out += valid ? windows1252Byte(c) : '?';
    }
    return out;
}

std::string_view errorCodeText(int biffCode) {
    switch (biffCode) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2A:
            return "#N/A";
        case 0x2B:
            return "#GETTING_DATA";
        default:
            return "";
    }
}

// --- Containers -----------------------------------------------------------------------------

namespace {

// A workbook larger than this is refused before it is read: Humboldt workbooks are a few
// hundred kilobytes, and a damaged zip must not make us unpack without end.
constexpr std::size_t kMaxWorkbookBytes = 256u << 20;

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T>
using GsfPtr = std::unique_ptr<T, GObjectUnref>;

[[noreturn]] void refuse(const std::string& why) {
    throw WorkbookError{kErrWorkbookUnreadable, why};
}

std::string readWholeStream(GsfInput* input, const std::string& what) {
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxWorkbookBytes)
        refuse("the workbook's " + what + " is damaged or too large to read");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 16);
        if (gsf_input_read(input, chunk, reinterpret_cast<guint8*>(bytes.data() + done)) == nullptr)
            refuse("the workbook's " + what + " cannot be read; the file is damaged");
        done += chunk;
    }
    return bytes;
}

bool sameNameIgnoringCase(const char* a, std::string_view b) {
    if (a == nullptr || std::strlen(a) != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The child of `folder` named `name` in any letter case: writers differ ("Workbook",
// "WORKBOOK"; zip part names are case-insensitive too).
GsfPtr<GsfInput> childNamed(GsfInfile* folder, std::string_view name) {
    const int count = gsf_infile_num_children(folder);
    for (int i = 0; i < count; ++i)
        if (sameNameIgnoringCase(gsf_infile_name_by_index(folder, i), name))
            return GsfPtr<GsfInput>(gsf_infile_child_by_index(folder, i));
    return nullptr;
}

std::string gerrorText(GError* error) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : "";
    if (error != nullptr) g_error_free(error);
    return text;
}

std::unique_ptr<StoredWorkbook> readCompoundFile(GsfInput* input) {
    GError* error = nullptr;
    GsfPtr<GsfInfile> ole(gsf_infile_msole_new(input, &error));
    if (!ole)
        refuse("the file starts as an Excel 97-2003 workbook but its structure is damaged (" +
               gerrorText(error) + ")");
    if (childNamed(ole.get(), "EncryptedPackage"))
        refuse("the workbook is protected by a password (encrypted); save it without one");
    GsfPtr<GsfInput> stream = childNamed(ole.get(), "Workbook");
    if (!stream) {
        if (childNamed(ole.get(), "Book"))
            refuse(
                "the workbook is in the Excel 5.0/95 format, which is not read; save it as an "
                "Excel 97-2003 (.xls) or Excel (.xlsx) workbook");
        refuse("the file is an OLE2 document without a workbook in it (not an Excel file)");
    }
    return readBiff8Workbook(readWholeStream(stream.get(), "Workbook stream"));
}

std::unique_ptr<StoredWorkbook> readZipFile(GsfInput* input) {
    GError* error = nullptr;
    GsfPtr<GsfInfile> zip(gsf_infile_zip_new(input, &error));
    if (!zip)
        refuse("the file starts as an Excel (.xlsx) workbook but its zip structure is damaged (" +
               gerrorText(error) + ")");
    GsfInfile* root = zip.get();
    const auto readPart = [root](const std::string& partName) -> std::optional<std::string> {
        GsfPtr<GsfInput> node;
        std::string_view rest = partName;
        while (true) {
            const std::size_t slash = rest.find('/');
            const std::string_view name = rest.substr(0, slash);
            GsfInfile* folder = node ? GSF_INFILE(node.get()) : root;
            if (node && !GSF_IS_INFILE(node.get())) return std::nullopt;
            GsfPtr<GsfInput> child = childNamed(folder, name);
            if (!child) return std::nullopt;
            node = std::move(child);
            if (slash == std::string_view::npos) break;
            rest.remove_prefix(slash + 1);
        }
        if (GSF_IS_INFILE(node.get()) && gsf_infile_num_children(GSF_INFILE(node.get())) > 0)
            return std::nullopt;
        return readWholeStream(node.get(), "part " + partName);
    };
    return readXlsxWorkbook(readPart);
}

}  // namespace

std::unique_ptr<StoredWorkbook> readWorkbook(std::string_view bytes) {
    static constexpr std::string_view kOle2 = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    static constexpr std::string_view kZip = "PK\x03\x04";
    const bool ole2 = bytes.substr(0, kOle2.size()) == kOle2;
    if (!ole2 && bytes.substr(0, kZip.size()) != kZip)
        refuse("the file is not an Excel 97-2003 (.xls) or Excel (.xlsx) workbook");
    if (bytes.size() > kMaxWorkbookBytes) refuse("the workbook is too large to read");
    GsfPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                                static_cast<gsf_off_t>(bytes.size()), FALSE));
    return ole2 ? readCompoundFile(input.get()) : readZipFile(input.get());
}

std::unique_ptr<Workbook> openWorkbook(const fs::path& path) {
    const std::string name = path.filename().string();
    std::error_code error;
    const auto status = fs::status(path, error);
    if (!fs::exists(status))
        throw WorkbookError{kErrWorkbookNotFound, "File not found: " + path.string()};
    const WorkbookError unreadable{kErrWorkbookAccess,
                                   "Path/File access error (" + path.string() + " cannot be read)"};
    if (fs::is_directory(status)) throw unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw unreadable;
    std::string bytes;
    std::array<char, 1 << 16> buffer;
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        bytes.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxWorkbookBytes)
            throw WorkbookError{kErrWorkbookUnreadable,
                                name + ": the workbook is too large to read"};
    }
    if (in.bad()) throw unreadable;
    try {
        return readWorkbook(bytes);
    } catch (WorkbookError& e) {
        e.description = name + ": " + e.description;
        throw;
    }
}

}  // namespace plovix

// Opening a workbook: the file's first bytes choose the reader, libgsf opens the container
// (OLE2 compound file or zip), our own parsers read the cells. What both readers share lives
// here too: the stored workbook, cell texts and the Windows-1252 conversion.

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile-zip.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <new>
#include <optional>
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

// What one stored cell costs in the map, node and bucket included, roughly, and what a workbook
// may hold in all.
constexpr std::size_t kStoredCellBytes = 64;
constexpr std::size_t kMaxHeldBytes = 512u << 20;

}  // namespace

void StoredWorkbook::hold(std::size_t bytes) {
    heldBytes_ += bytes;
    if (heldBytes_ > kMaxHeldBytes)
        throw WorkbookError{kErrWorkbookOutOfMemory,
                            "the workbook is too large to read (its cells need more than " +
                                std::to_string(kMaxHeldBytes >> 20) + " MB)"};
}

int StoredWorkbook::addSheet(std::string windows1252Name, bool hasCells) {
    hold(sizeof(Sheet) + windows1252Name.size());
    sheets_.push_back(Sheet{std::move(windows1252Name), hasCells, {}});
    return static_cast<int>(sheets_.size());
}

std::uint32_t StoredWorkbook::addText(std::string windows1252) {
    hold(sizeof(std::string) + windows1252.size());
    texts_.push_back(std::move(windows1252));
    return static_cast<std::uint32_t>(texts_.size() - 1);
}

void StoredWorkbook::store(int sheet, int row, int column, StoredCell cell) {
    if (sheet < 1 || sheet > sheetCount() || row < 1 || column < 1) return;
    auto& cells = sheets_[static_cast<std::size_t>(sheet - 1)].cells;
    if (cell.kind == CellKind::Empty) {
        cells.erase(cellKey(row, column));
    } else if (const auto [it, added] = cells.try_emplace(cellKey(row, column), cell); !added) {
        it->second = cell;
    } else {
        hold(kStoredCellBytes);
    }
}

void StoredWorkbook::setTextCell(int sheet, int row, int column, std::uint32_t text, bool isError) {
    if (text >= texts_.size()) return;
    store(sheet, row, column, {0, text, isError ? CellKind::Error : CellKind::Text});
}

void StoredWorkbook::setCell(int sheet, int row, int column, Cell cell) {
    if (cell.kind == CellKind::Text || cell.kind == CellKind::Error)
        setTextCell(sheet, row, column, addText(std::move(cell.text)),
                    cell.kind == CellKind::Error);
    else
        store(sheet, row, column, {cell.number, 0, cell.kind});
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
    if (it == s.cells.end()) return Cell{};
    const StoredCell& c = it->second;
    switch (c.kind) {
        case CellKind::Number:
            return Cell::numberCell(c.number);
        case CellKind::Boolean:
            return Cell::booleanCell(c.number != 0);
        case CellKind::Text:
            return Cell::textCell(texts_[c.text]);
        case CellKind::Error:
            return Cell::errorCell(texts_[c.text]);
        case CellKind::Empty:
            break;
    }
    return Cell{};
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
// hundred kilobytes, and a damaged zip must not make us unpack without end. The parts of one
// zip together may unpack to a few times that (sheets that all name one huge part included).
constexpr std::size_t kMaxWorkbookBytes = 256u << 20;
constexpr std::uint64_t kMaxUnpackedBytes = 4ull * kMaxWorkbookBytes;

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T>
using GsfPtr = std::unique_ptr<T, GObjectUnref>;

[[noreturn]] void refuse(const std::string& why) {
    throw WorkbookError{kErrWorkbookUnreadable, why};
}

WorkbookError outOfMemory(const std::string& file = "") {
    return {kErrWorkbookOutOfMemory,
            file + "the workbook is too large to read (there is not enough memory)"};
}

// libgsf tells of damage it meets (failed assertions, warnings) through GLib's log and
// g_printerr, which by default write to standard error beside our own message. While a workbook
// is read those texts are kept here instead: the first ends the description of a failure, the
// others are dropped. GLib's handlers are process-wide, so they are replaced only for the span
// of one read and put back after it; the engine reads one workbook at a time.
class LibraryDiagnostics {
  public:
    LibraryDiagnostics() {
        for (std::size_t i = 0; i < kDomains.size(); ++i)
            ids_[i] = g_log_set_handler(kDomains[i], kLevels, &LibraryDiagnostics::keep, this);
        previousPrinterr_ = g_set_printerr_handler([](const gchar*) {});
    }
    ~LibraryDiagnostics() {
        g_set_printerr_handler(previousPrinterr_);
        for (std::size_t i = 0; i < kDomains.size(); ++i)
            g_log_remove_handler(kDomains[i], ids_[i]);
    }
    LibraryDiagnostics(const LibraryDiagnostics&) = delete;
    LibraryDiagnostics& operator=(const LibraryDiagnostics&) = delete;

    const std::string& first() const { return first_; }

  private:
    // libgsf's own domains, its files without one (nullptr) and GLib's, whose argument checks
    // fail when libgsf hands them what it read from a damaged file.
    static constexpr std::array<const char*, 6> kDomains = {nullptr,      "libgsf", "libgsf:msole",
                                                            "libgsf:zip", "GLib",   "GLib-GObject"};
    static constexpr auto kLevels = static_cast<GLogLevelFlags>(
        G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE);

    static void keep(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer self) {
        auto& first = static_cast<LibraryDiagnostics*>(self)->first_;
        if (first.empty() && message != nullptr)
            first =
                (domain != nullptr && *domain != '\0' ? std::string(domain) + ": " : "") + message;
    }

    std::array<guint, kDomains.size()> ids_{};
    GPrintFunc previousPrinterr_ = nullptr;
    std::string first_;
};

std::string readWholeStream(GsfInput* input, const std::string& what, std::uint64_t largest) {
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 ||
        static_cast<std::uint64_t>(size) > std::min<std::uint64_t>(largest, kMaxWorkbookBytes))
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

unsigned char asciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Names in OLE2 files and zip part names are matched in any letter case: writers differ
// ("Workbook", "WORKBOOK"). In a zip part name "\" stands for "/", as some writers put it.
bool sameName(std::string_view stored, std::string_view wanted) {
    if (stored.size() != wanted.size()) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const auto a = static_cast<unsigned char>(stored[i] == '\\' ? '/' : stored[i]);
        if (asciiLower(a) != asciiLower(static_cast<unsigned char>(wanted[i]))) return false;
    }
    return true;
}

GsfPtr<GsfInput> childNamed(GsfInfile* folder, std::string_view name, bool exactly = false) {
    const int count = gsf_infile_num_children(folder);
    for (int i = 0; i < count; ++i) {
        const char* child = gsf_infile_name_by_index(folder, i);
        if (child != nullptr && (exactly ? name == child : sameName(child, name)))
            return GsfPtr<GsfInput>(gsf_infile_child_by_index(folder, i));
    }
    return nullptr;
}

std::string gerrorText(GError* error) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : "";
    if (error != nullptr) g_error_free(error);
    return text;
}

std::unique_ptr<StoredWorkbook> readCompoundFile(GsfInput* input, std::size_t fileSize) {
    GError* error = nullptr;
    GsfPtr<GsfInfile> ole(gsf_infile_msole_new(input, &error));
    if (!ole)
        refuse("the file starts as an Excel 97-2003 workbook but its structure is damaged (" +
               gerrorText(error) + ")");
    if (childNamed(ole.get(), "EncryptedPackage"))
        refuse("the workbook is protected by a password (encrypted); save it without one");
    // Excel 5.0/95 named the stream "Book", and some writers still do for BIFF8: the version
    // in its first record tells them apart.
    GsfPtr<GsfInput> stream = childNamed(ole.get(), "Workbook");
    if (!stream) stream = childNamed(ole.get(), "Book");
    if (!stream)
        refuse("the file is an OLE2 document without a workbook in it (not an Excel file)");
    // A stream cannot be larger than the file that holds it.
    return readBiff8Workbook(readWholeStream(stream.get(), "Workbook stream", fileSize));
}

std::uint64_t littleEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// A zip member as the central directory lists it.
struct ZipMember {
    std::string name;  // as stored
    std::uint64_t crc = 0, size = 0;
};

// The central directory, read here as well as by libgsf, which checks neither a member's
// CRC-32 nor its size, and takes "\" in a name for a letter. A declared size that the packed
// data could not yield (deflate packs at most 1032 to 1) is damage, so that it cannot make us
// allocate what the file does not hold.
std::vector<ZipMember> zipDirectory(std::string_view zip) {
    const auto damaged = [] { refuse("the workbook is damaged (its zip directory is broken)"); };
    const auto fits = [&](std::uint64_t at, std::uint64_t length, std::string_view signature) {
        return at <= zip.size() && zip.size() - at >= length &&
               zip.substr(static_cast<std::size_t>(at), 4) == signature;
    };
    // The end record: the last "PK 05 06" within its 22 bytes and a comment of up to 64 KB.
    if (zip.size() < 22) damaged();
    std::size_t end = zip.size() - 22;
    const std::size_t lowest = end > 0xFFFF ? end - 0xFFFF : 0;
    while (!fits(end, 22, "PK\x05\x06")) {
        if (end == lowest) damaged();
        --end;
    }
    std::uint64_t count = littleEndian(zip, end + 10, 2), at = littleEndian(zip, end + 16, 4);
    if (end >= 20 && fits(end - 20, 20, "PK\x06\x07")) {  // Zip64: the larger end record
        const std::uint64_t record = littleEndian(zip, end - 12, 8);
        if (!fits(record, 56, "PK\x06\x06")) damaged();
        count = littleEndian(zip, static_cast<std::size_t>(record) + 32, 8);
        at = littleEndian(zip, static_cast<std::size_t>(record) + 48, 8);
    }
    std::vector<ZipMember> members;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!fits(at, 46, "PK\x01\x02")) damaged();
        const auto p = static_cast<std::size_t>(at);
        const std::size_t nameLength = littleEndian(zip, p + 28, 2),
                          extraLength = littleEndian(zip, p + 30, 2),
                          variable = nameLength + extraLength + littleEndian(zip, p + 32, 2);
        if (zip.size() - p - 46 < variable) damaged();
        ZipMember member{std::string(zip.substr(p + 46, nameLength)), littleEndian(zip, p + 16, 4),
                         littleEndian(zip, p + 24, 4)};
        std::uint64_t packed = littleEndian(zip, p + 20, 4);
        // Zip64 sizes (extra field 1) stand in for those written as FFFFFFFF, in this order.
        std::string_view extra = zip.substr(p + 46 + nameLength, extraLength);
        while (extra.size() >= 4 && littleEndian(extra, 2, 2) <= extra.size() - 4) {
            const std::size_t length = littleEndian(extra, 2, 2);
            std::string_view data = extra.substr(4, length);
            for (std::uint64_t* value : {&member.size, &packed})
                if (littleEndian(extra, 0, 2) == 1 && *value == 0xFFFFFFFF && data.size() >= 8) {
                    *value = littleEndian(data, 0, 8);
                    data.remove_prefix(8);
                }
            extra.remove_prefix(4 + length);
        }
        const auto method = littleEndian(zip, p + 10, 2);
        if ((method == 0 && member.size != packed) ||
            (method == 8 && member.size / 1032 > packed + 1))
            refuse("the workbook is damaged (the part " + member.name +
                   " is listed larger than its data can be)");
        members.push_back(std::move(member));
        at += 46 + variable;
    }
    return members;
}

std::unique_ptr<StoredWorkbook> readZipFile(std::string_view bytes, GsfInput* input) {
    GError* error = nullptr;
    GsfPtr<GsfInfile> zip(gsf_infile_zip_new(input, &error));
    if (!zip)
        refuse("the file starts as an Excel (.xlsx) workbook but its zip structure is damaged (" +
               gerrorText(error) + ")");
    const std::vector<ZipMember> members = zipDirectory(bytes);
    std::uint64_t unpacked = 0;
    const auto readPart = [&](const std::string& partName) -> std::optional<std::string> {
        const auto member = std::find_if(members.begin(), members.end(), [&](const ZipMember& m) {
            return sameName(m.name, partName);
        });
        if (member == members.end()) return std::nullopt;
        // libgsf files the member under its stored name, split at "/".
        GsfPtr<GsfInput> node;
        for (std::string_view rest = member->name; node == nullptr || !rest.empty();) {
            const std::size_t slash = std::min(rest.find('/'), rest.size());
            if (node && !GSF_IS_INFILE(node.get())) return std::nullopt;
            node =
                childNamed(node ? GSF_INFILE(node.get()) : zip.get(), rest.substr(0, slash), true);
            if (!node) return std::nullopt;
            rest.remove_prefix(std::min(slash + 1, rest.size()));
        }
        if (GSF_IS_INFILE(node.get()) && gsf_infile_num_children(GSF_INFILE(node.get())) > 0)
            return std::nullopt;
        unpacked += member->size;
        if (unpacked > kMaxUnpackedBytes) refuse("the workbook is too large to read");
        const std::string damaged = "the workbook is damaged (the part " + partName;
        if (static_cast<std::uint64_t>(gsf_input_size(node.get())) != member->size)
            refuse(damaged + " is not the size its zip directory lists)");
        std::string data = readWholeStream(node.get(), "part " + partName, member->size);
        if (crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())) !=
            member->crc)
            refuse(damaged + " fails its CRC-32 check)");
        return data;
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
    const LibraryDiagnostics diagnostics;
    try {
        GsfPtr<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8*>(bytes.data()),
                                                    static_cast<gsf_off_t>(bytes.size()), FALSE));
        return ole2 ? readCompoundFile(input.get(), bytes.size()) : readZipFile(bytes, input.get());
    } catch (WorkbookError& e) {
        if (!diagnostics.first().empty()) e.description += "; details: " + diagnostics.first();
        throw;
    } catch (const std::bad_alloc&) {
        throw outOfMemory();
    }
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
    try {
        std::string bytes;
        std::array<char, 1 << 16> buffer;
        while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
            bytes.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
            if (bytes.size() > kMaxWorkbookBytes) refuse("the workbook is too large to read");
        }
        if (in.bad()) throw unreadable;
        return readWorkbook(bytes);
    } catch (WorkbookError& e) {
        if (e.number != kErrWorkbookAccess) e.description = name + ": " + e.description;
        throw;
    } catch (const std::bad_alloc&) {
        throw outOfMemory(name + ": ");
    }
}

}  // namespace plovix

#include "humboldt/workbook_xls.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace plovix {

namespace {

// Record types of BIFF8 used here.
enum : std::uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kRString = 0x00D6,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kBof = 0x0809,
};
constexpr std::uint16_t kBiff8Version = 0x0600;
constexpr std::uint16_t kBiff5Version = 0x0500;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;

[[noreturn]] void refuse(const std::string& why) {
    throw WorkbookError{kErrWorkbookUnreadable, why};
}

[[noreturn]] void damaged(std::uint16_t type, std::size_t offset) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string id = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) id += kHex[(type >> shift) & 0xF];
    refuse("the workbook is damaged (record " + id + " at byte " + std::to_string(offset) + ")");
}

struct Record {
    std::uint16_t type = 0;
    std::size_t offset = 0;  // of its header in the stream
    std::string_view data;
};

// Walks the records of the stream from a given byte.
class RecordCursor {
  public:
    RecordCursor(std::string_view stream, std::size_t position)
        : stream_(stream), position_(position) {}

    bool atEnd() const { return position_ + 4 > stream_.size(); }

    Record next() {
        Record r;
        r.offset = position_;
        if (atEnd()) damaged(0, position_);
        const auto* p = reinterpret_cast<const unsigned char*>(stream_.data() + position_);
        r.type = static_cast<std::uint16_t>(p[0] | p[1] << 8);
        const std::size_t length = static_cast<std::size_t>(p[2] | p[3] << 8);
        if (position_ + 4 + length > stream_.size()) damaged(r.type, position_);
        r.data = stream_.substr(position_ + 4, length);
        position_ += 4 + length;
        return r;
    }

    // The CONTINUE records right after the current one.
    std::vector<std::string_view> continuations() {
        std::vector<std::string_view> parts;
        while (!atEnd() && peekType() == kContinue) parts.push_back(next().data);
        return parts;
    }

  private:
    std::uint16_t peekType() const {
        const auto* p = reinterpret_cast<const unsigned char*>(stream_.data() + position_);
        return static_cast<std::uint16_t>(p[0] | p[1] << 8);
    }

    std::string_view stream_;
    std::size_t position_;
};

// Reads a record together with its CONTINUE records. Numbers cross from one record into the
// next as if the data were one; the characters of a string that goes on in the next record are
// preceded there by a new option byte that says whether they are one or two bytes wide.
class RecordReader {
  public:
    RecordReader(const Record& record, std::vector<std::string_view> continuations = {})
        : type_(record.type), offset_(record.offset) {
        parts_.push_back(record.data);
        parts_.insert(parts_.end(), continuations.begin(), continuations.end());
    }

    bool atEnd() {
        while (part_ < parts_.size() && at_ == parts_[part_].size()) nextPart();
        return part_ >= parts_.size();
    }

    std::uint8_t u8() {
        if (atEnd()) damaged(type_, offset_);
        return static_cast<std::uint8_t>(parts_[part_][at_++]);
    }
    std::uint16_t u16() {
        const std::uint16_t low = u8();
        return static_cast<std::uint16_t>(low | u8() << 8);
    }
    std::uint32_t u32() {
        const std::uint32_t low = u16();
        return low | static_cast<std::uint32_t>(u16()) << 16;
    }
    double f64() {
        const std::uint64_t low = u32();
        return std::bit_cast<double>(low | static_cast<std::uint64_t>(u32()) << 32);
    }
    void skip(std::uint64_t count) {
        for (; count > 0; --count) u8();
    }

    // `count` characters, `wide` telling the width of the first ones.
    std::u16string characters(std::size_t count, bool wide) {
        std::u16string text;
        while (count > 0) {
            if (part_ < parts_.size() && at_ == parts_[part_].size()) {
                nextPart();
                if (part_ >= parts_.size()) damaged(type_, offset_);
                wide = (u8() & 0x01) != 0;
                continue;
            }
            if (part_ >= parts_.size()) damaged(type_, offset_);
            const std::size_t width = wide ? 2 : 1;
            const std::size_t here = std::min(count, (parts_[part_].size() - at_) / width);
            if (here == 0) damaged(type_, offset_);  // half a character before the break
            const auto* p = reinterpret_cast<const unsigned char*>(parts_[part_].data() + at_);
            for (std::size_t i = 0; i < here; ++i)
                text += wide ? static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8)
                             : static_cast<char16_t>(p[i]);
            at_ += here * width;
            count -= here;
        }
        return text;
    }

    // A string with a 16-bit count (XLUnicodeString, or with rich = true the shared-string
    // form XLUnicodeRichExtendedString, whose formatting runs and phonetic data are skipped).
    std::string unicodeString(bool rich) {
        const std::uint16_t count = u16();
        const std::uint8_t options = u8();
        std::uint32_t runs = 0, extended = 0;
        if (rich && (options & 0x08) != 0) runs = u16();
        if (rich && (options & 0x04) != 0) extended = u32();
        std::string text = windows1252FromUtf16(characters(count, (options & 0x01) != 0));
        skip(4ull * runs + extended);
        return text;
    }

  private:
    void nextPart() {
        ++part_;
        at_ = 0;
    }

    std::uint16_t type_;
    std::size_t offset_;
    std::vector<std::string_view> parts_;
    std::size_t part_ = 0, at_ = 0;
};

struct SheetEntry {
    std::uint32_t position = 0;
    int number = 0;
    bool hasCells = true;
};

Cell numberOrDamaged(double value, const Record& r) {
    if (!std::isfinite(value)) damaged(r.type, r.offset);
    return Cell::numberCell(value);
}

// An RK value: a 30-bit integer or the high 30 bits of a double, perhaps divided by 100.
double rkValue(std::uint32_t rk) {
    double value = (rk & 0x02) != 0
                       ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                       : std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
    if ((rk & 0x01) != 0) value /= 100;
    return value;
}

Cell errorOrBoolean(std::uint8_t value, bool isError, const Record& r) {
    if (!isError) return Cell::booleanCell(value != 0);
    const std::string_view code = errorCodeText(value);
    if (code.empty()) damaged(r.type, r.offset);
    return Cell::errorCell(std::string(code));
}

class Biff8Reader {
  public:
    explicit Biff8Reader(std::string_view stream) : stream_(stream) {}

    std::unique_ptr<StoredWorkbook> read() {
        readGlobals();
        for (const SheetEntry& sheet : sheets_)
            if (sheet.hasCells) readSheet(sheet);
        return std::move(workbook_);
    }

  private:
    void readGlobals() {
        RecordCursor cursor(stream_, 0);
        if (cursor.atEnd()) refuse("the workbook stream is empty");
        const Record bof = cursor.next();
        if (bof.type == 0x0009 || bof.type == 0x0209 || bof.type == 0x0409)
            refuse("the workbook is in the Excel 2.x-4.0 format, which is not read");
        if (bof.type != kBof || bof.data.size() < 4) damaged(bof.type, bof.offset);
        RecordReader head(bof);
        const std::uint16_t version = head.u16(), kind = head.u16();
        if (version == kBiff5Version)
            refuse(
                "the workbook is in the Excel 5.0/95 format, which is not read; save it as "
                "an Excel 97-2003 (.xls) or Excel (.xlsx) workbook");
        if (version != kBiff8Version || kind != kGlobalsSubstream) damaged(bof.type, bof.offset);
        while (true) {
            if (cursor.atEnd()) refuse("the workbook is damaged (it ends inside its globals)");
            const Record r = cursor.next();
            if (r.type == kEof) return;
            if (r.type == kFilePass)
                refuse("the workbook is protected by a password (encrypted); save it without one");
            if (r.type == kBoundSheet) readBoundSheet(r);
            if (r.type == kSst) readSharedStrings(RecordReader(r, cursor.continuations()));
        }
    }

    void readBoundSheet(const Record& r) {
        RecordReader in(r);
        SheetEntry entry;
        entry.position = in.u32();
        in.u8();  // visible or hidden: a hidden sheet still counts
        const std::uint8_t type = in.u8();
        entry.hasCells = type != 0x02 && type != 0x06;  // chart, Visual Basic module
        const std::uint8_t count = in.u8();
        const bool wide = (in.u8() & 0x01) != 0;
        std::string name = windows1252FromUtf16(in.characters(count, wide));
        entry.number = workbook_->addSheet(std::move(name), entry.hasCells);
        sheets_.push_back(entry);
    }

    void readSharedStrings(RecordReader in) {
        in.u32();  // references to the strings in the workbook
        const std::uint32_t unique = in.u32();
        // The count is not trusted for the allocation; the strings that are there are read.
        for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i)
            sharedStrings_.push_back(workbook_->addText(in.unicodeString(true)));
    }

    void readSheet(const SheetEntry& sheet) {
        if (sheet.position >= stream_.size())
            refuse("the workbook is damaged (sheet " + std::to_string(sheet.number) +
                   " lies outside the file)");
        RecordCursor cursor(stream_, sheet.position);
        if (cursor.atEnd() || cursor.next().type != kBof)
            refuse("the workbook is damaged (sheet " + std::to_string(sheet.number) +
                   " does not start where the workbook says)");
        // Charts embedded in the sheet bring their own BOF .. EOF.
        int depth = 1;
        pendingText_ = {};
        while (depth > 0) {
            if (cursor.atEnd())
                refuse("the workbook is damaged (sheet " + std::to_string(sheet.number) +
                       " ends early)");
            const Record r = cursor.next();
            // Sheets do not overlap: one that starts inside another must not make us walk the
            // same records again and again.
            walked_ += 4 + r.data.size();
            if (walked_ > stream_.size())
                refuse("the workbook is damaged (sheet " + std::to_string(sheet.number) +
                       " overlaps another)");
            if (r.type == kBof)
                ++depth;
            else if (r.type == kEof)
                --depth;
            else if (depth == 1 && r.type == kString)
                readFormulaText(sheet, RecordReader(r, cursor.continuations()));
            else if (depth == 1)
                readCell(sheet, r, cursor);
        }
    }

    void readCell(const SheetEntry& sheet, const Record& r, RecordCursor& cursor) {
        if (r.type != kLabelSst && r.type != kLabel && r.type != kRString && r.type != kNumber &&
            r.type != kRk && r.type != kMulRk && r.type != kBoolErr && r.type != kFormula)
            return;
        pendingText_ = {};
        RecordReader in(r, r.type == kLabel || r.type == kRString
                               ? cursor.continuations()
                               : std::vector<std::string_view>{});
        const int row = in.u16() + 1;
        const int column = in.u16() + 1;
        if (r.type == kMulRk) {
            // Pairs of (format, RK value), then the last column.
            const std::size_t count = r.data.size() >= 6 ? (r.data.size() - 6) / 6 : 0;
            for (std::size_t i = 0; i < count; ++i) {
                in.u16();
                put(sheet, row, column + static_cast<int>(i),
                    numberOrDamaged(rkValue(in.u32()), r));
            }
            return;
        }
        in.u16();  // format
        switch (r.type) {
            case kLabelSst: {
                const std::uint32_t index = in.u32();
                if (index >= sharedStrings_.size()) damaged(r.type, r.offset);
                workbook_->setTextCell(sheet.number, row, column, sharedStrings_[index]);
                break;
            }
            case kLabel:
            case kRString:
                put(sheet, row, column, Cell::textCell(in.unicodeString(false)));
                break;
            case kNumber:
                put(sheet, row, column, numberOrDamaged(in.f64(), r));
                break;
            case kRk:
                put(sheet, row, column, numberOrDamaged(rkValue(in.u32()), r));
                break;
            case kBoolErr: {
                const std::uint8_t value = in.u8();
                put(sheet, row, column, errorOrBoolean(value, in.u8() != 0, r));
                break;
            }
            case kFormula:
                readFormula(sheet, row, column, in, r);
                break;
        }
    }

    // A formula's result as last calculated: a double, or when its last two bytes are FF FF a
    // marker byte: 0 text (in the STRING record that follows), 1 boolean, 2 error, 3 "".
    void readFormula(const SheetEntry& sheet, int row, int column, RecordReader& in,
                     const Record& r) {
        std::uint8_t bytes[8];
        for (auto& b : bytes) b = in.u8();
        if (bytes[6] != 0xFF || bytes[7] != 0xFF) {
            std::uint64_t bits = 0;
            for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
            put(sheet, row, column, numberOrDamaged(std::bit_cast<double>(bits), r));
            return;
        }
        switch (bytes[0]) {
            case 0x00:
                put(sheet, row, column, Cell::textCell(""));
                pendingText_ = {row, column};
                break;
            case 0x01:
            case 0x02:
                put(sheet, row, column, errorOrBoolean(bytes[2], bytes[0] == 0x02, r));
                break;
            case 0x03:
                put(sheet, row, column, Cell::textCell(""));
                break;
            default:
                damaged(r.type, r.offset);
        }
    }

    void readFormulaText(const SheetEntry& sheet, RecordReader in) {
        if (pendingText_.row == 0) return;  // a STRING without its formula: nothing to fill
        put(sheet, pendingText_.row, pendingText_.column, Cell::textCell(in.unicodeString(false)));
        pendingText_ = {};
    }

    void put(const SheetEntry& sheet, int row, int column, Cell cell) {
        workbook_->setCell(sheet.number, row, column, std::move(cell));
    }

    struct Position {
        int row = 0, column = 0;
    };

    std::string_view stream_;
    std::unique_ptr<StoredWorkbook> workbook_ = std::make_unique<StoredWorkbook>();
    std::vector<SheetEntry> sheets_;
    std::vector<std::uint32_t> sharedStrings_;  // the workbook's numbers of its texts
    std::size_t walked_ = 0;                    // bytes of all sheets so far
    Position pendingText_;  // the formula whose text result the next STRING record holds
};

}  // namespace

std::unique_ptr<StoredWorkbook> readBiff8Workbook(std::string_view workbookStream) {
    return Biff8Reader(workbookStream).read();
}

}  // namespace plovix

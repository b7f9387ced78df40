#include "humboldt/workbook_xlsx.h"

#include <libxml/xmlreader.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <map>
#include <string_view>
#include <vector>

namespace plovix {

namespace {

// The last row and column a cell reference of a worksheet may name (XFD1048576).
constexpr int kLastRow = 1048576;
constexpr int kLastColumn = 16384;

[[noreturn]] void refuse(const std::string& why) {
    throw WorkbookError{kErrWorkbookUnreadable, why};
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\n')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
    return text;
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A pull reader over one XML part (libxml2). Entities are never loaded from outside and the
// parser's complaints are kept for our own message instead of going to standard error.
class XmlPart {
  public:
    XmlPart(std::string bytes, std::string name)
        : bytes_(std::move(bytes)), name_(std::move(name)) {
        if (bytes_.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
            refuse("the part " + name_ + " is too large");
        reader_ = xmlReaderForMemory(bytes_.data(), static_cast<int>(bytes_.size()), nullptr,
                                     nullptr, XML_PARSE_NONET);
        if (reader_ == nullptr) refuse("the part " + name_ + " cannot be read");
        xmlTextReaderSetStructuredErrorHandler(reader_, &XmlPart::keepError, this);
    }
    ~XmlPart() { xmlFreeTextReader(reader_); }
    XmlPart(const XmlPart&) = delete;
    XmlPart& operator=(const XmlPart&) = delete;

    // Moves to the next node; false at the end of the part.
    bool next() {
        const int result = xmlTextReaderRead(reader_);
        if (result < 0 || !error_.empty())
            refuse("the part " + name_ + " is not well-formed XML" +
                   (error_.empty() ? "" : " (" + error_ + ")"));
        return result == 1;
    }

    bool isStart(std::string_view localName) const {
        return xmlTextReaderNodeType(reader_) == XML_READER_TYPE_ELEMENT && name() == localName;
    }
    bool isEnd(std::string_view localName) const {
        return xmlTextReaderNodeType(reader_) == XML_READER_TYPE_END_ELEMENT && name() == localName;
    }
    int depth() const { return xmlTextReaderDepth(reader_); }
    bool isEndAt(int depth) const {
        return xmlTextReaderNodeType(reader_) == XML_READER_TYPE_END_ELEMENT &&
               xmlTextReaderDepth(reader_) == depth;
    }
    bool isEmptyElement() const { return xmlTextReaderIsEmptyElement(reader_) == 1; }
    bool isText() const {
        const int type = xmlTextReaderNodeType(reader_);
        return type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
               type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
    }
    std::string_view text() const { return view(xmlTextReaderConstValue(reader_)); }

    // The attribute of the current element with this local name, whatever its prefix.
    std::optional<std::string> attribute(std::string_view localName) {
        std::optional<std::string> found;
        if (xmlTextReaderMoveToFirstAttribute(reader_) != 1) return found;
        do {
            if (name() == localName) {
                found = std::string(view(xmlTextReaderConstValue(reader_)));
                break;
            }
        } while (xmlTextReaderMoveToNextAttribute(reader_) == 1);
        xmlTextReaderMoveToElement(reader_);
        return found;
    }

    // The text of the current element's <t> descendants (all text when `onlyT` is false),
    // leaving out phonetic runs; ends on the element's end tag.
    std::string content(bool onlyT) {
        std::string text;
        if (isEmptyElement()) return text;
        const int start = depth();
        int inT = 0, inPhonetic = 0;
        while (next()) {
            const int type = xmlTextReaderNodeType(reader_);
            if (isEndAt(start)) return text;
            if (type == XML_READER_TYPE_ELEMENT && !isEmptyElement()) {
                inT += name() == "t";
                inPhonetic += name() == "rPh";
            } else if (type == XML_READER_TYPE_END_ELEMENT) {
                inT -= name() == "t";
                inPhonetic -= name() == "rPh";
            } else if (isText() && inPhonetic == 0 && (!onlyT || inT > 0)) {
                text += this->text();
            }
        }
        refuse("the part " + name_ + " ends inside an element");
    }

    const std::string& partName() const { return name_; }

  private:
    static std::string_view view(const xmlChar* text) {
        return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
    }
    std::string_view name() const { return view(xmlTextReaderConstLocalName(reader_)); }

    static void keepError(void* self, xmlErrorPtr error) {
        auto* part = static_cast<XmlPart*>(self);
        if (part->error_.empty() && error != nullptr && error->level >= XML_ERR_ERROR) {
            part->error_ = error->message != nullptr ? error->message : "error";
            while (!part->error_.empty() && part->error_.back() == '\n') part->error_.pop_back();
            if (part->error_.empty()) part->error_ = "error";
        }
    }

    std::string bytes_;  // the reader works on them in place
    std::string name_;
    xmlTextReaderPtr reader_ = nullptr;
    std::string error_;
};

// Folder of a part name, with its trailing "/".
std::string folderOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? "" : std::string(part.substr(0, slash + 1));
}

// A relationship's target as a part name: absolute ("/xl/...") or relative to the folder of
// the part that names it, with "." and ".." resolved.
std::string resolveTarget(const std::string& folder, std::string_view target) {
    std::string path =
        target.starts_with('/') ? std::string(target.substr(1)) : folder + std::string(target);
    std::replace(path.begin(), path.end(), '\\', '/');  // as some writers put it
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        const std::string piece = path.substr(start, slash - start);
        if (piece == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string& piece : parts) resolved += (resolved.empty() ? "" : "/") + piece;
    return resolved;
}

struct Relationship {
    std::string type;    // the type URI
    std::string target;  // resolved part name
};

// Text in SpreadsheetML escapes characters XML cannot carry as "_xHHHH_" (a UTF-16 unit);
// they are written back as UTF-8 here, before the text goes into the program's code page.
std::string unescapeXstring(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_' &&
            hex(text[i + 2]) >= 0 && hex(text[i + 3]) >= 0 && hex(text[i + 4]) >= 0 &&
            hex(text[i + 5]) >= 0) {
            const unsigned unit =
                static_cast<unsigned>(hex(text[i + 2]) << 12 | hex(text[i + 3]) << 8 |
                                      hex(text[i + 4]) << 4 | hex(text[i + 5]));
            if (unit >= 0xD800 && unit <= 0xDFFF) {
                out += "\xEF\xBF\xBD";  // half a pair: no character of ours
            } else if (unit < 0x80) {
                out += static_cast<char>(unit);
            } else if (unit < 0x800) {
                out += static_cast<char>(0xC0 | unit >> 6);
                out += static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | unit >> 12);
                out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
                out += static_cast<char>(0x80 | (unit & 0x3F));
            }
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string sheetText(std::string_view utf8) {
    return windows1252FromUtf8(unescapeXstring(utf8));
}

class XlsxReader {
  public:
    explicit XlsxReader(const XlsxPartReader& readPart) : readPart_(readPart) {}

    std::unique_ptr<StoredWorkbook> read() {
        std::string workbookPart = "xl/workbook.xml";
        for (const auto& [id, rel] : relationships(""))
            if (endsWith(rel.type, "/officeDocument")) workbookPart = rel.target;
        const auto rels = relationships(workbookPart);
        for (const auto& [id, rel] : rels)
            if (endsWith(rel.type, "/sharedStrings")) readSharedStrings(rel.target);

        struct SheetRef {
            std::string name, id;
        };
        std::vector<SheetRef> refs;
        {
            XmlPart xml(part(workbookPart), workbookPart);
            while (xml.next()) {
                if (xml.isStart("sheet"))
                    refs.push_back(
                        {xml.attribute("name").value_or(""), xml.attribute("id").value_or("")});
                else if (xml.isStart("workbookPr"))
                    date1904_ = xml.attribute("date1904").value_or("") == "1" ||
                                xml.attribute("date1904").value_or("") == "true";
            }
        }
        if (refs.empty()) refuse("the workbook part " + workbookPart + " lists no sheets");
        for (const SheetRef& ref : refs) {
            const auto rel = rels.find(ref.id);
            if (rel == rels.end())
                refuse("the workbook is damaged (sheet \"" + ref.name + "\" has no part)");
            const bool chart = endsWith(rel->second.type, "/chartsheet");
            const int number = workbook_->addSheet(sheetText(ref.name), !chart);
            if (!chart) readSheet(number, rel->second.target);
        }
        return std::move(workbook_);
    }

  private:
    std::string part(const std::string& name) {
        std::optional<std::string> bytes = readPart_(name);
        if (!bytes) refuse("the workbook is damaged (the part " + name + " is missing)");
        return std::move(*bytes);
    }

    // The relationships of `source` ("" for the package), by id; none when it has no
    // relationship part.
    std::map<std::string, Relationship> relationships(const std::string& source) {
        std::map<std::string, Relationship> rels;
        const std::string folder = folderOf(source);
        const std::string name = folder + "_rels/" + source.substr(folder.size()) + ".rels";
        std::optional<std::string> bytes = readPart_(name);
        if (!bytes) return rels;
        XmlPart xml(std::move(*bytes), name);
        while (xml.next()) {
            if (!xml.isStart("Relationship") || xml.attribute("TargetMode") == "External") continue;
            rels[xml.attribute("Id").value_or("")] = {
                xml.attribute("Type").value_or(""),
                resolveTarget(folder, xml.attribute("Target").value_or(""))};
        }
        return rels;
    }

    void readSharedStrings(const std::string& name) {
        XmlPart xml(part(name), name);
        while (xml.next())
            if (xml.isStart("si"))
                sharedStrings_.push_back(workbook_->addText(sheetText(xml.content(true))));
    }

    void readSheet(int number, const std::string& name) {
        XmlPart xml(part(name), name);
        int row = 0, column = 0;
        bool inData = false;
        while (xml.next()) {
            if (xml.isStart("sheetData")) {
                inData = !xml.isEmptyElement();
            } else if (xml.isEnd("sheetData")) {
                inData = false;
            } else if (inData && xml.isStart("row")) {
                // Rows and cells may leave out their numbers: then they follow the previous.
                const auto r = xml.attribute("r");
                row = r ? rowNumber(*r, xml) : row + 1;
                column = 0;
            } else if (inData && xml.isStart("c")) {
                readCell(xml, number, row, column);
            }
        }
    }

    void readCell(XmlPart& xml, int sheet, int& row, int& column) {
        if (const auto r = xml.attribute("r")) {
            std::size_t letters = 0;
            int c = 0;
            while (letters < r->size() && letters < 3 && (*r)[letters] >= 'A' &&
                   (*r)[letters] <= 'Z')
                c = c * 26 + ((*r)[letters++] - 'A' + 1);
            if (letters == 0 || c > kLastColumn) damagedCell(xml, *r);
            column = c;
            row = rowNumber(r->substr(letters), xml);
        } else {
            ++column;
            if (row == 0) row = 1;
        }
        const std::string type = xml.attribute("t").value_or("n");
        std::optional<std::string> value, inline_;
        if (!xml.isEmptyElement()) {
            const int depth = xml.depth();
            while (xml.next() && !xml.isEndAt(depth)) {
                if (xml.isStart("v"))
                    value = xml.content(false);
                else if (xml.isStart("is"))
                    inline_ = xml.content(true);
            }
        }
        Cell cell;
        if (type == "inlineStr") {
            cell = Cell::textCell(sheetText(inline_.value_or("")));
        } else if (type == "str") {
            cell = Cell::textCell(sheetText(value.value_or("")));
        } else if (!value || trimmed(*value).empty()) {
            // A formula saved without its result (<v/> or no <v> at all), or a cell with a
            // format only.
        } else if (type == "n") {
            cell = Cell::numberCell(number(*value, xml));
        } else if (type == "d") {
            cell = Cell::numberCell(dateSerial(*value, xml));
        } else if (type == "s") {
            const double index = number(*value, xml);
            if (index < 0 || index >= static_cast<double>(sharedStrings_.size()) ||
                index != std::floor(index))
                damagedCell(xml, *value);
            workbook_->setTextCell(sheet, row, column,
                                   sharedStrings_[static_cast<std::size_t>(index)]);
            return;
        } else if (type == "b") {
            cell = Cell::booleanCell(number(*value, xml) != 0);
        } else if (type == "e") {
            cell = Cell::errorCell(windows1252FromUtf8(*value));
        } else {
            damagedCell(xml, type);
        }
        workbook_->setCell(sheet, row, column, std::move(cell));
    }

    static int rowNumber(std::string_view text, const XmlPart& xml) {
        int row = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), row);
        if (error != std::errc() || end != text.data() + text.size() || row < 1 || row > kLastRow)
            damagedCell(xml, text);
        return row;
    }

    static double number(std::string_view text, const XmlPart& xml) {
        text = trimmed(text);
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
            damagedCell(xml, text);
        return value;
    }

    [[noreturn]] static void damagedCell(const XmlPart& xml, std::string_view what) {
        refuse("the workbook is damaged (\"" + std::string(what.substr(0, 40)) + "\" in " +
               xml.partName() + ")");
    }

    // A date written as ISO 8601 text ("2024-01-05T10:30:00", a bare time "T10:30:00") as the
    // serial number a cell holds: days since 1899-12-30 (1900-01-01 is 1, with the 29 February
    // 1900 that the 1900 date system counts) or, in a 1904 workbook, since 1904-01-01; the time
    // as the fraction of the day. A zone ("Z", "+01:00") is left as written.
    double dateSerial(std::string_view text, const XmlPart& xml) const {
        const std::string_view whole = text = trimmed(text);
        const auto digits = [&](std::size_t count, int& value) {
            if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front())))
                damagedCell(xml, whole);
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + std::min(count, text.size()), value);
            if (error != std::errc() || end != text.data() + count) damagedCell(xml, whole);
            text.remove_prefix(count);
        };
        const auto skip = [&](char c) {
            if (text.empty() || text.front() != c) return false;
            text.remove_prefix(1);
            return true;
        };
        double serial = 0;
        if (!text.starts_with('T') && text.find(':') != 2) {
            int y = 0, m = 0, d = 0;
            digits(4, y);
            if (!skip('-')) damagedCell(xml, whole);
            digits(2, m);
            if (!skip('-')) damagedCell(xml, whole);
            digits(2, d);
            const std::chrono::year_month_day date{std::chrono::year(y),
                                                   std::chrono::month(static_cast<unsigned>(m)),
                                                   std::chrono::day(static_cast<unsigned>(d))};
            if (!date.ok()) damagedCell(xml, whole);
            using std::chrono::sys_days;
            const auto since = [&](int year, int month, int day) {
                return (sys_days(date) - sys_days(std::chrono::year(year) / month / day)).count();
            };
            long days = date1904_ ? since(1904, 1, 1) : since(1899, 12, 30);
            if (!date1904_ && days > 0 && days <= 60) --days;  // before the 29 February 1900
            serial = static_cast<double>(days);
            if (text.empty()) return serial;
        }
        if (!skip('T')) skip(' ');
        int h = 0, min = 0;
        digits(2, h);
        if (!skip(':')) damagedCell(xml, whole);
        digits(2, min);
        double seconds = 0;
        if (skip(':')) {
            std::size_t length = 0;
            while (length < text.size() &&
                   (std::isdigit(static_cast<unsigned char>(text[length])) || text[length] == '.'))
                ++length;
            const auto [end, error] = std::from_chars(text.data(), text.data() + length, seconds);
            if (error != std::errc() || end != text.data() + length || length < 2)
                damagedCell(xml, whole);
            text.remove_prefix(length);
        }
        if (!skip('Z') && (skip('+') || skip('-'))) {
            int zh = 0, zm = 0;
            digits(2, zh);
            if (!skip(':')) damagedCell(xml, whole);
            digits(2, zm);
        }
        if (!text.empty() || h > 24 || min > 59 || seconds >= 61) damagedCell(xml, whole);
        return serial + (h * 3600.0 + min * 60.0 + seconds) / 86400.0;
    }

    const XlsxPartReader& readPart_;
    std::unique_ptr<StoredWorkbook> workbook_ = std::make_unique<StoredWorkbook>();
    std::vector<std::uint32_t> sharedStrings_;  // the workbook's numbers of its texts
    bool date1904_ = false;
};

}  // namespace

std::unique_ptr<StoredWorkbook> readXlsxWorkbook(const XlsxPartReader& readPart) {
    return XlsxReader(readPart).read();
}

}  // namespace plovix

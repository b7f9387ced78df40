// The two workbook readers: what each kind of cell reads as, agreement of .xls and .xlsx on the
// same workbook, refusal of other and damaged files (the fuzz corpus replays random input).

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "humboldt/workbook.h"
#include "humboldt/workbook_xls.h"
#include "humboldt/workbook_xlsx.h"
#include "support/norvo_files.h"

namespace plovix {
namespace {

using Texts = std::vector<std::string>;

const std::filesystem::path kData = std::filesystem::path(PLOVIX_TEST_DATA) / "humboldt";

WorkbookError refusal(const std::function<void()>& read) {
    try {
        read();
    } catch (const WorkbookError& e) {
        return e;
    }
    ADD_FAILURE() << "not refused";
    return {};
}

// Cells named as in a spreadsheet ("A1 B2 ..."), each as its kind and text: "N 5", "B True",
// "E #N/A", "T lbl", "-" when empty.
Texts cellsOf(const Workbook& book, int sheet, const std::string& names) {
    Texts cells;
    std::istringstream in(names);
    for (std::string name; in >> name;) {
        const Cell c = book.cell(sheet, std::stoi(name.substr(1)), name[0] - 'A' + 1);
        cells.push_back(
            c.kind == CellKind::Empty ? "-" : std::string(1, "-ENBT"[int(c.kind)]) + " " + c.text);
    }
    return cells;
}

// --- BIFF8 records built by hand -------------------------------------------------------------

std::string le16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}
std::string le32(std::uint32_t v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}
std::string f64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return le32(static_cast<std::uint32_t>(bits)) + le32(static_cast<std::uint32_t>(bits >> 32));
}
std::string record(unsigned type, const std::string& data) {
    return le16(type) + le16(static_cast<unsigned>(data.size())) + data;
}
std::string cellHead(unsigned row, unsigned column) {
    return le16(row) + le16(column) + le16(15);
}
std::string bof(unsigned version, unsigned kind) {
    return record(0x0809, le16(version) + le16(kind) + std::string(12, '\0'));
}
const std::string kEof = record(0x000A, "");

// A data sheet and a chart; the shared strings break inside their second string, whose
// characters go on two bytes wide after the break.
std::string biffStream(unsigned labelIndex = 1) {
    const std::string sst =
        record(0x00FC, le32(3) + le32(3) + le16(5) + '\0' + "alpha" + le16(6) + '\0' + "abc") +
        record(0x003C, std::string("\x01", 1) + "d" + '\0' + "\xAC\x20" + "f" + '\0' + le16(2) +
                           '\x08' + le16(1) + "ok" + le32(0));
    const auto sheetEntry = [](std::uint32_t at, unsigned kind, const std::string& name) {
        return record(0x0085, le32(at) + '\0' + static_cast<char>(kind) +
                                  static_cast<char>(name.size()) + '\0' + name);
    };
    const std::size_t globals =
        bof(0x0600, 5).size() + 2 * sheetEntry(0, 0, "Data").size() + 1 + sst.size() + kEof.size();
    const std::string sheet =
        bof(0x0600, 0x10) + record(0x00FD, cellHead(0, 0) + le32(labelIndex)) +
        record(0x0204, cellHead(0, 1) + le16(3) + '\0' + "lbl") +
        record(0x0205, cellHead(1, 0) + '\x01' + '\0') +
        record(0x0205, cellHead(1, 1) + '\x07' + '\x01') +
        // 5 as an integer, 1.23 as 123 / 100, 0.5 by the high bits of its double
        record(0x00BD, le16(2) + le16(0) + le16(15) + le32(5 << 2 | 2) + le16(15) +
                           le32(123 << 2 | 3) + le16(15) + le32(0x3FE00000) + le16(2)) +
        record(0x0006, cellHead(3, 0) + std::string(6, '\0') + "\xFF\xFF" + std::string(8, 'z')) +
        record(0x04BC, std::string(10, 's')) + record(0x0207, le16(4) + '\0' + "text") +
        record(0x0006, cellHead(3, 1) + f64(2.5) + std::string(8, 'z')) + bof(0x0600, 0x20) +
        record(0x0203, cellHead(9, 9) + f64(99)) + kEof +
        record(0x0203, cellHead(4, 0) + f64(-0.75)) + kEof;
    return bof(0x0600, 5) + sheetEntry(static_cast<std::uint32_t>(globals), 0, "Data") +
           sheetEntry(0, 2, "Chart") + sst + kEof + sheet;
}

TEST(WorkbookReaders, Biff8RecordsReadAsTheirCells) {
    const auto book = readBiff8Workbook(biffStream());
    ASSERT_EQ(book->sheetCount(), 2);
    EXPECT_EQ(book->sheetName(2), "Chart");
    // The euro sign after the break in the shared strings; A4 from the STRING record after
    // SHRFMLA; J10 is inside the embedded chart.
    EXPECT_EQ(cellsOf(*book, 1, "A1 B1 A2 B2 A3 B3 C3 A4 B4 A5 J10"),
              (Texts{"T abcd\x80"
                     "f",
                     "T lbl", "B True", "E #DIV/0!", "N 5", "N 1.23", "N 0.5", "T text", "N 2.5",
                     "N -0.75", "-"}));
    EXPECT_EQ(readBiff8Workbook(biffStream(0))->cell(1, 1, 1).text, "alpha");
    EXPECT_EQ(readBiff8Workbook(biffStream(2))->cell(1, 1, 1).text, "ok");

    EXPECT_EQ(refusal([&] { book->cell(2, 1, 1); }).number, kErrWorkbookNoCells);
    EXPECT_EQ(refusal([&] { book->cell(3, 1, 1); }).number, kErrWorkbookSubscript);
    EXPECT_EQ(refusal([&] { book->cell(1, 0, 1); }).number, kErrWorkbookBadCell);
    EXPECT_EQ(refusal([&] { readBiff8Workbook(biffStream(3)); }).number, kErrWorkbookUnreadable);
    const std::string whole = biffStream();
    EXPECT_EQ(refusal([&] { readBiff8Workbook(whole.substr(0, whole.size() - 6)); }).number,
              kErrWorkbookUnreadable);
}

// --- Office Open XML parts written by hand ---------------------------------------------------

std::map<std::string, std::string> xlsxParts() {
    const std::string ns = R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    return {
        {"_rels/.rels", "<Relationships><Relationship Id='a' Type='" + rel +
                            "officeDocument' Target='book/main.xml'/></Relationships>"},
        {"book/_rels/main.xml.rels",
         "<Relationships><Relationship Id='r1' Type='" + rel +
             "worksheet' Target='/book/s1.xml'/><Relationship Id='r2' Type='" + rel +
             "chartsheet' Target='c.xml'/><Relationship Id='r3' Type='" + rel +
             "sharedStrings' Target='../book/strings.xml'/></Relationships>"},
        {"book/main.xml",
         "<x:workbook xmlns:x='http://schemas.openxmlformats.org/spreadsheetml/2006/main' "
         "xmlns:r='" +
             rel.substr(0, rel.size() - 1) +
             "'><x:sheets><x:sheet name='Chart' "
             "r:id='r2'/><x:sheet name='Caf&#233;' r:id='r1'/></x:sheets></x:workbook>"},
        {"book/strings.xml", "<sst" + ns +
                                 "><si><t>plain</t></si><si><r><t>ri</t></r><r><t>ch"
                                 "</t></r><rPh><t>PHONETIC</t></rPh></si></sst>"},
        {"book/s1.xml",
         "<worksheet" + ns +
             "><sheetData><row r='2'><c t='inlineStr'><is><t>line_x000D_end"
             "</t></is></c><c t='e'><v>#N/A</v></c><c r='E2' t='b'><v>0</v></c><c t='s'><v>1</v>"
             "</c></row><row><c><f>A1</f></c><c t='str'><f>x</f><v>&lt;ok&gt;</v></c>"
             "<c t='n'><v> 1E3 </v></c></row></sheetData></worksheet>"},
    };
}

std::unique_ptr<StoredWorkbook> readParts(const std::map<std::string, std::string>& parts) {
    return readXlsxWorkbook([&](const std::string& name) -> std::optional<std::string> {
        const auto it = parts.find(name);
        return it == parts.end() ? std::nullopt : std::optional<std::string>(it->second);
    });
}

TEST(WorkbookReaders, XlsxPartsReadAsTheirCells) {
    const auto book = readParts(xlsxParts());
    ASSERT_EQ(book->sheetCount(), 2);  // in the order of <sheets>, the chart first
    EXPECT_EQ(book->sheetName(2), "Caf\xE9");
    EXPECT_EQ(refusal([&] { book->cell(1, 1, 1); }).number, kErrWorkbookNoCells);
    // Cells without r= follow each other; the phonetic run is left out; A3 is a formula saved
    // without its result.
    EXPECT_EQ(cellsOf(*book, 2, "A2 B2 E2 F2 A3 B3 C3"),
              (Texts{"T line\rend", "E #N/A", "B False", "T rich", "-", "T <ok>", "N 1000"}));

    auto parts = xlsxParts();
    parts["book/s1.xml"] = "<worksheet><sheetData><row><c t='s'><v>2</v></c></row></sheetData>";
    EXPECT_NE(refusal([&] { readParts(parts); }).description.find("book/s1.xml"),
              std::string::npos);  // not well-formed
    parts["book/s1.xml"] =
        "<worksheet><sheetData><row><c t='s'><v>2</v></c></row></sheetData>"
        "</worksheet>";
    EXPECT_EQ(refusal([&] { readParts(parts); }).number, kErrWorkbookUnreadable);
    parts.erase("book/strings.xml");
    EXPECT_NE(refusal([&] { readParts(parts); }).description.find("missing"), std::string::npos);
}

// Cells that hold no value, dates as ISO 8601 text, and one shared string shown by many cells.
TEST(WorkbookReaders, XlsxEmptyValuesDatesAndSharedStrings) {
    auto parts = xlsxParts();
    const auto sheet = [&](const std::string& cells, const std::string& workbookPr = "") {
        parts["book/s1.xml"] =
            "<worksheet><sheetData><row r='1'>" + cells + "</row></sheetData></worksheet>";
        parts["book/main.xml"] =
            "<workbook xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/"
            "relationships'>" +
            workbookPr + "<sheets><sheet name='S' r:id='r1'/></sheets></workbook>";
        return readParts(parts);
    };
    const auto book = sheet(
        "<c t='s'><v></v></c><c t='n'><v/></c><c><f>NOW()</f><v></v></c><c t='e'><v/></c>"
        "<c t='d'><v>2024-01-05T12:00:00</v></c><c t='d'><v>T10:30:00</v></c>"
        "<c t='d'><v>1900-02-28</v></c><c t='d'><v>1900-03-01</v></c>");
    // 2024-01-05 is 45296 (see the saved workbooks below), noon half a day; 10:30 is 0.4375;
    // the 1900 system counts a 29 February 1900: 1900-02-28 is 59, 1900-03-01 61.
    EXPECT_EQ(cellsOf(*book, 1, "A1 B1 C1 D1 E1 F1 G1 H1"),
              (Texts{"-", "-", "-", "-", "N 45296.5", "N 0.4375", "N 59", "N 61"}));
    // In the 1904 system 2024-01-05 is 1462 days less.
    EXPECT_EQ(
        cellsOf(*sheet("<c t='d'><v>2024-01-05T12:00:00</v></c><c t='d'><v>1904-01-01</v></c>",
                       "<workbookPr date1904='1'/>"),
                1, "A1 B1"),
        (Texts{"N 43834.5", "N 0"}));
    EXPECT_EQ(refusal([&] { sheet("<c t='d'><v>2024-02-30</v></c>"); }).number,
              kErrWorkbookUnreadable);

    // A 1 MB string in 12,000 cells is held once, not 12 GB of copies.
    const std::string big(1 << 20, 'x');
    parts["book/strings.xml"] = "<sst><si><t>" + big + "</t></si></sst>";
    std::string cells;
    for (int column = 0; column < 12000; ++column) cells += "<c t='s'><v>0</v></c>";
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long peakBefore = usage.ru_maxrss;
    const auto many = sheet(cells);
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss - peakBefore, 256L << 10);  // kilobytes
    EXPECT_EQ(many->cell(1, 1, 12000).text, big);
}

// --- Workbooks saved by a spreadsheet program ------------------------------------------------

TEST(WorkbookReaders, SavedWorkbooksReadTheSameInBothFormats) {
    for (const std::string name : {"workbook_cells", "workbook_direct_shear"}) {
        const auto xls = openWorkbook(kData / (name + ".xls"));
        const auto xlsx = openWorkbook(kData / (name + ".xlsx"));
        ASSERT_EQ(xls->sheetCount(), xlsx->sheetCount()) << name;
        for (int sheet = 1; sheet <= xls->sheetCount(); ++sheet) {
            EXPECT_EQ(xls->sheetName(sheet), xlsx->sheetName(sheet));
            for (int row = 1; row <= 60; ++row)
                for (int column = 1; column <= 30; ++column) {
                    const Cell a = xls->cell(sheet, row, column),
                               b = xlsx->cell(sheet, row, column);
                    // .xlsx keeps 15 significant digits of a formula's result, .xls all 17.
                    EXPECT_TRUE(a.kind == b.kind && a.text == b.text &&
                                std::fabs(a.number - b.number) <= 1e-14 * std::fabs(a.number))
                        << name << " sheet " << sheet << " row " << row << " column " << column
                        << ": " << a.text << " / " << b.text;
                }
        }
    }
    // The values as saved, worked out from the source of the fixture.
    for (const std::string file : {"workbook_cells.xls", "workbook_cells.xlsx"}) {
        SCOPED_TRACE(file);
        const auto book = openWorkbook(kData / file);
        EXPECT_EQ(book->sheetName(2),
                  "Pr\xFC"
                  "fung");
        const auto text = [&](int row, int column) { return book->cell(1, row, column).text; };
        // A7 2024-01-05: 45292 for 1 January, 4 days on; A16 ="" is not an empty cell.
        EXPECT_EQ(cellsOf(*book, 1, "A4 A6 A7 A9 A10 A14 A15 A16 C1 Z300"),
                  (Texts{"N 1234.5678", "N 1.5E+20", "N 45296", "E #DIV/0!", "E #N/A", "T abcd",
                         "B True", "T ", "N 20.5", "T far"}));
        EXPECT_EQ(text(17, 1), "D\xE9j\xE0 vu \x96 5 \x80");
        EXPECT_EQ(text(18, 1), "?mega ?");  // Greek and an emoji are beyond Windows-1252
        EXPECT_EQ(text(19, 1), std::string(9000, 'x'));
        EXPECT_EQ(text(20, 1).size(), 9001u);
        EXPECT_EQ(text(22, 1), "0.333333333333333");
        EXPECT_EQ(cellsOf(*book, 2, "A1"), Texts{"N 84"});  // =Values.A2*2 on the second sheet
    }
}

TEST(WorkbookReaders, OtherFilesAreRefusedWithAClearMessage) {
    for (const auto& [file, part] :
         {std::pair{"workbook_excel95.xls", "Excel 5.0/95"},
          {"workbook_encrypted.xls", "password"},
          {"workbook_encrypted.xlsx", "password"},
          {"workbook_sources.py", "workbook_sources.py: the file is not"}}) {
        const std::string description = refusal([&] { openWorkbook(kData / file); }).description;
        EXPECT_NE(description.find(part), std::string::npos) << description;
    }
    EXPECT_EQ(refusal([&] { openWorkbook(kData / "no_such.xls"); }).number, kErrWorkbookNotFound);
    EXPECT_EQ(refusal([&] { openWorkbook(kData); }).number, kErrWorkbookAccess);
}

// --- Zip containers built by hand -----------------------------------------------------------

std::uint32_t crc32Of(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const unsigned char b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

struct ZipMember {
    std::string name, data;
    bool deflated = false;                        // one uncompressed deflate block (method 8)
    std::uint32_t crcFlip = 0;                    // bits flipped in the listed CRC-32
    int sizeError = 0;                            // added to the listed size
    unsigned dosDate = (44 << 9) | (1 << 5) | 5;  // 2024-01-05
};

std::string zipOf(const std::vector<ZipMember>& members) {
    std::string files, directory;
    for (const ZipMember& m : members) {
        const auto size = static_cast<unsigned>(m.data.size());
        const std::string packed =
            m.deflated ? '\x01' + le16(size) + le16(~size & 0xFFFF) + m.data : m.data;
        const std::string common = le16(20) + le16(0) + le16(m.deflated ? 8 : 0) + le16(0) +
                                   le16(m.dosDate) + le32(crc32Of(m.data) ^ m.crcFlip) +
                                   le32(static_cast<std::uint32_t>(packed.size())) +
                                   le32(size + m.sizeError) + le16(m.name.size()) + le16(0);
        directory += le32(0x02014B50) + le16(20) + common + le16(0) + le32(0) + le32(0) +
                     le32(static_cast<std::uint32_t>(files.size())) + m.name;
        files += le32(0x04034B50) + common + m.name + packed;
    }
    const auto count = static_cast<unsigned>(members.size());
    return files + directory + le32(0x06054B50) + le32(0) + le16(count) + le16(count) +
           le32(static_cast<std::uint32_t>(directory.size())) +
           le32(static_cast<std::uint32_t>(files.size())) + le16(0);
}

// The hand-written parts as a zip; `change` adjusts the member of the sheet.
std::string xlsxZip(const std::function<void(ZipMember&)>& change = {}, char separator = '/') {
    std::vector<ZipMember> members;
    for (const auto& [name, data] : xlsxParts()) {
        members.push_back({name, data + "  "});
        if (name == "book/s1.xml" && change) change(members.back());
        std::replace(members.back().name.begin(), members.back().name.end(), '/', separator);
    }
    return zipOf(members);
}

// How other programs save: BIFF8 in a stream named "Book", zip part names with "\", entries
// dated 1980-01-00. Damaged zip members: their data do not match the CRC-32 or the size listed.
// Every case is read or refused without a word on standard error.
TEST(WorkbookReaders, ContainersOfOtherWritersAndDamagedZipMembers) {
    std::string book = testing::bytesOf(kData / "workbook_cells.xls");
    const std::string workbook("W\0o\0r\0k\0b\0o\0o\0k\0\0\0", 18);
    const std::size_t entry = book.find(workbook);
    ASSERT_NE(entry, std::string::npos);
    book.replace(entry, workbook.size(),
                 std::string("B\0o\0o\0k\0\0\0", 10) + std::string(8, '\0'));
    book[entry + 64] = 10;  // the name's length in bytes
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(readWorkbook(book)->cell(1, 4, 1).text, "1234.5678");

    EXPECT_EQ(readWorkbook(xlsxZip({}, '\\'))->cell(2, 2, 1).text, "line\rend");
    EXPECT_EQ(readWorkbook(xlsxZip([](ZipMember& m) { m.dosDate = 1 << 5; }))->cell(2, 2, 1).text,
              "line\rend");

    const std::vector<std::function<void(ZipMember&)>> damage = {
        [](ZipMember& m) { m.crcFlip = 1; },  // a stale CRC-32
        [](ZipMember& m) {
            m.deflated = true;
            m.sizeError = -2;  // the size leaves out the blanks at the end
        },
        [](ZipMember& m) {
            m.deflated = true;
            m.sizeError = 2;
        },
        [](ZipMember& m) {  // a bit flipped in the deflated data, the CRC-32 as written
            m.deflated = true;
            const std::uint32_t written = crc32Of(m.data);
            m.data[m.data.find("line_")] ^= 1;  // "mine"
            m.crcFlip = written ^ crc32Of(m.data);
        },
    };
    for (std::size_t i = 0; i < damage.size(); ++i) {
        const WorkbookError e = refusal([&] { readWorkbook(xlsxZip(damage[i])); });
        EXPECT_EQ(e.number, kErrWorkbookUnreadable) << i;
        EXPECT_NE(e.description.find("damaged"), std::string::npos) << i << e.description;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace plovix

// The export into the Norvo data file beyond its golden files (convert_test.cpp).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/ini_file.h"
#include "export/dos_index.h"
#include "export/norvo_block.h"
#include "export/norvo_export.h"
#include "export/norvo_head.h"
#include "filter/reading_pass.h"
#include "sources/source_codes.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"
#include "text/number_reading.h"
#include "workflow/start_session.h"

namespace plovix {
namespace {

using plovix::testing::bytesOf, plovix::testing::norvoRecords, plovix::testing::writeBytes;
using plovix::testing::RecordingOperator, plovix::testing::TempFolder;
namespace fs = std::filesystem;

const fs::path kData = PLOVIX_TEST_DATA;
const fs::path kShipped = kData / ".." / ".." / "data";

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}
bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}
int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ExportError& e) {
        return e.number;
    }
    return 0;
}

ExportFiles shippedFiles() {
    ExportFiles files;
    files.templateFile = kShipped / "NVNEW.NDT";
    files.defaultsFile = kShipped / "NV.DDT";
    return files;
}

// One test as the window holds it (default criteria); each file loaded gets the preview pass.
struct NorvoTest {
    Session s;
    RecordingOperator op;

    NorvoTest(int source, int testType, bool windows) {
        startSession(s, "/nonexistent/Plovix.INI", IniFile{});
        s.settings.SourceType = source;
        s.program.SourceName = s.program.SourceNames(source);
        resetForNewTest(s);
        s.program.TestType = testType;
        s.settings.NVWIN = windows;
    }
    void load(const fs::path& file) {
        const int n = ++s.specimens.SpecimenCount;
        s.specimens.CurrentSpecimen = n;
        s.specimens.SpecimenPath(n) = file.parent_path().string() + "/";
        s.specimens.SpecimenFileName(n) = file.filename().string();
        s.settings.DAFile = file.string();
        s.pass.ReadingsInFile = 0;
        ASSERT_EQ(DAImport(s, op), PassOutcome::Done);
        op.messages.clear();
    }
    bool exportTo(const fs::path& norvoFile, const ExportFiles& files = shippedFiles()) {
        EXPECT_TRUE(chooseNorvoFile(s, op, norvoFile.string()).accepted);
        return NorvoExport(s, op, files);
    }
    std::string lastMessage() const { return op.messages.empty() ? "" : op.messages.back().text; }
};

// Block k (1..4): after 36 head records, each block is 11 records and count + 1 readings.
std::vector<std::string> blockOf(const std::vector<std::string>& records, int k) {
    auto at = records.begin() + 36;
    for (int b = 1;; ++b) {
        const auto end = at + 12 + std::stoi(*at);
        if (b == k) return {at, end};
        at = end;
    }
}

TEST(NorvoBlocks, SpecimensWithoutReadingsKeepTheTemplatesBlocks) {
    const auto templ = norvoRecords(bytesOf(kShipped / "NVNEW.NDT"));
    TempFolder tmp;
    NorvoTest two(kGeoTest, kDirectShear, true);
    two.load(kData / "geotest/lst_ds_reversing.LST");
    two.load(kData / "geotest/lst_ds_reversing.LST");
    ASSERT_TRUE(two.exportTo(tmp.path / "TWO.NDT"));
    auto out = norvoRecords(bytesOf(tmp.path / "TWO.NDT"));
    EXPECT_EQ(out[30], "2,1,4,-1,0,2,1");        // test record: two specimens
    EXPECT_EQ(blockOf(out, 2)[0], "8,1,0,0,2");  // ends with the template block's fifth value
    EXPECT_EQ(blockOf(out, 2).back(), blockOf(out, 1).back());
    EXPECT_EQ(blockOf(out, 3), blockOf(templ, 3));
    EXPECT_EQ(blockOf(out, 4), blockOf(templ, 4));
    EXPECT_EQ(blockOf(out, 4).back(), "0.04,262.5,0.0045");

    // Every cycle left out: the block, normal value and rate are the template's.
    NorvoTest none(kGeoTest, kDirectShear, true);
    for (int c = 1; c <= kMaxCycle; ++c) none.s.cycles.UseCycle(1, 1, c) = 0;
    none.load(kData / "geotest/lst_ds_reversing.LST");
    ASSERT_EQ(none.s.specimens.ReadingsToWrite(1), 0);
    ASSERT_TRUE(none.exportTo(tmp.path / "NONE.NDT"));
    out = norvoRecords(bytesOf(tmp.path / "NONE.NDT"));
    EXPECT_EQ(blockOf(out, 1), blockOf(templ, 1));
    EXPECT_EQ(none.s.header.NormalStress(1), 1000);  // t1 and t5 of the template's block 1
    EXPECT_EQ(none.s.header.TimeOrRate(1), 0.5);
}

TEST(NorvoBlocks, ReadingsOnlyInsideAnOpenBlockAndAsManyAsItsCount) {
    TempFolder tmp;
    NorvoTest t(kGeoTest, kDirectShear, true);
    t.load(kData / "geotest/lst_ds_reversing.LST");
    const ExportFiles files = shippedFiles();
    NorvoOutput out(files, files.templateFile);
    out.openData(tmp.path / "X.NDT");
    out.openTemplate().skip(1 + 29 + 7 + 4 * 5 + 7);  // the head
    NorvoBlockWriter blocks(out);
    EXPECT_THROW(blocks.writeReading("1, 2, 3"), ExportError);  // no block begun
    t.s.specimens.ReadingsToWrite(1) = 2;                       // count 1: two lines
    blocks.beginSpecimen(t.s, t.op);
    EXPECT_TRUE(t.s.pass.ExportOpen);
    blocks.writeReading("0, 0, 0");
    EXPECT_THROW(blocks.endSpecimen(), ExportError);  // one line short
    blocks.writeReading("0.01, 10, 0.001");
    EXPECT_THROW(blocks.writeReading("0.02, 20, 0.0015"), ExportError);  // one too many
    EXPECT_NO_THROW(blocks.endSpecimen());
}

TEST(NorvoBlocks, RateFieldByRateMode) {
    Session s;
    auto rate = [&](int mode, double time, double travel, const char* height) {
        s.header.TimeOrRate(1) = time;
        s.pass.FinalDisp(1) = travel;
        s.header.HeightText = height;
        return rateField(s, 1, mode);
    };
    // Four decimals below 0.001, else three.
    EXPECT_EQ(rate(2, 0.0004, 0, "") + rate(2, 12.34567, 0, ""), 0.0004 + 12.346);
    EXPECT_EQ(rate(2, 0.00123, 0, ""), 0.001);
    EXPECT_DOUBLE_EQ(rate(1, 0.25, 0.03, ""), 0.12);            // 0.03 in over 0.25 min
    EXPECT_DOUBLE_EQ(rate(3, 2, 0.3, "6"), 2.5);                // 0.3 x 100 / 6 = 5 % over 2 min
    EXPECT_EQ(rate(1, 0, 0.03, "") + rate(3, 0, 0.3, "6"), 0);  // no time, no rate
    EXPECT_EQ(rate(3, 2, 0.3, "0") + rate(7, 2, 0.3, "6"), 0);  // no height; another mode
}

TEST(NorvoLimits, DosTakesNinetyNineReadingsABlockAndNoTargetMoreThan32767) {
    TempFolder tmp;
    // 120 readings 0.06 apart: the displacement criterion (0.05) keeps every one.
    std::vector<std::array<double, 3>> rows;
    for (int i = 0; i < 120; ++i) rows.push_back({i * 0.1, i * 0.06, i * 1.0});
    writeBytes(tmp.path / "LONG.LST", testing::geotestShearFile(rows));
    writeBytes(tmp.path / "OLD.NDT", "previous test\r\n");
    const auto before = namesIn(tmp.path);

    NorvoTest dos(kGeoTest, kDirectShear, false);
    dos.load(tmp.path / "LONG.LST");
    ASSERT_EQ(dos.s.specimens.ReadingsToWrite(1), 120);
    EXPECT_FALSE(dos.exportTo(tmp.path / "OLD.NDT"));
    ASSERT_EQ(dos.op.texts(),
              std::vector<std::string>{"Specimen 1 has more than 99 readings, cannot export"});
    EXPECT_EQ(dos.op.messages[0].icon, MessageIcon::Information);
    EXPECT_FALSE(dos.s.pass.Exporting);
    EXPECT_EQ(namesIn(tmp.path), before);  // no index either
    EXPECT_EQ(bytesOf(tmp.path / "OLD.NDT"), "previous test\r\n");

    NorvoTest win(kGeoTest, kDirectShear, true);
    win.load(tmp.path / "LONG.LST");
    ASSERT_TRUE(win.exportTo(tmp.path / "OLD.NDT"));
    const auto block = blockOf(norvoRecords(bytesOf(tmp.path / "OLD.NDT")), 1);
    EXPECT_EQ(block.front() + " " + block.back(), "119,1,0,0,1 7.14, 119, 0");

    win.s.specimens.ReadingsToWrite(1) = 32768;
    win.op.messages.clear();
    EXPECT_FALSE(win.exportTo(tmp.path / "BIG.NDT"));
    EXPECT_TRUE(contains(win.lastMessage(), "Specimen 1 has more than 32767 readings"));
    EXPECT_FALSE(fs::exists(tmp.path / "BIG.NDT"));
}

// Fails as a full disk does once `room` bytes are used up; without room it cannot be opened.
class FailingWriter : public AtomicFileWriter {
  public:
    FailingWriter(const fs::path& target, std::size_t room, std::errc why)
        : AtomicFileWriter(target), room_(room), why_(why) {
        if (room == 0) fail(std::make_error_code(why));
    }
    std::error_code write(std::string_view bytes) override {
        if (bytes.size() > room_) return fail(std::make_error_code(why_));
        room_ -= bytes.size();
        return AtomicFileWriter::write(bytes);
    }

  private:
    std::size_t room_;
    std::errc why_;
};

TEST(NorvoFailures, AFailedExportLeavesTheNorvoFileAndTheIndexAsTheyWere) {
    TempFolder tmp;
    const std::string oldData = "an earlier test\r\n", oldIndex = indexRecord("1");
    const fs::path target = tmp.path / "TEST.NDT";
    const std::string shipped = bytesOf(kShipped / "NVNEW.NDT");
    writeBytes(tmp.path / "CUT.NDT", shipped.substr(0, shipped.find("4000,0,0,0,1")));
    writeBytes(tmp.path / "HEAD.NDT", shipped.substr(0, 200));
    auto failing = [](const fs::path& which, std::size_t room, std::errc why) {
        return [=](ExportFiles& f) {
            f.openOutput = [=](const fs::path& p) -> std::unique_ptr<AtomicFileWriter> {
                if (p.filename() == which.filename())
                    return std::make_unique<FailingWriter>(p, room, why);
                return std::make_unique<AtomicFileWriter>(p);
            };
        };
    };
    auto templateFile = [&](const char* name) {
        const fs::path path = tmp.path / name;
        return [path](ExportFiles& f) { f.templateFile = path; };
    };
    struct Case {
        const char* what;
        std::function<void(ExportFiles&)> inject;
        std::string title, text;  // the message's title and a part of its text
    } const cases[] = {
        {"unwritable folder", failing(target, 0, std::errc::permission_denied), "fSetupExportFile",
         "Error: 70 - Permission denied @ WayPoint 3  "},
        {"template cut in the head", templateFile("HEAD.NDT"), "fSetupExportFile",
         "Error: 62 - Input past end of file"},
        {"template cut in block 3", templateFile("CUT.NDT"), "ExportSpecimenData",
         "Error: 62 - Input past end of file"},
        {"disk full in block 1", failing(target, 800, std::errc::no_space_on_device), "NorvoExport",
         "NorvoExport error: 61 - Disk full @ WayPoint 1  P=  S=" + target.string()},
        {"index not writable",
         failing(tmp.path / "TRFILENM.RDT", 10, std::errc::read_only_file_system), "NorvoExport",
         "NorvoExport error: 70 - Permission denied @ WayPoint 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(target, oldData);
        writeBytes(tmp.path / "TRFILENM.RDT", oldIndex);
        const auto before = namesIn(tmp.path);
        NorvoTest t(kGeoTest, kDirectShear, false);
        t.load(kData / "geotest/lst_ds_reversing.LST");
        const double time = t.s.header.TimeOrRate(1);
        ExportFiles files = shippedFiles();
        c.inject(files);
        EXPECT_FALSE(t.exportTo(target, files));
        ASSERT_FALSE(t.op.messages.empty());
        EXPECT_EQ(t.op.messages.back().title, "Error writing NORVO file in " + c.title);
        EXPECT_TRUE(contains(t.lastMessage(), c.text)) << t.lastMessage();
        EXPECT_EQ(bytesOf(target), oldData);
        EXPECT_EQ(bytesOf(tmp.path / "TRFILENM.RDT"), oldIndex);
        EXPECT_EQ(namesIn(tmp.path), before);  // no temporary file left behind
        EXPECT_FALSE(t.s.pass.Exporting);
        EXPECT_EQ(t.s.header.TimeOrRate(1), time);  // the session is as it was
    }
    // A folder that really is read-only (root writes anyway).
    if (::geteuid() != 0) {
        fs::permissions(tmp.path, fs::perms::owner_read | fs::perms::owner_exec);
        NorvoTest t(kGeoTest, kDirectShear, false);
        t.load(kData / "geotest/lst_ds_reversing.LST");
        EXPECT_FALSE(t.exportTo(target));
        EXPECT_TRUE(contains(t.lastMessage(), "Error: 70 - Permission denied"));
        fs::permissions(tmp.path, fs::perms::owner_all);
        EXPECT_EQ(bytesOf(target), oldData);
    }
    // Without a failure the same export replaces both files.
    NorvoTest t(kGeoTest, kDirectShear, false);
    t.load(kData / "geotest/lst_ds_reversing.LST");
    ASSERT_TRUE(t.exportTo(target));
    EXPECT_NE(bytesOf(target), oldData);
    EXPECT_NE(bytesOf(tmp.path / "TRFILENM.RDT"), oldIndex);
}

TEST(NorvoFailures, ADAFileChangedAfterThePreviewIsNotWrittenWithAWrongCount) {
    TempFolder tmp;
    const fs::path file = tmp.path / "SHEAR.LST";
    fs::copy_file(kData / "geotest/lst_ds_reversing.LST", file);
    NorvoTest t(kGeoTest, kDirectShear, true);
    t.load(file);
    ASSERT_EQ(t.s.specimens.ReadingsToWrite(1), 9);
    std::string text = bytesOf(file);
    text.insert(text.find("123456789lastline"),
                " 10  4.50  0.040  22.0  506.9  0.0024  1000.0\r\n");
    writeBytes(file, text);
    EXPECT_FALSE(t.exportTo(tmp.path / "T.NDT"));
    ASSERT_FALSE(t.op.messages.empty());
    EXPECT_EQ(t.op.messages.back().title, "Error writing NORVO file in NorvoExport");
    EXPECT_TRUE(contains(t.lastMessage(), "block of specimen 1 announces 9 readings"));
    EXPECT_EQ(namesIn(tmp.path), std::set<std::string>{"SHEAR.LST"});
}

TEST(NorvoSaveAndExit, ChecksInOrderBeforeTheExport) {
    TempFolder tmp;
    Session s;
    RecordingOperator op;
    s.settings.NorvoProgPath = tmp.path.string() + "/";
    EXPECT_FALSE(saveAndExitChecks(s, op));
    s.specimens.SpecimenCount = 1;
    EXPECT_FALSE(saveAndExitChecks(s, op));
    s.program.NorvoFile = (tmp.path / "T.NDT").string();
    EXPECT_FALSE(saveAndExitChecks(s, op));
    EXPECT_EQ(op.texts(),
              (std::vector<std::string>{
                  "No data filtered yet", "A NORVO file name must be selected before exporting",
                  "Could not find: " + tmp.path.string() +
                      "/NV.DDT. Make sure\ra valid path to NORVO data files is "
                      "entered on the Settings screen"}));
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Information);
    writeBytes(tmp.path / "nv.ddt", bytesOf(kShipped / "NV.DDT"));  // any letter case
    EXPECT_TRUE(saveAndExitChecks(s, op));
    EXPECT_EQ(norvoDefaultsFile(s), tmp.path / "nv.ddt");  // the export reads the one found
}

TEST(NorvoIndex, RecordsOfSixtySevenCharactersCountedInRecordOne) {
    RecordingOperator op;
    const auto first = indexWithFile("", "TEST1.NDT", "Triaxial, boring 7", op);
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, "2" + std::string(64, ' ') + "\r\n" + "\"TEST1\",\"Triaxial, boring 7\"" +
                          std::string(37, ' ') + "\r\n");
    EXPECT_EQ(indexWithFile(std::string(67, '\0'), "A.NDT", "d", op)->substr(0, 2), "2 ");
    // A listed name (whatever its case) is not added twice, and its description is found.
    EXPECT_FALSE(indexWithFile(*first, "test1.ndt", "other", op));
    EXPECT_EQ(indexedDescription(*first, "TEST1.NDT", op), "Triaxial, boring 7");
    EXPECT_FALSE(indexedDescription(*first, "TEST2.NDT", op));
    const auto second = indexWithFile(*first, "test2.ndt", "Shear", op);
    EXPECT_EQ(second->substr(0, 2), "3 ");
    EXPECT_EQ(second->substr(134), indexRecord("\"test2\",\"Shear\""));
    // Texts are cut to 65 characters; a damaged count does not make the index grow to fit it.
    EXPECT_EQ(indexRecord(std::string(80, 'x')), std::string(65, 'x') + "\r\n");
    EXPECT_EQ(indexWithFile("9999" + first->substr(4), "B.NDT", "d", op)->size(), 3 * 67u);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(fNameDes("no comma here", 1, op), "");
    EXPECT_EQ(op.messages.at(0).title, "Error in fNameDese");
    EXPECT_EQ(op.messages.at(0).text, "Error: 5 - Invalid procedure call or argument");
}

TEST(NorvoIndex, ChoosingTheDataFile) {
    TempFolder tmp;
    RecordingOperator op;
    Session s;
    const std::string folder = tmp.path.string() + "/";
    writeBytes(tmp.path / "TRFILENM.RDT",
               indexRecord("2") + indexRecord("\"SHEAR4\",\"Levee borings, set 4\""));
    EXPECT_EQ(chooseNorvoFile(s, op, folder + "SHEAR4").description, "Levee borings, set 4");
    EXPECT_EQ(s.program.NorvoFile, folder + "SHEAR4.NDT");  // ".NDT" appended
    EXPECT_EQ(s.program.NorvoFileName, "SHEAR4.NDT");
    EXPECT_EQ(s.settings.NorvoPath, folder);
    EXPECT_TRUE(chooseNorvoFile(s, op, folder + "new.ndt").accepted);
    EXPECT_EQ(s.program.NorvoFileName, "new.ndt");
    chooseNorvoFile(s, op, "C:\\NORVO\\T1.NDT");  // Norvo's own paths split at "\"
    EXPECT_EQ(s.settings.NorvoPath, "C:\\NORVO\\");
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(chooseNorvoFile(s, op, folder + "shear.txt").accepted);
    EXPECT_EQ(s.program.NorvoFile + s.program.NorvoFileName, "");
    EXPECT_EQ(op.messages.at(0).text, "Not a valid NORVO file");
    chooseNorvoFile(s, op, folder + "sub/none.NDT");  // looking up never creates an index
    EXPECT_FALSE(fs::exists(tmp.path / "sub"));
}

TEST(NorvoHead, DefaultsTestMethodsFieldsAndUnits) {
    // data/NV.DDT as shipped; 57 values are one too few.
    const NorvoDefaults dos = readNorvoDefaults(kShipped / "NV.DDT");
    EXPECT_EQ(dos.d, (std::array<std::int16_t, 8>{0, 3, 2, 3, 1, 1, 4, 1}));
    EXPECT_EQ((std::array<int, 3>{dos.RateMode, dos.methodCode, dos.directShearFlag}),
              (std::array{1, 5, -1}));
    TempFolder tmp;
    const std::string nv = bytesOf(kShipped / "NV.DDT");
    writeBytes(tmp.path / "NV.DDT", nv.substr(0, nv.rfind(",\"END\"")));
    EXPECT_EQ(errorNumber([&] { readNorvoDefaults(tmp.path / "NV.DDT"); }), kErrPastEnd);

    // Windows: Direct Shear code 1, flag "Yes"; UU "ASTM - D 2850"; the others "Method A".
    Session s;
    const NorvoDefaults win = windowsNorvoDefaults();
    const TestMethod ds = testMethodFor(kDirectShear, win);
    const TestMethod uu = testMethodFor(kUnconsolidatedUndrained, win);
    EXPECT_EQ((std::array{ds.code, ds.directShearFlag, uu.code}), (std::array{1, 4, 4}));
    EXPECT_EQ(headerField(s, 28, "No", ds), "Yes");
    EXPECT_EQ(headerField(s, 26, "t", uu), "ASTM - D 2850");
    for (int type : {1, 4, 5, 6}) {
        const TestMethod m = testMethodFor(type, win);
        EXPECT_EQ(m.code, 4);
        EXPECT_EQ(headerField(s, 26, "t", m) + headerField(s, 28, "t", m), "ASTM - Method ANo");
    }
    NorvoDefaults odd = dos;
    odd.methodCode = 7;
    EXPECT_EQ(errorNumber([&] { testMethodFor(6, odd); }), kErrSubscript);

    // 51 characters: 18 go to field 9, the next 29 to field 10, the last 4 are dropped.
    s.header.SampleDescription = "Brown silty CLAY, trace fine sand, stiff, moist 123";
    EXPECT_EQ(headerField(s, 9, "t", ds), "Brown silty CLAY, ");
    EXPECT_EQ(headerField(s, 10, "t", ds), "trace fine sand, stiff, moist");

    // S, D, L: the file's units, or d3, d4, d7 where the file named none.
    NorvoDefaults d = win;
    d.d = {0, 11, 12, 13, 14, 15, 16, 17};
    s.header.StressUnit = 6;
    s.header.DispUnit = -1;
    s.header.LoadUnit = 2;
    s.settings.SourceType = kHumboldt;
    EXPECT_EQ(unitRecordFor(s, d), (std::array<int, 8>{0, 6, 12, 6, 14, 15, 16, 2}));
}

TEST(NorvoRecords, ReadAsNorvoWritesThemAndWrittenSoNorvoReadsThemBack) {
    TempFolder tmp;
    // Commas and every kind of line end separate values; Ctrl-Z ends a DOS file.
    writeBytes(tmp.path / "v",
               "\"a, b\" ,.5, -1.25E1 \r\n\"x\"\r7\n\r\n,3D2\r\n\x1a"
               "9\r\n");
    NorvoValueReader in(tmp.path / "v");
    EXPECT_EQ(in.nextText(), "a, b");
    EXPECT_EQ((std::array{in.nextNumber(), in.nextNumber()}), (std::array{0.5, -12.5}));
    EXPECT_EQ(in.nextText(), "x");
    EXPECT_EQ(in.nextInt16(), 7);
    // 0: the empty value before ",".
    EXPECT_EQ((std::array{in.nextNumber(), in.nextNumber()}), (std::array{0.0, 300.0}));
    EXPECT_EQ(errorNumber([&] { in.nextText(); }), kErrPastEnd);
    writeBytes(tmp.path / "w", "abc,32768,2.5\r\n");
    NorvoValueReader bad(tmp.path / "w");
    EXPECT_EQ(errorNumber([&] { bad.nextNumber(); }), kErrTypeMismatch);
    EXPECT_EQ(errorNumber([&] { bad.nextInt16(); }), kErrOverflow);
    EXPECT_EQ(bad.nextInt16(), 2);  // halves to even
    EXPECT_EQ(norvoRecord({textValue("say \"hi\"\r\n"), numberValue(0.5), flagOrIntValue(-1)}),
              "\"say 'hi'  \",0.5,-1\r\n");
}

TEST(NorvoRecords, TheStreamingWriterReplacesTheTargetOnlyOnCommit) {
    TempFolder tmp;
    const fs::path target = tmp.path / "T.NDT";
    writeBytes(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    const std::string big(200 * 1024, 'r');  // more than the write buffer
    {
        AtomicFileWriter w(target);
        EXPECT_FALSE(w.write("new ") || w.write(big) || w.finish());
        EXPECT_EQ(fs::file_size(w.temporary()), 4 + big.size());
    }  // never committed
    EXPECT_EQ(namesIn(tmp.path), std::set<std::string>{"T.NDT"});
    EXPECT_EQ(bytesOf(target), "old");
    {
        AtomicFileWriter w(target);
        EXPECT_FALSE(w.write("new ") || w.write(big) || w.commit());
    }
    EXPECT_EQ(bytesOf(target), "new " + big);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace plovix

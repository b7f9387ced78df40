// Preparing Humboldt channel-section files: the side-by-side text, the test type the channels
// give, the backup and working file names, and failures that leave the file as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "humboldt/prepare_text.h"
#include "sources/source_codes.h"
#include "support/norvo_files.h"
#include "support/recording_operator.h"
#include "support/temp_folder.h"
#include "text/line_reader.h"

namespace plovix {
namespace {

namespace fs = std::filesystem;
using plovix::testing::bytesOf;
using plovix::testing::RecordingOperator;
using plovix::testing::TempFolder;
using plovix::testing::writeBytes;
using Lines = std::vector<std::string>;

const fs::path kData = fs::path(PLOVIX_TEST_DATA) / "humboldt";

Lines headOf(const fs::path& path, int count) {
    auto in = LineReader::open(path);
    Lines lines;
    while (count-- > 0) lines.push_back(in->next().value_or("(end)"));
    return lines;
}
Session sessionFor(const fs::path& file, int testType, int specimen = 1) {
    Session s;
    s.settings.SourceType = kHumboldt;
    s.settings.DAFile = file.string();
    s.specimens.CurrentSpecimen = specimen;
    s.specimens.SpecimenPath(specimen) = file.parent_path().string() + "/";
    s.program.TestType = testType;
    return s;
}
// The first `count` lines of a fixture, or the fixture without line `line`.
std::string firstLines(const std::string& text, int count) {
    std::size_t at = 0;
    for (int n = 0; n < count; ++n) at = text.find("\r\n", at) + 2;
    return text.substr(0, at);
}
std::string withoutLine(const std::string& text, int line) {
    return firstLines(text, line - 1) + text.substr(firstLines(text, line).size());
}

TEST(HumboldtPrepare, TwoSectionsGoSideBySideAndMakeUnconfinedCompressionUnlessUU) {
    TempFolder tmp;
    const std::string original = bytesOf(kData / "prepare_two_sections.TXT");
    const fs::path file = tmp.path / "SPEC1.TXT";
    writeBytes(file, original);
    writeBytes(tmp.path / "SPEC1.ODA", "an older backup");
    Session s = sessionFor(file, kConsolidatedUndrained);
    RecordingOperator op;

    HumPrepareResult r = ModifyHumFile(s, op);
    EXPECT_EQ(r.outcome, HumPrepareOutcome::Prepared);
    EXPECT_EQ(r.testType, kUnconfinedCompression);
    EXPECT_EQ(s.program.TestType, kUnconfinedCompression);
    EXPECT_TRUE(op.messages.empty());
    // Units from line 8 (field 3) and line 31 (field 2, field 3 empty); deformation lines 16-20
    // as they stand, then field 7 of load lines 39-43, its blanks trimmed; then the whole file.
    EXPECT_EQ(bytesOf(file),
              "Ready4Import\r\nin\tlbs\r\n"
              "1\t\"03/14/24\"\t\"10:00:00\"\t0\t2000\t0\t0.000\t0.0\r\n"
              "2\t\"03/14/24\"\t\"10:00:30\"\t30\t2010\t10\t0.010\t12.5\r\n"
              "3\t\"03/14/24\"\t\"10:01:00\"\t60\t2020\t20\t0.020\t25.0\r\n"
              "4\t\"03/14/24\"\t\"10:01:30\"\t90\t2030\t30\t0.030\t31.5\r\n"
              "5\t\"03/14/24\"\t\"10:02:00\"\t120\t2040\t40\t0.040\t30.0\r\n" +
                  original);
    EXPECT_EQ(bytesOf(tmp.path / "SPEC1.ODA"), original);
    EXPECT_TRUE(fs::is_empty(tmp.path / "HumTemp"));

    // Prepared once, the file is never touched again, whatever the test type.
    const std::string prepared = bytesOf(file);
    s.program.TestType = kConsolidatedDrained;
    r = ModifyHumFile(s, op);
    EXPECT_EQ(r.outcome, HumPrepareOutcome::Unchanged);
    EXPECT_EQ(s.program.TestType, kConsolidatedDrained);
    EXPECT_EQ(bytesOf(file), prepared);
    EXPECT_EQ(bytesOf(tmp.path / "SPEC1.ODA"), original);

    // Specimen 2 works in its own file of the HumTemp folder beside its file; with
    // Unconsolidated Undrained a two-section file stays so.
    const fs::path second = tmp.path / "spec2" / "SPEC2.TXT",
                   work = second.parent_path() / "HumTemp";
    writeBytes(second, original);
    writeBytes(work / "_MH_TEMP1.$$$", "specimen 1's");
    writeBytes(work / "_MH_TEMP2.$$$", "left from before");
    s = sessionFor(second, kUnconsolidatedUndrained, 2);
    EXPECT_EQ(ModifyHumFile(s, op).outcome, HumPrepareOutcome::Prepared);
    EXPECT_EQ(s.program.TestType, kUnconsolidatedUndrained);
    EXPECT_FALSE(fs::exists(work / "_MH_TEMP2.$$$"));  // it became SPEC2.TXT
    EXPECT_EQ(bytesOf(work / "_MH_TEMP1.$$$"), "specimen 1's");
    EXPECT_EQ(bytesOf(second.parent_path() / "SPEC2.ODA"), original);
    EXPECT_TRUE(op.messages.empty());
}

TEST(HumboldtPrepare, AThirdSectionGivesTheThirdValueAndAVerticalOneMakesDirectShear) {
    TempFolder tmp;
    RecordingOperator op;
    // Load, deflection, "vert." in that order: the deflection lines (39-43) lead each line.
    const fs::path shear = tmp.path / "DS1.TXT";
    fs::copy_file(kData / "prepare_vert.TXT", shear);
    Session s = sessionFor(shear, kConsolidatedUndrained);
    EXPECT_EQ(ModifyHumFile(s, op).testType, kDirectShear);
    const Lines head = headOf(shear, 7);
    EXPECT_EQ(head[1], "in\tlbs\tin");
    EXPECT_EQ(head[2], "1\t\"03/14/24\"\t\"10:00:00\"\t0\t2000\t0\t0.000\t0.0\t0.0000");
    EXPECT_EQ(head[6], "5\t\"03/14/24\"\t\"10:02:00\"\t120\t2040\t40\t0.040\t40.5\t-0.0010");

    // A pressure channel keeps the test type chosen.
    const fs::path cu = tmp.path / "CU1.TXT";
    fs::copy_file(kData / "prepare_three_sections.TXT", cu);
    s = sessionFor(cu, kConsolidatedUndrained);
    EXPECT_EQ(ModifyHumFile(s, op).outcome, HumPrepareOutcome::Prepared);
    EXPECT_EQ(s.program.TestType, kConsolidatedUndrained);
    EXPECT_EQ(headOf(cu, 5)[1], "mm\tkN\tkPa");
    EXPECT_EQ(headOf(cu, 5)[4], "3\t\"03/14/24\"\t\"10:01:00\"\t60\t2020\t20\t0.50\t0.080\t6.0");
    EXPECT_TRUE(op.messages.empty());
}

// Sections with two trailer lines each (fewer than the four lines the count assumes before a
// "Channel" line): every reading of the first section is still taken.
TEST(HumboldtPrepare, TheSecondSectionAloneGivesTheCountWhateverTheTrailers) {
    const auto section = [](int channel, const char* description, const char* units, int scale) {
        std::string text =
            "\r\nChannel " + std::to_string(channel) + "\r\nDescription\t" + description + "\r\n";
        for (int line = 4; line <= 7; ++line) text += "x\r\n";
        text += std::string("Units\tEng\t") + units + "\r\n";
        for (int line = 9; line <= 15; ++line) text += "x\r\n";
        for (int n = 1; n <= 10; ++n)
            text += std::to_string(n) + "\ta\tb\tc\td\te\t" + std::to_string(n * scale) + "\t\r\n";
        return text + "Maximum\r\n\r\n";
    };
    TempFolder tmp;
    const fs::path file = tmp.path / "UC1.TXT";
    const std::string original = section(1, "Strain", "in", 1) + section(2, "Load", "lbs", 100);
    writeBytes(file, original);
    Session s = sessionFor(file, kUnconfinedCompression);
    RecordingOperator op;
    // Channel 2 at line 29, its readings from line 43 to 52 and two lines after: 54 - 43 - 1.
    ASSERT_EQ(ModifyHumFile(s, op).outcome, HumPrepareOutcome::Prepared) << op.messages[0].text;
    const Lines head = headOf(file, 13);
    EXPECT_EQ(head[1], "in\tlbs");
    EXPECT_EQ(head[2], "1\ta\tb\tc\td\te\t1\t100");
    EXPECT_EQ(head[11], "10\ta\tb\tc\td\te\t10\t1000");
    EXPECT_EQ(head[12], "");  // the original file follows
}

TEST(HumboldtPrepare, AnyFailureNamesTheFileAndLeavesItByteForByte) {
    TempFolder tmp;
    const std::string two = bytesOf(kData / "prepare_two_sections.TXT");
    std::string twoLoads = two;
    twoLoads.replace(twoLoads.find("Axial Deflection"), 16, "Axial Load");
    const auto refuse = [](const fs::path&, const fs::path&) {
        return std::make_error_code(std::errc::permission_denied);
    };
    struct Case {
        const char* what;
        std::string content;  // none: no file at all
        std::string text;     // "@" stands for the file's path
        ReplaceFileStep replace = nullptr;
        std::string title = "Error writing NORVO file in ModifyHumFile";
    } const cases[] = {
        {"one section", firstLines(two, 24),
         "Error: 62 - Input past end of file: @ has no second \"Channel\" line"},
        {"head cut short", firstLines(two, 28), "the section at line 25 of @ ends inside its head"},
        // Without the five deformation readings, reader 1 would take Channel 2 (line 20) as
        // its fifth reading.
        {"deformation short",
         withoutLine(withoutLine(withoutLine(withoutLine(withoutLine(two, 16), 16), 16), 16), 16),
         "the section at line 2 of @ has 4 lines from its first reading (line 16) to the "
         "\"Channel\" line at line 20, fewer than the 5 readings counted in the section at line "
         "20"},
        {"no deformation", twoLoads,
         "No section of @ holds the deformation channel; the file was not changed."},
        {"missing file", "", "Error: 53 - File not found: @ could not be read"},
        {"backup not writable", two, "Could not rename @ to its backup ", nullptr, "Plovix"},
        {"rename refused", two,
         "Error: 70 - Permission denied: @ could not be replaced by its prepared text", refuse},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = tmp.path / std::to_string(++n);
        const fs::path file = folder / "SPEC1.TXT";
        fs::create_directories(folder);
        if (!c.content.empty()) writeBytes(file, c.content);
        // A folder where the backup belongs cannot be replaced by it.
        if (c.title == "Plovix") writeBytes(folder / "SPEC1.ODA" / "keep", "");
        Session s = sessionFor(file, kConsolidatedUndrained);
        RecordingOperator op;
        const HumPrepareResult r =
            c.replace ? ModifyHumFile(s, op, c.replace) : ModifyHumFile(s, op);
        EXPECT_EQ(r.outcome, HumPrepareOutcome::Failed);
        EXPECT_EQ(s.program.TestType, kConsolidatedUndrained);
        ASSERT_EQ(op.messages.size(), 1u);
        EXPECT_EQ(op.messages[0].title, c.title);
        std::string text = c.text;
        text.replace(text.find('@'), 1, file.string());
        EXPECT_NE(op.messages[0].text.find(text), std::string::npos) << op.messages[0].text;
        EXPECT_EQ(fs::exists(file), !c.content.empty());
        if (!c.content.empty()) {
            EXPECT_EQ(bytesOf(file), c.content);
        }
        if (c.replace) {
            EXPECT_EQ(bytesOf(folder / "SPEC1.ODA"), c.content);  // the backup goes first
        }
        if (fs::exists(folder / "HumTemp")) {
            EXPECT_TRUE(fs::is_empty(folder / "HumTemp"));
        }
    }
}

}  // namespace
}  // namespace plovix

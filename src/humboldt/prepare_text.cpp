#include "humboldt/prepare_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/atomic_file.h"
#include "app/numbered_error.h"
#include "text/fields.h"
#include "text/line_reader.h"

namespace plovix {

namespace fs = std::filesystem;

namespace {

constexpr const char* kErrorTitle = "Error writing NORVO file in ModifyHumFile";
constexpr const char* kLineEnd = "\r\n";
constexpr std::string_view kChannelWord = "Channel";  // case-sensitive, as the files write it
constexpr char kTab = '\t';
constexpr long long kValueField = 7;

// Offsets from a section's "Channel" line.
constexpr int kUnitLineOffset = 6;
constexpr std::int64_t kFirstReadingOffset = 14;
// The reading count of every section is taken from the second: the lines from its first
// reading up to four lines before the next "Channel" line, or up to two lines before the end
// of the file.
constexpr std::int64_t kLinesBeforeNextChannel = 4;
constexpr std::int64_t kLinesAtEnd = 2;

enum Slot { kDeformation = 0, kLoad = 1, kThird = 2 };
constexpr std::array<const char*, 3> kSlotNames = {"deformation", "load", "pressure or vertical"};

struct Section {
    std::int64_t channelLine = 0;
    int slot = kLoad;
    bool vertical = false;
    std::string units;
    // Where the section's lines end: the next "Channel" line, or the end of the file.
    std::int64_t nextChannelLine = 0;  // 0: none, the file ends
    std::int64_t lastLine = 0;         // last line before that end
    std::int64_t firstReading() const { return channelLine + kFirstReadingOffset; }
    // Lines a reader can take from the first reading on without reaching that end.
    std::int64_t room() const { return std::max<std::int64_t>(lastLine - firstReading() + 1, 0); }
};

// Shown by ModifyHumFile; everything up to it leaves the file and the session alone.
struct PrepareFailure {
    std::string text;
    std::string title = kErrorTitle;
};

[[noreturn]] void fail(std::string text) {
    throw PrepareFailure{std::move(text) + "; the file was not changed."};
}

std::string errorPrefix(const NumberedError& error) {
    return errorText(error) + ": ";
}

NumberedError pastEnd() {
    return {kErrPastEnd, "Input past end of file"};
}

// The slot of a section from its channel line and the line after it, joined as they stand.
void classify(Section& section, const std::string& channel, const std::string& description) {
    const std::string text = upperAscii(channel + description);
    const auto has = [&](std::string_view word) { return text.find(word) != std::string::npos; };
    if (has("STRAIN") || has("DEFLECTION")) {
        section.slot = kDeformation;
    } else if (has("PRESS")) {
        section.slot = kThird;
    } else if (has("VERT")) {
        section.slot = kThird;
        section.vertical = true;
    } else {
        section.slot = kLoad;
    }
}

// Field 3 of the unit line, or field 2 when field 3 is empty.
std::string unitsOf(std::string_view line) {
    std::string units = separatedField(3, line, kTab);
    return units.empty() ? separatedField(2, line, kTab) : units;
}

// Reads the head of the section whose channel line was just read, up to its unit line;
// false when the file ends first.
bool readHead(LineReader& in, const std::string& channel, Section& section) {
    section.channelLine = in.linesConsumed();
    const auto description = in.next();
    if (!description) return false;
    classify(section, channel, *description);
    std::optional<std::string> line;
    for (int offset = 2; offset <= kUnitLineOffset; ++offset)
        if (!(line = in.next())) return false;
    section.units = unitsOf(*line);
    return true;
}

std::optional<std::string> nextChannelLine(LineReader& in) {
    while (auto line = in.next())
        if (line->find(kChannelWord) != std::string::npos) return line;
    return std::nullopt;
}

// Up to three sections (a fourth only ends the third); line 1 has been read.
std::vector<Section> scanSections(LineReader& in, const std::string& file) {
    std::vector<Section> sections(1);
    const auto firstChannel = in.next();  // line 2, whatever it holds
    if (!firstChannel || !readHead(in, *firstChannel, sections[0]))
        fail(errorPrefix(pastEnd()) + file + " has no second \"Channel\" line");
    for (;;) {
        const auto channel = nextChannelLine(in);
        Section& last = sections.back();
        last.nextChannelLine = channel ? in.linesConsumed() : 0;
        last.lastLine = channel ? in.linesConsumed() - 1 : in.linesConsumed();
        if (!channel || sections.size() == 3) break;
        Section next;
        if (!readHead(in, *channel, next))
            fail(errorPrefix(pastEnd()) + "the section at line " +
                 std::to_string(next.channelLine) + " of " + file + " ends inside its head");
        sections.push_back(std::move(next));
    }
    if (sections.size() < 2)
        fail(errorPrefix(pastEnd()) + file + " has no second \"Channel\" line");
    return sections;
}

// Why `file` cannot be read, if it cannot.
std::optional<NumberedError> unreadable(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return NumberedError{kErrFileNotFound, "File not found"};
        return numberedErrorOf({errno, std::system_category()});
    }
    struct stat st {};
    const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    ::close(fd);
    if (folder) return numberedErrorOf(std::make_error_code(std::errc::is_a_directory));
    return std::nullopt;
}

// `file` with its last three characters replaced by "ODA"; none when that is not another file
// in the same folder.
std::optional<fs::path> backupNameOf(const fs::path& file) {
    const std::string name = file.filename().string();
    if (name.size() < 3) return std::nullopt;
    fs::path backup = file;
    backup.replace_filename(name.substr(0, name.size() - 3) + "ODA");
    std::error_code error;
    if (backup == file || fs::equivalent(backup, file, error)) return std::nullopt;
    return backup;
}

// A reader on `file` whose next line is line `first`.
LineReader readerAt(const fs::path& file, std::int64_t first) {
    auto in = LineReader::open(file);
    if (!in) fail(errorPrefix({kErrFileAccess, "Path/File access error"}) + file.string());
    for (std::int64_t line = 1; line < first; ++line) in->next();
    return std::move(*in);
}

// The value field of a channel line, or the section ran out (only when the file changed).
std::string nextValue(LineReader& in, const std::string& file) {
    const auto line = in.next();
    if (!line) fail(errorPrefix(pastEnd()) + file + " changed while it was prepared");
    return separatedField(kValueField, *line, kTab);
}

void writePrepared(AtomicFileWriter& out, const fs::path& file,
                   const std::array<const Section*, 3>& bySlot, bool third, std::int64_t readings) {
    const std::string name = file.string();
    out.write(std::string(kPreparedMarker) + kLineEnd);
    out.write(bySlot[kDeformation]->units + kTab + bySlot[kLoad]->units +
              (third ? kTab + bySlot[kThird]->units : "") + kLineEnd);
    LineReader deformation = readerAt(file, bySlot[kDeformation]->firstReading());
    LineReader load = readerAt(file, bySlot[kLoad]->firstReading());
    std::optional<LineReader> other;
    if (third) other = readerAt(file, bySlot[kThird]->firstReading());
    for (std::int64_t n = 0; n < readings; ++n) {
        const auto line = deformation.next();
        if (!line) fail(errorPrefix(pastEnd()) + name + " changed while it was prepared");
        // The deformation line ends with a TAB, so the load value becomes field 8.
        std::string joined = *line + nextValue(load, name);
        if (other) joined += kTab + nextValue(*other, name);
        out.write(joined + kLineEnd);
    }
    LineReader original = readerAt(file, 1);
    while (auto line = original.next()) out.write(*line + kLineEnd);
}

// The unprepared bytes as they stand, under the backup name, with the file's permissions and
// time (the backup is the measured file).
std::error_code writeBackup(const fs::path& file, const fs::path& backup) {
    AtomicFileWriter out(backup);
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::make_error_code(std::errc::io_error);
    std::string chunk(1 << 16, '\0');
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        out.write(std::string_view(chunk.data(), static_cast<std::size_t>(in.gcount())));
    if (in.bad()) return std::make_error_code(std::errc::io_error);
    if (auto error = out.finish()) return error;
    std::error_code ignored;
    fs::permissions(out.temporary(), fs::status(file, ignored).permissions(), ignored);
    fs::last_write_time(out.temporary(), fs::last_write_time(file, ignored), ignored);
    return out.commit();
}

// Removes the working file when the preparation stops after it was written.
struct WorkingFile {
    fs::path path;
    bool keep = false;
    ~WorkingFile() {
        std::error_code ignored;
        if (!keep && !path.empty()) fs::remove(path, ignored);
    }
};

}  // namespace

HumPrepareResult ModifyHumFile(Session& s, Operator& op) {
    return ModifyHumFile(s, op, renameDurably);
}

HumPrepareResult ModifyHumFile(Session& s, Operator& op, const ReplaceFileStep& replace) {
    const fs::path file = s.settings.DAFile;
    const std::string name = s.settings.DAFile;
    try {
        if (auto error = unreadable(file)) fail(errorPrefix(*error) + name + " could not be read");
        LineReader in = readerAt(file, 1);
        if (in.next() == std::string(kPreparedMarker))
            return {HumPrepareOutcome::Unchanged, s.program.TestType};

        const std::vector<Section> sections = scanSections(in, name);
        const bool third = sections.size() == 3;
        int testType = s.program.TestType;
        std::array<const Section*, 3> bySlot{};
        for (const Section& section : sections) {
            bySlot[section.slot] = &section;  // a later section of the same slot wins
            if (section.vertical) testType = kDirectShear;
        }
        if (!third && testType != kUnconfinedCompression && testType != kUnconsolidatedUndrained)
            testType = kUnconfinedCompression;

        const Section& second = sections[1];
        const std::int64_t readings =
            second.nextChannelLine != 0
                ? second.nextChannelLine - second.firstReading() - kLinesBeforeNextChannel
                : second.lastLine - second.firstReading() + 1 - kLinesAtEnd;
        if (readings < 1)
            fail("The section at line " + std::to_string(second.channelLine) + " of " + name +
                 " holds no readings");
        for (int slot = kDeformation; slot <= (third ? kThird : kLoad); ++slot) {
            const Section* section = bySlot[slot];
            if (section == nullptr)
                fail("No section of " + name + " holds the " + kSlotNames[slot] + " channel");
            // Only a reader that would take the next "Channel" line, or run past the end of
            // the file, is refused; trailer lines may be fewer or more than counted above.
            if (section->room() < readings)
                fail(errorPrefix(pastEnd()) + "the section at line " +
                     std::to_string(section->channelLine) + " of " + name + " has " +
                     std::to_string(section->room()) + " lines from its first reading (line " +
                     std::to_string(section->firstReading()) + ") to " +
                     (section->nextChannelLine != 0 ? "the \"Channel\" line at line " +
                                                          std::to_string(section->nextChannelLine)
                                                    : std::string("the end of the file")) +
                     ", fewer than the " + std::to_string(readings) +
                     " readings counted in the section at line " +
                     std::to_string(second.channelLine));
        }
        const auto backup = backupNameOf(file);
        if (!backup)
            throw PrepareFailure{"Could not rename " + name +
                                     ": no other backup name ending in \"ODA\" can be made from "
                                     "its name; the file was not changed.",
                                 kProgramName};

        // The working file lies beside the file, so the last rename stays on one file system.
        fs::path folder = file.parent_path();
        if (folder.empty()) folder = ".";
        const fs::path workFolder = folder / kHumWorkFolder;
        std::error_code error;
        fs::create_directories(workFolder, error);
        if (error)
            fail(errorPrefix(numberedErrorOf(error)) + "the working folder " + workFolder.string() +
                 " for " + name + " could not be made");
        WorkingFile work{workFolder /
                         ("_MH_TEMP" + std::to_string(s.specimens.CurrentSpecimen) + ".$$$")};
        {
            AtomicFileWriter out(work.path);
            writePrepared(out, file, bySlot, third, readings);
            if ((error = out.commit()))
                fail(errorPrefix(numberedErrorOf(error)) + "the working file " + work.path.string() +
                     " for " + name + " could not be written");
        }
        std::error_code ignored;
        fs::permissions(work.path, fs::status(file, ignored).permissions(), ignored);

        if ((error = writeBackup(file, *backup)))
            throw PrepareFailure{"Could not rename " + name + " to its backup " + backup->string() +
                                     " (" + errorText(numberedErrorOf(error)) +
                                     "); the file was not changed.",
                                 kProgramName};
        if ((error = replace(work.path, file)))
            fail(errorPrefix(numberedErrorOf(error)) + name +
                 " could not be replaced by its prepared text (its backup " + backup->string() +
                 " is written)");
        work.keep = true;
        s.program.TestType = testType;
        return {HumPrepareOutcome::Prepared, testType};
    } catch (const PrepareFailure& failure) {
        op.showMessage(failure.text, failure.title, MessageIcon::None);
    } catch (const std::exception& e) {
        op.showMessage(errorPrefix({kErrFileAccess, e.what()}) + name +
                           " could not be prepared; the file was not changed.",
                       kErrorTitle, MessageIcon::None);
    }
    return {HumPrepareOutcome::Failed, s.program.TestType};
}

}  // namespace plovix

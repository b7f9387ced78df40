#include "display/data_display.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>

#include "filter/time_stamps.h"
#include "sources/header_reader.h"
#include "sources/source_display.h"
#include "sources/source_table.h"
#include "text/line_reader.h"

namespace plovix {

namespace {

// Passes messages on; the test-type question of the header reader is answered OK: the file
// was read with this test type before it can be displayed.
class DisplayOperator final : public Operator {
  public:
    explicit DisplayOperator(Operator& outer) : outer_(outer) {}
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        outer_.showMessage(text, title, icon);
    }
    bool askOkCancel(const std::string&, const std::string&, MessageIcon) override { return true; }
    void showStatus(const std::string& text, int colourCode) override {
        outer_.showStatus(text, colourCode);
    }
    void reportProgress(std::int64_t done, std::int64_t total) override {
        outer_.reportProgress(done, total);
    }
    void processEvents() override { outer_.processEvents(); }

  private:
    Operator& outer_;
};

LineReader openFile(const std::string& path) {
    if (auto in = LineReader::open(path)) return std::move(*in);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw DisplayError{53, "File not found"};
    throw DisplayError{75, "Path/File access error"};
}

// Reads the header as the reading pass does, leaving the session's copy with this file's
// facts. Returns the lines the header reader consumed: the reading pass starts after them.
std::int64_t readHeader(Session& s, Operator& op, LineReader& in) {
    const SourceLayout* layout = findSource(s.settings.SourceType);
    if (layout == nullptr || layout->readHeader == nullptr)
        throw DisplayError{5, "Invalid procedure call or argument"};
    try {
        keepHeader(s, layout->readHeader(s, op, in));
    } catch (const NotInExpectedFormat&) {
        throw DisplayError{13, "Type mismatch"};
    } catch (const HeaderError& e) {
        throw DisplayError{e.number, e.description};
    }
    return in.linesConsumed();
}

bool readsThird(int testType) {
    return testType == kDirectShear || testType == kCuWithPorePressures ||
           testType == kConsolidatedDrained;
}

// The vertical zero of the reading pass: with GEOTACUFVDAZ its first reading's third value,
// unless the pass put a zero reading first.
void takeVerticalZero(DisplayContext& c, const std::string& line) {
    Session& s = c.s;
    const int spec = s.specimens.CurrentSpecimen;
    if (!s.settings.GEOTACUFVDAZ || !readsThird(s.program.TestType) || s.pass.InsertZero(spec))
        return;
    s.pass.VertZero = 0;
    s.pass.VertZero = c.field(line, 3);
}

void showFile(DisplayContext& c, const SourceDisplay& rules, const PrintedAt& at) {
    Session& s = c.s;
    LineReader in = openFile(s.settings.DAFile);
    const std::int64_t H = rules.headerLines(s, readHeader(s, c.op, in));
    if (rules.beforeReading != nullptr) rules.beforeReading(c);

    const int spec = s.specimens.CurrentSpecimen;
    // The line the reading pass takes its first reading from, when it has read this file.
    const std::int64_t firstReading =
        s.pass.FirstLine(spec) > 0 ? s.pass.FirstLine(spec) + s.pass.InitialSkip(spec) : 0;
    s.pass.VertZero = 0;
    in.rewind();
    std::vector<std::string> header;
    std::int64_t lineNo = 0;
    while (auto line = in.next(s.header.LineByLF)) {
        ++lineNo;
        ++c.lineCount;
        if (c.lineCount <= H) {
            header.push_back(std::move(*line));
            if (c.lineCount < H) continue;
            c.print("Date Printed.. " + at.date);
            c.print("Time Printed.. " + at.time);
            rules.headerBlock(c, header);
            header.clear();
            continue;
        }
        if (lineNo == firstReading) takeVerticalZero(c, *line);
        rules.readingLine(c, *line);
    }
}

}  // namespace

PrintedAt printedAt(std::time_t when, bool utc) {
    std::tm t{};
    if (utc ? gmtime_r(&when, &t) == nullptr : localtime_r(&when, &t) == nullptr) return {};
    const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%d/%d/%d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
    std::snprintf(time, sizeof time, "%d:%02d:%02d %s", hour12, t.tm_min, t.tm_sec,
                  t.tm_hour < 12 ? "AM" : "PM");
    return {date, time};
}

DisplayOutcome Display(const Session& session, Operator& op, const PrintedAt& at,
                       const PrintLine& print) {
    if (session.settings.DAFile.empty()) {
        op.showMessage("No data to display", kProgramName, MessageIcon::Information);
        return DisplayOutcome::NoData;
    }
    Session s = session;
    DisplayOperator quiet(op);
    DisplayContext c{s, quiet, print, fIsDate};
    const SourceLayout* layout = findSource(s.settings.SourceType);
    const SourceDisplay* rules = layout != nullptr ? layout->display : nullptr;
    if (rules != nullptr) {
        print(std::string("KALVORN Software program to display ") + rules->label + " Shear Data");
        print("");
        print("File Name....." + s.settings.DAFile);
        if (rules->showsSpecimenNumber)
            print("Shear specimen number..... " + std::to_string(s.specimens.CurrentSpecimen));
    }
    std::optional<DisplayError> failure;
    try {
        if (rules == nullptr) throw DisplayError{5, "Invalid procedure call or argument"};
        showFile(c, *rules, at);
    } catch (const DisplayError& e) {
        failure = e;
    } catch (const std::out_of_range&) {
        failure = DisplayError{9, "Subscript out of range"};
    } catch (const std::bad_alloc&) {
        failure = DisplayError{7, "Out of memory"};
    }
    if (!failure) return DisplayOutcome::Shown;
    op.showMessage(
        "Error in file: " + std::to_string(failure->number) + ", " + failure->description,
        kProgramName, MessageIcon::None);
    return DisplayOutcome::Failed;
}

std::vector<std::string> displayLines(const Session& s, Operator& op, const PrintedAt& at) {
    std::vector<std::string> lines;
    Display(s, op, at, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

}  // namespace plovix

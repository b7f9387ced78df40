// A Humboldt channel-section file through its preparation. Whatever happens, the file must be
// whole: after a failure byte for byte as it was, after a preparation the prepared text with
// the unprepared bytes in its backup, and a prepared file is never prepared again.
//
// Control byte 0: bits 0-2 the test type chosen before (1..6), bit 3 the last rename fails,
// bits 4-5 specimen 1..4 (the working file's name), bits 6-7 the file's name. The rest is the
// file.

#include <array>
#include <cstdint>
#include <string>

#include "app/atomic_file.h"
#include "fuzz_support.h"
#include "humboldt/prepare_text.h"
#include "text/line_reader.h"

namespace {

using namespace plovix;
namespace fs = std::filesystem;

// A plain name, names too short for a backup name or whose backup name is their own, and one
// with a blank.
constexpr std::array<const char*, 4> kFileNames = {"SPEC1.TXT", "AB", "SPEC1.ODA", "spec one.txt"};

// The text a preparation must leave after its header: every line of the original, CR LF.
std::string linesOf(const std::string& bytes) {
    std::string text;
    auto in = LineReader::fromBytes(bytes);
    while (auto line = in.next()) text += *line + "\r\n";
    return text;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Input input(data, size, 1);
    const std::string original(input.rest());
    // A fresh folder each time, so that whatever a run leaves behind is its own.
    const fs::path folder = fuzz::scratchFolder() / "prepare";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directory(folder, ignored);
    const fs::path file = folder / kFileNames[(input.control(0) >> 6) & 3];
    const std::string name = file.filename().string();
    const fs::path backup =
        name.size() >= 3 ? folder / (name.substr(0, name.size() - 3) + "ODA") : fs::path();
    fuzz::writeScratchFile(file, original);

    Session s;
    const int testType = 1 + (input.control(0) & 7) % 6;
    s.program.TestType = testType;
    s.specimens.CurrentSpecimen = 1 + ((input.control(0) >> 4) & 3);
    s.settings.DAFile = file.string();
    s.settings.DAName = file.filename().string();
    fuzz::ScriptedOperator op(0);
    const bool renameFails = input.bit(0, 3);
    const ReplaceFileStep replace = [&](const fs::path& from, const fs::path& to) {
        if (renameFails) return std::make_error_code(std::errc::io_error);
        return renameDurably(from, to);
    };

    const HumPrepareResult result = ModifyHumFile(s, op, replace);
    const std::string after = fuzz::fileBytes(file);
    switch (result.outcome) {
        case HumPrepareOutcome::Failed:
            if (after != original) fuzz::broken("a failed preparation changed the file");
            if (op.shown != 1) fuzz::broken("a failed preparation did not show one message");
            if (s.program.TestType != testType)
                fuzz::broken("a failed preparation changed the test type");
            break;
        case HumPrepareOutcome::Unchanged:
            if (after != original) fuzz::broken("a prepared file was written again");
            if (op.shown != 0) fuzz::broken("a prepared file gave a message");
            break;
        case HumPrepareOutcome::Prepared: {
            if (renameFails) fuzz::broken("the preparation succeeded without its last rename");
            if (fuzz::fileBytes(backup) != original)
                fuzz::broken("the backup does not hold the unprepared bytes");
            if (after.rfind(std::string(kPreparedMarker) + "\r\n", 0) != 0 ||
                !endsWith(after, linesOf(original)))
                fuzz::broken("the prepared file does not hold the marker and the whole original");
            if (s.program.TestType != result.testType)
                fuzz::broken("the derived test type is not the session's");
            // Prepared once is prepared for good.
            fuzz::ScriptedOperator again(0);
            if (ModifyHumFile(s, again, replace).outcome != HumPrepareOutcome::Unchanged ||
                fuzz::fileBytes(file) != after)
                fuzz::broken("a prepared file was prepared again");
            break;
        }
    }
    // Nothing half-written stays behind: only the file, its backup and the working folder.
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path& p = entry.path();
        if (p.filename() == kHumWorkFolder) {
            if (!fs::is_empty(p)) fuzz::broken("the working folder was left with a file in it");
        } else if (p.filename() != file.filename() && p != backup) {
            fuzz::broken("the preparation left " + p.string() + " behind");
        }
    }
    return 0;
}

#include "sources/header_reader.h"

#include <cmath>
#include <stdexcept>

#include "sources/header_lines.h"
#include "sources/source_table.h"

namespace plovix {

namespace {

std::string sourceNameOf(const Session& s) {
    if (!s.program.SourceName.empty()) return s.program.SourceName;
    const SourceLayout* layout = findSource(s.settings.SourceType);
    return layout ? layout->name : "";
}

}  // namespace

std::string testTypeName(int testType) {
    static const char* const kNames[] = {"Unconfined Compression",   "Direct Shear",
                                         "Unconsolidated Undrained", "Consolidated Undrained",
                                         "CU with Pore Pressures",   "Consolidated Drained"};
    if (testType < 1 || testType > kTestTypeCount) return "";
    return kNames[testType - 1];
}

double areaOfDiameter(double diameter) {
    constexpr double kPi = 3.141592654;
    return kPi * diameter * diameter / 4;
}

void confirmTestType(int testType, Operator& op, const std::string& kind) {
    const std::string name = testTypeName(testType);
    const std::string text = "The import file indicates this is " + kind + ", you selected " +
                             name + " Press OK to use " + name +
                             " or Cancel to change test type to " + kind + " and try again.";
    if (!op.askOkCancel(text, "Continue with wrong test type?", MessageIcon::Question))
        throw OperationEnded{};
}

std::string headerLine(LineReader& in, bool byLF) {
    auto line = in.next(byLF);
    if (!line) throw HeaderError{62, "Input past end of file"};
    return std::move(*line);
}

HeaderFound startHeader(const Session& s) {
    HeaderFound found{s.header, s.program.TestType, 0};
    // Only the layouts read by line feed set this; the previous file's setting must not stay.
    found.header.LineByLF = false;
    // Nor may a GEOTAC 5.2.1 direct shear file's load column make the next file's normal
    // values loads.
    found.header.NormalIsLoad = false;
    return found;
}

void keepHeader(Session& s, HeaderFound found) {
    s.header = std::move(found.header);
    s.program.TestType = found.testType;
    s.fields = {};
}

double headerNumber(std::string_view text) {
    const double value = readNumber(text);
    if (!std::isfinite(value)) throw HeaderError{6, "Overflow"};
    return value;
}

HeaderResult fSkipHeaders(Session& s, Operator& op, LineReader& in) {
    const SourceLayout* layout = findSource(s.settings.SourceType);
    // A failed header leaves nothing of itself behind: the facts of the previous file stay,
    // as the reader works on its own copy.
    try {
        if (layout == nullptr || layout->readHeader == nullptr)
            throw HeaderError{0, "No header layout is known for the source " + sourceNameOf(s)};
        HeaderFound found = layout->readHeader(s, op, in);
        const std::int64_t lines = found.lines;
        keepHeader(s, std::move(found));
        return {HeaderStatus::Read, lines};
    } catch (const NotInExpectedFormat&) {
        const bool openSettings = op.askOkCancel(
            "The file you are importing is not in the expected format, " + sourceNameOf(s) +
                ". Press OK to go to Program Setup, or Cancel to Abort",
            "Error in fSkipHeaders", MessageIcon::Exclamation);
        return {openSettings ? HeaderStatus::OpenSettings : HeaderStatus::Ended, 0};
    } catch (const OperationEnded&) {
    } catch (const HeaderError& e) {
        op.showMessage(s.program.AppVersion + "Error: " + std::to_string(e.number) + " - " +
                           e.description + "   Waypoint: " + std::to_string(in.linesConsumed()),
                       "Error in fSkipHeaders", MessageIcon::Critical);
    } catch (const std::out_of_range& e) {
        op.showMessage(s.program.AppVersion + "Error: 9 - Subscript out of range (" + e.what() +
                           ")   Waypoint: " + std::to_string(in.linesConsumed()),
                       "Error in fSkipHeaders", MessageIcon::Critical);
    }
    return {HeaderStatus::Ended, 0};
}

}  // namespace plovix

#pragma once
// Reading the header of a D/A file: `fSkipHeaders` dispatches to the layout of the current
// source, which fills the session's header facts for the current specimen (texts, units,
// area, normal stress or cell pressure, rate, data columns, calibration constants) and leaves
// the reader on the first data line.

#include <cstdint>
#include <string>

#include "app/operation.h"
#include "app/operator.h"
#include "app/session.h"
#include "text/line_reader.h"

namespace plovix {

enum class HeaderStatus {
    Read,          // the header was read; `lines` is the layout's documented count
    OpenSettings,  // "not in the expected format" answered OK: the caller opens the settings
    Ended,         // the import of this file ends (Cancel, or an error already shown)
};

struct HeaderResult {
    HeaderStatus status = HeaderStatus::Ended;
    // The documented result: the header line count of the layout (kept for the data display),
    // 0 unless `status` is Read. The lines really consumed are the reader's linesConsumed().
    std::int64_t lines = 0;
};

// Reads the header of the file open in `in` (positioned at its start). When the import ends
// (Cancel at a prompt, an error), the session is left exactly as it was before the call.
HeaderResult fSkipHeaders(Session& s, Operator& op, LineReader& in);

// What a layout's header reader found. The reader fills its own copy; nothing reaches the
// session until the header has been read to its end.
struct HeaderFound {
    HeaderValues header;     // the session's header values, with this file's facts
    int testType = 0;        // the test type the file is read as (a GEOTAC file may change it)
    std::int64_t lines = 0;  // the layout's documented header line count
};

// Puts what a header reader found into the session.
void keepHeader(Session& s, HeaderFound found);

// Raised inside a layout's header reader; fSkipHeaders turns it into its message. Cancel at
// the test-type prompt ends the import with OperationEnded.
struct NotInExpectedFormat {};  // the "not in the expected format" failure
struct HeaderError {            // any other failure, with the old platform's number and text
    int number;
    std::string description;
};

// The test-type prompt: the file indicates `kind` ("a Direct shear", "a CUPP or CD", ...),
// the operator chose another test type than `testType`. Returns on OK; throws OperationEnded
// on Cancel.
void confirmTestType(int testType, Operator& op, const std::string& kind);

// The test-type names, as listed to the operator, by test-type code 1..6.
std::string testTypeName(int testType);

// pi x d^2 / 4 with the value of pi the files' areas were always computed with.
double areaOfDiameter(double diameter);

}  // namespace plovix

#pragma once
// Helpers the layouts' header readers share.

#include <string>
#include <string_view>

#include "sources/header_reader.h"
#include "text/number_reading.h"

namespace plovix {

// The next header line; the end of the file inside a header is an error
// ("Input past end of file"), as it was on the old platform.
std::string headerLine(LineReader& in, bool byLF = false);

// A number of the header (the system's number reading); too large a number is an overflow.
double headerNumber(std::string_view text);

// Where every header reader starts: the session's header values and test type, with the
// line-feed reading of a previous file cleared.
HeaderFound startHeader(const Session& s);

// The header readers of the layouts, for the table of sources. Each returns what it found
// and throws NotInExpectedFormat, HeaderError or OperationEnded.
HeaderFound geomaticHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound geotestHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound proprietaryClientHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound durhamGeoHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound geotacHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound humboldtHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound enkayHeader(const Session& s, Operator& op, LineReader& in);
HeaderFound eleSoilTestHeader(const Session& s, Operator& op, LineReader& in);

}  // namespace plovix

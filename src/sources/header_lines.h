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

// The header readers of the layouts, for the table of sources. Each returns the layout's
// documented header line count and throws NotInExpectedFormat, ImportCancelled or
// HeaderError.
std::int64_t geomaticHeader(Session& s, Operator& op, LineReader& in);
std::int64_t geotestHeader(Session& s, Operator& op, LineReader& in);
std::int64_t proprietaryClientHeader(Session& s, Operator& op, LineReader& in);
std::int64_t durhamGeoHeader(Session& s, Operator& op, LineReader& in);
std::int64_t geotacHeader(Session& s, Operator& op, LineReader& in);
std::int64_t humboldtHeader(Session& s, Operator& op, LineReader& in);
std::int64_t enkayHeader(Session& s, Operator& op, LineReader& in);
std::int64_t eleSoilTestHeader(Session& s, Operator& op, LineReader& in);

}  // namespace plovix

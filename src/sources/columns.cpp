#include "sources/columns.h"

#include "text/fields.h"

namespace plovix {

char columnSeparator(const Session& s) {
    return s.settings.SourceType == kEnKay || s.specimens.KWDSFile ? ',' : '\t';
}

std::string fTabField(const Session& s, long long k, std::string_view line) {
    return separatedField(k, line, columnSeparator(s));
}

}  // namespace plovix

#include "sources/columns.h"

#include "sources/source_traits.h"
#include "text/fields.h"

namespace plovix {

char columnSeparator(const Session& s) {
    return s.specimens.KWDSFile ? ',' : traitsOf(s.settings).columnSeparator;
}

std::string fTabField(const Session& s, long long k, std::string_view line) {
    return separatedField(k, line, columnSeparator(s));
}

}  // namespace plovix

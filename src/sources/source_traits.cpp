#include "sources/source_traits.h"

#include <algorithm>

#include "sources/source_table.h"

namespace plovix {

namespace {

constexpr SourceTraits kPlain{};

}  // namespace

const SourceTraits& traitsOf(int code) {
    const SourceLayout* layout = findSource(code);
    return layout != nullptr ? *layout->traits : kPlain;
}

const SourceTraits& traitsOf(const Settings& st) {
    return traitsOf(st.SourceType);
}

bool readsFourColumnFiles(const Settings& st) {
    return traitsOf(st).fourColumnOption && st.KWDS;
}

bool usesFullTransfer(const Settings& st) {
    return traitsOf(st).fullTransferOption && st.HUMFTHSD;
}

bool readsWorkbooks(const Settings& st) {
    return traitsOf(st).workbookOption && st.HUMREADXL;
}

bool preparesFiles(const Settings& st) {
    return traitsOf(st).preparedFiles && !st.HUMXLEXP;
}

bool keepsHumIncOne(const Settings& st) {
    return traitsOf(st).workbookOption && (st.HUMREADXL || st.HUMXLEXP);
}

int settingsFrameOf(std::string_view key) {
    for (const SourceLayout& source : sourceTable()) {
        const auto& options = source.traits->frameOptions;
        if (std::find(options.begin(), options.end(), key) != options.end()) return source.code;
    }
    return 0;
}

}  // namespace plovix

#include "export/norvo_defaults.h"

#include "app/program_paths.h"
#include "export/norvo_records.h"

namespace plovix {

namespace fs = std::filesystem;

NorvoDefaults windowsNorvoDefaults() {
    NorvoDefaults n;
    n.d = {0, 4, 1, 1, 1, 2, 2, 1};
    n.RateMode = 2;
    n.methodCode = 4;
    n.directShearFlag = 4;
    return n;
}

NorvoDefaults readNorvoDefaults(const fs::path& path) {
    NorvoValueReader in(path);
    NorvoDefaults n;
    int position = 0;
    // Reads up to and including value `upTo`, which it returns as a 16-bit number.
    auto valueAt = [&](int upTo) {
        in.skip(upTo - position - 1);
        position = upTo;
        return in.nextInt16();
    };
    for (int k = 1; k <= 7; ++k) n.d[static_cast<std::size_t>(k)] = valueAt(k);
    n.RateMode = valueAt(11);
    n.methodCode = valueAt(52);
    n.directShearFlag = valueAt(56);
    // The file must hold all its values; a shorter one is not a defaults file.
    in.skip(kNorvoDefaultsValueCount - position);
    return n;
}

std::optional<fs::path> norvoDefaultsIn(const std::string& folder) {
    const fs::path where = folder.empty() ? fs::path(".") : fs::path(folder);
    return findCompanionFile(kNorvoDefaultsFileName, where, where);
}

std::optional<fs::path> norvoDefaultsFile(const Session& s) {
    if (auto checked = norvoDefaultsIn(s.settings.NorvoProgPath)) return checked;
    const fs::path program = fAppPath();
    return findCompanionFile(kNorvoDefaultsFileName, program, installedDataFolder(program));
}

std::string testMethodName(int code) {
    static const char* const kNames[] = {
        "ASTM - D 2850",
        "Corps of Eng. - uniform strain",
        "Corps of Eng. - saturation assumed",
        "COE - uniform strain & water volume",
        "ASTM - Method A",
        "ASTM - Method B",
        "ASTM - Method B w/saturation est.",
    };
    if (code < 0 || code > 6) throw ExportError{kErrSubscript, "Subscript out of range"};
    return kNames[code];
}

}  // namespace plovix

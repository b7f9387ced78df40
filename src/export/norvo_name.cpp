#include "export/norvo_name.h"

#include "export/dos_index.h"
#include "export/norvo_records.h"
#include "text/fields.h"

namespace plovix {

std::optional<std::string> norvoDataFileName(std::string_view name) {
    if (name.empty()) return std::nullopt;
    if (name.find('.') == std::string_view::npos) return std::string(name) + ".NDT";
    if (name.size() < 4 || upperAscii(name.substr(name.size() - 4)) != ".NDT") return std::nullopt;
    return std::string(name);
}

NorvoFileChoice chooseNorvoFile(Session& s, Operator& op, const std::string& chosenPath) {
    NorvoFileChoice choice;
    std::string& file = s.program.NorvoFile;
    std::string& name = s.program.NorvoFileName;
    // Paths from Norvo's own settings may use either separator.
    const std::size_t slash = chosenPath.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : chosenPath.substr(0, slash + 1);
    const auto accepted =
        norvoDataFileName(slash == std::string::npos ? chosenPath : chosenPath.substr(slash + 1));
    if (!accepted) {
        op.tell("Not a valid NORVO file");
        file.clear();
        name.clear();
        return choice;
    }
    name = *accepted;
    file = folder + name;
    s.settings.NorvoPath = folder;
    choice.accepted = true;

    try {
        const std::string index = readIndexFile(indexFileIn(folder.empty() ? "." : folder));
        choice.description = indexedDescription(index, name, op);
    } catch (const ExportError& error) {
        op.showMessage(errorText(error), "Error in GetNorvoFile", MessageIcon::None);
    }
    return choice;
}

}  // namespace plovix

#pragma once
// Choosing the Norvo data file (the engine side of "Select File Name"): the name must be a
// Norvo data file name, its folder becomes NorvoPath, and when the DOS index of that folder
// lists the file, its description is offered for the description box.

#include <optional>
#include <string>
#include <string_view>

#include "app/operator.h"
#include "app/session.h"

namespace plovix {

// The description box's text when the index offers none.
inline constexpr const char* kDefaultNorvoDescription = "Imported from data acquisition file";

// A Norvo data file name as accepted: ".NDT" in any letter case is kept, a name without "."
// gets ".NDT"; nullopt for a name with another extension.
std::optional<std::string> norvoDataFileName(std::string_view name);

struct NorvoFileChoice {
    bool accepted = false;                   // false: "Not a valid NORVO file" was shown
    std::optional<std::string> description;  // the file's description in the DOS index
};

// The path chosen in the file dialog: sets NorvoFile, NorvoFileName and NorvoPath (the folder
// with its trailing separator). A name with another extension shows "Not a valid NORVO file"
// and leaves NorvoFile and NorvoFileName empty. The index is only read here, never created.
NorvoFileChoice chooseNorvoFile(Session& s, Operator& op, const std::string& chosenPath);

}  // namespace plovix

#pragma once
// The defaults of the Norvo file head: for the DOS Norvo read from its defaults file NV.DDT, for
// the Windows Norvo fixed. Also the test method names the head shows.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/session.h"

namespace plovix {

inline constexpr const char* kNorvoDefaultsFileName = "NV.DDT";
inline constexpr int kNorvoDefaultsValueCount = 58;

struct NorvoDefaults {
    std::array<std::int16_t, 8> d{};  // the unit defaults d1..d7; index 0 is not used
    std::int16_t RateMode = 0;        // how the rate field of each block is written
    std::int16_t methodCode = 0;      // the default test-method code
    std::int16_t directShearFlag = 0;
};

// The Windows Norvo's fixed values: d1..d7 = 4, 1, 1, 1, 2, 2, 1, rate mode 2, method code 4,
// Direct Shear flag 4.
NorvoDefaults windowsNorvoDefaults();

// NV.DDT: 58 values separated by commas or line ends, of which positions 1 to 7 (d1..d7), 11
// (rate mode), 52 (method code) and 56 (Direct Shear flag) are used. Throws ExportError when the
// file cannot be read, ends early, or a used value is not a 16-bit number.
NorvoDefaults readNorvoDefaults(const std::filesystem::path& path);

// NV.DDT in `folder`, whatever the letter case of its name on the disk ("" is the current
// folder).
std::optional<std::filesystem::path> norvoDefaultsIn(const std::string& folder);

// The NV.DDT the export reads: the one "Save and Exit" found in NorvoProgPath, else the one
// beside the program or in the installed data folder.
std::optional<std::filesystem::path> norvoDefaultsFile(const Session& s);

// The test method name of code 0..6; throws ExportError 9 for any other code.
std::string testMethodName(int code);

}  // namespace plovix

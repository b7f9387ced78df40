#pragma once
// TRFILENM.RDT, the DOS Norvo's index of its test files: fixed records of 67 characters,
// numbered from 1. Record 1 holds the number of records in use; records 2 and on hold
// "NAME","description" of a test file (its name without folder and ".NDT"). Every record is
// left-justified, padded with blanks, and ends with CR LF in characters 66 and 67.
//
// The functions here work on the index's bytes; reading and writing the file is the caller's,
// so the index can be replaced together with the Norvo data file.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/operator.h"

namespace plovix {

inline constexpr std::size_t kIndexRecordLength = 67;
inline constexpr const char* kIndexFileName = "TRFILENM.RDT";

// One record: `text` cut at 67 characters or padded with blanks, then CR LF put in characters
// 66 and 67 (so at most 65 characters of the text remain).
std::string indexRecord(std::string_view text);

// Mode 1: the file name of record DS with ".NDT" appended; mode 2: its description. A record
// that is not of the form "NAME","description" shows the error titled "Error in fNameDese" and
// gives "".
std::string fNameDes(std::string_view DS, int Mode, Operator& op);

// The index file of a Norvo folder: TRFILENM.RDT there whatever the letter case of its name on
// the disk, else the path a new one gets.
std::filesystem::path indexFileIn(const std::filesystem::path& folder);

// The bytes of the index file; "" when there is none. Throws ExportError when it cannot be read.
std::string readIndexFile(const std::filesystem::path& path);

// The description of Norvo file `fileName` ("NAME.NDT") when the index lists it. File names
// match whatever their letter case, as they do on DOS.
std::optional<std::string> indexedDescription(std::string_view index, std::string_view fileName,
                                              Operator& op);

// The index with Norvo file `fileName` added as the last record in use, with `description`;
// nullopt when it is listed already (the index then stays as it is). An empty index (no bytes,
// or a record 1 that begins with character 0) starts with record 1 "1".
std::optional<std::string> indexWithFile(std::string_view index, std::string_view fileName,
                                         std::string_view description, Operator& op);

}  // namespace plovix

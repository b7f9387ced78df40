#pragma once
// Reading Norvo data files in tests, and comparing one with a golden file worked by hand.

#include <filesystem>
#include <string>
#include <vector>

namespace plovix::testing {

// The bytes of a file ("" when it cannot be read).
std::string bytesOf(const std::filesystem::path& path);

// The records of a Norvo file; every one must end in CR LF.
std::vector<std::string> norvoRecords(const std::string& bytes);

// The values of a record, split at the commas outside quotes.
std::vector<std::string> norvoValues(const std::string& record);

// The record count first, then value by value: quoted texts exactly, numbers as numbers (a
// template's ".5" may come back as "0.5").
void expectSameNorvoFile(const std::string& actual, const std::string& golden);

}  // namespace plovix::testing

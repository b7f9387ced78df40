#pragma once
// Reading Norvo data files in tests, comparing one with a golden file worked by hand, and
// running the converter that writes them.

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

// Runs the built plovix-convert with these arguments (already quoted for the shell), its output
// dropped: its exit code, or -1 when it did not exit.
int runConverter(const std::string& arguments);

}  // namespace plovix::testing

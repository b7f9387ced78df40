#pragma once
// Files in tests: reading and writing bytes, fixture files built from rows, Norvo data files
// compared with a golden file worked by hand, and the converter that writes them.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace plovix::testing {

// A file of tests/data, by its path there ("geotest/pass_keys.LST").
inline std::string fixture(const std::string& name) {
    return std::string(PLOVIX_TEST_DATA) + "/" + name;
}

// The bytes of a file ("" when it cannot be read).
std::string bytesOf(const std::filesystem::path& path);

// Writes the bytes to the file, creating its folder.
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

// A GeoTest direct shear file: the header of geotest/pass_keys.LST, a reading line for each
// (time, displacement, load), and the end marker.
std::string geotestShearFile(const std::vector<std::array<double, 3>>& rows);

// The records of a Norvo file; every one must end in CR LF.
std::vector<std::string> norvoRecords(const std::string& bytes);

// The values of a record, split at the commas outside quotes.
std::vector<std::string> norvoValues(const std::string& record);

// The record count first, then value by value: quoted texts exactly, numbers as numbers (a
// template's ".5" may come back as "0.5").
void expectSameNorvoFile(const std::string& actual, const std::string& golden);

struct ConvertRun {
    int exitCode = -1;  // -1 when it did not exit
    std::string out;    // standard output; standard error is dropped
};

// Runs the built plovix-convert with these arguments.
ConvertRun runConverter(const std::vector<std::string>& args);

}  // namespace plovix::testing

#pragma once
// The record format of Norvo's files: values separated by commas or line ends, texts in double
// quotes, numbers in plain decimal with "." as the point, a true flag as -1, CR LF after every
// record. Reading goes value by value as Norvo's own files are read, so the template and the
// DOS defaults may put their values on lines as they like; writing goes record by record.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>

#include "app/numbered_error.h"

namespace plovix {

// A failure while the Norvo file is built.
using ExportError = NumberedError;

inline ExportError exportErrorOf(std::error_code error) {
    return numberedErrorOf(error);
}

// Reads the values of a Norvo file one after the other, streaming. Every function throws
// ExportError: 62 "Input past end of file" when no value is left, 13 "Type mismatch" when a
// number is asked for and the value is none, 6 "Overflow" when it does not fit 16 bits.
class NorvoValueReader {
  public:
    // Opens `path`; throws ExportError 53 when it cannot.
    explicit NorvoValueReader(const std::filesystem::path& path);

    std::string nextText();
    double nextNumber();
    std::int16_t nextInt16();
    // Reads `count` values of any kind.
    void skip(int count);

  private:
    int peek();
    int get();
    // The next value as written (quotes removed); `quoted` tells whether it was a text.
    std::string nextRaw(bool& quoted);

    std::ifstream in_;
};

// One value of a record as written.
std::string textValue(std::string_view text);  // quoted; quotes and line ends inside replaced
std::string numberValue(double value);         // General Number; throws ExportError 6 on inf/NaN
std::string flagOrIntValue(std::int64_t value);

// Values joined by "," and the record's CR LF.
std::string norvoRecord(std::initializer_list<std::string> values);

}  // namespace plovix

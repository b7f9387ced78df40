#include "export/dos_index.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "app/program_paths.h"
#include "export/norvo_records.h"
#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTextLength = kIndexRecordLength - 2;

bool recordOneEmpty(std::string_view index) {
    return index.empty() || index[0] == '\0';
}

std::string_view recordAt(std::string_view index, std::int64_t number) {
    const auto start = static_cast<std::size_t>(number - 1) * kIndexRecordLength;
    if (start >= index.size()) return {};
    return index.substr(start, kIndexRecordLength);
}

// The records in use. The count of record 1 is trusted only as far as records are there: a
// damaged count must neither hide records that exist nor make the index grow to fit it.
std::int64_t recordsInUse(std::string_view index) {
    if (recordOneEmpty(index)) return 1;
    const auto present =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(index.size() / kIndexRecordLength));
    const double count = readNumber(recordAt(index, 1).substr(0, kTextLength));
    if (!(count >= 1 && count <= static_cast<double>(present))) return present;
    return std::clamp<std::int64_t>(roundHalfEven(count), 1, present);
}

void putRecord(std::string& index, std::int64_t number, std::string_view text) {
    const auto start = static_cast<std::size_t>(number - 1) * kIndexRecordLength;
    if (index.size() < start + kIndexRecordLength) index.resize(start + kIndexRecordLength, ' ');
    index.replace(start, kIndexRecordLength, indexRecord(text));
}

// Neither may end the quoted text early nor split the record.
std::string indexText(std::string_view text) {
    const std::string quoted = textValue(text);
    return quoted.substr(1, quoted.size() - 2);
}

std::optional<std::int64_t> findFile(std::string_view index, std::string_view fileName,
                                     Operator& op) {
    const std::string wanted = upperAscii(fileName);
    const std::int64_t n = recordsInUse(index);
    for (std::int64_t r = 2; r <= n; ++r)
        if (upperAscii(fNameDes(recordAt(index, r), 1, op)) == wanted) return r;
    return std::nullopt;
}

}  // namespace

std::string indexRecord(std::string_view text) {
    std::string record(text.substr(0, std::min(text.size(), kTextLength)));
    record.resize(kTextLength, ' ');
    record += "\r\n";
    return record;
}

std::string fNameDes(std::string_view DS, int Mode, Operator& op) {
    const std::size_t comma = DS.find(',');
    // 1-based positions as the record's layout is described: c the comma, q the last quote.
    const std::size_t c = comma == std::string_view::npos ? 0 : comma + 1;
    std::size_t first = 0, last = 0;  // 1-based, inclusive
    bool valid = c >= 3;
    if (valid && Mode != 2) {
        first = 2;
        last = c - 2;
    } else if (valid) {
        const std::size_t quote = DS.rfind('"');
        const std::size_t q = quote == std::string_view::npos ? 0 : quote + 1;
        first = c + 2;
        last = q == 0 ? 0 : q - 1;
        valid = q >= c + 2;
    }
    if (!valid) {
        op.showMessage("Error: 5 - Invalid procedure call or argument", "Error in fNameDese",
                       MessageIcon::None);
        return "";
    }
    std::string part =
        last >= first ? std::string(DS.substr(first - 1, last - first + 1)) : std::string();
    if (Mode != 2) part += ".NDT";
    return part;
}

fs::path indexFileIn(const fs::path& folder) {
    if (auto found = findCompanionFile(kIndexFileName, folder, folder)) return *found;
    return folder / kIndexFileName;
}

std::string readIndexFile(const fs::path& path) {
    std::error_code error;
    if (!fs::exists(path, error)) return "";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw exportErrorOf(std::make_error_code(std::errc::permission_denied));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ExportError{kErrFileAccess, "Path/File access error"};
    return bytes;
}

std::optional<std::string> indexedDescription(std::string_view index, std::string_view fileName,
                                              Operator& op) {
    const auto record = findFile(index, fileName, op);
    if (!record) return std::nullopt;
    return fNameDes(recordAt(index, *record), 2, op);
}

std::optional<std::string> indexWithFile(std::string_view index, std::string_view fileName,
                                         std::string_view description, Operator& op) {
    std::string updated(index);
    if (recordOneEmpty(updated)) putRecord(updated, 1, "1");
    if (findFile(updated, fileName, op)) return std::nullopt;

    std::string_view name = fileName;
    if (name.size() >= 4 && upperAscii(name.substr(name.size() - 4)) == ".NDT")
        name.remove_suffix(4);
    const std::int64_t n = recordsInUse(updated);
    putRecord(updated, n + 1, "\"" + indexText(name) + "\",\"" + indexText(description) + "\"");
    putRecord(updated, 1, std::to_string(n + 1));
    return updated;
}

}  // namespace plovix

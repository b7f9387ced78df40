#include "export/norvo_records.h"

#include <cctype>
#include <cmath>

#include "text/fields.h"
#include "text/number_format.h"
#include "text/number_reading.h"

namespace plovix {

namespace {

// DOS editors end a text file with Ctrl-Z; nothing after it is data.
constexpr int kDosEndOfFile = 0x1A;

bool isLineEnd(int c) {
    return c == '\r' || c == '\n';
}

// A number as Norvo writes one: sign, digits with at most one point, an exponent by E or D.
bool isNumberText(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, digits = true;
    if (i < text.size() && text[i] == '.') ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, digits = true;
    if (!digits) return false;
    if (i < text.size() && std::string_view("EeDd").find(text[i]) != std::string_view::npos) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        bool exponent = false;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i, exponent = true;
        if (!exponent) return false;
    }
    return i == text.size();
}

}  // namespace

NorvoValueReader::NorvoValueReader(const std::filesystem::path& path)
    : in_(path, std::ios::binary) {
    std::error_code ignored;
    if (!in_ || std::filesystem::is_directory(path, ignored))
        throw ExportError{kErrFileNotFound, "File not found"};
}

int NorvoValueReader::peek() {
    const int c = in_.peek();
    return c == kDosEndOfFile ? std::char_traits<char>::eof() : c;
}

int NorvoValueReader::get() {
    const int c = peek();
    if (c != std::char_traits<char>::eof()) in_.get();
    return c;
}

std::string NorvoValueReader::nextRaw(bool& quoted) {
    constexpr int eof = std::char_traits<char>::eof();
    // Blanks and empty lines before a value belong to no value.
    while (peek() == ' ' || peek() == '\t' || isLineEnd(peek())) get();
    if (peek() == eof) throw ExportError{kErrPastEnd, "Input past end of file"};

    std::string value;
    quoted = peek() == '"';
    if (quoted) {
        get();
        for (int c = get(); c != '"' && c != eof; c = get()) value += static_cast<char>(c);
        // Anything between the closing quote and the delimiter is not part of the value.
        while (peek() != ',' && !isLineEnd(peek()) && peek() != eof) get();
    } else {
        while (peek() != ',' && !isLineEnd(peek()) && peek() != eof)
            value += static_cast<char>(get());
        value = trimBlanks(value);
    }
    if (peek() == ',') get();
    // The line end after a record (CR LF, CR or LF) ends its last value.
    if (peek() == '\r') get();
    if (peek() == '\n') get();
    return value;
}

std::string NorvoValueReader::nextText() {
    bool quoted = false;
    return nextRaw(quoted);
}

double NorvoValueReader::nextNumber() {
    bool quoted = false;
    const std::string raw = trimBlanks(nextRaw(quoted));
    if (raw.empty()) return 0;
    if (!isNumberText(raw)) throw ExportError{kErrTypeMismatch, "Type mismatch"};
    const double value = readNumber(raw);
    if (!std::isfinite(value)) throw ExportError{kErrOverflow, "Overflow"};
    return value;
}

std::int16_t NorvoValueReader::nextInt16() {
    const double value = nextNumber();
    if (value >= 32767.5 || value < -32768.5) throw ExportError{kErrOverflow, "Overflow"};
    return static_cast<std::int16_t>(roundHalfEven(value));
}

void NorvoValueReader::skip(int count) {
    bool quoted = false;
    for (int i = 0; i < count; ++i) nextRaw(quoted);
}

std::string textValue(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        // A quote would end the text early and a line end would split the record: Norvo could
        // read neither back.
        if (c == '"')
            out += '\'';
        else if (c == '\r' || c == '\n')
            out += ' ';
        else
            out += c;
    }
    out += '"';
    return out;
}

std::string numberValue(double value) {
    if (!std::isfinite(value)) throw ExportError{kErrOverflow, "Overflow"};
    return formatGeneralNumber(value);
}

std::string flagOrIntValue(std::int64_t value) {
    return std::to_string(value);
}

std::string norvoRecord(std::initializer_list<std::string> values) {
    std::string record;
    bool first = true;
    for (const std::string& value : values) {
        if (!first) record += ',';
        record += value;
        first = false;
    }
    record += "\r\n";
    return record;
}

}  // namespace plovix

#pragma once
// A reading line with the places of its columns. The reading pass asks for several fields of
// every line, each of them a separated column or a blank-separated word; their places are
// found once per line, as they are first asked for, and the columns are handed out as views
// into the line. The line itself is not copied: it must outlive the object (or its reset).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plovix {

class LineColumns {
  public:
    LineColumns() = default;
    explicit LineColumns(std::string_view line) : line_(line) {}

    // Another line; what was found in the previous one is forgotten.
    void reset(std::string_view line);
    // How many times the object was given another line: a caller that keeps results of a
    // line can tell whether it is still the same line.
    std::uint64_t resets() const { return resets_; }

    std::string_view text() const { return line_; }
    bool hasBlank() const;

    // Column k (1-based) of the line separated by `separator`, trimmed of blanks, exactly as
    // separatedField cuts it: "" when the line has no column k.
    std::string_view column(long long k, char separator) const;

    // What is left when, k - 1 times, the leading blanks and one word are removed, then the
    // leading blanks once more, cut after its first blank: word k (1-based) of the
    // blank-separated line with the blank that follows it; "" when the line has fewer than
    // k words or k < 1.
    std::string_view word(long long k) const;

    // The numbers of those texts by the system's number reading (readNumber), each read once;
    // the quoted form first removes a pair of enclosing quotes (quotesStripped).
    double columnNumber(long long k, char separator) const;
    double quotedColumnNumber(long long k, char separator) const;
    double wordNumber(long long k) const {
        if (k >= 1 && k <= static_cast<long long>(kKept) && (wordNumbersKnown_ >> (k - 1) & 1) != 0)
            return wordNumbers_[static_cast<std::size_t>(k - 1)];
        return readWordNumber(k);
    }

  private:
    struct Span {
        std::size_t begin = 0, end = 0;
    };
    // Columns and words beyond this many are found again on every question.
    static constexpr std::size_t kKept = 16;
    // The blanks of the first so many bytes of a line are marked in one mask.
    static constexpr std::size_t kMasked = 64;

    // Columns found with another separator are forgotten.
    void useSeparator(char separator) const;
    Span columnFrom(std::size_t begin) const;
    void maskBlanks() const;
    // Word k when it begins in the first kMasked bytes of the line.
    bool maskedWord(long long k, Span& word) const;
    bool maskedWordBegin(long long k, std::size_t& begin) const;
    // The end of a word that runs past the first kMasked bytes.
    std::size_t endPastMask() const;
    // Finds the kept words until `wanted` are known or the line ends (lines longer than
    // kMasked bytes).
    void findWords(std::size_t wanted) const;
    // The next word at or after `from`; false when only blanks are left.
    bool wordFrom(std::size_t from, Span& word) const;
    std::string_view wordText(const Span& word) const;
    double readWordNumber(long long k) const;

    std::string_view line_;
    std::uint64_t resets_ = 0;
    mutable char separator_ = '\0';
    mutable std::size_t columnsKnown_ = 0;
    mutable std::size_t nextColumn_ = 0;  // where the column after the known ones begins
    mutable std::array<Span, kKept> columns_{};
    mutable std::size_t wordsKnown_ = 0;
    mutable std::size_t wordsScanned_ = 0;  // where the search for the next word begins
    mutable bool masked_ = false;
    mutable std::uint64_t nonBlanks_ = 0;   // bit j: byte j is not a blank (first kMasked bytes)
    mutable std::uint64_t wordBegins_ = 0;  // bit j: a word begins at byte j
    mutable std::array<Span, kKept> words_{};
    mutable int hasBlank_ = -1;  // -1 until asked
    // The numbers read so far: bit k - 1 of each mask says that number k is known.
    mutable std::uint32_t columnNumbersKnown_ = 0;
    mutable std::uint32_t quotedNumbersKnown_ = 0;
    mutable std::uint32_t wordNumbersKnown_ = 0;
    mutable std::array<double, kKept> columnNumbers_{};
    mutable std::array<double, kKept> quotedNumbers_{};
    mutable std::array<double, kKept> wordNumbers_{};
};

}  // namespace plovix

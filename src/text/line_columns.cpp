#include "text/line_columns.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/fields.h"
#include "text/number_reading.h"

namespace plovix {

namespace {
constexpr char kBlank = ' ';
constexpr char kCR = '\r';

// Blanks are found eight bytes at a time (on little-endian machines, where the first byte of a
// loaded word is its lowest): a line of readings is short words between runs of blanks.
constexpr bool kWordWise = std::endian::native == std::endian::little;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;

// The first position at or after `i` whose byte is a blank (`blank`) or is not one; the end
// of the line when there is none.
std::size_t skipTo(std::string_view line, std::size_t i, bool blank) {
    if constexpr (kWordWise) {
        for (; i + 8 <= line.size(); i += 8) {
            std::uint64_t v;
            std::memcpy(&v, line.data() + i, sizeof v);
            v ^= kEightBlanks;  // blanks become zero bytes
            std::uint64_t stops = (((v & kLowBits) + kLowBits) | v) & kHighBits;  // non-blanks
            if (blank) stops ^= kHighBits;
            if (stops != 0) return i + static_cast<std::size_t>(std::countr_zero(stops)) / 8;
        }
    }
    while (i < line.size() && (line[i] == kBlank) != blank) ++i;
    return i;
}

// Bit j: byte j of `line` (at most 64 bytes) is not a blank; bits past its end are 0.
std::uint64_t nonBlankMask(std::string_view line) {
    // Gathers the lowest bit of each byte into the top byte, byte k to bit 56 + k.
    constexpr std::uint64_t kGather = 0x0102040810204080ULL;
    const std::size_t n = line.size();
    std::uint64_t mask = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time where the processor compares them at once.
    const __m128i blanks = _mm_set1_epi8(kBlank);
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + i));
        const auto blank = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, blanks)));
        mask |= std::uint64_t{~blank & 0xFFFFu} << i;
    }
#endif
    if constexpr (kWordWise) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t v;
            std::memcpy(&v, line.data() + i, sizeof v);
            v ^= kEightBlanks;
            const std::uint64_t nonBlank = (((v & kLowBits) + kLowBits) | v) & kHighBits;
            mask |= (((nonBlank >> 7) * kGather) >> 56) << i;
        }
    }
    for (; i < n; ++i)
        if (line[i] != kBlank) mask |= std::uint64_t{1} << i;
    return mask;
}

// The number of text k, from `numbers` when bit k - 1 of `known` is set, else read and kept
// there (numbers beyond the kept ones are read every time).
template <std::size_t N, typename Text>
double numberOnce(long long k, std::uint32_t& known, std::array<double, N>& numbers, Text text) {
    if (k < 1 || k > static_cast<long long>(N)) return readNumber(text());
    const auto index = static_cast<std::size_t>(k - 1);
    const std::uint32_t bit = std::uint32_t{1} << index;
    if ((known & bit) == 0) {
        numbers[index] = readNumber(text());
        known |= bit;
    }
    return numbers[index];
}
}  // namespace

void LineColumns::reset(std::string_view line) {
    line_ = line;
    ++resets_;
    separator_ = '\0';
    columnsKnown_ = nextColumn_ = 0;
    wordsKnown_ = wordsScanned_ = 0;
    masked_ = false;
    hasBlank_ = -1;
    columnNumbersKnown_ = quotedNumbersKnown_ = wordNumbersKnown_ = 0;
}

bool LineColumns::hasBlank() const {
    if (hasBlank_ < 0) hasBlank_ = line_.find(kBlank) != std::string_view::npos ? 1 : 0;
    return hasBlank_ == 1;
}

void LineColumns::useSeparator(char separator) const {
    if (separator == separator_) return;
    separator_ = separator;
    columnsKnown_ = nextColumn_ = 0;
    columnNumbersKnown_ = quotedNumbersKnown_ = 0;
}

// A column ends at the next separator, else at the next CR, else at the end of the line.
LineColumns::Span LineColumns::columnFrom(std::size_t begin) const {
    std::size_t end = line_.find(separator_, begin);
    if (end == std::string_view::npos) end = line_.find(kCR, begin);
    if (end == std::string_view::npos) end = line_.size();
    return {begin, end};
}

std::string_view LineColumns::column(long long k, char separator) const {
    if (k < 1) return {};
    useSeparator(separator);
    const auto wanted = static_cast<unsigned long long>(k);
    const std::size_t kept = static_cast<std::size_t>(std::min<unsigned long long>(wanted, kKept));
    while (columnsKnown_ < kept) {
        if (nextColumn_ > line_.size()) return {};  // the line ends before column k
        const Span c = columnFrom(nextColumn_);
        columns_[columnsKnown_++] = c;
        nextColumn_ = c.end + 1;
    }
    Span c = columns_[kept - 1];
    std::size_t next = nextColumn_;
    for (unsigned long long n = kept; n < wanted; ++n) {
        if (next > line_.size()) return {};
        c = columnFrom(next);
        next = c.end + 1;
    }
    return blanksTrimmed(line_.substr(c.begin, c.end - c.begin));
}

void LineColumns::maskBlanks() const {
    nonBlanks_ = nonBlankMask(line_.substr(0, kMasked));
    wordBegins_ = nonBlanks_ & ~(nonBlanks_ << 1);
    masked_ = true;
}

std::size_t LineColumns::endPastMask() const {
    return skipTo(line_, kMasked, true);
}

inline bool LineColumns::maskedWordBegin(long long k, std::size_t& begin) const {
    if (!masked_) maskBlanks();
    std::uint64_t begins = wordBegins_;
    for (long long i = 1; i < k && begins != 0; ++i) begins &= begins - 1;
    if (begins == 0) return false;
    begin = static_cast<std::size_t>(std::countr_zero(begins));
    return true;
}

inline bool LineColumns::maskedWord(long long k, Span& word) const {
    if (!maskedWordBegin(k, word.begin)) return false;
    // Past the end of the line the mask reads as blanks.
    const std::uint64_t blanks = ~nonBlanks_ & (~std::uint64_t{0} << word.begin);
    word.end = blanks != 0
                   ? std::min(static_cast<std::size_t>(std::countr_zero(blanks)), line_.size())
                   : endPastMask();
    return true;
}

void LineColumns::findWords(std::size_t wanted) const {
    while (wordsKnown_ < wanted && wordsScanned_ < line_.size()) {
        Span& word = words_[wordsKnown_];
        if (!wordFrom(wordsScanned_, word)) {
            wordsScanned_ = line_.size();
            return;
        }
        wordsScanned_ = word.end;
        ++wordsKnown_;
    }
}

bool LineColumns::wordFrom(std::size_t from, Span& word) const {
    word.begin = skipTo(line_, from, false);
    if (word.begin == line_.size()) return false;
    word.end = skipTo(line_, word.begin, true);
    return true;
}

std::string_view LineColumns::wordText(const Span& word) const {
    // The blank after the word belongs to it.
    const std::size_t end = std::min(word.end + 1, line_.size());
    return line_.substr(word.begin, end - word.begin);
}

std::string_view LineColumns::word(long long k) const {
    if (k < 1) return {};
    // Most lines of readings are short: word k is found in the mask of their blanks.
    Span w;
    if (k <= static_cast<long long>(kMasked) && maskedWord(k, w)) return wordText(w);
    if (line_.size() <= kMasked) return {};
    const auto wanted = static_cast<unsigned long long>(k);
    const std::size_t kept = static_cast<std::size_t>(std::min<unsigned long long>(wanted, kKept));
    findWords(kept);
    if (wordsKnown_ < kept) return {};
    w = words_[kept - 1];
    for (unsigned long long n = kept; n < wanted; ++n)
        if (!wordFrom(w.end, w)) return {};
    return wordText(w);
}

double LineColumns::columnNumber(long long k, char separator) const {
    useSeparator(separator);
    return numberOnce(k, columnNumbersKnown_, columnNumbers_, [&] { return column(k, separator); });
}

double LineColumns::quotedColumnNumber(long long k, char separator) const {
    useSeparator(separator);
    return numberOnce(k, quotedNumbersKnown_, quotedNumbers_,
                      [&] { return quotesStripped(column(k, separator)); });
}

double LineColumns::readWordNumber(long long k) const {
    if (k < 1 || k > static_cast<long long>(kKept)) return readNumber(word(k));
    // A word that is a plain decimal up to its blank (nearly every one) is read where it
    // stands: readNumber would read the same digits.
    double value = 0.0;
    std::size_t begin = 0;
    const char* const end = line_.data() + line_.size();
    const char* stop = nullptr;
    if (maskedWordBegin(k, begin)) stop = readPlainDecimal(line_.data() + begin, end, value);
    if (stop == nullptr || (stop != end && *stop != kBlank)) value = readNumber(word(k));
    wordNumbers_[static_cast<std::size_t>(k - 1)] = value;
    wordNumbersKnown_ |= std::uint32_t{1} << (k - 1);
    return value;
}

}  // namespace plovix

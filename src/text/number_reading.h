#pragma once
// The one rule by which the system reads a number from text: the number at the start of the
// text; blanks, tabs and line feeds are ignored wherever they stand ("1 2" reads as 12); an
// optional sign, digits, one decimal point and an exponent introduced by E or D; reading stops
// at the first other character; text that does not begin with a number reads as 0.

#include <string_view>

namespace plovix {

// The number at the start of `text`. A number too large for a double gives +/-infinity, which
// callers that must refuse it test with std::isfinite; one too small to hold gives 0.
double readNumber(std::string_view text);

}  // namespace plovix

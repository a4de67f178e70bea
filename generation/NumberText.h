#pragma once

// The two ways a list text becomes a number.

#include <optional>
#include <string_view>

namespace sumlark {

// The whole text, apart from surrounding blanks, must be one number: optional
// sign, digits, optional decimal part, optional exponent. Anything else,
// the empty text included, gives nothing.
std::optional<double> strictNumber(std::string_view text);

// Blanks, tabs and line feeds anywhere are ignored; the longest leading part
// that reads as a decimal number gives the value, 0 when there is none.
// Never fails: "12abc" gives 12, "abc" gives 0.
double leadingNumber(std::string_view text);

} // namespace sumlark

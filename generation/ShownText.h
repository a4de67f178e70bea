#pragma once

// Typed texts as messages show them. A value can come from a command line,
// where it may carry terminal escape sequences, line breaks or marks that
// turn the text around them backwards; a message shows it escaped, so that
// it cannot rewrite the terminal or the lines around it, and cut short when
// long.

#include <string>
#include <string_view>

namespace sumlark {

// The length of the UTF-8 character that starts at text[i]; 0 where the
// bytes there are not one (a stray byte, an overlong form, a surrogate).
std::size_t sequenceLength(std::string_view text, std::size_t i);

// Values longer than this many characters are cut, ending in "…".
inline constexpr std::size_t kShownValueLength = 80;

// Control characters as \e, \n, \r, \t or \xNN (\u00NN for the 8-bit ones);
// the characters that reorder text (U+061C, U+200E, U+200F, U+202A..U+202E,
// U+2066..U+2069) as \uNNNN; bytes that are not UTF-8 as \xNN. Cut after
// kShownValueLength characters.
std::string shownValue(std::string_view text);
// The same in Chinese quotes: “…”.
std::string quotedValue(std::string_view text);
// A path escaped like a value but never cut: it has to be found again.
std::string shownPath(std::string_view path);

} // namespace sumlark

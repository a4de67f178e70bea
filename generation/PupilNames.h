#pragma once

// A class's list of pupils, a sheet each: read from the list's text, checked
// against the set's limits, and made safe for a file name. The sheets do not
// depend on the names: sheet k of a list is sheet k of a set of as many
// sheets, so that any pupil's sheet can be made again from the seed alone.

#include "Refusal.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sumlark {

// Characters, not bytes: what fits the name line of a page.
inline constexpr int kMaxNameLength = 20;

// One name a line of UTF-8 text; blank lines and the spaces around a name
// (full-width ones too) dropped, a repeated name kept.
std::vector<std::string> namesOfText(std::string_view text);

// Why the list or the class cannot make a set: none, too many, or a name
// past the length a page holds. Nothing when they can.
std::optional<Refusal> namesRefusal(const std::vector<std::string>& names, const std::string& className);

// The tag of a pupil's files, "01-张三", with the characters no Windows file
// name may hold (\ / : * ? " < > | and control characters) and the marks
// that reorder text as "_".
std::string pupilTag(int number, std::string_view name);

} // namespace sumlark

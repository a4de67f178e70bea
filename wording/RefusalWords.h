#pragma once

// The words of a refusal: the title of its message and the sentence that
// names the settings and tells the user what to change, exactly as the
// window and the command line have always shown them. Typed values are
// shown escaped and cut (ShownText.h). Where a refusal names a choice the
// way its front end offers it, the front end's naming says how.

#include "ChoiceNaming.h"
#include "Refusal.h"

#include <string>
#include <string_view>

namespace sumlark::wording {

inline constexpr std::string_view kRefusalTitle = "无法生成";

std::string refusalText(const Refusal& refusal, const ChoiceNaming& naming);

} // namespace sumlark::wording

#pragma once

// The choices of the 更多出题条件 dialog. They hold for the program's life
// and reach every run the window makes.

#include "ProblemConstraints.h"
#include "SheetPdf.h"

#include <cstdint>
#include <optional>
#include <tuple>

namespace sumlark::ui {

struct MoreConditions {
    ProblemConstraints constraints{};
    int sheets = 1;                     // 份数
    std::optional<std::uint64_t> seed;  // none: a new seed each run
    pdf::PageStyle page{};
};

// Everything of the constraints the problems are drawn by.
inline auto drawingChoices(const ProblemConstraints& c)
{
    return std::tie(c.distinct, c.carry, c.borrow, c.blank, c.terms, c.first, c.second, c.result, c.noTrivial);
}

// Whether any choice differs from what the dialog starts with.
inline bool anyChosen(const MoreConditions& c)
{
    const MoreConditions none;
    return drawingChoices(c.constraints) != drawingChoices(none.constraints) || c.sheets != none.sheets ||
           c.seed != none.seed || c.page.paper != none.page.paper || c.page.fontSize != none.page.fontSize ||
           c.page.layout != none.page.layout;
}

} // namespace sumlark::ui

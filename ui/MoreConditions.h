#pragma once

// The choices of the 更多出题条件 dialog. They hold for the program's life
// and reach every run the window makes.

#include "Choices.h"
#include "ProblemConstraints.h"
#include "SheetPdf.h"

#include <cstdint>
#include <optional>

namespace sumlark::ui {

struct MoreConditions {
    ProblemConstraints constraints{};
    int sheets = static_cast<int>(initialOf(Choice::Sheets)); // 份数
    std::optional<std::uint64_t> seed;  // none: a new seed each run
    pdf::PageStyle page{};

    friend bool operator==(const MoreConditions&, const MoreConditions&) = default;
};

// Whether any choice differs from what the dialog starts with.
inline bool anyChosen(const MoreConditions& c)
{
    return c != MoreConditions{};
}

} // namespace sumlark::ui

#pragma once

// The choices of the 更多出题条件 dialog. They hold for the program's life
// and reach every run the window makes.

#include "Choices.h"
#include "ProblemConstraints.h"
#include "SheetPdf.h"
#include "SheetRun.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sumlark::ui {

struct MoreConditions {
    ProblemConstraints constraints{};
    int sheets = static_cast<int>(initialOf(Choice::Sheets)); // 份数
    std::optional<std::uint64_t> seed{}; // none: a new seed each run
    // A sheet for each name instead of sheets; sheets is kept for when the
    // list is cleared.
    std::vector<std::string> names{};
    std::string className{}; // 班级, printed before each name
    pdf::PageStyle page{}; // duplex too
    // A sheet of sections: the first is the main window's choices with
    // these, under heading; the rest follow it.
    std::string heading{};
    std::vector<SheetSection> moreSections{};

    friend bool operator==(const MoreConditions&, const MoreConditions&) = default;
};

// Whether any choice differs from what the dialog starts with.
inline bool anyChosen(const MoreConditions& c)
{
    return c != MoreConditions{};
}

} // namespace sumlark::ui

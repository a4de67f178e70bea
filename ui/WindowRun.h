#pragma once

// A run as the window makes it: one sheet pair as the Create button always
// has, or a class set of them, from the window's choices and those of the
// 更多出题条件 dialog. The sheets are kept, so that printing and PDF export
// put on paper exactly what the text sheets hold.

#include "GenerateSheets.h"
#include "MoreConditions.h"
#include "SheetSet.h"
#include "WorksheetSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace sumlark::ui {

struct WindowRun {
    WorksheetSettings settings;
    MoreConditions conditions;
    SheetSet set;
    std::vector<SheetFilesReport> files;

    // Whether the window's choices now would make these sheets again.
    bool madeFrom(const WorksheetSettings& now, const MoreConditions& nowConditions) const;
};

enum class Completion {
    Take, // the editors, the folder or the box, as the Create button does
    Skip, // only a failed text sheet is told; printing follows
};

// Makes the sheets and writes their text files into folder; a refusal is
// shown and gives none.
std::optional<WindowRun> runFromWindow(const WorksheetSettings& settings, const MoreConditions& conditions,
                                       const std::string& folder, RunServices& services, Completion completion);

} // namespace sumlark::ui

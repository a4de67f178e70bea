#pragma once

// A run as the window makes it: one sheet pair as the Create button always
// has, or a class set of them, from the window's choices and those of the
// 更多出题条件 dialog, through the one run every front end takes. The
// sheets are kept, so that printing and PDF export put on paper exactly what
// the text sheets hold.

#include "MoreConditions.h"
#include "RunServices.h"
#include "SheetRun.h"
#include "WorksheetSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace sumlark::ui {

// What the window's choices ask of a run.
RunRequest windowRequest(const WorksheetSettings& settings, const MoreConditions& conditions);

struct WindowRun {
    RunRequest request;
    RunReport report;
    std::vector<Sheet> sheets;

    // Whether a run of now would make these sheets again.
    bool madeFrom(const RunRequest& now) const;
};

enum class Completion {
    Take, // the editors, the folder or the box, as the Create button does
    Skip, // only a failed text sheet is told; printing follows
};

// Makes the sheets and writes their text files into folder; a refusal is
// shown and gives none.
std::optional<WindowRun> runFromWindow(const RunRequest& request, const std::string& folder, RunServices& services,
                                       Completion completion);

} // namespace sumlark::ui

#pragma once

// Making one sheet: the settings checked, the problems drawn, no file
// touched. A run of one sheet or a set, with its files, is runSheets
// (SheetRun.h).

#include "ProblemConstraints.h"
#include "RunPlan.h"
#include "RunServices.h"
#include "Sheet.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sumlark {

struct RunOptions {
    // The seed of the run's random source; none takes one from the clock.
    std::optional<std::uint64_t> seed;
    // What the problems must be beyond the operation rules; the window asks
    // for nothing.
    ProblemConstraints constraints{};
    // Marks the file names of one pair among several: "01" writes
    // 速算答题-01.txt and 速算答题-01-答案.txt.
    std::string sheetTag{};
};

struct SheetOrRefusal {
    std::optional<Sheet> sheet;
    Refusal refusal; // meaningful when sheet is empty
};

// Checks the settings and draws the problems.
SheetOrRefusal makeSheet(const WorksheetSettings& settings, const RunOptions& options, RandomServices& services);
// The drawing alone, for settings planned already with options.constraints:
// every sheet of a set shares one plan.
Sheet makeSheet(const WorksheetSettings& settings, const RunPlan& plan, const RunOptions& options,
                RandomServices& services);

// How one file went, as a front end's own writer tells it.
struct SheetReport {
    std::string path;
    bool written = false;
    std::string reason; // why it was not written
    std::string note;   // what the user should know about a written sheet
};

} // namespace sumlark

#pragma once

// One generation run: settings in, question sheet and answer sheet out, then
// the editor or a message. The module's entry point.

#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "RunPlan.h"
#include "RunServices.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    // The caller tells the user from the result: no editor, no message box.
    bool callerReports = false;
    // The problems in sheet order, for a caller that prints them another way.
    bool keepProblems = false;
};

struct SheetReport {
    std::string path;
    bool written = false;
    std::string reason; // why it was not written
    std::string note;   // what the user should know about a written sheet
};

struct RunResult {
    bool refused = false;
    std::string refusalText;
    std::uint64_t seed = 0;
    int problemsMade = 0;
    SheetReport question;
    SheetReport answer;
    std::vector<AcceptedProblem> problems; // with keepProblems
};

// Both sheets of a run as text, and the problems they hold, in sheet order.
struct MadeSheets {
    std::string question;
    std::string answer;
    int problemsMade = 0;
    std::vector<AcceptedProblem> problems;
};

// The sheets of planned settings, drawn from random; no file is touched.
MadeSheets makeSheets(const WorksheetSettings& settings, const RunPlan& plan, RandomSource& random,
                      bool keepProblems = true);

// Checks the settings, writes both sheets into folder, and takes the
// completion step: starts the editor on the written sheets or shows where
// they went, or shows why the settings were refused or a sheet failed. A
// caller that reports itself skips that step.
RunResult generateSheets(const WorksheetSettings& settings, const std::string& folder, RunServices& services,
                         const RunOptions& options = {});

} // namespace sumlark

#pragma once

// Checking the settings before anything is touched: every number the run
// needs, converted once, or the reason the run is refused. A run is refused
// when it could never end or would take far too long, so that no setting
// makes the program hang.

#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sumlark {

// The problem number is a 16-bit counter, so a run makes at most 32766 problems.
inline constexpr double kCountLimit = 32767.0;
// Attempts a run may be expected to need before it counts as too slow; the
// attempt-rate benchmark shows this is well under a second.
inline constexpr double kAttemptBudget = 20'000'000.0;
// A run of distinct problems that would use up much of what its settings
// allow picks among the unused problems instead of drawing until one is new.
// The list and the pairs looked at to make it are bounded like the attempts.
inline constexpr std::int64_t kListedProblemLimit = 1 << 21;
inline constexpr std::int64_t kListingBudget = 16'000'000;

struct RunPlan {
    int problemCount = 0; // problems to make; 0 for a count below 1
    int perLine = 0;      // 0: one problem per line
    int serialWidth = 2;
    OperandRange range;
    RuleBounds bounds;
    ProblemConstraints constraints{};
    // Distinct problems picked among the unused ones rather than drawn until
    // one is new (see kListedProblemLimit).
    bool pickFromList = false;
};

struct Refusal {
    std::string title;
    std::string text;
};

struct PlanOrRefusal {
    std::optional<RunPlan> plan;
    Refusal refusal; // meaningful when plan is empty
};

PlanOrRefusal planRun(const WorksheetSettings& settings, const ProblemConstraints& constraints = {});

} // namespace sumlark

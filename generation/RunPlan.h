#pragma once

// Checking the settings before anything is touched: every number the run
// needs, converted once, or the reason the run is refused. A run is refused
// when it could never end or would take far too long, so that no setting
// makes the program hang.

#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sumlark {

// Operands must fit in 16 bits: the subtraction and division rules swap them
// through 16-bit integers.
inline constexpr int kOperandMin = -32768;
inline constexpr int kOperandMax = 32767;
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

// The operands a run can draw: floor((L - S + 1) * r + S) for r in [0, 1).
struct OperandRange {
    double smallest = 1.0;
    double largest = 10.0;
    int low = 1;   // the smallest whole value that can be drawn
    int high = 10; // the largest

    static OperandRange from(double smallest, double largest);
    // The operand for one random number, kept within low..high.
    double draw(double r) const;
    // The chance that a draw gives value v.
    double weight(int v) const;
};

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

// The exact chance that one attempt of the type is accepted, from the weights
// of the drawable values (no trial draws).
double acceptanceChance(ProblemType type, const OperandRange& range, const RuleBounds& bounds);
double acceptanceChance(Operation operation, const OperandRange& range, const RuleBounds& bounds);

} // namespace sumlark

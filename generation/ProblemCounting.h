#pragma once

// Counting the problems a setting can make, exactly and without trying:
// how many different ones there are, and the chance that one attempt makes an
// acceptable one when carrying or borrowing is asked for. Additions and
// subtractions under a carry or borrow rule are counted with digit
// arithmetic, so that even 16-bit ranges take no time.

#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "OperandRange.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sumlark {

struct ProblemCount {
    // Different problems an attempt can make, each with a chance above 0.
    std::int64_t distinct = 0;
    // The chance that one attempt makes an acceptable problem.
    double chance = 0.0;
};

// The exact chance that one attempt of the type is accepted, from the weights
// of the drawable values (no trial draws).
double acceptanceChance(ProblemType type, const OperandRange& range, const RuleBounds& bounds);
double acceptanceChance(Operation operation, const OperandRange& range, const RuleBounds& bounds);

// Carry and borrow rules expect a range of 0 and up.
ProblemCount countProblems(Operation operation, const OperandRange& range, const RuleBounds& bounds,
                           const ProblemConstraints& constraints);
ProblemCount countProblems(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                           const ProblemConstraints& constraints);

// The share of attempts that draw the operation: its selectors out of 12.
double operationShare(ProblemType type, Operation operation);

// The chance that one attempt makes exactly this problem, which the rules
// must accept.
double problemChance(ProblemType type, const SheetProblem& problem, const OperandRange& range);
// No problem of the type has a larger chance than this.
double largestProblemChance(ProblemType type, const OperandRange& range);

// Going through every acceptable problem: the pairs that have to be looked
// at, and the walk itself, in a fixed order.
std::int64_t listingWork(ProblemType type, const OperandRange& range, const RuleBounds& bounds);
void forEachProblem(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                    const ProblemConstraints& constraints, const std::function<void(const SheetProblem&)>& visit);

} // namespace sumlark

#pragma once

// The rules a problem must keep, read as a teacher states them and worked
// out apart from the engine's code: the form suites list what they allow,
// the fuzz run holds every problem it makes against them.

#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "SheetProblem.h"

#include <map>
#include <string>

namespace sumlark::testing {

struct ProblemRules {
    ProblemType type = ProblemType::Addition;
    bool allowRemainder = false;
    ProblemConstraints rules;
    double largest = 0.0; // the largest text's number
    WholeRange drawn;     // the run's drawable values, for an operand without a range of its own

    // What the problem breaks, or "" when it keeps every rule; its blank is not looked at.
    std::string broken(const SheetProblem& p) const;
    // A chain of three numbers with its result, kept or not.
    static SheetProblem chain(Operation operation, std::int64_t a, std::int64_t b, Operation then, std::int64_t c);
};

// What the attempts of a type make, by problemKey, with the chance of each:
// every selector and every pair of drawable values through the operation's
// rule and the digit rules.
std::map<std::uint64_t, double> attemptChances(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                                               const ProblemConstraints& rules);

} // namespace sumlark::testing

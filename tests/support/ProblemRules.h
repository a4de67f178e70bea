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
    // Three numbers with their result, × and ÷ first, brackets first of
    // all; a result that is no whole number is NaN.
    static SheetProblem chain(Operation operation, std::int64_t a, std::int64_t b, Operation then, std::int64_t c,
                              bool brackets = false);
    // Whether brackets change what is worked out first: around + or − before
    // × or ÷, or after − or ÷, or after × or ÷ around + or −.
    static bool bracketsMatter(Operation operation, Operation then);
};

// What the attempts of a type make, by problemKey, with the chance of each:
// every selector and every pair of drawable values through the operation's
// rule and the digit rules.
std::map<std::uint64_t, double> attemptChances(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                                               const ProblemConstraints& rules);

} // namespace sumlark::testing

#pragma once

// The problems of a run not made yet, each with a whole weight, for picks
// without repeats in time proportional to the logarithm of their number.
// Both the window's problems and the problem forms draw from it once
// drawing until a problem is new would be wasted too often.

#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "SheetProblem.h"
#include "WeightTree.h"

#include <cstdint>
#include <vector>

namespace sumlark {

class UnusedProblems {
public:
    // Problems by problemKey and their weights; a weight of 0 is a problem
    // made already.
    UnusedProblems(std::vector<std::uint64_t> problems, std::vector<std::uint64_t> weights);

    // Every acceptable problem of the settings, as likely as the attempts
    // would make it, to within weights rounded to 2^-20 of the likeliest.
    static UnusedProblems acceptable(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                                     const ProblemConstraints& constraints);

    std::size_t size() const { return problems_.size(); }
    std::uint64_t weightLeft() const { return weights_.total(); }
    // Takes the problem whose running weight first passes target, which is
    // below weightLeft().
    SheetProblem takeAt(std::uint64_t target);
    // Takes one problem with the chance of its weight among those left; r is
    // uniform in [0, 1).
    SheetProblem take(double r);

private:
    std::vector<std::uint64_t> problems_;
    WeightTree weights_;
};

} // namespace sumlark

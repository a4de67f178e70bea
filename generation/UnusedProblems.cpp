#include "UnusedProblems.h"

#include "ProblemCounting.h"

#include <algorithm>
#include <cmath>

namespace sumlark {
namespace {

// Chances become whole weights, the most likely problem 2^20, so that taking
// problems out of the tree never leaves rounding behind. Problems of the same
// chance keep the same weight; a far rarer one keeps at least 1.
constexpr double kWeightScale = 1 << 20;

} // namespace

UnusedProblems::UnusedProblems(std::vector<std::uint64_t> problems, std::vector<std::uint64_t> weights)
    : problems_(std::move(problems)), weights_(std::move(weights))
{
}

UnusedProblems UnusedProblems::acceptable(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                                          const ProblemConstraints& constraints)
{
    std::vector<std::uint64_t> problems;
    std::vector<double> chances;
    forEachProblem(type, range, bounds, constraints, [&](const SheetProblem& problem) {
        problems.push_back(problemKey(problem));
        chances.push_back(problemChance(type, problem, range));
    });
    const double largest = chances.empty() ? 1.0 : *std::max_element(chances.begin(), chances.end());
    std::vector<std::uint64_t> weights;
    weights.reserve(chances.size());
    for (const double chance : chances)
        weights.push_back(static_cast<std::uint64_t>(std::max(1.0, std::round(chance / largest * kWeightScale))));
    return UnusedProblems(std::move(problems), std::move(weights));
}

SheetProblem UnusedProblems::takeAt(std::uint64_t target)
{
    return problemFromKey(problems_[weights_.take(target)]);
}

SheetProblem UnusedProblems::take(double r)
{
    const std::uint64_t total = weights_.total();
    const auto target = static_cast<std::uint64_t>(r * double(total));
    return takeAt(std::min(target, total - 1));
}

} // namespace sumlark

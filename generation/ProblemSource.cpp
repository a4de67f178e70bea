#include "ProblemSource.h"

#include "ProblemConstraints.h"
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

UnusedProblems::UnusedProblems(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                               const ProblemConstraints& constraints)
{
    std::vector<double> chances;
    forEachProblem(type, range, bounds, constraints, [&](const AcceptedProblem& problem) {
        problems_.push_back(problemKey(problem));
        chances.push_back(problemChance(type, problem, range));
    });
    const double largest = chances.empty() ? 1.0 : *std::max_element(chances.begin(), chances.end());
    std::vector<std::uint64_t> weights;
    weights.reserve(chances.size());
    for (const double chance : chances)
        weights.push_back(static_cast<std::uint64_t>(std::max(1.0, std::round(chance / largest * kWeightScale))));
    weights_ = std::make_unique<WeightTree>(std::move(weights));
    left_ = problems_.size();
}

AcceptedProblem UnusedProblems::take(double r)
{
    // The first problem whose running weight passes the target.
    const std::uint64_t total = weights_->total();
    auto target = static_cast<std::uint64_t>(r * double(total));
    target = std::min(target, total - 1);
    --left_;
    return problemFromKey(problems_[weights_->take(target)]);
}

ProblemSource::ProblemSource(const WorksheetSettings& settings, const RunPlan& plan, RandomSource& random)
    : settings_(settings), plan_(plan), random_(random)
{
    switch (plan.drawing) {
    case ProblemDrawing::Attempts:
        break;
    case ProblemDrawing::Direct:
        direct_ = std::make_unique<DirectDraw>(settings.problemType, plan.range, plan.bounds, plan.constraints);
        break;
    case ProblemDrawing::FromUnused:
        unused_ = std::make_unique<UnusedProblems>(settings.problemType, plan.range, plan.bounds, plan.constraints);
        return;
    }
    if (plan.constraints.distinct)
        made_.reserve(static_cast<std::size_t>(plan.problemCount));
}

// One problem as the window makes it: three random numbers per attempt, in
// the order selector, first operand, second operand, until a rule accepts.
AcceptedProblem ProblemSource::attempt()
{
    std::optional<AcceptedProblem> problem;
    do {
        double r[3];
        random_.fill(r, 3);
        ProblemDraw draw;
        // 12r + 1 is positive, so truncation is its floor.
        draw.selector = static_cast<std::int16_t>(std::clamp(static_cast<int>(12.0 * r[0] + 1.0), 1, 12));
        draw.first = plan_.range.draw(r[1]);
        draw.second = plan_.range.draw(r[2]);
        problem = applyRule(operationForSelector(settings_.problemType, draw.selector), draw, plan_.bounds);
    } while (!problem);
    return *problem;
}

// Three random numbers per problem: operation, first operand, second.
AcceptedProblem ProblemSource::drawDirectly()
{
    double r[3];
    random_.fill(r, 3);
    return direct_->draw(r);
}

AcceptedProblem ProblemSource::next()
{
    if (unused_)
        return unused_->take(random_.next());
    const ProblemConstraints& constraints = plan_.constraints;
    if (direct_) {
        // Digit rules are met already; a repeat is drawn again, which the
        // plan keeps to at most one draw in two.
        for (;;) {
            const AcceptedProblem problem = drawDirectly();
            if (!constraints.distinct || made_.insert(problemKey(problem)).second)
                return problem;
        }
    }
    if (constraints.none())
        return attempt();
    for (;;) {
        const AcceptedProblem problem = attempt();
        if (constraints.readsDigits() && !meetsDigitRules(problem, constraints))
            continue;
        if (constraints.distinct && !made_.insert(problemKey(problem)).second)
            continue;
        return problem;
    }
}

} // namespace sumlark

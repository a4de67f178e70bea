#pragma once

// Where a run's problems come from, as its plan says. Attempts drawn until a
// rule accepts, exactly as the window has always made them, and with carry or
// borrow rules or distinct problems also drawn again when a problem breaks a
// digit rule or was made already. Or, where attempts are rarely accepted,
// problems drawn directly with the chances the attempts would give them.
// Or, when the count would use up much of what the settings allow, a pick
// among the unused problems, each as likely as the attempts would have made
// it, to within weights rounded to 2^-20 of the likeliest.

#include "DirectDraw.h"
#include "OperationRules.h"
#include "RunPlan.h"
#include "RunServices.h"
#include "WeightTree.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

namespace sumlark {

// Every acceptable problem not taken yet, with its chance, for picks without
// repeats in time proportional to the logarithm of their number.
class UnusedProblems {
public:
    UnusedProblems(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                   const ProblemConstraints& constraints);

    std::size_t size() const { return problems_.size(); }
    std::size_t left() const { return left_; }
    // Takes one problem with the chance of its weight among those left; r is
    // uniform in [0, 1).
    AcceptedProblem take(double r);

private:
    // Problems packed by problemKey, and their weights.
    std::vector<std::uint64_t> problems_;
    std::unique_ptr<WeightTree> weights_;
    std::size_t left_ = 0;
};

class ProblemSource {
public:
    ProblemSource(const WorksheetSettings& settings, const RunPlan& plan, RandomSource& random);

    AcceptedProblem next();

private:
    AcceptedProblem attempt();
    AcceptedProblem drawDirectly();

    const WorksheetSettings& settings_;
    const RunPlan& plan_;
    RandomSource& random_;
    std::unordered_set<std::uint64_t> made_;
    std::unique_ptr<UnusedProblems> unused_;
    std::unique_ptr<DirectDraw> direct_;
};

} // namespace sumlark

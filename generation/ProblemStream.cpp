#include "ProblemStream.h"

#include "DirectDraw.h"
#include "CompareSource.h"
#include "FormedSource.h"
#include "MadeKeys.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "UnusedProblems.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <type_traits>

namespace sumlark {
namespace {

// Distinct problems: the keys of those made, so that a repeat is drawn again.
class MadeProblems {
public:
    MadeProblems(bool distinct, int count) : distinct_(distinct), made_(distinct ? std::size_t(count) : 0) {}
    // Whether the problem may go on the sheet, noting it when it may.
    bool admits(const SheetProblem& problem) { return !distinct_ || made_.insert(problemKey(problem)); }

private:
    bool distinct_;
    MadeKeys<std::uint64_t> made_;
};

class AttemptStream final : public ProblemStream {
public:
    AttemptStream(const RunPlan& plan, ProblemType type, RandomSource& random)
        : plan_(plan), type_(type), random_(random), made_(plan.constraints.distinct, plan.problemCount)
    {
    }

    SheetProblem next() override
    {
        const ProblemConstraints& constraints = plan_.constraints;
        if (constraints.none())
            return attempt();
        for (;;) {
            const SheetProblem problem = attempt();
            if (constraints.readsDigits() && !meetsDigitRules(problem, constraints))
                continue;
            if (!made_.admits(problem))
                continue;
            return problem;
        }
    }

private:
    // One problem as the window makes it: three random numbers per attempt,
    // in the order selector, first operand, second operand, until a rule
    // accepts.
    SheetProblem attempt()
    {
        std::optional<SheetProblem> problem;
        do {
            double r[3];
            random_.fill(r, 3);
            ProblemDraw draw;
            // 12r + 1 is positive, so truncation is its floor.
            draw.selector = static_cast<std::int16_t>(std::clamp(static_cast<int>(12.0 * r[0] + 1.0), 1, 12));
            draw.first = plan_.range.draw(r[1]);
            draw.second = plan_.range.draw(r[2]);
            problem = applyRule(operationForSelector(type_, draw.selector), draw, plan_.bounds);
        } while (!problem);
        return *problem;
    }

    const RunPlan& plan_;
    ProblemType type_;
    RandomSource& random_;
    MadeProblems made_;
};

class DirectStream final : public ProblemStream {
public:
    DirectStream(const RunPlan& plan, ProblemType type, RandomSource& random)
        : direct_(type, plan.range, plan.bounds, plan.constraints), random_(random),
          made_(plan.constraints.distinct, plan.problemCount)
    {
    }

    // Three random numbers per problem: operation, first operand, second.
    // Digit rules are met already; a repeat is drawn again, which the plan
    // keeps to at most one draw in two.
    SheetProblem next() override
    {
        for (;;) {
            double r[3];
            random_.fill(r, 3);
            const SheetProblem problem = direct_.draw(r);
            if (made_.admits(problem))
                return problem;
        }
    }

private:
    DirectDraw direct_;
    RandomSource& random_;
    MadeProblems made_;
};

class UnusedStream final : public ProblemStream {
public:
    UnusedStream(const RunPlan& plan, ProblemType type, RandomSource& random)
        : unused_(UnusedProblems::acceptable(type, plan.range, plan.bounds, plan.constraints)), random_(random)
    {
    }

    SheetProblem next() override { return unused_.take(random_.next()); }

private:
    UnusedProblems unused_;
    RandomSource& random_;
};

} // namespace

std::unique_ptr<ProblemStream> openProblemStream(const RunPlan& plan, ProblemType type, RandomSource& random)
{
    return std::visit(
        [&](const auto& drawing) -> std::unique_ptr<ProblemStream> {
            using Drawing = std::decay_t<decltype(drawing)>;
            if constexpr (std::is_same_v<Drawing, DrawByAttempts>)
                return std::make_unique<AttemptStream>(plan, type, random);
            else if constexpr (std::is_same_v<Drawing, DrawDirectly>)
                return std::make_unique<DirectStream>(plan, type, random);
            else if constexpr (std::is_same_v<Drawing, DrawFromUnused>)
                return std::make_unique<UnusedStream>(plan, type, random);
            else if (drawing.compared)
                return std::make_unique<CompareSource>(*drawing.compared, plan.constraints.distinct, random);
            else
                return std::make_unique<FormedSource>(*drawing.problems, plan.constraints.blank,
                                                      plan.constraints.distinct, random, plan.problemCount);
        },
        plan.drawing);
}

} // namespace sumlark

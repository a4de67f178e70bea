#pragma once

// The problems of a run that asks for problem forms (blanks, three numbers,
// ranges of their own, no trivial problems), counted and numbered without
// being listed. Each kind of problem, an operation or a chain's two signs,
// numbers its problems 0..size-1, so that a problem is drawn with one whole
// number and every problem of a kind is exactly as likely as the others.

#include "DivisorTable.h"
#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "Sheet.h"
#include "TwoSteps.h"
#include "WholeSet.h"

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace sumlark {

// The numbers the problem forms are held to, from the settings and the
// constraints once per run.
struct FormRules {
    WholeRange first;  // the printed first operand
    WholeRange second; // the second, and a chain's third
    std::optional<WholeRange> result;
    // Without a result range, as the window's rules: a + b at most
    // sumLimit, a * b below productBound. A chain keeps every number it
    // computes within 0..chainTop.
    std::int64_t sumLimit = 0;
    double productBound = 0.0;
    std::int64_t chainTop = 0;
    bool allowRemainder = false;
    CarryRule carry = CarryRule::Any;
    BorrowRule borrow = BorrowRule::Any;
    bool noTrivial = false;

    // values: the operands the run's own range gives; largest: the number of
    // the largest text, the window's limit for sums and products.
    static FormRules from(const DrawableValues& values, double largest, const RuleBounds& bounds,
                          const ProblemConstraints& constraints);
};

// One kind of problem a run draws, and its share of the draws.
struct ProblemShape {
    Operation operation = Operation::Addition;
    std::optional<Operation> then; // a chain's second sign
    double share = 0.0;
    bool brackets = false; // where they change the order (bracketSide)

    // Three numbers other than a chain of + and − read left to right.
    bool twoSteps() const;
};

// The kinds a type draws: its operations, or with three numbers the pairs
// of signs, each sign as often as the type draws that operation. With
// brackets, every pair whose order a bracket changes has them.
std::vector<ProblemShape> shapesOf(ProblemType type, int terms, bool brackets = false);

// A two-step problem is counted by its inner step's value, 0 up to the
// largest both of its steps allow; inner products of large numbers could go
// past what is walked in time (kTwoStepKeys), and such runs are refused.
std::int64_t innerTop(const FormRules& rules, const ProblemShape& shape);
inline constexpr std::int64_t kTwoStepKeys = std::int64_t(1) << 16;

// Of the kinds of three numbers of a run, how many inner steps reach each
// inner value (a chain's partial result) and how many outer steps go on
// from it. A step's count depends only on its sign and on which side is
// worked out first, so kinds that share them share the walk: sixteen kinds
// walk at most twelve steps, not thirty-two.
class StepCounts {
public:
    // Slots 0..15 are two steps' (TwoStepProblems); chains' firsts and
    // thirds, by their sign, follow.
    static constexpr std::size_t kChainFirsts = 16;
    static constexpr std::size_t kChainThirds = 18;

    // The count of each key 0..top in slot, made by count where not made yet.
    template <typename CountOf>
    const std::vector<std::uint32_t>& of(std::size_t slot, std::int64_t top, CountOf count);

private:
    std::array<std::vector<std::uint32_t>, 20> slots_;
};

// The problems of one kind, numbered.
class ShapeProblems {
public:
    // steps: shared with the run's other kinds, and kept while this is.
    ShapeProblems(const FormRules& rules, const ProblemShape& shape, const DivisorTable& divisors,
                  StepCounts& steps);

    const ProblemShape& shape() const { return shape_; }
    std::int64_t size() const { return running_.empty() ? 0 : running_.back(); }
    // Problem number index, 0..size()-1, with its blank on the result.
    SheetProblem at(std::int64_t index) const;
    // Every problem in number order.
    template <typename Visit>
    void forEach(Visit visit) const;
    // Of an addition or subtraction of two numbers: the first operands of
    // its problems whose result is value, each with one second operand.
    WholeSet firstsReaching(std::int64_t value) const;

private:
    // The operands that may follow the first one a of a two-number problem.
    WholeSet secondsBeside(std::int64_t a) const;
    // The negative divisors beside a dividend, for a division.
    WholeSet negativeDivisorsBeside(std::int64_t a) const;
    // A chain through the partial result p: the first operands that reach
    // it, and the third operands that go on from it.
    WholeSet chainFirsts(std::int64_t p) const;
    WholeSet chainThirds(std::int64_t p) const;
    // How many problems one key (a first operand, or a chain's partial) has:
    // worked out, and once counted, looked up.
    std::int64_t countAt(std::int64_t key) const;
    std::int64_t problemsAt(std::int64_t key) const;
    SheetProblem twoNumbers(std::int64_t a, std::int64_t b) const;
    SheetProblem chain(std::int64_t a, std::int64_t p, std::int64_t c) const;
    // A two-step problem through the inner value v: the inner step's
    // numbers, by one of them (the divisor of a quotient), and the outer
    // step's other number (the quotient where it divides by v).
    WholeSet innerMembers(std::int64_t v) const;
    WholeSet outerMembers(std::int64_t v) const;
    SheetProblem twoSteps(std::int64_t v, std::int64_t inner, std::int64_t outer) const;
    // Inner and outer steps at each inner value 0..to, shared with the
    // run's other kinds.
    std::pair<const std::vector<std::uint32_t>&, const std::vector<std::uint32_t>&>
    stepCountsOf(StepCounts& steps, std::int64_t to) const;

    const FormRules& rules_;
    const DivisorTable& divisors_;
    ProblemShape shape_;
    InnerSide side_ = InnerSide::Left;
    // A kind of three numbers has its keys counted in the shared StepCounts,
    // so its running totals need only one entry per block of keys: sixteen
    // kinds' totals for every key would be megabytes written once and read
    // rarely.
    static constexpr std::int64_t kStepBlock = 64;
    const std::vector<std::uint32_t>* innerCounts_ = nullptr;
    const std::vector<std::uint32_t>* outerCounts_ = nullptr;
    std::int64_t perEntry_ = 1;           // keys per entry of running_
    std::int64_t origin_ = 0;             // the first key
    std::int64_t last_ = -1;              // the last key
    std::vector<std::int64_t> running_;   // problems with keys up to origin_ + (i + 1) * perEntry_ - 1
};

// Where a problem's blank may go under a choice: the operand asked for when
// the rest of the problem determines it, else the result; under Mixed, each
// of the three that can take it. Returns how many, written to spots.
int blankSpots(const SheetProblem& problem, BlankChoice choice, BlankSpot spots[3]);

// All the kinds of a run with their problems; kinds without any are left out.
struct FormedProblems {
    FormRules rules;
    DivisorTable divisors;
    StepCounts steps;
    std::vector<ShapeProblems> shapes;

    FormedProblems(ProblemType type, int terms, const FormRules& rules, bool brackets = false);
    // Whether every kind's inner values can be walked (kTwoStepKeys).
    static bool walkable(ProblemType type, int terms, const FormRules& rules, bool brackets);
    FormedProblems(const FormedProblems&) = delete;
    FormedProblems& operator=(const FormedProblems&) = delete;

    std::int64_t size() const;
    // Different problems a run can write, blank positions told apart; exact
    // up to limit, and some number above limit past it.
    std::int64_t distinctUpTo(BlankChoice choice, std::int64_t limit) const;
};

template <typename CountOf>
const std::vector<std::uint32_t>& StepCounts::of(std::size_t slot, std::int64_t top, CountOf count)
{
    auto& counts = slots_.at(slot);
    if (top >= std::int64_t(counts.size()))
        counts.reserve(std::size_t(top + 1));
    for (auto key = std::int64_t(counts.size()); key <= top; ++key)
        counts.push_back(static_cast<std::uint32_t>(count(key)));
    return counts;
}

template <typename Visit>
void ShapeProblems::forEach(Visit visit) const
{
    for (std::int64_t key = origin_; key <= last_; ++key) {
        if (problemsAt(key) == 0)
            continue;
        if (shape_.twoSteps()) {
            const WholeSet outers = outerMembers(key);
            innerMembers(key).forEach([&](std::int64_t m) { outers.forEach([&](std::int64_t n) { visit(twoSteps(key, m, n)); }); });
        } else if (shape_.then) {
            const WholeSet firsts = chainFirsts(key);
            const WholeSet thirds = chainThirds(key);
            firsts.forEach([&](std::int64_t a) { thirds.forEach([&](std::int64_t c) { visit(chain(a, key, c)); }); });
        } else {
            if (shape_.operation == Operation::Division)
                negativeDivisorsBeside(key).forEach([&](std::int64_t b) { visit(twoNumbers(key, b)); });
            secondsBeside(key).forEach([&](std::int64_t b) { visit(twoNumbers(key, b)); });
        }
    }
}

} // namespace sumlark

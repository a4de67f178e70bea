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

#include <cstdint>
#include <optional>
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

// A two-step problem is counted by its inner step's value, 0 up to this
// many; inner products of large numbers could go past what is walked in
// time (kTwoStepKeys), and such runs are refused.
std::int64_t innerTop(const FormRules& rules, const ProblemShape& shape);
inline constexpr std::int64_t kTwoStepKeys = std::int64_t(1) << 16;

// The problems of one kind, numbered.
class ShapeProblems {
public:
    ShapeProblems(const FormRules& rules, const ProblemShape& shape, const DivisorTable& divisors);

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
    // How many problems one key (a first operand, or a chain's partial) has.
    std::int64_t countAt(std::int64_t key) const;
    SheetProblem twoNumbers(std::int64_t a, std::int64_t b) const;
    SheetProblem chain(std::int64_t a, std::int64_t p, std::int64_t c) const;
    // A two-step problem through the inner value v: the inner step's
    // numbers, by one of them (the divisor of a quotient), and the outer
    // step's other number (the quotient where it divides by v).
    WholeSet innerMembers(std::int64_t v) const;
    WholeSet outerMembers(std::int64_t v) const;
    SheetProblem twoSteps(std::int64_t v, std::int64_t inner, std::int64_t outer) const;

    const FormRules& rules_;
    const DivisorTable& divisors_;
    ProblemShape shape_;
    InnerSide side_ = InnerSide::Left;
    std::int64_t origin_ = 0;             // the key of running_[0]
    std::vector<std::int64_t> running_;   // problems with keys up to origin_ + i
};

// Where a problem's blank may go under a choice: the operand asked for when
// the rest of the problem determines it, else the result; under Mixed, each
// of the three that can take it. Returns how many, written to spots.
int blankSpots(const SheetProblem& problem, BlankChoice choice, BlankSpot spots[3]);

// All the kinds of a run with their problems; kinds without any are left out.
struct FormedProblems {
    FormRules rules;
    DivisorTable divisors;
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

template <typename Visit>
void ShapeProblems::forEach(Visit visit) const
{
    for (std::size_t i = 0; i < running_.size(); ++i) {
        const std::int64_t before = i == 0 ? 0 : running_[i - 1];
        if (running_[i] == before)
            continue;
        const std::int64_t key = origin_ + std::int64_t(i);
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

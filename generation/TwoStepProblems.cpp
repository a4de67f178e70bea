// The problems of three numbers whose steps are not a chain of + and − read
// left to right: "3＋4×5", "36÷(9－5)". Each is counted by its inner value v,
// the step worked out first: the inner steps reaching v times the outer
// steps going on from it. Operands of × and ÷ are 1 and up, so that no
// step multiplies by 0 or divides it, and every quotient is whole.

#include "FormedProblems.h"

#include <algorithm>

namespace sumlark {
namespace {

using Count = std::int64_t;

WholeSet noneOf()
{
    return WholeSet(1, 0);
}

// The operands a step takes as they stand, left to right.
struct StepRanges {
    WholeRange x; // the inner step's left operand
    WholeRange y; // its right one
    WholeRange other; // the outer step's operand
    Operation inner;
    Operation outer;
};

StepRanges stepRanges(const FormRules& rules, const ProblemShape& shape, InnerSide side)
{
    if (side == InnerSide::Left)
        return {rules.first, rules.second, rules.second, shape.operation, *shape.then};
    return {rules.second, rules.second, rules.first, *shape.then, shape.operation};
}

} // namespace

Count innerTop(const FormRules& rules, const ProblemShape& shape)
{
    const InnerSide side = innerSide(shape.operation, *shape.then, shape.brackets);
    const StepRanges r = stepRanges(rules, shape, side);
    const Count lo = rules.result ? std::max<Count>(0, rules.result->low) : 0;
    const Count hi = rules.chainTop;
    Count top = 0;
    switch (r.inner) {
    case Operation::Addition: top = r.x.high + r.y.high; break;
    case Operation::Subtraction: top = r.x.high - r.y.low; break;
    case Operation::Multiplication: top = r.x.high * r.y.high; break;
    case Operation::Division: top = floorDiv(r.x.high, std::max<Count>(r.y.low, 1)); break;
    }
    // The outer step's other number bounds it too: an inner value past
    // this leaves the outer step nothing, as outerMembers finds.
    const bool left = side == InnerSide::Left;
    switch (r.outer) {
    case Operation::Addition: top = std::min(top, hi - r.other.low); break;
    case Operation::Subtraction:
        if (!left)
            top = std::min(top, r.other.high - lo);
        break;
    case Operation::Multiplication: top = std::min(top, floorDiv(hi, std::max<Count>(r.other.low, 1))); break;
    case Operation::Division:
        if (!left)
            top = std::min(top, floorDiv(r.other.high, std::max<Count>(lo, 1)));
        break;
    }
    return std::min(top, hi);
}

WholeSet ShapeProblems::innerMembers(Count v) const
{
    const StepRanges r = stepRanges(rules_, shape_, side_);
    const bool plain = rules_.noTrivial;
    switch (r.inner) {
    case Operation::Addition: {
        // x + (v - x), both on their steps.
        WholeSet set(r.x.low, r.x.high);
        set.onStep(r.x.low, r.x.step);
        set.within(v - r.y.high, v - r.y.low).onStep(v - r.y.low, r.y.step);
        if (plain)
            set.without(0).without(v);
        if (rules_.carry != CarryRule::Any)
            set.digitwise(DigitwiseCount({}, decimalColumns(v)), rules_.carry == CarryRule::Without);
        return set;
    }
    case Operation::Subtraction: {
        // x - (x - v).
        if (plain && v == 0)
            return noneOf();
        WholeSet set(r.x.low, r.x.high);
        set.onStep(r.x.low, r.x.step);
        set.within(v + r.y.low, v + r.y.high).onStep(v + r.y.low, r.y.step);
        if (plain)
            set.without(0).without(v);
        if (rules_.borrow != BorrowRule::Any)
            set.digitwise(DigitwiseCount(decimalColumns(v), {9, 9, 9, 9, 9}), rules_.borrow == BorrowRule::Without);
        return set;
    }
    case Operation::Multiplication: {
        // x × (v / x), x a divisor of v on its step; v / x is on no step
        // (stepsOfTwoSteps).
        if (v < 1 || r.y.high < 1)
            return noneOf();
        WholeSet set(std::max<Count>(r.x.low, 1), r.x.high);
        set.onStep(r.x.low, r.x.step);
        set.within(ceilDiv(v, r.y.high), v / std::max<Count>(r.y.low, 1));
        set.membersOf(divisors_.of(v));
        if (plain)
            set.without(1).without(v);
        return set;
    }
    case Operation::Division: {
        // (v × y) ÷ y, by the divisor y; v × y on the dividend's step.
        if (v < 1 || (plain && v == 1))
            return noneOf();
        WholeSet set(std::max<Count>(r.y.low, 1), r.y.high);
        set.onStep(r.y.low, r.y.step);
        set.within(ceilDiv(r.x.low, v), floorDiv(r.x.high, v)).onStep(r.x.low, r.x.step, v);
        if (plain)
            set.without(1);
        return set;
    }
    }
    return noneOf();
}

WholeSet ShapeProblems::outerMembers(Count v) const
{
    const StepRanges r = stepRanges(rules_, shape_, side_);
    const bool plain = rules_.noTrivial;
    const bool left = side_ == InnerSide::Left; // v is the outer step's left operand
    const Count lo = rules_.result ? std::max<Count>(0, rules_.result->low) : 0;
    const Count hi = rules_.chainTop;
    // The result on its step, where it has one; a quotient's result has
    // none (a dividing type's results take no step).
    const Count resultLow = rules_.result ? rules_.result->low : 0;
    const Count resultStep = rules_.result ? rules_.result->step : 1;
    WholeSet set(r.other.low, r.other.high);
    set.onStep(r.other.low, r.other.step);
    switch (r.outer) {
    case Operation::Addition:
        if (plain && v == 0)
            return noneOf();
        set.within(lo - v, hi - v).onStep(resultLow - v, resultStep);
        if (plain)
            set.without(0);
        if (rules_.carry != CarryRule::Any)
            set.digitwise(DigitwiseCount({}, columnRoom(v)), rules_.carry == CarryRule::Without);
        return set;
    case Operation::Subtraction:
        if (left) {
            set.within(v - hi, v - lo).onStep(v - resultLow, resultStep);
        } else {
            if (plain && v == 0)
                return noneOf();
            set.within(v + lo, v + hi).onStep(resultLow + v, resultStep);
        }
        if (plain)
            set.without(0).without(v);
        if (rules_.borrow != BorrowRule::Any) {
            const bool without = rules_.borrow == BorrowRule::Without;
            set.digitwise(left ? DigitwiseCount({}, decimalColumns(v)) : DigitwiseCount(decimalColumns(v), {9, 9, 9, 9, 9}),
                          without);
        }
        return set;
    case Operation::Multiplication:
        if (v < 1 || (plain && v == 1))
            return noneOf();
        set.within(std::max<Count>(1, ceilDiv(lo, v)), floorDiv(hi, v)).onStep(resultLow, resultStep, v);
        if (plain)
            set.without(1);
        return set;
    case Operation::Division:
        if (v < 1 || (plain && v == 1))
            return noneOf();
        if (left) {
            // v ÷ o with o a divisor of v and the quotient lo..hi.
            set.within(std::max<Count>(1, v / (hi + 1) + 1), lo >= 1 ? v / lo : v);
            set.membersOf(divisors_.of(v));
            if (plain)
                set.without(1).without(v);
            return set;
        }
        // (k × v) ÷ v, by the quotient k; k × v on the dividend's step.
        WholeSet quotients(std::max<Count>(lo, 1), hi);
        quotients.within(ceilDiv(std::max<Count>(r.other.low, 1), v), floorDiv(r.other.high, v))
            .onStep(r.other.low, r.other.step, v);
        if (plain)
            quotients.without(1);
        return quotients;
    }
    return noneOf();
}

std::pair<const std::vector<std::uint32_t>&, const std::vector<std::uint32_t>&>
ShapeProblems::stepCountsOf(StepCounts& steps, Count to) const
{
    // A slot for each sign on each side, inner steps first.
    const StepRanges r = stepRanges(rules_, shape_, side_);
    const std::size_t side = side_ == InnerSide::Left ? 0 : 4;
    const auto& inner = steps.of(side + std::size_t(r.inner), to, [this](Count v) { return innerMembers(v).size(); });
    const auto& outer =
        steps.of(8 + side + std::size_t(r.outer), to, [this](Count v) { return outerMembers(v).size(); });
    return {inner, outer};
}

SheetProblem ShapeProblems::twoSteps(Count v, Count inner, Count outer) const
{
    const StepRanges r = stepRanges(rules_, shape_, side_);
    Count x = inner, y = 0;
    switch (r.inner) {
    case Operation::Addition: y = v - inner; break;
    case Operation::Subtraction: y = inner - v; break;
    case Operation::Multiplication: y = v / inner; break;
    case Operation::Division: x = v * inner, y = inner; break;
    }
    const Count other = side_ == InnerSide::Right && r.outer == Operation::Division ? outer * v : outer;
    SheetProblem problem;
    problem.operation = shape_.operation;
    problem.terms = 3;
    problem.thenOperation = *shape_.then;
    problem.brackets = shape_.brackets;
    problem.left = double(side_ == InnerSide::Left ? x : other);
    problem.right = double(side_ == InnerSide::Left ? y : x);
    problem.third = double(side_ == InnerSide::Left ? other : y);
    problem.result = double(threeNumberValue(problem));
    return problem;
}

} // namespace sumlark

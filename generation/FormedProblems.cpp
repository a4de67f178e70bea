#include "FormedProblems.h"

#include "ProblemCounting.h"
#include "SecondOperands.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sumlark {
namespace {

using Count = std::int64_t;

constexpr Count kNoBound = std::numeric_limits<Count>::max() / 4;
// A chain's partial result is a sum or difference of two 16-bit operands.
constexpr Count kLargestPartial = 2 * Count(kOperandMax) + 1;

WholeSet emptySet()
{
    return WholeSet(1, 0);
}

// The divisors m >= 1 of a division a / m whose whole quotient lies in lo..hi.
std::pair<Count, Count> divisorsForQuotient(Count a, Count lo, Count hi)
{
    if (hi < 0)
        return {1, 0};
    const Count top = lo >= 1 ? a / lo : kNoBound;
    return {a / (hi + 1) + 1, top};
}

// The same values with high on the step, and a single value with a step
// of 1, so that no step outgrows its range.
WholeRange tightened(const WholeRange& range)
{
    const Count top = range.top();
    return {range.low, top, top == range.low ? 1 : range.step};
}

// Only the values on the range's step.
WholeSet& onStepOf(WholeSet& set, const WholeRange& range)
{
    return range.step == 1 ? set : set.onStep(range.low, range.step);
}

} // namespace

FormRules FormRules::from(const DrawableValues& values, double largest, const RuleBounds& bounds,
                          const ProblemConstraints& constraints)
{
    FormRules rules;
    const WholeRange own{values.first, values.last};
    rules.first = tightened(constraints.first.value_or(own));
    rules.second = tightened(constraints.second.value_or(own));
    if (constraints.result)
        rules.result = tightened(*constraints.result);
    rules.allowRemainder = bounds.allowRemainder;
    rules.carry = constraints.carry;
    rules.borrow = constraints.borrow;
    rules.noTrivial = constraints.noTrivial;

    // The window's limit is its largest number; ranges of their own put it
    // at the top of the highest one.
    double limit = largest;
    if (constraints.first || constraints.second) {
        limit = std::max(constraints.first ? double(rules.first.high) : largest,
                         constraints.second ? double(rules.second.high) : largest);
        RuleBounds highest = bounds;
        highest.additionLimit = limit;
        rules.sumLimit = sumlark::sumLimit(highest);
    } else {
        rules.sumLimit = sumlark::sumLimit(bounds);
    }
    rules.productBound = bounds.productLimit || constraints.first || constraints.second
                             ? 10.0 * limit
                             : std::numeric_limits<double>::infinity();
    rules.chainTop = rules.result ? rules.result->high
                                        : static_cast<Count>(std::floor(std::clamp(limit, -1.0, 1e9)));
    return rules;
}

bool ProblemShape::twoSteps() const
{
    const auto plain = [](Operation o) { return o == Operation::Addition || o == Operation::Subtraction; };
    return then && (brackets || !plain(operation) || !plain(*then));
}

std::vector<ProblemShape> shapesOf(ProblemType type, int terms, bool brackets)
{
    std::vector<ProblemShape> shapes;
    for (const Operation operation : operationsOf(type)) {
        const double share = operationShare(type, operation);
        if (terms != 3) {
            shapes.push_back({operation, std::nullopt, share});
            continue;
        }
        for (const Operation then : operationsOf(type))
            shapes.push_back({operation, then, share * operationShare(type, then),
                              brackets && bracketSide(operation, then).has_value()});
    }
    return shapes;
}

ShapeProblems::ShapeProblems(const FormRules& rules, const ProblemShape& shape, const DivisorTable& divisors,
                             StepCounts& steps)
    : rules_(rules), divisors_(divisors), shape_(shape)
{
    // Keys: a chain's partial result, a two-step problem's inner value, or
    // a problem's first operand.
    if (shape.then)
        side_ = innerSide(shape.operation, *shape.then, shape.brackets);
    const Count from = shape.then ? 0 : rules.first.low;
    const Count to = shape.twoSteps() ? innerTop(rules, shape)
                     : shape.then     ? std::min(rules.chainTop, kLargestPartial)
                                      : rules.first.high;
    origin_ = from;
    last_ = to;
    if (shape.twoSteps()) {
        const auto [inner, outer] = stepCountsOf(steps, to);
        innerCounts_ = &inner;
        outerCounts_ = &outer;
        perEntry_ = kStepBlock;
    } else if (shape.then) {
        // A chain's firsts depend on its first sign only, its thirds on its
        // second: four chains walk four times, not eight.
        const std::size_t first = shape.operation == Operation::Addition ? 0 : 1;
        const std::size_t then = *shape.then == Operation::Addition ? 0 : 1;
        innerCounts_ = &steps.of(StepCounts::kChainFirsts + first, to, [this](Count p) { return chainFirsts(p).size(); });
        outerCounts_ = &steps.of(StepCounts::kChainThirds + then, to, [this](Count p) { return chainThirds(p).size(); });
        perEntry_ = kStepBlock;
    }
    Count total = 0;
    if (to >= from)
        running_.reserve(std::size_t((to - from) / perEntry_ + 1));
    for (Count key = from; key <= to; ++key) {
        total += countAt(key);
        if ((key - from + 1) % perEntry_ == 0 || key == to)
            running_.push_back(total);
    }
}

Count ShapeProblems::countAt(Count key) const
{
    if (innerCounts_)
        return Count((*innerCounts_)[std::size_t(key)]) * Count((*outerCounts_)[std::size_t(key)]);
    if (!rules_.first.contains(key))
        return 0;
    Count count = secondsBeside(key).size();
    if (shape_.operation == Operation::Division)
        count += negativeDivisorsBeside(key).size();
    return count;
}

WholeSet ShapeProblems::secondsBeside(Count a) const
{
    const WholeRange& second = rules_.second;
    const auto& result = rules_.result;
    WholeSet set(second.low, second.high);
    onStepOf(set, second);
    if (rules_.noTrivial && a == 0)
        return emptySet();
    switch (shape_.operation) {
    case Operation::Addition:
        if (result)
            set.within(result->low - a, result->high - a).onStep(result->low - a, result->step);
        else
            set.within(-kNoBound, rules_.sumLimit - a);
        if (rules_.noTrivial)
            set.without(0);
        if (rules_.carry != CarryRule::Any)
            set.digitwise(DigitwiseCount({}, columnRoom(a)), rules_.carry == CarryRule::Without);
        return set;
    case Operation::Subtraction:
        // The minuend is never the smaller one.
        set.within(-kNoBound, a);
        if (result)
            set.within(a - result->high, a - result->low).onStep(a - result->low, result->step);
        if (rules_.noTrivial)
            set.without(0).without(a);
        if (rules_.borrow != BorrowRule::Any)
            set.digitwise(DigitwiseCount({}, decimalColumns(a)), rules_.borrow == BorrowRule::Without);
        return set;
    case Operation::Multiplication:
        if (rules_.noTrivial && a == 1)
            return emptySet();
        if (result) {
            if (a > 0)
                set.within(ceilDiv(result->low, a), floorDiv(result->high, a));
            else if (a < 0)
                set.within(ceilDiv(result->high, a), floorDiv(result->low, a));
            else if (!result->contains(0))
                return emptySet();
            // a * b on the result's step.
            set.onStep(result->low, result->step, a);
        } else if (a != 0) {
            const auto [lo, hi] = productEdge(a, second.low, second.high, rules_.productBound);
            set.within(lo, hi);
        } else if (!(rules_.productBound > 0.0)) {
            return emptySet();
        }
        if (rules_.noTrivial)
            set.without(0).without(1);
        return set;
    case Operation::Division: {
        // The positive divisors; the dividend is above 0 and not the smaller one.
        if (a <= 0)
            return emptySet();
        set.within(1, a);
        if (result) {
            const auto [lo, hi] = divisorsForQuotient(a, result->low, result->high);
            set.within(lo, hi);
        }
        if (!rules_.allowRemainder)
            set.membersOf(divisors_.of(a));
        if (rules_.noTrivial)
            set.without(1).without(a);
        return set;
    }
    }
    return emptySet();
}

WholeSet ShapeProblems::negativeDivisorsBeside(Count a) const
{
    const WholeRange& second = rules_.second;
    if (a <= 0 || second.low > -1)
        return emptySet();
    WholeSet set(second.low, std::min<Count>(second.high, -1));
    onStepOf(set, second);
    if (rules_.result) {
        // a / -m is minus a / m.
        const auto [lo, hi] = divisorsForQuotient(a, -rules_.result->high, -rules_.result->low);
        set.within(-hi, -lo);
    }
    if (!rules_.allowRemainder)
        set.membersOf(divisors_.of(a), true);
    return set;
}

WholeSet ShapeProblems::chainFirsts(Count p) const
{
    const WholeRange& first = rules_.first;
    const WholeRange& second = rules_.second;
    WholeSet set(first.low, first.high);
    onStepOf(set, first);
    if (shape_.operation == Operation::Addition) {
        // a + b = p with b in the second range, on its step.
        set.within(p - second.high, p - second.low).onStep(p - second.low, second.step);
        if (rules_.noTrivial)
            set.without(0).without(p);
        // No carry: a's digits at most p's, column by column.
        if (rules_.carry != CarryRule::Any)
            set.digitwise(DigitwiseCount({}, decimalColumns(p)), rules_.carry == CarryRule::Without);
        return set;
    }
    // a - b = p.
    if (rules_.noTrivial && p == 0)
        return emptySet();
    set.within(p + second.low, p + second.high).onStep(p + second.low, second.step);
    if (rules_.noTrivial)
        set.without(0).without(p);
    // No borrow: a's digits at least p's, column by column.
    if (rules_.borrow != BorrowRule::Any)
        set.digitwise(DigitwiseCount(decimalColumns(p), {9, 9, 9, 9, 9}), rules_.borrow == BorrowRule::Without);
    return set;
}

WholeSet ShapeProblems::chainThirds(Count p) const
{
    const WholeRange& second = rules_.second;
    const Count lo = rules_.result ? std::max<Count>(0, rules_.result->low) : 0;
    const Count hi = rules_.chainTop;
    WholeSet set(second.low, second.high);
    onStepOf(set, second);
    // The result's step, where there is one, holds for the last result.
    const Count resultLow = rules_.result ? rules_.result->low : 0;
    const Count resultStep = rules_.result ? rules_.result->step : 1;
    if (*shape_.then == Operation::Addition) {
        set.within(lo - p, hi - p).onStep(resultLow - p, resultStep);
        if (rules_.noTrivial)
            set.without(0);
        if (rules_.carry != CarryRule::Any)
            set.digitwise(DigitwiseCount({}, columnRoom(p)), rules_.carry == CarryRule::Without);
        return set;
    }
    set.within(p - hi, p - lo).onStep(p - resultLow, resultStep);
    if (rules_.noTrivial)
        set.without(0).without(p);
    if (rules_.borrow != BorrowRule::Any)
        set.digitwise(DigitwiseCount({}, decimalColumns(p)), rules_.borrow == BorrowRule::Without);
    return set;
}

WholeSet ShapeProblems::firstsReaching(Count value) const
{
    // The result's own rules; what is left is a chain's first step.
    if (rules_.result ? !rules_.result->contains(value)
                      : shape_.operation == Operation::Addition && value > rules_.sumLimit)
        return emptySet();
    if (shape_.operation == Operation::Subtraction && value < 0)
        return emptySet();
    return chainFirsts(value);
}

SheetProblem ShapeProblems::twoNumbers(Count a, Count b) const
{
    return SheetProblem::of({shape_.operation, double(a), double(b)});
}

SheetProblem ShapeProblems::chain(Count a, Count p, Count c) const
{
    SheetProblem problem;
    problem.operation = shape_.operation;
    problem.left = double(a);
    problem.right = double(shape_.operation == Operation::Addition ? p - a : a - p);
    problem.terms = 3;
    problem.thenOperation = *shape_.then;
    problem.third = double(c);
    problem.result = double(*shape_.then == Operation::Addition ? p + c : p - c);
    return problem;
}

Count ShapeProblems::problemsAt(Count key) const
{
    if (innerCounts_)
        return countAt(key);
    const auto i = std::size_t(key - origin_);
    return running_[i] - (i == 0 ? 0 : running_[i - 1]);
}

SheetProblem ShapeProblems::at(Count index) const
{
    const auto found = std::upper_bound(running_.begin(), running_.end(), index);
    const auto i = found - running_.begin();
    Count within = index - (i == 0 ? 0 : running_[std::size_t(i) - 1]);
    Count key = origin_ + i * perEntry_;
    // Within a block of keys, the one the index falls on.
    if (perEntry_ > 1) {
        for (Count here = countAt(key); within >= here; here = countAt(++key))
            within -= here;
    }
    if (shape_.twoSteps()) {
        const WholeSet outers = outerMembers(key);
        const Count perInner = outers.size();
        return twoSteps(key, innerMembers(key).nth(within / perInner), outers.nth(within % perInner));
    }
    if (shape_.then) {
        const WholeSet thirds = chainThirds(key);
        const Count perFirst = thirds.size();
        return chain(chainFirsts(key).nth(within / perFirst), key, thirds.nth(within % perFirst));
    }
    if (shape_.operation == Operation::Division) {
        const WholeSet negative = negativeDivisorsBeside(key);
        if (within < negative.size())
            return twoNumbers(key, negative.nth(within));
        return twoNumbers(key, secondsBeside(key).nth(within - negative.size()));
    }
    return twoNumbers(key, secondsBeside(key).nth(within));
}

int blankSpots(const SheetProblem& problem, BlankChoice choice, BlankSpot spots[3])
{
    // Whether the rest of the problem leaves one number for the blank.
    const auto determined = [&problem](BlankSpot spot) {
        if (problem.terms == 3)
            return true;
        switch (problem.operation) {
        case Operation::Addition:
        case Operation::Subtraction:
            return true;
        case Operation::Multiplication:
            // Anything times 0 is 0.
            return spot == BlankSpot::First ? problem.right != 0.0 : problem.left != 0.0;
        case Operation::Division:
            // With a remainder several numbers fit; 0 / x is 0 for any x.
            return problem.remainder == 0.0 && (spot == BlankSpot::First || problem.result != 0.0);
        }
        return false;
    };
    int count = 0;
    switch (choice) {
    case BlankChoice::Result:
        spots[count++] = BlankSpot::Result;
        break;
    case BlankChoice::First:
        spots[count++] = determined(BlankSpot::First) ? BlankSpot::First : BlankSpot::Result;
        break;
    case BlankChoice::Second:
        spots[count++] = determined(BlankSpot::Second) ? BlankSpot::Second : BlankSpot::Result;
        break;
    case BlankChoice::Mixed:
        spots[count++] = BlankSpot::Result;
        for (const BlankSpot spot : {BlankSpot::First, BlankSpot::Second}) {
            if (determined(spot))
                spots[count++] = spot;
        }
        break;
    }
    return count;
}

FormedProblems::FormedProblems(ProblemType type, int terms, const FormRules& formRules, bool brackets)
    : rules(formRules)
{
    const auto kinds = shapesOf(type, terms, brackets);
    const bool divides = std::any_of(kinds.begin(), kinds.end(),
                                     [](const ProblemShape& shape) { return shape.operation == Operation::Division; });
    // Two-step problems look up the divisors of their inner values.
    Count last = divides && !rules.allowRemainder ? rules.first.high : 0;
    for (const ProblemShape& kind : kinds) {
        if (kind.twoSteps())
            last = std::max(last, std::min(innerTop(rules, kind), kTwoStepKeys));
    }
    if (last >= 1)
        divisors = DivisorTable(static_cast<std::int32_t>(last));
    shapes.reserve(kinds.size());
    for (const ProblemShape& kind : kinds) {
        shapes.emplace_back(rules, kind, divisors, steps);
        if (shapes.back().size() == 0)
            shapes.pop_back();
    }
}

bool FormedProblems::walkable(ProblemType type, int terms, const FormRules& rules, bool brackets)
{
    const auto kinds = shapesOf(type, terms, brackets);
    return std::none_of(kinds.begin(), kinds.end(), [&rules](const ProblemShape& kind) {
        return kind.twoSteps() && innerTop(rules, kind) > kTwoStepKeys;
    });
}

Count FormedProblems::size() const
{
    Count total = 0;
    for (const ShapeProblems& shape : shapes)
        total += shape.size();
    return total;
}

Count FormedProblems::distinctUpTo(BlankChoice choice, Count limit) const
{
    const Count total = size();
    // Only a mixed blank makes more than one problem of one.
    if (choice != BlankChoice::Mixed || total > limit)
        return total;
    Count units = 0;
    for (const ShapeProblems& shape : shapes) {
        shape.forEach([&](const SheetProblem& problem) {
            BlankSpot spots[3];
            units += blankSpots(problem, choice, spots);
        });
    }
    return units;
}

} // namespace sumlark

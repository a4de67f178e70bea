#include "ProblemCounting.h"

#include "DigitCounting.h"
#include "SecondOperands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace sumlark {
namespace {

using Count = std::int64_t;

// A count over [0, max]^2 turned into one over [first, last]^2.
template <typename CountUpTo>
Count withinValues(const DrawableValues& values, CountUpTo countUpTo)
{
    const Count below = values.first - 1;
    return countUpTo(values.last, values.last) - countUpTo(below, values.last) - countUpTo(values.last, below) +
           countUpTo(below, below);
}

// The chance that an attempt's pair (a, b) passes a test that reads nothing
// but the two values. Every value but the two ends of the range has the same
// weight, so most of the sum is that weight squared times the number of
// passing pairs; the ends, when their weight differs, are added one row and
// one column at a time.
template <typename Passes>
double pairChance(const OperandRange& range, const DrawableValues& values, double passingPairs, Passes passes)
{
    const Count size = values.size();
    const double common = size >= 3 ? range.weight(values.first + 1) : 0.0;
    std::vector<std::pair<int, double>> ends; // value and its weight beyond the common one
    for (const int end : {values.first, values.last}) {
        if (!ends.empty() && ends.front().first == end)
            continue;
        const double extra = range.weight(end) - common;
        if (extra != 0.0)
            ends.emplace_back(end, extra);
    }

    double chance = common * common * passingPairs;
    for (const auto& [end, extra] : ends) {
        Count row = 0;
        Count column = 0;
        for (int v = values.first; v <= values.last; ++v) {
            row += passes(end, v) ? 1 : 0;
            column += passes(v, end) ? 1 : 0;
        }
        chance += common * extra * double(row + column);
    }
    for (const auto& [a, extraA] : ends) {
        for (const auto& [b, extraB] : ends)
            chance += passes(a, b) ? extraA * extraB : 0.0;
    }
    return chance;
}

// The b that the addition rule accepts beside a.
std::pair<Count, Count> sumRun(Count a, const DrawableValues& values, Count limit)
{
    return {values.first, std::min<Count>(values.last, limit - a)};
}

double additionChance(const WeightTable& w, double limit)
{
    double chance = 0.0;
    for (int a = w.low(); a <= w.high(); ++a) {
        const double room = std::floor(limit - a); // b <= limit - a
        if (room < w.low())
            continue;
        chance += w.at(a) * w.between(w.low(), static_cast<std::int64_t>(std::min<double>(room, w.high())));
    }
    return chance;
}

double multiplicationChance(const WeightTable& w, std::optional<double> productLimit)
{
    if (!productLimit)
        return 1.0;
    const double bound = 10.0 * *productLimit; // accept a * b < bound
    double chance = 0.0;
    for (int a = w.low(); a <= w.high(); ++a) {
        if (a == 0) {
            chance += bound > 0.0 ? w.at(a) : 0.0;
            continue;
        }
        const auto [from, to] = productEdge(a, w.low(), w.high(), bound);
        chance += w.at(a) * w.between(from, to);
    }
    return chance;
}

double divisionChance(const WeightTable& w, bool allowRemainder)
{
    // The guard wants a positive first operand and a second one that is not 0.
    const double positive = w.between(1, w.high());
    if (allowRemainder)
        return positive * (1.0 - w.at(0));
    // Both positive: the smaller divides the larger, in either order.
    double chance = 0.0;
    for (std::int64_t d = std::max(1, w.low()); d <= w.high(); ++d) {
        const double wd = w.at(d);
        if (wd == 0.0)
            continue;
        chance += wd * wd; // a == b
        for (std::int64_t m = 2 * d; m <= w.high(); m += d)
            chance += 2.0 * wd * w.at(m);
    }
    // A negative second operand is the divisor; its size must divide the first.
    for (std::int64_t size = 1; -size >= w.low(); ++size) {
        if (-size > w.high())
            continue;
        const double wb = w.at(-size);
        if (wb == 0.0)
            continue;
        const std::int64_t firstMultiple = std::max<std::int64_t>(1, (std::max(1, w.low()) + size - 1) / size) * size;
        for (std::int64_t a = firstMultiple; a <= w.high(); a += size)
            chance += wb * w.at(a);
    }
    return chance;
}

double chanceFor(Operation operation, const WeightTable& w, const RuleBounds& bounds)
{
    switch (operation) {
    case Operation::Addition:
        return additionChance(w, bounds.additionLimit);
    case Operation::Subtraction:
        return 1.0;
    case Operation::Multiplication:
        return multiplicationChance(w, bounds.productLimit);
    case Operation::Division:
        return divisionChance(w, bounds.allowRemainder);
    }
    return 0.0;
}

Count runLength(std::pair<Count, Count> run)
{
    return std::max<Count>(0, run.second - run.first + 1);
}

// Dividends beside a divisor d: at least d and above 0; without remainders
// only the multiples of d's size. Returns the first one and the step.
std::pair<Count, Count> dividendsOf(Count divisor, const DrawableValues& values, bool allowRemainder)
{
    const Count step = allowRemainder ? 1 : std::abs(divisor);
    Count from = std::max<Count>({divisor, 1, values.first});
    from = (from + step - 1) / step * step;
    return {from, step};
}

Count dividendCount(Count divisor, const DrawableValues& values, bool allowRemainder)
{
    const auto [from, step] = dividendsOf(divisor, values, allowRemainder);
    return from > values.last ? 0 : (values.last - from) / step + 1;
}

Count anyCount(Operation operation, const DrawableValues& values, const RuleBounds& bounds)
{
    Count count = 0;
    switch (operation) {
    case Operation::Addition: {
        const Count limit = sumLimit(bounds);
        for (Count a = values.first; a <= values.last; ++a)
            count += runLength(sumRun(a, values, limit));
        return count;
    }
    case Operation::Subtraction:
        return values.size() * (values.size() + 1) / 2;
    case Operation::Multiplication:
        for (Count a = values.first; a <= values.last; ++a)
            count += runLength(productRun(a, values, bounds));
        return count;
    case Operation::Division:
        for (Count d = values.first; d <= values.last; ++d) {
            if (d != 0)
                count += dividendCount(d, values, bounds.allowRemainder);
        }
        return count;
    }
    return 0;
}

ProblemCount countAddition(const OperandRange& range, const DrawableValues& values, const RuleBounds& bounds,
                           CarryRule rule)
{
    const Count limit = sumLimit(bounds);
    const Count all = anyCount(Operation::Addition, values, bounds);
    if (rule == CarryRule::Any)
        return {all, acceptanceChance(Operation::Addition, range, bounds)};
    const Count carryFree =
        withinValues(values, [limit](Count x, Count y) { return carryFreePairs(x, y, limit); });
    const bool with = rule == CarryRule::With;
    const Count passing = with ? all - carryFree : carryFree;
    const auto passes = [&](Count a, Count b) { return a + b <= limit && hasCarry(a, b) == with; };
    return {passing, pairChance(range, values, double(passing), passes)};
}

ProblemCount countSubtraction(const OperandRange& range, const DrawableValues& values, BorrowRule rule)
{
    const Count all = values.size() * (values.size() + 1) / 2;
    if (rule == BorrowRule::Any)
        return {all, 1.0};
    const Count borrowFree = withinValues(values, borrowFreePairs);
    const bool with = rule == BorrowRule::With;
    const Count passing = with ? all - borrowFree : borrowFree;
    // Both orders of a draw make the same problem; equal operands never borrow.
    const Count orderedPairs = 2 * passing - (with ? 0 : values.size());
    const auto passes = [with](Count a, Count b) { return hasBorrow(std::max(a, b), std::min(a, b)) == with; };
    return {passing, pairChance(range, values, double(orderedPairs), passes)};
}

} // namespace


ProblemCount countProblems(Operation operation, const OperandRange& range, const RuleBounds& bounds,
                           const ProblemConstraints& constraints)
{
    const auto values = DrawableValues::of(range);
    switch (operation) {
    case Operation::Addition:
        return countAddition(range, values, bounds, constraints.carry);
    case Operation::Subtraction:
        return countSubtraction(range, values, constraints.borrow);
    case Operation::Multiplication:
    case Operation::Division:
        return {anyCount(operation, values, bounds), acceptanceChance(operation, range, bounds)};
    }
    return {};
}

ProblemCount countProblems(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                           const ProblemConstraints& constraints)
{
    ProblemCount total;
    for (const Operation operation : operationsOf(type)) {
        const ProblemCount count = countProblems(operation, range, bounds, constraints);
        total.distinct += count.distinct;
        total.chance += operationShare(type, operation) * count.chance;
    }
    return total;
}

double operationShare(ProblemType type, Operation operation)
{
    int selectors = 0;
    for (int selector = 1; selector <= 12; ++selector)
        selectors += operationForSelector(type, selector) == operation ? 1 : 0;
    return selectors / 12.0;
}

double problemChance(ProblemType type, const SheetProblem& problem, const OperandRange& range)
{
    const auto left = static_cast<int>(problem.left);
    const auto right = static_cast<int>(problem.right);
    const double both = range.weight(left) * range.weight(right);
    double pairs = both;
    switch (problem.operation) {
    case Operation::Addition:
    case Operation::Multiplication:
        break;
    case Operation::Subtraction:
        pairs = left == right ? both : 2.0 * both;
        break;
    case Operation::Division:
        // The larger operand drawn second only passes the guard when the
        // smaller one, drawn first, is above 0.
        pairs = right > 0 && right < left ? 2.0 * both : both;
        break;
    }
    return operationShare(type, problem.operation) * pairs;
}

double largestProblemChance(ProblemType type, const OperandRange& range)
{
    const auto values = DrawableValues::of(range);
    double heaviest = 0.0;
    for (const int v : {values.first, std::min(values.first + 1, values.last), values.last})
        heaviest = std::max(heaviest, range.weight(v));
    double largest = 0.0;
    for (const Operation operation : operationsOf(type)) {
        const bool twoOrders = operation == Operation::Subtraction || operation == Operation::Division;
        largest = std::max(largest, operationShare(type, operation) * (twoOrders ? 2.0 : 1.0));
    }
    return largest * heaviest * heaviest;
}

std::int64_t listingWork(ProblemType type, const OperandRange& range, const RuleBounds& bounds)
{
    const auto values = DrawableValues::of(range);
    Count work = 0;
    for (const Operation operation : operationsOf(type))
        work += values.size() + anyCount(operation, values, bounds);
    return work;
}

void forEachProblem(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                    const ProblemConstraints& constraints, const std::function<void(const SheetProblem&)>& visit)
{
    const auto values = DrawableValues::of(range);
    const auto offer = [&](Operation operation, Count left, Count right) {
        const SheetProblem problem{operation, double(left), double(right)};
        if (meetsDigitRules(problem, constraints))
            visit(SheetProblem::of(problem));
    };
    // The second operands from..to beside a, in ascending order: checked one
    // by one where most of them pass the digit rules; where few do, each
    // found from the count of those before it, so that a listing costs about
    // as much as what it lists.
    const auto offerRun = [&](Operation operation, Count a, Count from, Count to) {
        const SecondOperands seconds(operation, a, values, bounds, constraints);
        const Count before = seconds.countUpTo(from - 1);
        const Count passing = seconds.countUpTo(to) - before;
        if (!constraints.readsDigits() || passing * 8 >= to - from + 1) {
            for (Count b = from; b <= to; ++b)
                offer(operation, a, b);
            return;
        }
        Count next = from;
        for (Count k = 1; k <= passing; ++k) {
            Count low = next;
            Count high = to;
            while (low < high) {
                const Count middle = low + (high - low) / 2;
                if (seconds.countUpTo(middle) - before >= k)
                    high = middle;
                else
                    low = middle + 1;
            }
            offer(operation, a, low);
            next = low + 1;
        }
    };
    for (const Operation operation : operationsOf(type)) {
        switch (operation) {
        case Operation::Addition: {
            const Count limit = sumLimit(bounds);
            for (Count a = values.first; a <= values.last; ++a) {
                const auto [from, to] = sumRun(a, values, limit);
                offerRun(operation, a, from, to);
            }
            break;
        }
        case Operation::Subtraction:
            // Beside a minuend m, the second operands up to m are its subtrahends.
            for (Count m = values.first; m <= values.last; ++m)
                offerRun(operation, m, values.first, m);
            break;
        case Operation::Multiplication:
            for (Count a = values.first; a <= values.last; ++a) {
                const auto [from, to] = productRun(a, values, bounds);
                for (Count b = from; b <= to; ++b)
                    offer(operation, a, b);
            }
            break;
        case Operation::Division:
            for (Count d = values.first; d <= values.last; ++d) {
                if (d == 0)
                    continue;
                const auto [from, step] = dividendsOf(d, values, bounds.allowRemainder);
                for (Count dividend = from; dividend <= values.last; dividend += step)
                    offer(operation, dividend, d);
            }
            break;
        }
    }
}

double acceptanceChance(Operation operation, const OperandRange& range, const RuleBounds& bounds)
{
    return chanceFor(operation, WeightTable(range), bounds);
}

double acceptanceChance(ProblemType type, const OperandRange& range, const RuleBounds& bounds)
{
    const WeightTable weights(range);
    double perOperation[4] = {-1.0, -1.0, -1.0, -1.0};
    double chance = 0.0;
    for (int selector = 1; selector <= 12; ++selector) {
        const Operation operation = operationForSelector(type, selector);
        double& known = perOperation[static_cast<int>(operation)];
        if (known < 0.0)
            known = chanceFor(operation, weights, bounds);
        chance += known / 12.0;
    }
    return chance;
}

} // namespace sumlark

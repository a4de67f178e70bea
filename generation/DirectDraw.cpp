#include "DirectDraw.h"

#include "ProblemCounting.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace sumlark {
namespace {

// The first index whose running sum passes u times the total. Clamping the
// target below the total keeps a u that rounds up to 1 within the list.
template <typename RunningSum>
std::int64_t firstPast(double u, std::int64_t from, std::int64_t to, RunningSum upTo)
{
    const double total = upTo(to);
    const double target = std::min(u * total, std::nextafter(total, 0.0));
    while (from < to) {
        const std::int64_t middle = from + (to - from) / 2;
        if (upTo(middle) > target)
            to = middle;
        else
            from = middle + 1;
    }
    return from;
}

} // namespace

DirectDraw::DirectDraw(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                       const ProblemConstraints& constraints)
    : range_(range), values_(DrawableValues::of(range)), bounds_(bounds), constraints_(constraints)
{
    if (values_.size() >= 3)
        common_ = range.weight(values_.first + 1);
    firstExtra_ = range.weight(values_.first) - common_;
    lastExtra_ = values_.last != values_.first ? range.weight(values_.last) - common_ : 0.0;

    if (typeHasOperation(type, Operation::Division) && !bounds.allowRemainder && values_.last >= 1)
        divisors_ = DivisorTable(static_cast<std::int32_t>(values_.last));

    double total = 0.0;
    for (const Operation operation : operationsOf(type)) {
        OperationTable table{operation, {}};
        table.chanceUpTo.reserve(std::size_t(values_.size()));
        double sum = 0.0;
        for (std::int64_t a = values_.first; a <= values_.last; ++a) {
            const SecondOperands seconds = secondsOf(operation, a);
            sum += range.weight(int(a)) * weightOf(seconds);
            table.chanceUpTo.push_back(sum);
        }
        total += operationShare(type, operation) * sum;
        chanceUpTo_.push_back(total);
        tables_.push_back(std::move(table));
    }
}

SecondOperands DirectDraw::secondsOf(Operation operation, std::int64_t a) const
{
    const auto divisors = operation == Operation::Division ? divisors_.of(a) : std::span<const std::int32_t>();
    return SecondOperands(operation, a, values_, bounds_, constraints_, divisors);
}

double DirectDraw::weightUpTo(const SecondOperands& seconds, std::int64_t x, bool firstIn, bool lastIn) const
{
    double weight = common_ * double(seconds.countUpTo(x));
    if (firstIn && x >= values_.first)
        weight += firstExtra_;
    if (lastIn && x >= values_.last)
        weight += lastExtra_;
    return weight;
}

double DirectDraw::weightOf(const SecondOperands& seconds) const
{
    const auto [firstIn, lastIn] = endsIn(seconds);
    return weightUpTo(seconds, values_.last, firstIn, lastIn);
}

// Only an end that weighs differently needs to be looked up.
std::pair<bool, bool> DirectDraw::endsIn(const SecondOperands& seconds) const
{
    return {firstExtra_ != 0.0 && seconds.contains(values_.first), lastExtra_ != 0.0 && seconds.contains(values_.last)};
}

SheetProblem DirectDraw::draw(const double r[3]) const
{
    const auto& shares = chanceUpTo_;
    const auto& table = tables_[std::size_t(
        firstPast(r[0], 0, std::int64_t(shares.size()) - 1, [&](std::int64_t i) { return shares[std::size_t(i)]; }))];

    const auto& firsts = table.chanceUpTo;
    const std::int64_t a =
        values_.first + firstPast(r[1], 0, std::int64_t(firsts.size()) - 1,
                                  [&](std::int64_t i) { return firsts[std::size_t(i)]; });

    const SecondOperands seconds = secondsOf(table.operation, a);
    const auto ends = endsIn(seconds);
    const bool firstIn = ends.first;
    const bool lastIn = ends.second;
    const std::int64_t b = firstPast(r[2], values_.first, values_.last,
                                     [&](std::int64_t x) { return weightUpTo(seconds, x, firstIn, lastIn); });

    const auto problem = applyRule(table.operation, ProblemDraw{1, double(a), double(b)}, bounds_);
    // The tables hold only pairs the rule accepts.
    assert(problem);
    return problem.value_or(SheetProblem::of({table.operation, double(a), double(b)}));
}

} // namespace sumlark

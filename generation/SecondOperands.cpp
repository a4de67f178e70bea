#include "SecondOperands.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace sumlark {
namespace {

using Count = std::int64_t;

std::array<int, 5> columnsOf(Count value)
{
    std::array<int, 5> digits{};
    for (auto& digit : digits) {
        digit = static_cast<int>(value % 10);
        value /= 10;
    }
    return digits;
}

} // namespace

Count sumLimit(const RuleBounds& bounds)
{
    // Sums of two 16-bit operands lie within twice their range; a limit just
    // outside it on either side accepts all or nothing, as the real one does.
    const double limit = std::clamp(std::floor(bounds.additionLimit), 2.0 * kOperandMin - 1.0, 2.0 * kOperandMax + 1.0);
    return static_cast<Count>(limit);
}

std::pair<Count, Count> productEdge(Count a, Count lo, Count hi, double bound)
{
    // The edge comes from one division, nudged past the division's rounding.
    const auto accepts = [&](Count b) { return double(a) * double(b) < bound; };
    const double edge = std::clamp(bound / double(a), double(lo) - 2.0, double(hi) + 2.0);
    if (a > 0) {
        auto top = static_cast<Count>(std::ceil(edge)) - 1;
        while (top + 1 <= hi && accepts(top + 1))
            ++top;
        while (top >= lo && !accepts(top))
            --top;
        return {lo, std::min(top, hi)};
    }
    auto bottom = static_cast<Count>(std::floor(edge)) + 1;
    while (bottom - 1 >= lo && accepts(bottom - 1))
        --bottom;
    while (bottom <= hi && !accepts(bottom))
        ++bottom;
    return {std::max(bottom, lo), hi};
}

std::pair<Count, Count> productRun(Count a, const DrawableValues& values, const RuleBounds& bounds)
{
    const Count lo = values.first;
    const Count hi = values.last;
    if (!bounds.productLimit)
        return {lo, hi};
    const double bound = 10.0 * *bounds.productLimit;
    if (a == 0)
        return bound > 0.0 ? std::pair{lo, hi} : std::pair{lo, lo - 1};
    return productEdge(a, lo, hi, bound);
}

SecondOperands::SecondOperands(Operation operation, Count a, const DrawableValues& values, const RuleBounds& bounds,
                               const ProblemConstraints& constraints, std::span<const std::int32_t> divisorsOfA)
    : a_(a), low_(values.first), high_(values.last)
{
    const auto columns = columnsOf(std::max<Count>(a, 0));
    switch (operation) {
    case Operation::Addition:
        high_ = std::min(high_, sumLimit(bounds) - a);
        if (constraints.carry != CarryRule::Any) {
            // Without a carry, b's digit in each column leaves a's within 9.
            std::array<int, 5> room{};
            for (std::size_t i = 0; i < room.size(); ++i)
                room[i] = 9 - columns[i];
            digits_ = DigitwiseCount({}, room);
            thinning_ = constraints.carry == CarryRule::With ? Thinning::Carrying : Thinning::CarryFree;
        }
        break;
    case Operation::Subtraction:
        if (constraints.borrow != BorrowRule::Any) {
            // Without a borrow, the smaller operand's digits are at most the
            // larger one's, column by column.
            digits_ = DigitwiseCount({}, columns);
            digitsAbove_ = DigitwiseCount(columns, {9, 9, 9, 9, 9});
            freeUpToA_ = digits_.upTo(a);
            thinning_ = constraints.borrow == BorrowRule::With ? Thinning::Borrowing : Thinning::BorrowFree;
        }
        break;
    case Operation::Multiplication:
        std::tie(low_, high_) = productRun(a, values, bounds);
        break;
    case Operation::Division:
        if (a <= 0) {
            high_ = low_ - 1;
        } else if (bounds.allowRemainder) {
            thinning_ = Thinning::NotZero;
        } else {
            // Up to a, b divides a (its size, when negative); above a, a divides b.
            thinning_ = Thinning::DividesEvenly;
            divisors_ = divisorsOfA;
        }
        break;
    }
    freeBelowLow_ = digitRuleFreeUpTo(low_ - 1);
}

Count SecondOperands::digitRuleFreeUpTo(Count x) const
{
    switch (thinning_) {
    case Thinning::CarryFree:
    case Thinning::Carrying:
        return digits_.upTo(x);
    case Thinning::BorrowFree:
    case Thinning::Borrowing:
        return borrowFreeUpTo(x);
    default:
        return 0;
    }
}

Count SecondOperands::borrowFreeUpTo(Count x) const
{
    if (x < 0)
        return 0;
    // Those at most a and those at least a; a itself is both.
    const Count upToA = x >= a_ ? freeUpToA_ : digits_.upTo(x);
    return upToA + digitsAbove_.upTo(x) - (a_ <= x ? 1 : 0);
}

Count SecondOperands::countUpTo(Count x) const
{
    x = std::min(x, high_);
    if (x < low_)
        return 0;
    const Count run = x - low_ + 1;
    switch (thinning_) {
    case Thinning::None:
        return run;
    case Thinning::NotZero:
        return run - (low_ <= 0 && 0 <= x ? 1 : 0);
    case Thinning::CarryFree:
    case Thinning::BorrowFree:
        return digitRuleFreeUpTo(x) - freeBelowLow_;
    case Thinning::Carrying:
    case Thinning::Borrowing:
        return run - (digitRuleFreeUpTo(x) - freeBelowLow_);
    case Thinning::DividesEvenly: {
        const auto divisorsWithin = [this](Count from, Count to) -> Count {
            if (from > to)
                return 0;
            return std::upper_bound(divisors_.begin(), divisors_.end(), to) -
                   std::lower_bound(divisors_.begin(), divisors_.end(), from);
        };
        // d up to a itself; -d from the bottom of the run up to x.
        const Count positive = divisorsWithin(std::max<Count>(1, low_), std::min(x, a_));
        const Count negative = divisorsWithin(-std::min<Count>(x, -1), -low_);
        const Count multiples = x >= 2 * a_ ? x / a_ - 1 : 0; // 2a, 3a, ... up to x
        return positive + negative + multiples;
    }
    }
    return 0;
}

} // namespace sumlark

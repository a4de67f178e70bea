#pragma once

// Which second operands the rules accept beside a given first one. Beside
// any first operand they form a run of whole numbers, thinned out by a carry,
// borrow or divisibility test, so they can be counted up to any value
// without being listed: the ground of both the counting and the direct draws.

#include "DigitCounting.h"
#include "OperandRange.h"
#include "OperationRules.h"
#include "ProblemConstraints.h"

#include <cstdint>
#include <span>
#include <utility>

namespace sumlark {

// The largest sum the addition rule accepts, as a whole number; one past the
// largest possible sum stands for no limit at all.
std::int64_t sumLimit(const RuleBounds& bounds);
// The b in lo..hi with a * b < bound, for a != 0: a run from the bottom for
// a > 0, to the top for a < 0.
std::pair<std::int64_t, std::int64_t> productEdge(std::int64_t a, std::int64_t lo, std::int64_t hi, double bound);
// The b that the multiplication rule accepts beside a: all or nothing for 0.
std::pair<std::int64_t, std::int64_t> productRun(std::int64_t a, const DrawableValues& values,
                                                 const RuleBounds& bounds);

// The second operands b, drawn after a first one a, that make an acceptable
// problem meeting the digit rules. A division without remainders needs the
// divisors of a, 1 and a included, in ascending order.
class SecondOperands {
public:
    SecondOperands(Operation operation, std::int64_t a, const DrawableValues& values, const RuleBounds& bounds,
                   const ProblemConstraints& constraints, std::span<const std::int32_t> divisorsOfA = {});

    // How many of them lie in values.first..x.
    std::int64_t countUpTo(std::int64_t x) const;
    bool contains(std::int64_t b) const { return countUpTo(b) > countUpTo(b - 1); }

private:
    enum class Thinning { None, NotZero, CarryFree, Carrying, BorrowFree, Borrowing, DividesEvenly };

    std::int64_t borrowFreeUpTo(std::int64_t x) const;
    std::int64_t digitRuleFreeUpTo(std::int64_t x) const;

    std::int64_t a_;
    std::int64_t low_;  // the run before thinning
    std::int64_t high_;
    Thinning thinning_ = Thinning::None;
    // Carry-free: the room each column of a leaves. Borrow-free: for b up to
    // a, a's digits or fewer, with freeUpToA_ of them; above, a's or more.
    DigitwiseCount digits_;
    DigitwiseCount digitsAbove_;
    std::int64_t freeUpToA_ = 0;
    std::int64_t freeBelowLow_ = 0; // digit-rule-free values below the run
    std::span<const std::int32_t> divisors_;
};

} // namespace sumlark

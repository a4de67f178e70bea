#pragma once

// A set of whole numbers that is counted rather than listed: a run lo..hi,
// every step-th of it, thinned by a digit test or to the members of a
// sorted list, with a few single values taken out. Every problem form's operands beside the ones
// already chosen are such a set, so they are counted and the k-th of them
// found in a few steps whatever the range.

#include "DigitCounting.h"

#include <array>
#include <cstdint>
#include <span>

namespace sumlark {

class WholeSet {
public:
    WholeSet(std::int64_t lo, std::int64_t hi) : lo_(lo), hi_(hi) {}

    // Only the values whose digits digits counts (keep), or only the others.
    WholeSet& digitwise(const DigitwiseCount& digits, bool keep);
    // Only the values in members, which is sorted and outlives the set; or,
    // negated, only the values whose negative is in it.
    WholeSet& membersOf(std::span<const std::int32_t> members, bool negated = false);
    // Only the values v where factor * v leaves residue on division by
    // modulus (at most 2^32): with a factor of 1, every modulus-th value.
    // Steps asked one after the other hold together.
    WholeSet& onStep(std::int64_t residue, std::int64_t modulus, std::int64_t factor = 1);
    // Narrows the run.
    WholeSet& within(std::int64_t lo, std::int64_t hi);
    // Takes one value out; at most four.
    WholeSet& without(std::int64_t value);

    std::int64_t countUpTo(std::int64_t x) const;
    std::int64_t size() const { return countUpTo(hi_); }
    bool contains(std::int64_t value) const;
    // Every value in ascending order.
    template <typename Visit>
    void forEach(Visit visit) const;
    // The k-th value, 0-based, ascending; k below size().
    std::int64_t nth(std::int64_t k) const;

private:
    enum class Thinning { None, Digits, NotDigits, Members };

    bool passesThinning(std::int64_t value) const;
    bool onStep(std::int64_t value) const;
    // Counted once the run, the step and the thinning are known, not on
    // every count.
    void countBelowRun();
    std::int64_t thinnedUpTo(std::int64_t x) const;
    // The values of lo..x on the step.
    std::int64_t steppedUpTo(std::int64_t x) const;
    // Counted one by one: a step the digits cannot follow, or members.
    std::int64_t walkedUpTo(std::int64_t x) const;

    std::int64_t lo_;
    std::int64_t hi_;
    Thinning thinning_ = Thinning::None;
    std::int64_t residue_ = 0;
    std::int64_t modulus_ = 1;
    DigitwiseCount asked_;            // the digit test as asked
    DigitwiseCount digits_;           // and on the step, where a power of ten fixes the low digits
    bool digitsOnStep_ = true;        // digits_ counts only values on the step
    std::int64_t digitsBelowRun_ = 0; // values below lo_ that digits_ counts
    std::span<const std::int32_t> members_;
    bool negated_ = false;
    std::array<std::int64_t, 4> out_{};
    int outCount_ = 0;
};

template <typename Visit>
void WholeSet::forEach(Visit visit) const
{
    // Members are walked as listed; other values are looked at one by one
    // where most of the run is in the set, found from the count where few
    // are, so that a walk costs about what it visits.
    if (thinning_ == Thinning::Members) {
        const auto visitMember = [&](std::int64_t value) {
            if (value >= lo_ && value <= hi_ && contains(value))
                visit(value);
        };
        if (negated_) {
            for (auto member = members_.rbegin(); member != members_.rend(); ++member)
                visitMember(-std::int64_t(*member));
        } else {
            for (const std::int32_t member : members_)
                visitMember(member);
        }
        return;
    }
    const std::int64_t count = size();
    if (count * 8 >= hi_ - lo_ + 1) {
        for (std::int64_t v = lo_; v <= hi_; ++v) {
            if (contains(v))
                visit(v);
        }
        return;
    }
    for (std::int64_t k = 0; k < count; ++k)
        visit(nth(k));
}

// The decimal columns of a value of 0 and up, lowest first: the bounds of a
// DigitwiseCount.
std::array<int, 5> decimalColumns(std::int64_t value);
// 9 minus each column: what a second number's digits may be for a sum
// without a carry.
std::array<int, 5> columnRoom(std::int64_t value);

} // namespace sumlark

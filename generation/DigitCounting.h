#pragma once

// Counting pairs of whole numbers by their decimal digits, column by column,
// so that the additions that never carry and the subtractions that never
// borrow are counted in no time even over 16-bit ranges.

#include <array>
#include <cstdint>

namespace sumlark {

// Pairs 0 <= x <= xMax, 0 <= y <= yMax whose columns never add up to 10 or
// more and whose sum is at most sumMax.
std::int64_t carryFreePairs(std::int64_t xMax, std::int64_t yMax, std::int64_t sumMax);
// Pairs 0 <= m <= mMax, 0 <= s <= sMax where every digit of s is at most the
// digit of m in its column: the subtractions that never borrow.
std::int64_t borrowFreePairs(std::int64_t mMax, std::int64_t sMax);

// The whole numbers whose every digit is one its column may hold: low..high
// in each of the five columns, lowest first.
class DigitwiseCount {
public:
    DigitwiseCount() : DigitwiseCount({0, 0, 0, 0, 0}, {9, 9, 9, 9, 9}) {}
    // Inline, so that the sets made for every key of a walk build their
    // default counts without a call.
    constexpr DigitwiseCount(const std::array<int, 5>& low, const std::array<int, 5>& high)
        : low_(low), high_(high), beneath_{}
    {
        std::int64_t below = 1;
        for (std::size_t i = 0; i < beneath_.size(); ++i) {
            beneath_[i] = below;
            below *= high_[i] >= low_[i] ? high_[i] - low_[i] + 1 : 0;
        }
    }

    // How many of 0..max.
    std::int64_t upTo(std::int64_t max) const;
    // Whether value is one of them.
    bool allows(std::int64_t value) const;
    // The k-th of them, 0-based, ascending; k below upTo(99999).
    std::int64_t nth(std::int64_t k) const;
    // Only those that leave remainder residue on division by modulus, a
    // power of ten up to 10^5: their lowest columns hold residue's digits.
    DigitwiseCount pinned(std::int64_t modulus, std::int64_t residue) const;

private:
    std::array<int, 5> low_;
    std::array<int, 5> high_;
    std::array<std::int64_t, 5> beneath_; // numbers the columns below each one allow
};

} // namespace sumlark

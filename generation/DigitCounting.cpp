#include "DigitCounting.h"

#include <algorithm>
#include <array>

namespace sumlark {
namespace {

using Count = std::int64_t;

// Operands stay below 32768, sums below 65535: five decimal digits hold both.
constexpr int kDigits = 5;
constexpr Count kDigitLimit = 99'999;

std::array<int, kDigits> digitsOf(Count value)
{
    std::array<int, kDigits> digits{};
    for (auto& digit : digits) {
        digit = static_cast<int>(value % 10);
        value /= 10;
    }
    return digits;
}

// A comparison of the digits seen so far, lowest first: the low part of x is
// at most the low part of the bound when x's new digit is smaller, or equal
// and the part below was at most.
bool stillAtMost(int digit, int boundDigit, bool below)
{
    return digit < boundDigit || (digit == boundDigit && below);
}

} // namespace

// Pairs 0 <= x <= xMax, 0 <= y <= yMax whose columns never add up to 10 or
// more and whose sum is at most sumMax. Without carries the sum's digits are
// the column sums, so three "at most" flags are the whole state.
Count carryFreePairs(Count xMax, Count yMax, Count sumMax)
{
    if (xMax < 0 || yMax < 0 || sumMax < 0)
        return 0;
    const auto xs = digitsOf(xMax);
    const auto ys = digitsOf(yMax);
    const auto ss = digitsOf(std::min(sumMax, kDigitLimit));
    std::array<Count, 8> ways{};
    ways[7] = 1; // nothing seen: every comparison holds
    for (int i = 0; i < kDigits; ++i) {
        std::array<Count, 8> next{};
        for (int state = 0; state < 8; ++state) {
            if (ways[state] == 0)
                continue;
            for (int x = 0; x <= 9; ++x) {
                for (int y = 0; x + y <= 9; ++y) {
                    const int to = int(stillAtMost(x, xs[i], state & 1)) | int(stillAtMost(y, ys[i], state & 2)) << 1 |
                                   int(stillAtMost(x + y, ss[i], state & 4)) << 2;
                    next[to] += ways[state];
                }
            }
        }
        ways = next;
    }
    return ways[7];
}

// Pairs 0 <= m <= mMax, 0 <= s <= sMax where every digit of s is at most the
// digit of m in its column: the subtractions that never borrow.
Count borrowFreePairs(Count mMax, Count sMax)
{
    if (mMax < 0 || sMax < 0)
        return 0;
    const auto ms = digitsOf(mMax);
    const auto ss = digitsOf(sMax);
    std::array<Count, 4> ways{};
    ways[3] = 1;
    for (int i = 0; i < kDigits; ++i) {
        std::array<Count, 4> next{};
        for (int state = 0; state < 4; ++state) {
            if (ways[state] == 0)
                continue;
            for (int m = 0; m <= 9; ++m) {
                for (int s = 0; s <= m; ++s) {
                    const int to = int(stillAtMost(m, ms[i], state & 1)) | int(stillAtMost(s, ss[i], state & 2)) << 1;
                    next[to] += ways[state];
                }
            }
        }
        ways = next;
    }
    return ways[3];
}

Count DigitwiseCount::upTo(Count max) const
{
    if (max < 0)
        return 0;
    const auto digits = digitsOf(std::min(max, kDigitLimit));
    // Numbers below max that first fall below it in column i: any allowed
    // digit under max's there, anything allowed in the columns beneath.
    Count count = 0;
    for (std::size_t i = kDigits; i-- > 0;) {
        const int smaller = std::min(high_[i], digits[i] - 1) - low_[i] + 1;
        if (smaller > 0)
            count += smaller * beneath_[i];
        if (digits[i] < low_[i] || digits[i] > high_[i])
            return count;
    }
    return count + 1; // max itself
}

Count DigitwiseCount::nth(Count k) const
{
    // Column by column from the top: each digit there stands for a block of
    // beneath_ numbers.
    Count value = 0;
    for (std::size_t i = kDigits; i-- > 0;) {
        value = value * 10 + low_[i] + k / beneath_[i];
        k %= beneath_[i];
    }
    return value;
}

DigitwiseCount DigitwiseCount::pinned(Count modulus, Count residue) const
{
    auto low = low_;
    auto high = high_;
    for (std::size_t i = 0; i < kDigits && modulus > 1; ++i, modulus /= 10, residue /= 10) {
        const int digit = static_cast<int>(residue % 10);
        low[i] = std::max(low[i], digit);
        high[i] = std::min(high[i], digit);
    }
    return DigitwiseCount(low, high);
}

bool DigitwiseCount::allows(Count value) const
{
    if (value < 0 || value > kDigitLimit)
        return false;
    for (std::size_t i = 0; i < kDigits; ++i, value /= 10) {
        const int digit = static_cast<int>(value % 10);
        if (digit < low_[i] || digit > high_[i])
            return false;
    }
    return true;
}

} // namespace sumlark

#include "WholeSet.h"

#include <algorithm>

namespace sumlark {

std::array<int, 5> decimalColumns(std::int64_t value)
{
    std::array<int, 5> digits{};
    for (auto& digit : digits) {
        digit = static_cast<int>(value % 10);
        value /= 10;
    }
    return digits;
}

std::array<int, 5> columnRoom(std::int64_t value)
{
    auto room = decimalColumns(value);
    for (auto& digit : room)
        digit = 9 - digit;
    return room;
}

WholeSet& WholeSet::digitwise(const DigitwiseCount& digits, bool keep)
{
    digits_ = digits;
    thinning_ = keep ? Thinning::Digits : Thinning::NotDigits;
    countBelowRun();
    return *this;
}

void WholeSet::countBelowRun()
{
    if (thinning_ == Thinning::Digits || thinning_ == Thinning::NotDigits)
        digitsBelowRun_ = digits_.upTo(lo_ - 1);
}

WholeSet& WholeSet::membersOf(std::span<const std::int32_t> members, bool negated)
{
    members_ = members;
    negated_ = negated;
    thinning_ = Thinning::Members;
    return *this;
}

WholeSet& WholeSet::within(std::int64_t lo, std::int64_t hi)
{
    lo_ = std::max(lo_, lo);
    hi_ = std::min(hi_, hi);
    countBelowRun();
    return *this;
}

WholeSet& WholeSet::without(std::int64_t value)
{
    // Taken out once, so that the count drops by one at most.
    if (std::find(out_.begin(), out_.begin() + outCount_, value) == out_.begin() + outCount_ &&
        outCount_ < static_cast<int>(out_.size()))
        out_[static_cast<std::size_t>(outCount_++)] = value;
    return *this;
}

bool WholeSet::passesThinning(std::int64_t value) const
{
    switch (thinning_) {
    case Thinning::None:
        return true;
    case Thinning::Digits:
        return digits_.allows(value);
    case Thinning::NotDigits:
        return !digits_.allows(value);
    case Thinning::Members:
        return std::binary_search(members_.begin(), members_.end(), negated_ ? -value : value);
    }
    return false;
}

// The values of lo..x that pass the thinning, x within the run.
std::int64_t WholeSet::thinnedUpTo(std::int64_t x) const
{
    const std::int64_t run = x - lo_ + 1;
    switch (thinning_) {
    case Thinning::None:
        return run;
    case Thinning::Digits:
        return digits_.upTo(x) - digitsBelowRun_;
    case Thinning::NotDigits:
        return run - (digits_.upTo(x) - digitsBelowRun_);
    case Thinning::Members: {
        const std::int64_t from = negated_ ? -x : lo_;
        const std::int64_t to = negated_ ? -lo_ : x;
        return std::upper_bound(members_.begin(), members_.end(), to) -
               std::lower_bound(members_.begin(), members_.end(), from);
    }
    }
    return 0;
}

bool WholeSet::contains(std::int64_t value) const
{
    if (value < lo_ || value > hi_ || !passesThinning(value))
        return false;
    return std::find(out_.begin(), out_.begin() + outCount_, value) == out_.begin() + outCount_;
}

std::int64_t WholeSet::countUpTo(std::int64_t x) const
{
    x = std::min(x, hi_);
    if (x < lo_)
        return 0;
    std::int64_t count = thinnedUpTo(x);
    for (int i = 0; i < outCount_; ++i) {
        const std::int64_t value = out_[static_cast<std::size_t>(i)];
        if (value >= lo_ && value <= x && passesThinning(value))
            --count;
    }
    return count;
}

std::int64_t WholeSet::nth(std::int64_t k) const
{
    if (thinning_ == Thinning::Digits) {
        // Straight from the digits, passing over as many taken-out values as
        // lie at or below the one found; they only push it further up.
        std::int64_t skipped = 0;
        for (;;) {
            const std::int64_t value = digits_.nth(digitsBelowRun_ + k + skipped);
            std::int64_t out = 0;
            for (int i = 0; i < outCount_; ++i) {
                const std::int64_t taken = out_[static_cast<std::size_t>(i)];
                out += taken >= lo_ && taken <= value && digits_.allows(taken) ? 1 : 0;
            }
            if (out == skipped)
                return value;
            skipped = out;
        }
    }
    std::int64_t low = lo_;
    std::int64_t high = hi_;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (countUpTo(middle) > k)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

} // namespace sumlark

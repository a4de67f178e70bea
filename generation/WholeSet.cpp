#include "WholeSet.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace sumlark {
namespace {

using Count = std::int64_t;

Count floorMod(Count x, Count m)
{
    const Count r = x % m;
    return r < 0 ? r + m : r;
}

// a * b mod m for a and b below m, which is at most 2^32.
Count mulMod(Count a, Count b, Count m)
{
    return Count(std::uint64_t(a) * std::uint64_t(b) % std::uint64_t(m));
}

// The inverse of a modulo m, the two coprime.
Count inverseMod(Count a, Count m)
{
    Count r0 = m, r1 = a, t0 = 0, t1 = 1;
    while (r1 != 0) {
        const Count q = r0 / r1;
        r0 = std::exchange(r1, r0 - q * r1);
        t0 = std::exchange(t1, t0 - q * t1);
    }
    return floorMod(t0, m);
}

// The moduli whose multiples a number's low digits tell apart.
bool powerOfTen(Count m)
{
    for (; m > 1 && m % 10 == 0; m /= 10) {
    }
    return m == 1;
}

} // namespace

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
    asked_ = digits;
    thinning_ = keep ? Thinning::Digits : Thinning::NotDigits;
    countBelowRun();
    return *this;
}

WholeSet& WholeSet::onStep(Count residue, Count modulus, Count factor)
{
    // factor * v = residue (mod modulus) is v = residue / g * (factor / g)^-1
    // modulo modulus / g, g their common divisor, or no v where g does not
    // divide residue.
    if (modulus == 1)
        return *this; // every value is on a step of 1
    if (factor == 1 && modulus_ == 1) {
        // The first plain step, as most are: nothing to solve or combine.
        residue_ = floorMod(residue, modulus);
        modulus_ = modulus;
        countBelowRun();
        return *this;
    }
    factor = floorMod(factor, modulus);
    residue = floorMod(residue, modulus);
    const Count g = std::gcd(factor, modulus);
    if (residue % g != 0) {
        hi_ = lo_ - 1;
        return *this;
    }
    modulus /= g;
    residue = mulMod(residue / g, inverseMod(factor / g % modulus, modulus), modulus);
    // Together with the step already taken, by the Chinese remainder theorem.
    const Count common = std::gcd(modulus_, modulus);
    if ((residue - residue_) % common != 0) {
        hi_ = lo_ - 1;
        return *this;
    }
    const Count rest = modulus / common;
    const Count t = mulMod(floorMod((residue - residue_) / common, rest), inverseMod(modulus_ / common % rest, rest), rest);
    residue_ += modulus_ * t;
    modulus_ *= rest;
    countBelowRun();
    return *this;
}

void WholeSet::countBelowRun()
{
    if (thinning_ != Thinning::Digits && thinning_ != Thinning::NotDigits)
        return;
    digitsOnStep_ = powerOfTen(modulus_) && modulus_ <= 100'000;
    digits_ = digitsOnStep_ && modulus_ > 1 ? asked_.pinned(modulus_, residue_) : asked_;
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

bool WholeSet::onStep(Count value) const
{
    return modulus_ == 1 || floorMod(value - residue_, modulus_) == 0;
}

Count WholeSet::steppedUpTo(Count x) const
{
    if (modulus_ == 1)
        return x - lo_ + 1;
    const auto floorDiv = [](Count a, Count b) { return (a - floorMod(a, b)) / b; };
    return floorDiv(x - residue_, modulus_) - floorDiv(lo_ - 1 - residue_, modulus_);
}

Count WholeSet::walkedUpTo(Count x) const
{
    Count count = 0;
    if (thinning_ == Thinning::Members) {
        for (const std::int32_t member : members_) {
            const Count value = negated_ ? -Count(member) : Count(member);
            count += value >= lo_ && value <= x && onStep(value) ? 1 : 0;
        }
        return count;
    }
    const Count first = lo_ + floorMod(residue_ - lo_, modulus_);
    for (Count value = first; value <= x; value += modulus_)
        count += passesThinning(value) ? 1 : 0;
    return count;
}

// The values of lo..x on the step that pass the thinning, x within the run.
std::int64_t WholeSet::thinnedUpTo(std::int64_t x) const
{
    const std::int64_t run = steppedUpTo(x);
    if (modulus_ > 1 && (thinning_ == Thinning::Members || !digitsOnStep_))
        return walkedUpTo(x);
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
    if (value < lo_ || value > hi_ || !onStep(value) || !passesThinning(value))
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
        if (value >= lo_ && value <= x && onStep(value) && passesThinning(value))
            --count;
    }
    return count;
}

std::int64_t WholeSet::nth(std::int64_t k) const
{
    // Straight from the digits, the step or the members' list, passing over
    // as many taken-out values as lie at or below the one found; they only
    // push it further up.
    const auto skippingOut = [this, k](auto candidate) {
        std::int64_t skipped = 0;
        for (;;) {
            const std::int64_t value = candidate(k + skipped);
            std::int64_t out = 0;
            for (int i = 0; i < outCount_; ++i) {
                const std::int64_t taken = out_[static_cast<std::size_t>(i)];
                out += taken >= lo_ && taken <= value && onStep(taken) && passesThinning(taken) ? 1 : 0;
            }
            if (out == skipped)
                return value;
            skipped = out;
        }
    };
    if (thinning_ == Thinning::Digits && digitsOnStep_)
        return skippingOut([this](std::int64_t i) { return digits_.nth(digitsBelowRun_ + i); });
    if (thinning_ == Thinning::None) {
        const std::int64_t first = lo_ + floorMod(residue_ - lo_, modulus_);
        return skippingOut([this, first](std::int64_t i) { return first + i * modulus_; });
    }
    if (thinning_ == Thinning::Members && modulus_ == 1) {
        if (negated_) {
            // Ascending values are the members from -lo_ down.
            const auto top = std::upper_bound(members_.begin(), members_.end(), -lo_);
            return skippingOut([top](std::int64_t i) { return -std::int64_t(*(top - 1 - i)); });
        }
        const auto from = std::lower_bound(members_.begin(), members_.end(), lo_);
        return skippingOut([from](std::int64_t i) { return std::int64_t(*(from + i)); });
    }
    if (thinning_ == Thinning::Members && modulus_ > 1) {
        // Counted one by one anyway: the k-th is found in one walk.
        std::int64_t found = lo_;
        forEach([&](std::int64_t value) {
            if (k-- == 0)
                found = value;
        });
        return found;
    }
    std::int64_t low = lo_;
    std::int64_t high = hi_;
    if (thinning_ == Thinning::NotDigits && modulus_ == 1) {
        // Between lo_ + k and as far past it as the digits and the taken-out
        // values leave out: a short search where few are left out.
        low = lo_ + k;
        high = std::min(hi_, low + (digits_.upTo(hi_) - digitsBelowRun_) + outCount_);
    }
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

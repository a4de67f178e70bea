#include "DivisorTable.h"

namespace sumlark {

DivisorTable::DivisorTable(std::int32_t last)
{
    if (last < 1)
        return;
    // A sieve: every d hands itself to its multiples, in ascending order.
    start_.assign(std::size_t(last) + 2, 0);
    for (std::int32_t d = 1; d <= last; ++d) {
        for (std::int32_t m = d; m <= last; m += d)
            ++start_[std::size_t(m) + 1];
    }
    for (std::size_t v = 1; v < start_.size(); ++v)
        start_[v] += start_[v - 1];
    divisors_.resize(std::size_t(start_.back()));
    auto filled = start_;
    for (std::int32_t d = 1; d <= last; ++d) {
        for (std::int32_t m = d; m <= last; m += d)
            divisors_[std::size_t(filled[std::size_t(m)]++)] = d;
    }
}

std::span<const std::int32_t> DivisorTable::of(std::int64_t v) const
{
    if (v < 1 || v + 1 >= std::int64_t(start_.size()))
        return {};
    const auto from = std::size_t(start_[std::size_t(v)]);
    return std::span(divisors_).subspan(from, std::size_t(start_[std::size_t(v) + 1]) - from);
}

} // namespace sumlark

#pragma once

// The positive divisors of every value 1..last, each list ascending, for
// the divisions without remainder that are counted rather than tried.

#include <cstdint>
#include <span>
#include <vector>

namespace sumlark {

class DivisorTable {
public:
    DivisorTable() = default;
    explicit DivisorTable(std::int32_t last);

    // Those of v, 1 and v included; none outside 1..last.
    std::span<const std::int32_t> of(std::int64_t v) const;

private:
    std::vector<std::int32_t> divisors_;
    std::vector<std::int32_t> start_; // those of v start at start_[v]
};

} // namespace sumlark

#pragma once

// Whole weights in a Fenwick tree: picking an item with the chance of its
// weight, and taking it out, both in logarithmic time. Whole numbers, so
// that taking items out never leaves rounding behind.

#include <cstdint>
#include <vector>

namespace sumlark {

class WeightTree {
public:
    explicit WeightTree(std::vector<std::uint64_t> weights);

    std::uint64_t total() const { return total_; }
    // The item whose running weight first passes target (below total()),
    // its weight set to 0.
    std::size_t take(std::uint64_t target);

private:
    std::vector<std::uint64_t> weights_;
    std::vector<std::uint64_t> tree_;
    std::uint64_t total_ = 0;
};

} // namespace sumlark

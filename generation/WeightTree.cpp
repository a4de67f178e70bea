#include "WeightTree.h"

namespace sumlark {

WeightTree::WeightTree(std::vector<std::uint64_t> weights) : weights_(std::move(weights))
{
    tree_.assign(weights_.size() + 1, 0);
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        total_ += weights_[i];
        // Linear build: each node hands its sum on to its parent.
        const std::size_t node = i + 1;
        tree_[node] += weights_[i];
        const std::size_t parent = node + (node & (~node + 1));
        if (parent < tree_.size())
            tree_[parent] += tree_[node];
    }
}

std::size_t WeightTree::take(std::uint64_t target)
{
    std::size_t position = 0;
    std::size_t step = 1;
    while (step * 2 < tree_.size())
        step *= 2;
    for (; step > 0; step /= 2) {
        if (position + step < tree_.size() && tree_[position + step] <= target) {
            position += step;
            target -= tree_[position];
        }
    }
    const std::uint64_t weight = weights_[position];
    weights_[position] = 0;
    total_ -= weight;
    for (std::size_t node = position + 1; node < tree_.size(); node += node & (~node + 1))
        tree_[node] -= weight;
    return position;
}

} // namespace sumlark

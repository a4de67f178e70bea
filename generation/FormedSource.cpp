#include "FormedSource.h"

#include <algorithm>
#include <array>

namespace sumlark {

std::int64_t uniformBelow(std::int64_t n, RandomSource& random)
{
    // The 53 bits of a draw, drawn again in the rare case that they fall in
    // the last, incomplete round of n.
    constexpr std::uint64_t kSpan = std::uint64_t(1) << 53;
    const auto count = static_cast<std::uint64_t>(std::max<std::int64_t>(n, 1));
    const std::uint64_t limit = kSpan - kSpan % count;
    for (;;) {
        const auto bits = static_cast<std::uint64_t>(random.next() * 0x1.0p53);
        if (bits < limit)
            return static_cast<std::int64_t>(bits % count);
    }
}

FormedSource::FormedSource(const FormedProblems& problems, BlankChoice blank, bool distinct, RandomSource& random,
                           int count)
    : blank_(blank), distinct_(distinct), random_(random), made_(distinct ? std::size_t(std::max(count, 0)) : 0)
{
    for (const ShapeProblems& shape : problems.shapes)
        kinds_.push_back({&shape, 6 * shape.size(), std::nullopt});
}

int FormedSource::spotsOf(const SheetProblem& problem, BlankSpot spots[3]) const
{
    return blankSpots(problem, blank_, spots);
}

// A kind as often as its share times the part of it not made yet: exactly
// how often drawing until new would end in it.
std::size_t FormedSource::pickKind()
{
    // At most sixteen kinds: the operations, or the pairs of two signs.
    std::array<double, 16> running{};
    double total = 0.0;
    const std::size_t kinds = std::min(kinds_.size(), running.size());
    for (std::size_t i = 0; i < kinds; ++i) {
        const Kind& kind = kinds_[i];
        total += kind.problems->shape().share * double(kind.left6) / (6.0 * double(kind.problems->size()));
        running[i] = total;
    }
    const double target = random_.next() * total;
    for (std::size_t i = 0; i < kinds; ++i) {
        if (running[i] > target)
            return i;
    }
    // Rounding at the very top: the last kind with anything left.
    for (std::size_t i = kinds; i-- > 0;) {
        if (kinds_[i].left6 > 0)
            return i;
    }
    return 0;
}

SheetProblem FormedSource::drawFrom(Kind& kind)
{
    if (kind.unused) {
        const auto picked = uniformBelow(static_cast<std::int64_t>(kind.unused->weightLeft()), random_);
        SheetProblem problem = kind.unused->takeAt(static_cast<std::uint64_t>(picked));
        BlankSpot spots[3];
        kind.left6 -= 6 / spotsOf(problem, spots);
        return problem;
    }
    for (;;) {
        SheetProblem problem = kind.problems->at(uniformBelow(kind.problems->size(), random_));
        BlankSpot spots[3];
        const int count = spotsOf(problem, spots);
        problem.blank = spots[count > 1 ? uniformBelow(count, random_) : 0];
        if (!distinct_)
            return problem;
        if (!made_.insert(problemKey(problem)))
            continue;
        kind.left6 -= 6 / count;
        // Once less than half is left, drawing again would be wasted more
        // often than not: the rest is listed and picked from. That many were
        // made, so the list is short.
        if (2 * kind.left6 < 6 * kind.problems->size()) {
            std::vector<std::uint64_t> keys;
            std::vector<std::uint64_t> weights;
            kind.problems->forEach([&](const SheetProblem& listed) {
                BlankSpot listedSpots[3];
                const int places = spotsOf(listed, listedSpots);
                for (int i = 0; i < places; ++i) {
                    SheetProblem placed = listed;
                    placed.blank = listedSpots[i];
                    const std::uint64_t key = problemKey(placed);
                    keys.push_back(key);
                    weights.push_back(made_.contains(key) ? 0 : 6 / places);
                }
            });
            kind.unused.emplace(std::move(keys), std::move(weights));
        }
        return problem;
    }
}

SheetProblem FormedSource::next()
{
    return drawFrom(kinds_[pickKind()]);
}

} // namespace sumlark

#include "ComparedProblems.h"

#include "FormedSource.h"

#include <algorithm>
#include <limits>

namespace sumlark {
namespace {

using Count = std::int64_t;

constexpr Count kHeld = Count(1) << 62;

template <typename Wide>
Count held(Wide value)
{
    return value > Wide(kHeld) ? kHeld : Count(value);
}

// The range's first value above v.
Count firstAbove(const WholeRange& range, Count v)
{
    const Count behind = (range.low - v - 1) % range.step;
    return v + 1 + (behind < 0 ? behind + range.step : behind);
}

bool counts(Operation operation)
{
    return operation == Operation::Addition || operation == Operation::Subtraction;
}

constexpr Relation kRelations[] = {Relation::Less, Relation::Equal, Relation::Greater};

} // namespace

Count ComparedProblems::Group::upToValue(Count value) const
{
    if (value < low)
        return 0;
    return value > high ? total() : upTo[std::size_t(value - low)];
}

Count ComparedProblems::Group::nextValueFrom(Count value) const
{
    if (value > high)
        return value;
    value = std::max(value, low);
    const Count before = upToValue(value - 1);
    return low + Count(std::upper_bound(upTo.begin() + std::ptrdiff_t(value - low), upTo.end(), before) - upTo.begin());
}

// The group's products or quotients sorted by value, each value's in the
// listing's order; false where the values, with those of low..high, span
// more than kValueSpan.
bool ComparedProblems::list(Group& group, Count& low, Count& high)
{
    const Operation operation = group.shape->shape().operation;
    std::vector<Listed> listed;
    listed.reserve(std::size_t(group.shape->size()));
    std::int32_t least = std::numeric_limits<std::int32_t>::max();
    std::int32_t most = std::numeric_limits<std::int32_t>::min();
    group.shape->forEach([&](const SheetProblem& problem) {
        const auto value = std::int32_t(problem.result);
        listed.push_back({std::int16_t(problem.left), std::int16_t(problem.right)});
        least = std::min(least, value);
        most = std::max(most, value);
    });
    group.low = least;
    group.high = most;
    low = std::min(low, group.low);
    high = std::max(high, group.high);
    if (high - low + 1 > kValueSpan)
        return false;
    // Sorted on the value's low nine bits, then steadily on the high nine:
    // two passes that write into 512 places each, where one pass by the
    // whole value would write all over a large buffer.
    static_assert(kValueSpan <= 1 << 18);
    constexpr int kBits = 9;
    constexpr std::int32_t kMask = (1 << kBits) - 1;
    const auto sortOn = [&group, operation](const std::vector<Listed>& from, std::vector<Listed>& to, int shift) {
        const auto digitOf = [&](const Listed& one) {
            return std::size_t(((one.valueBy(operation) - group.low) >> shift) & kMask);
        };
        std::size_t places[kMask + 2]{};
        for (const Listed& one : from)
            ++places[digitOf(one) + 1];
        for (std::size_t d = 1; d <= kMask; ++d)
            places[d] += places[d - 1];
        for (const Listed& one : from)
            to[places[digitOf(one)]++] = one;
    };
    group.listed.resize(listed.size());
    sortOn(listed, group.listed, 0);
    sortOn(group.listed, listed, kBits);
    group.listed = std::move(listed);
    group.upTo.assign(std::size_t(group.high - group.low + 1), 0);
    for (const Listed& one : group.listed)
        ++group.upTo[std::size_t(one.valueBy(operation) - group.low)];
    for (std::size_t i = 1; i < group.upTo.size(); ++i)
        group.upTo[i] += group.upTo[i - 1];
    return true;
}

std::optional<ComparedProblems> ComparedProblems::of(const FormedProblems& expressions, CompareForm form,
                                                     const std::optional<WholeRange>& resultRange)
{
    ComparedProblems made;
    made.form_ = form;
    const FormRules& rules = expressions.rules;
    Count low = std::numeric_limits<Count>::max();
    Count high = std::numeric_limits<Count>::min();
    // Sums and differences reach what their ranges reach; products and
    // quotients are listed, so their own values are known.
    Count listing = 0;
    made.groups_.resize(expressions.shapes.size());
    for (std::size_t g = 0; g < expressions.shapes.size(); ++g) {
        const ShapeProblems& shape = expressions.shapes[g];
        Group& group = made.groups_[g];
        group.shape = &shape;
        group.share = shape.shape().share;
        const Operation operation = shape.shape().operation;
        if (!counts(operation)) {
            listing += shape.size();
            continue;
        }
        group.low = operation == Operation::Addition ? rules.first.low + rules.second.low
                                                     : std::max<Count>(0, rules.first.low - rules.second.high);
        group.high = operation == Operation::Addition ? rules.first.high + rules.second.high
                                                      : rules.first.high - rules.second.low;
        if (resultRange)
            group.low = std::max(group.low, resultRange->low), group.high = std::min(group.high, resultRange->high);
        low = std::min(low, group.low);
        high = std::max(high, group.high);
    }
    if (listing > kListedExpressions)
        return std::nullopt;
    for (Group& group : made.groups_) {
        if (!counts(group.shape->shape().operation) && !made.list(group, low, high))
            return std::nullopt;
    }
    if (high < low || high - low + 1 > kValueSpan)
        return std::nullopt;
    Count smallest = high, largest = low;
    for (Group& group : made.groups_) {
        if (counts(group.shape->shape().operation)) {
            group.upTo.resize(std::size_t(std::max<Count>(0, group.high - group.low + 1)));
            Count total = 0;
            for (Count v = group.low; v <= group.high; ++v) {
                total += group.shape->firstsReaching(v).size();
                group.upTo[std::size_t(v - group.low)] = total;
            }
        }
        if (group.total() > 0) {
            smallest = std::min(smallest, group.nextValueFrom(group.low));
            largest = std::max(largest, group.low + Count(std::lower_bound(group.upTo.begin(), group.upTo.end(),
                                                                          group.total()) - group.upTo.begin()));
        }
    }
    made.numbers_ = resultRange ? *resultRange : WholeRange{smallest, largest};
    made.weights_.resize(std::size_t(made.cells()));
    for (int g = 0; g < made.groups(); ++g)
        made.weigh(g);
    return made;
}

WholeRange ComparedProblems::otherSide(const Cell& cell, Count v) const
{
    const Group& with = groups_[std::size_t(cell.other)];
    const WholeRange all = form_ == CompareForm::Number ? numbers_ : WholeRange{with.low, with.high};
    switch (cell.relation) {
    case Relation::Less:
        return {firstAbove(all, v), all.high, all.step};
    case Relation::Greater:
        return {all.low, v - 1, all.step};
    case Relation::Equal:
        break;
    }
    return all.contains(v) ? WholeRange{v, v} : WholeRange{v, v - 1};
}

ComparedProblems::Wide ComparedProblems::weightOf(const Cell& cell, Count v) const
{
    const Wide c = groups_[std::size_t(cell.group)].countOf(v);
    if (c == 0)
        return 0;
    if (form_ == CompareForm::Number) {
        switch (cell.relation) {
        case Relation::Less:
            return c * Wide(numbers_.above(v));
        case Relation::Greater:
            return c * Wide(numbers_.below(v));
        case Relation::Equal:
            break;
        }
        return numbers_.contains(v) ? c : 0;
    }
    const Group& with = groups_[std::size_t(cell.other)];
    switch (cell.relation) {
    case Relation::Less:
        return c * Wide(with.total() - with.upToValue(v));
    case Relation::Greater:
        return c * Wide(with.upToValue(v - 1));
    case Relation::Equal:
        break;
    }
    // Never an expression against itself.
    return c * Wide(with.countOf(v) - (cell.group == cell.other ? 1 : 0));
}

// Every cell of the group weighed in one walk over its values, as
// weightOf weighs them one by one.
void ComparedProblems::weigh(int g)
{
    const Group& group = groups_[std::size_t(g)];
    const Count span = group.high - group.low + 1;
    const auto blocks = std::size_t(std::max<Count>(0, (span + kBlock - 1) / kBlock));
    const int first = indexOf({g, 0, Relation::Less});
    const int cells = others() * 3;
    for (int i = first; i < first + cells; ++i)
        weights_[std::size_t(i)].upTo.resize(blocks);
    Wide sums[4 * 3]{}; // at most four other sides, three answers each
    Count before = 0;
    for (Count i = 0; i < span; ++i) {
        const Count v = group.low + i;
        const Wide c = group.upTo[std::size_t(i)] - before;
        before = group.upTo[std::size_t(i)];
        if (c > 0 && form_ == CompareForm::Number) {
            sums[int(Relation::Less)] += c * Wide(numbers_.above(v));
            sums[int(Relation::Equal)] += numbers_.contains(v) ? c : 0;
            sums[int(Relation::Greater)] += c * Wide(numbers_.below(v));
        }
        for (int h = 0; c > 0 && form_ == CompareForm::Expression && h < others(); ++h) {
            const Group& with = groups_[std::size_t(h)];
            const Count below = with.upToValue(v - 1), upTo = with.upToValue(v);
            sums[h * 3 + int(Relation::Less)] += c * Wide(with.total() - upTo);
            sums[h * 3 + int(Relation::Equal)] += c * Wide(upTo - below - (h == g ? 1 : 0));
            sums[h * 3 + int(Relation::Greater)] += c * Wide(below);
        }
        if (i % kBlock == kBlock - 1 || i == span - 1) {
            for (int k = 0; k < cells; ++k) {
                weights_[std::size_t(first + k)].upTo[std::size_t(i / kBlock)] = sums[k];
            }
        }
    }
    for (int k = 0; k < cells; ++k)
        weights_[std::size_t(first + k)].count = held(sums[k]);
}

Count ComparedProblems::count(Relation relation) const
{
    Wide total = 0;
    for (int g = 0; g < groups(); ++g) {
        for (int h = 0; h < others(); ++h)
            total += count({g, h, relation});
    }
    return held(total);
}

Count ComparedProblems::size() const
{
    return held(Wide(count(Relation::Less)) + count(Relation::Equal) + count(Relation::Greater));
}

SheetProblem ComparedProblems::expressionAt(const Group& group, Count value, Count k) const
{
    if (!group.listed.empty()) {
        const Listed& one = group.listed[std::size_t(group.upToValue(value - 1) + k)];
        return SheetProblem::of({group.shape->shape().operation, double(one.left), double(one.right)});
    }
    const Count a = group.shape->firstsReaching(value).nth(k);
    const Operation operation = group.shape->shape().operation;
    return SheetProblem::of({operation, double(a), double(operation == Operation::Addition ? value - a : a - value)});
}

Count ComparedProblems::pickValue(const Cell& cell, RandomSource& random) const
{
    const Weights& weights = weights_[std::size_t(indexOf(cell))];
    const Group& group = groups_[std::size_t(cell.group)];
    const double top = double(weights.upTo.back());
    const double target = random.next() * top;
    // The first value whose running weight, rounded, passes the target; the
    // first to reach the top where rounding put the target there.
    auto found = std::upper_bound(weights.upTo.begin(), weights.upTo.end(), target,
                                  [](double t, Wide upTo) { return t < double(upTo); });
    const bool atTop = found == weights.upTo.end();
    if (atTop)
        found = std::lower_bound(weights.upTo.begin(), weights.upTo.end(), top,
                                 [](Wide upTo, double t) { return double(upTo) < t; });
    const auto block = std::size_t(found - weights.upTo.begin());
    Wide running = block == 0 ? 0 : weights.upTo[block - 1];
    Count v = group.low + Count(block) * kBlock;
    for (; v < group.high; ++v) {
        running += weightOf(cell, v);
        if (atTop ? double(running) >= top : double(running) > target)
            break;
    }
    return v;
}

Count ComparedProblems::pickAmong(const Group& group, Count low, Count high, RandomSource& random) const
{
    const Count before = group.upToValue(low - 1);
    const Count k = before + uniformBelow(group.upToValue(high) - before, random);
    return group.low + Count(std::upper_bound(group.upTo.begin(), group.upTo.end(), k) - group.upTo.begin());
}

SheetProblem ComparedProblems::against(const SheetProblem& expression, const SheetProblem& other) const
{
    SheetProblem problem = expression;
    problem.compare = CompareForm::Expression;
    problem.otherOperation = other.operation;
    problem.otherLeft = other.left;
    problem.otherRight = other.right;
    problem.otherResult = other.result;
    return problem;
}

SheetProblem ComparedProblems::against(const SheetProblem& expression, Count number) const
{
    SheetProblem problem = expression;
    problem.compare = CompareForm::Number;
    problem.otherResult = double(number);
    return problem;
}

SheetProblem ComparedProblems::draw(const Cell& cell, RandomSource& random) const
{
    const Group& group = groups_[std::size_t(cell.group)];
    const Count v = pickValue(cell, random);
    const Count k = uniformBelow(group.countOf(v), random);
    const SheetProblem expression = expressionAt(group, v, k);
    if (form_ == CompareForm::Number) {
        switch (cell.relation) {
        case Relation::Less:
            return against(expression, firstAbove(numbers_, v) + numbers_.step * uniformBelow(numbers_.above(v), random));
        case Relation::Greater:
            return against(expression, numbers_.low + numbers_.step * uniformBelow(numbers_.below(v), random));
        case Relation::Equal:
            break;
        }
        return against(expression, v);
    }
    const Group& with = groups_[std::size_t(cell.other)];
    if (cell.relation == Relation::Equal) {
        if (cell.group != cell.other)
            return against(expression, expressionAt(with, v, uniformBelow(with.countOf(v), random)));
        // Another of the same value.
        const Count j = uniformBelow(group.countOf(v) - 1, random);
        return against(expression, expressionAt(group, v, j < k ? j : j + 1));
    }
    const Count u = cell.relation == Relation::Less ? pickAmong(with, v + 1, with.high, random)
                                                    : pickAmong(with, with.low, v - 1, random);
    return against(expression, expressionAt(with, u, uniformBelow(with.countOf(u), random)));
}

} // namespace sumlark

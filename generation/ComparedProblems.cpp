#include "ComparedProblems.h"

#include "FormedSource.h"

#include <algorithm>
#include <limits>

namespace sumlark {
namespace {

using Count = std::int64_t;
__extension__ typedef __int128 Wide; // sums of products of counts

constexpr Count kHeld = Count(1) << 62;

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

} // namespace

std::optional<ComparedProblems> ComparedProblems::of(const FormedProblems& expressions, CompareForm form,
                                                     const std::optional<WholeRange>& resultRange)
{
    ComparedProblems made(expressions);
    made.form_ = form;
    const FormRules& rules = expressions.rules;
    Count low = std::numeric_limits<Count>::max();
    Count high = std::numeric_limits<Count>::min();
    // Sums and differences reach what their ranges reach; products and
    // quotients are listed, so their own values are known.
    Count listing = 0;
    std::vector<WholeRange> reached; // of each counted shape
    for (const ShapeProblems& shape : expressions.shapes) {
        const Operation operation = shape.shape().operation;
        if (!counts(operation)) {
            listing += shape.size();
            continue;
        }
        made.counted_.push_back(&shape);
        Count lo = operation == Operation::Addition ? rules.first.low + rules.second.low
                                                    : std::max<Count>(0, rules.first.low - rules.second.high);
        Count hi = operation == Operation::Addition ? rules.first.high + rules.second.high
                                                    : rules.first.high - rules.second.low;
        if (resultRange)
            lo = std::max(lo, resultRange->low), hi = std::min(hi, resultRange->high);
        reached.push_back({lo, hi});
        low = std::min(low, lo);
        high = std::max(high, hi);
    }
    if (listing > kListedExpressions)
        return std::nullopt;
    std::vector<Listed> listed;
    std::vector<Count> values;
    listed.reserve(std::size_t(listing));
    values.reserve(std::size_t(listing));
    for (const ShapeProblems& shape : expressions.shapes) {
        if (counts(shape.shape().operation))
            continue;
        shape.forEach([&](const SheetProblem& problem) {
            listed.push_back({std::int32_t(problem.left), std::int32_t(problem.right), problem.operation});
            values.push_back(Count(problem.result));
            low = std::min(low, values.back());
            high = std::max(high, values.back());
        });
    }
    if (high < low || high - low + 1 > kValueSpan)
        return std::nullopt;
    made.low_ = low;
    made.high_ = high;

    // How many expressions each value has.
    const auto span = std::size_t(high - low + 1);
    std::vector<Count> each(span, 0);
    for (std::size_t k = 0; k < made.counted_.size(); ++k) {
        for (Count v = reached[k].low; v <= reached[k].high; ++v)
            each[std::size_t(v - low)] += made.counted_[k]->firstsReaching(v).size();
    }
    made.listedStart_.assign(span + 1, 0);
    for (const Count value : values)
        ++made.listedStart_[std::size_t(value - low) + 1];
    for (std::size_t i = 0; i < span; ++i) {
        each[i] += made.listedStart_[i + 1];
        made.listedStart_[i + 1] += made.listedStart_[i];
    }
    // Grouped by value, each group in the listing's order.
    made.listed_.resize(listed.size());
    std::vector<Count> next(made.listedStart_.begin(), made.listedStart_.end() - 1);
    for (std::size_t i = 0; i < listed.size(); ++i)
        made.listed_[std::size_t(next[std::size_t(values[i] - low)]++)] = listed[i];

    made.upTo_.resize(span);
    Count total = 0;
    Count smallest = high, largest = low;
    for (std::size_t i = 0; i < span; ++i) {
        total += each[i];
        made.upTo_[i] = total;
        if (each[i] > 0)
            smallest = std::min(smallest, low + Count(i)), largest = std::max(largest, low + Count(i));
    }
    made.numbers_ = rules.result ? *rules.result : WholeRange{smallest, largest};

    // Each value's share of the problems with each answer.
    Wide sums[3]{};
    for (auto& running : made.running_)
        running.resize(span);
    for (std::size_t i = 0; i < span; ++i) {
        const Count v = low + Count(i);
        const Wide c = each[i];
        Wide weights[3];
        if (form == CompareForm::Number) {
            weights[int(Relation::Less)] = c * Wide(made.numbers_.above(v));
            weights[int(Relation::Equal)] = made.numbers_.contains(v) ? c : 0;
            weights[int(Relation::Greater)] = c * Wide(made.numbers_.below(v));
        } else {
            weights[int(Relation::Less)] = c * Wide(total - made.upTo_[i]);
            weights[int(Relation::Equal)] = c * (c - 1); // never an expression against itself
            weights[int(Relation::Greater)] = c * Wide(made.upTo_[i] - each[i]);
        }
        for (int r = 0; r < 3; ++r) {
            sums[r] += weights[r];
            made.running_[r][i] = double(sums[r]);
        }
    }
    for (int r = 0; r < 3; ++r)
        made.counts_[r] = held(sums[r]);
    return made;
}

Count ComparedProblems::size() const
{
    return held(Wide(counts_[0]) + counts_[1] + counts_[2]);
}

Count ComparedProblems::countOf(Count value) const
{
    if (value < low_ || value > high_)
        return 0;
    const auto i = std::size_t(value - low_);
    return upTo_[i] - (i == 0 ? 0 : upTo_[i - 1]);
}

Count ComparedProblems::nextValueFrom(Count value) const
{
    if (value > high_)
        return value;
    value = std::max(value, low_);
    const auto i = std::size_t(value - low_);
    const Count before = i == 0 ? 0 : upTo_[i - 1];
    return low_ + Count(std::upper_bound(upTo_.begin() + std::ptrdiff_t(i), upTo_.end(), before) - upTo_.begin());
}

WholeRange ComparedProblems::otherSide(Relation relation, Count v) const
{
    const WholeRange all = form_ == CompareForm::Number ? numbers_ : WholeRange{low_, high_};
    switch (relation) {
    case Relation::Less:
        return {firstAbove(all, v), all.high, all.step};
    case Relation::Greater:
        return {all.low, v - 1, all.step};
    case Relation::Equal:
        break;
    }
    return all.contains(v) ? WholeRange{v, v} : WholeRange{v, v - 1};
}

SheetProblem ComparedProblems::expressionAt(Count value, Count k) const
{
    for (const ShapeProblems* shape : counted_) {
        const WholeSet firsts = shape->firstsReaching(value);
        if (k >= firsts.size()) {
            k -= firsts.size();
            continue;
        }
        const Count a = firsts.nth(k);
        const Operation operation = shape->shape().operation;
        return SheetProblem::of({operation, double(a), double(operation == Operation::Addition ? value - a : a - value)});
    }
    const Listed& one = listed_[std::size_t(listedStart_[std::size_t(value - low_)] + k)];
    return SheetProblem::of({one.operation, double(one.left), double(one.right)});
}

Count ComparedProblems::pickValue(const std::vector<double>& running, RandomSource& random) const
{
    const double target = random.next() * running.back();
    auto found = std::upper_bound(running.begin(), running.end(), target);
    // Rounding at the very top: the last value with any weight.
    if (found == running.end()) {
        found = running.end() - 1;
        while (found != running.begin() && *(found - 1) == *found)
            --found;
    }
    return low_ + Count(found - running.begin());
}

Count ComparedProblems::pickAmong(Count low, Count high, RandomSource& random) const
{
    const Count before = low <= low_ ? 0 : upTo_[std::size_t(low - low_) - 1];
    const Count k = before + uniformBelow(upTo_[std::size_t(high - low_)] - before, random);
    return low_ + Count(std::upper_bound(upTo_.begin(), upTo_.end(), k) - upTo_.begin());
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

SheetProblem ComparedProblems::draw(Relation relation, RandomSource& random) const
{
    const Count v = pickValue(running_[int(relation)], random);
    const Count k = uniformBelow(countOf(v), random);
    const SheetProblem expression = expressionAt(v, k);
    if (form_ == CompareForm::Number) {
        switch (relation) {
        case Relation::Less:
            return against(expression, firstAbove(numbers_, v) + numbers_.step * uniformBelow(numbers_.above(v), random));
        case Relation::Greater:
            return against(expression, numbers_.low + numbers_.step * uniformBelow(numbers_.below(v), random));
        case Relation::Equal:
            break;
        }
        return against(expression, v);
    }
    if (relation == Relation::Equal) {
        // Another of the same value.
        const Count j = uniformBelow(countOf(v) - 1, random);
        return against(expression, expressionAt(v, j < k ? j : j + 1));
    }
    const Count u = relation == Relation::Less ? pickAmong(v + 1, high_, random) : pickAmong(low_, v - 1, random);
    return against(expression, expressionAt(u, uniformBelow(countOf(u), random)));
}

} // namespace sumlark

#include "CompareSource.h"

#include "FormedSource.h"

#include <algorithm>


namespace sumlark {
namespace {

// Both sides: the expression's key, and the other expression's or the
// number itself (a run compares in one form only).
constexpr Relation kAnswers[] = {Relation::Less, Relation::Equal, Relation::Greater};

std::pair<std::uint64_t, std::uint64_t> bothSides(const SheetProblem& problem)
{
    if (problem.compare == CompareForm::Expression)
        return {problemKey(problem),
                problemKey(SheetProblem::of({problem.otherOperation, problem.otherLeft, problem.otherRight}))};
    return {problemKey(problem), std::uint64_t(std::int64_t(problem.otherResult))};
}

} // namespace

CompareSource::CompareSource(const ComparedProblems& problems, bool distinct, RandomSource& random)
    : problems_(problems), distinct_(distinct), random_(random), made_(std::size_t(problems.cells()), 0),
      unused_(std::size_t(problems.cells())), othersOpen_(std::size_t(problems.groups()), 0),
      answersOpen_(std::size_t(problems.groups() * problems.others()), 0),
      // As many as a run makes at most, so that the set rarely grows.
      keys_(distinct ? std::size_t(std::min<std::int64_t>(problems.size(), 32768)) : 0)
{
    for (int g = 0; g < problems.groups(); ++g) {
        for (int h = 0; h < problems.others(); ++h) {
            for (const Relation relation : kAnswers)
                answersOpen_[std::size_t(g * problems.others() + h)] += open({g, h, relation}) ? 1 : 0;
            othersOpen_[std::size_t(g)] += answersOpen_[std::size_t(g * problems.others() + h)] > 0 ? 1 : 0;
        }
    }
}

bool CompareSource::open(const Cell& cell) const
{
    return problems_.count(cell) > (distinct_ ? made_[std::size_t(problems_.indexOf(cell))] : 0);
}

void CompareSource::made(const Cell& cell)
{
    if (++made_[std::size_t(problems_.indexOf(cell))] < problems_.count(cell) || !distinct_)
        return;
    if (--answersOpen_[std::size_t(cell.group * problems_.others() + cell.other)] == 0)
        --othersOpen_[std::size_t(cell.group)];
}

int CompareSource::pickByShare(const double* shares, int count)
{
    double total = 0.0;
    int last = 0, weighed = 0;
    for (int i = 0; i < count; ++i) {
        total += shares[i];
        if (shares[i] > 0.0)
            last = i, ++weighed;
    }
    if (weighed <= 1)
        return last;
    const double target = random_.next() * total;
    double running = 0.0;
    for (int i = 0; i < count; ++i) {
        running += shares[i];
        if (running > target && shares[i] > 0.0)
            return i;
    }
    return last; // rounding at the very top
}

SheetProblem CompareSource::next()
{
    // Choices with a problem left: with any, unless distinct.
    double shares[4]{}; // a type has at most four operations
    const int groups = problems_.groups(), others = problems_.others();
    for (int g = 0; g < groups; ++g)
        shares[g] = othersOpen_[std::size_t(g)] > 0 ? problems_.share(g) : 0.0;
    Cell cell{pickByShare(shares, groups), 0, Relation::Less};
    if (problems_.form() == CompareForm::Expression) {
        for (int h = 0; h < others; ++h)
            shares[h] = answersOpen_[std::size_t(cell.group * others + h)] > 0 ? problems_.share(h) : 0.0;
        cell.other = pickByShare(shares, others);
    }
    Relation answers[3]{};
    int count = 0;
    for (const Relation relation : kAnswers) {
        if (open({cell.group, cell.other, relation}))
            answers[count++] = relation;
    }
    cell.relation = answers[uniformBelow(count, random_)];
    const auto c = std::size_t(problems_.indexOf(cell));
    if (auto& unused = unused_[c]) {
        const auto i = std::size_t(uniformBelow(std::int64_t(unused->size()), random_));
        const SheetProblem problem = (*unused)[i];
        (*unused)[i] = unused->back();
        unused->pop_back();
        made(cell);
        return problem;
    }
    for (;;) {
        const SheetProblem problem = problems_.draw(cell, random_);
        if (distinct_ && !keys_.insert(bothSides(problem)))
            continue;
        made(cell);
        // Past half, drawing again would be wasted more often than not. As
        // many were made, so the list is short.
        if (distinct_ && 2 * made_[c] > problems_.count(cell)) {
            unused_[c].emplace();
            problems_.forEachIn(cell, [&](const SheetProblem& listed) {
                if (!keys_.contains(bothSides(listed)))
                    unused_[c]->push_back(listed);
            });
        }
        return problem;
    }
}

} // namespace sumlark

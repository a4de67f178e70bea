#include "CompareSource.h"

#include "FormedSource.h"

namespace sumlark {
namespace {

// Both sides: the expression's key, and the other expression's or the
// number itself (a run compares in one form only).
std::pair<std::uint64_t, std::uint64_t> bothSides(const SheetProblem& problem)
{
    if (problem.compare == CompareForm::Expression)
        return {problemKey(problem),
                problemKey(SheetProblem::of({problem.otherOperation, problem.otherLeft, problem.otherRight}))};
    return {problemKey(problem), std::uint64_t(std::int64_t(problem.otherResult))};
}

} // namespace

CompareSource::CompareSource(const ComparedProblems& problems, bool distinct, RandomSource& random)
    : problems_(problems), distinct_(distinct), random_(random)
{
}

SheetProblem CompareSource::next()
{
    // The answers with a problem left: with any, unless distinct.
    std::array<Relation, 3> open{};
    int count = 0;
    for (const Relation relation : {Relation::Less, Relation::Equal, Relation::Greater}) {
        if (problems_.count(relation) > (distinct_ ? made_[std::size_t(relation)] : 0))
            open[std::size_t(count++)] = relation;
    }
    const Relation relation = open[std::size_t(uniformBelow(count, random_))];
    const auto r = std::size_t(relation);
    if (auto& unused = unused_[r]) {
        const auto i = std::size_t(uniformBelow(std::int64_t(unused->size()), random_));
        const SheetProblem problem = (*unused)[i];
        (*unused)[i] = unused->back();
        unused->pop_back();
        ++made_[r];
        return problem;
    }
    for (;;) {
        const SheetProblem problem = problems_.draw(relation, random_);
        if (distinct_ && !keys_.insert(bothSides(problem)).second)
            continue;
        ++made_[r];
        // Past half, drawing again would be wasted more often than not. As
        // many were made, so the list is short.
        if (distinct_ && 2 * made_[r] > problems_.count(relation)) {
            unused_[r].emplace();
            problems_.forEachWith(relation, [&](const SheetProblem& listed) {
                if (!keys_.count(bothSides(listed)))
                    unused_[r]->push_back(listed);
            });
        }
        return problem;
    }
}

} // namespace sumlark

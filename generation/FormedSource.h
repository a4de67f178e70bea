#pragma once

// Drawing the problems of a run with problem forms: a kind of problem as
// often as its share, every problem of that kind equally often, and its
// blank on one of the places the choice allows, each as often as the
// others. Distinct problems are drawn again until new, which is the same
// as picking among the unused ones with those chances; where few are left,
// the picking is done that way instead.

#include "FormedProblems.h"
#include "MadeKeys.h"
#include "ProblemStream.h"
#include "RunServices.h"
#include "UnusedProblems.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sumlark {

// A whole number 0..n-1, each exactly as likely, from the random source.
std::int64_t uniformBelow(std::int64_t n, RandomSource& random);

class FormedSource final : public ProblemStream {
public:
    // count: how many problems the run makes, the room its distinct keys need.
    FormedSource(const FormedProblems& problems, BlankChoice blank, bool distinct, RandomSource& random, int count);

    SheetProblem next() override;

private:
    struct Kind {
        const ShapeProblems* problems;
        // What is left of the kind, in sixths of a problem: each problem
        // weighs 6, shared among its blank places.
        std::int64_t left6;
        // Every blank place of every problem of the kind, weighing its share
        // of the 6, once few are left.
        std::optional<UnusedProblems> unused;
    };

    std::size_t pickKind();
    SheetProblem drawFrom(Kind& kind);
    int spotsOf(const SheetProblem& problem, BlankSpot spots[3]) const;

    BlankChoice blank_;
    bool distinct_;
    RandomSource& random_;
    std::vector<Kind> kinds_;
    MadeKeys<std::uint64_t> made_;
};

} // namespace sumlark

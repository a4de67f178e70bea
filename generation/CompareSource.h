#pragma once

// Drawing the problems of a run that compares: the answer first, each of
// ＞, ＜ and ＝ as often as the others among those the ranges allow, then a
// problem with that answer, each as likely as the others. Distinct problems
// are drawn again until new, among the answers that have some left.

#include "ComparedProblems.h"
#include "ProblemStream.h"
#include "RunServices.h"

#include <array>
#include <cstdint>
#include <set>
#include <utility>

namespace sumlark {

class CompareSource final : public ProblemStream {
public:
    CompareSource(const ComparedProblems& problems, bool distinct, RandomSource& random);

    SheetProblem next() override;

private:
    const ComparedProblems& problems_;
    bool distinct_;
    RandomSource& random_;
    std::array<std::int64_t, 3> made_{}; // of each answer
    std::set<std::pair<std::uint64_t, std::uint64_t>> keys_;
};

} // namespace sumlark

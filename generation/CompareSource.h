#pragma once

// Drawing the problems of a run that compares: the answer first, each of
// ＞, ＜ and ＝ as often as the others among those the ranges allow, then a
// problem with that answer, each as likely as the others. Distinct problems
// are drawn again until new, among the answers that have some left; once
// half of an answer's problems are made, the rest of them are listed and
// picked from instead.

#include "ComparedProblems.h"
#include "ProblemStream.h"
#include "RunServices.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

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
    std::array<std::optional<std::vector<SheetProblem>>, 3> unused_{};
    std::set<std::pair<std::uint64_t, std::uint64_t>> keys_;
};

} // namespace sumlark

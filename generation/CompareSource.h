#pragma once

// Drawing the problems of a run that compares, as a teacher mixes them:
// each expression on the sheet, left or right, of each operation as often
// as the type draws that operation (a mixed type's sheet is not made of
// products because they have the most values). So the expression's
// operation first, with the type's share of it among the operations that
// have problems; then the other expression's the same way (the number form
// has but the number); then the answer, each of ＞, ＜ and ＝ as often as the
// others among those these two allow; then a problem with all three, each
// as likely as the others. Distinct problems are drawn again until new,
// among the choices that have some left; once half of a cell's problems are
// made, the rest of them are listed and picked from instead.

#include "ComparedProblems.h"
#include "MadeKeys.h"
#include "ProblemStream.h"
#include "RunServices.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace sumlark {

class CompareSource final : public ProblemStream {
public:
    CompareSource(const ComparedProblems& problems, bool distinct, RandomSource& random);

    SheetProblem next() override;

private:
    using Cell = ComparedProblems::Cell;
    using Sides = std::pair<std::uint64_t, std::uint64_t>;
    // Whether the cell has a problem left to draw.
    bool open(const Cell& cell) const;
    // One more of the cell made; a distinct run's choices closed as they run out.
    void made(const Cell& cell);
    // One of count choices, each with its weight (the type's share of an
    // operation); no draw where there is but one.
    int pickByShare(const double* shares, int count);

    const ComparedProblems& problems_;
    bool distinct_;
    RandomSource& random_;
    std::vector<std::int64_t> made_; // of each cell
    std::vector<std::optional<std::vector<SheetProblem>>> unused_;
    std::vector<int> othersOpen_;  // of each operation: the other sides with problems left
    std::vector<int> answersOpen_; // of each operation and other side
    MadeKeys<Sides> keys_; // the problems made, told apart by both sides
};

} // namespace sumlark

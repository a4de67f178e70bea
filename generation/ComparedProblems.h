#pragma once

// The problems of a run that compares (比大小): an expression of the type
// against a number, or against a second expression, the pupil writing ＞, ＜
// or ＝ between them; never an expression against itself, which would show
// its answer. The expressions are the run's problems of two numbers, held
// in groups of one operation each, so that a mixed type keeps its shares
// of the operations (CompareSource). How many expressions of a group have
// each value is counted once; the problems of a cell (the expression's
// operation, the other side's, the answer) are counted as sums over values,
// and a problem of a cell is drawn exactly: its value first, each with the
// share of the cell's problems it has, then each expression among those of
// its value.

#include "FormedProblems.h"
#include "RunServices.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sumlark {

class ComparedProblems {
public:
    // Values of the expressions counted one by one, and expressions that
    // are listed (products and quotients) rather than counted: beyond these
    // the counting would not end quickly.
    static constexpr std::int64_t kValueSpan = std::int64_t(1) << 18;
    static constexpr std::int64_t kListedExpressions = std::int64_t(1) << 19;

    // Nothing when the expressions' values span more than kValueSpan, or
    // more than kListedExpressions would be listed. The number form's
    // numbers are the result range, else the expressions' smallest to
    // largest value.
    static std::optional<ComparedProblems> of(const FormedProblems& expressions, CompareForm form,
                                              const std::optional<WholeRange>& resultRange);

    // The problems of one operation against one other side with one answer.
    // other is a group of the expression form, 0 (the number) of the other.
    struct Cell {
        int group = 0;
        int other = 0;
        Relation relation = Relation::Less;
    };

    CompareForm form() const { return form_; }
    // The operations, in the order of the type's kinds; and the other sides.
    int groups() const { return int(groups_.size()); }
    int others() const { return form_ == CompareForm::Expression ? groups() : 1; }
    // How often the type draws the group's operation.
    double share(int group) const { return groups_[std::size_t(group)].share; }
    // Cells numbered 0..cells()-1, for the caller's tallies.
    int cells() const { return groups() * others() * 3; }
    int indexOf(const Cell& cell) const { return (cell.group * others() + cell.other) * 3 + int(cell.relation); }
    // Problems of a cell, with an answer, in all; held at 2^62 where there are more.
    std::int64_t count(const Cell& cell) const { return weights_[std::size_t(indexOf(cell))].count; }
    std::int64_t count(Relation relation) const;
    std::int64_t size() const;
    // One of the cell's problems, each as likely; count(cell) above 0.
    SheetProblem draw(const Cell& cell, RandomSource& random) const;
    // Every problem of the cell, or with the answer, by values; as quick as
    // there are problems, whatever the values span.
    template <typename Visit>
    void forEachIn(const Cell& cell, Visit visit) const;
    template <typename Visit>
    void forEachWith(Relation relation, Visit visit) const;

private:
    __extension__ typedef __int128 Wide; // sums of products of counts
    // Values are weighed in blocks: a block's running weight is kept, the
    // values within it are weighed again when a draw lands there.
    static constexpr std::int64_t kBlock = 16;

    // A product or quotient by its operands, which fit 16 bits: hundreds of
    // thousands of them are listed, and every byte is a page to fault in.
    struct Listed {
        std::int16_t left;
        std::int16_t right;

        // A whole quotient: comparisons have no remainders.
        std::int32_t valueBy(Operation operation) const
        {
            return operation == Operation::Multiplication ? std::int32_t(left) * right : std::int32_t(left) / right;
        }
    };
    // The expressions of one operation.
    struct Group {
        const ShapeProblems* shape = nullptr;
        double share = 0.0;
        std::int64_t low = 0;   // its values' ends
        std::int64_t high = -1;
        // Expressions with values up to low + i.
        std::vector<std::int64_t> upTo;
        // Products and quotients, by value; sums and differences are
        // found through firstsReaching instead.
        std::vector<Listed> listed;

        std::int64_t total() const { return upTo.empty() ? 0 : upTo.back(); }
        // Expressions with values up to value.
        std::int64_t upToValue(std::int64_t value) const;
        std::int64_t countOf(std::int64_t value) const { return upToValue(value) - upToValue(value - 1); }
        // The first value from value on that some expression has; past high if none.
        std::int64_t nextValueFrom(std::int64_t value) const;
    };
    // A cell's running weight at the end of each block of its group's values.
    struct Weights {
        std::vector<Wide> upTo;
        std::int64_t count = 0;
    };

    ComparedProblems() = default;

    static bool list(Group& group, std::int64_t& low, std::int64_t& high);

    // The number form's numbers, or the other group's values, on the
    // answer's side of the value v.
    WholeRange otherSide(const Cell& cell, std::int64_t v) const;
    // How many problems of the cell have an expression of value v.
    Wide weightOf(const Cell& cell, std::int64_t v) const;
    void weigh(int group);
    // The k-th expression of the group with the value, k below its countOf.
    SheetProblem expressionAt(const Group& group, std::int64_t value, std::int64_t k) const;
    // A value drawn with its weight in the cell.
    std::int64_t pickValue(const Cell& cell, RandomSource& random) const;
    // A value drawn among the group's low..high, each with its expressions.
    std::int64_t pickAmong(const Group& group, std::int64_t low, std::int64_t high, RandomSource& random) const;
    SheetProblem against(const SheetProblem& expression, const SheetProblem& other) const;
    SheetProblem against(const SheetProblem& expression, std::int64_t number) const;

    CompareForm form_ = CompareForm::Number;
    WholeRange numbers_{}; // of the number form
    std::vector<Group> groups_;
    std::vector<Weights> weights_; // of each cell
};

template <typename Visit>
void ComparedProblems::forEachIn(const Cell& cell, Visit visit) const
{
    const Group& group = groups_[std::size_t(cell.group)];
    for (std::int64_t v = group.nextValueFrom(group.low); v <= group.high; v = group.nextValueFrom(v + 1)) {
        const WholeRange other = otherSide(cell, v);
        if (other.low > other.high)
            continue;
        for (std::int64_t k = 0; k < group.countOf(v); ++k) {
            const SheetProblem expression = expressionAt(group, v, k);
            if (form_ == CompareForm::Number) {
                for (std::int64_t n = other.low; n <= other.high; n += other.step)
                    visit(against(expression, n));
                continue;
            }
            const Group& with = groups_[std::size_t(cell.other)];
            for (std::int64_t u = with.nextValueFrom(other.low); u <= other.high; u = with.nextValueFrom(u + 1)) {
                for (std::int64_t j = 0; j < with.countOf(u); ++j) {
                    if (cell.group != cell.other || u != v || j != k)
                        visit(against(expression, expressionAt(with, u, j)));
                }
            }
        }
    }
}

template <typename Visit>
void ComparedProblems::forEachWith(Relation relation, Visit visit) const
{
    for (int g = 0; g < groups(); ++g) {
        for (int h = 0; h < others(); ++h)
            forEachIn({g, h, relation}, visit);
    }
}

} // namespace sumlark

#pragma once

// The problems of a run that compares (比大小): an expression of the type
// against a number, or against a second expression, the pupil writing ＞, ＜
// or ＝ between them; never an expression against itself, which would show
// its answer. The expressions are the run's problems of two numbers;
// how many of them have each value is counted once, so that the problems
// with each answer are counted as sums over values, and a problem with a
// given answer is drawn exactly: its values first, each with the share of
// the problems it has, then each expression among those of its value.

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

    CompareForm form() const { return form_; }
    // Problems with the answer, held at 2^62 where there are more.
    std::int64_t count(Relation relation) const { return counts_[std::size_t(relation)]; }
    std::int64_t size() const;
    // One of the problems with the answer, each as likely; count(relation) above 0.
    SheetProblem draw(Relation relation, RandomSource& random) const;
    // Every problem with the answer, by values; as quick as there are
    // problems, whatever the values span.
    template <typename Visit>
    void forEachWith(Relation relation, Visit visit) const;

private:
    explicit ComparedProblems(const FormedProblems& expressions) : expressions_(&expressions) {}

    std::int64_t countOf(std::int64_t value) const;
    // The first value from value on that some expression has; past high_ if none.
    std::int64_t nextValueFrom(std::int64_t value) const;
    // The other side's values for an answer beside the value v: numbers, or
    // the values of other expressions.
    WholeRange otherSide(Relation relation, std::int64_t v) const;
    // The k-th expression with the value, k below countOf(value).
    SheetProblem expressionAt(std::int64_t value, std::int64_t k) const;
    // A value drawn with weights running (one a value from low_).
    std::int64_t pickValue(const std::vector<double>& running, RandomSource& random) const;
    // A value drawn among those of low..high, each with its expressions.
    std::int64_t pickAmong(std::int64_t low, std::int64_t high, RandomSource& random) const;
    SheetProblem against(const SheetProblem& expression, const SheetProblem& other) const;
    SheetProblem against(const SheetProblem& expression, std::int64_t number) const;

    const FormedProblems* expressions_;
    CompareForm form_ = CompareForm::Number;
    std::int64_t low_ = 0;  // the smallest value an expression has
    std::int64_t high_ = 0; // the largest
    WholeRange numbers_{};  // of the number form
    // Expressions with values up to low_ + i.
    std::vector<std::int64_t> upTo_;
    // The shapes counted through firstsReaching (additions, subtractions).
    std::vector<const ShapeProblems*> counted_;
    // Products and quotients as (left, right, operation), grouped by value:
    // those of value low_ + i start at listedStart_[i].
    struct Listed {
        std::int32_t left;
        std::int32_t right;
        Operation operation;
    };
    std::vector<Listed> listed_;
    std::vector<std::int64_t> listedStart_;
    // Running weights of each value for each answer.
    std::vector<double> running_[3];
    std::int64_t counts_[3]{};
};

template <typename Visit>
void ComparedProblems::forEachWith(Relation relation, Visit visit) const
{
    for (std::int64_t v = nextValueFrom(low_); v <= high_; v = nextValueFrom(v + 1)) {
        const WholeRange other = otherSide(relation, v);
        if (other.low > other.high)
            continue;
        for (std::int64_t k = 0; k < countOf(v); ++k) {
            const SheetProblem expression = expressionAt(v, k);
            if (form_ == CompareForm::Number) {
                for (std::int64_t n = other.low; n <= other.high; n += other.step)
                    visit(against(expression, n));
                continue;
            }
            for (std::int64_t u = nextValueFrom(other.low); u <= other.high; u = nextValueFrom(u + 1)) {
                for (std::int64_t j = 0; j < countOf(u); ++j) {
                    if (u != v || j != k)
                        visit(against(expression, expressionAt(u, j)));
                }
            }
        }
    }
}

} // namespace sumlark

#include "ProblemRules.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace sumlark::testing {
namespace {

// The operations each type may print, one bit each: add, subtract, multiply, divide.
constexpr unsigned kSignsOfType[] = {0b0001, 0b0010, 0b0100, 0b1000, 0b0011, 0b1100, 0b0111, 0b1111};

bool timesOrBy(Operation o)
{
    return o == Operation::Multiplication || o == Operation::Division;
}

// a o b, none where it is no whole number.
std::optional<std::int64_t> step(Operation o, std::optional<std::int64_t> a, std::int64_t b)
{
    if (!a || (o == Operation::Division && (b == 0 || *a % b != 0)))
        return std::nullopt;
    switch (o) {
    case Operation::Addition: return *a + b;
    case Operation::Subtraction: return *a - b;
    case Operation::Multiplication: return *a * b;
    case Operation::Division: return *a / b;
    }
    return std::nullopt;
}

// Whether b o2 c is worked out before a o1 b.
bool rightFirst(Operation o1, Operation o2, bool brackets)
{
    const bool unbracketed = timesOrBy(o2) && !timesOrBy(o1);
    return brackets ? !unbracketed : unbracketed;
}

// Some column of the two numbers' digits adds up to 10 or more, or, for a
// borrow, has the larger digit below.
bool anyColumn(std::int64_t top, std::int64_t below, bool borrow)
{
    for (; top > 0 || below > 0; top /= 10, below /= 10) {
        if (borrow ? below % 10 > top % 10 : top % 10 + below % 10 >= 10)
            return true;
    }
    return false;
}

} // namespace

bool ProblemRules::bracketsMatter(Operation operation, Operation then)
{
    if (timesOrBy(operation) != timesOrBy(then))
        return true;
    return operation == Operation::Subtraction || operation == Operation::Division;
}

SheetProblem ProblemRules::chain(Operation operation, std::int64_t a, std::int64_t b, Operation then, std::int64_t c,
                                 bool brackets)
{
    std::optional<std::int64_t> value;
    if (rightFirst(operation, then, brackets)) {
        if (const auto inner = step(then, b, c))
            value = step(operation, a, *inner);
    } else {
        value = step(then, step(operation, a, b), c);
    }
    SheetProblem problem{operation, double(a), double(b), value ? double(*value) : std::nan(""), 0.0, 3, then, double(c)};
    problem.brackets = brackets;
    return problem;
}

std::string ProblemRules::broken(const SheetProblem& p) const
{
    const auto l = std::int64_t(p.left), r = std::int64_t(p.right), t = std::int64_t(p.third);
    const auto& c = rules;
    const auto within = [&](const std::optional<WholeRange>& own, std::int64_t v) { return own.value_or(drawn).contains(v); };
    if (!within(c.first, l) || !within(c.second, r) || (p.terms == 3 && !within(c.second, t)))
        return "an operand outside its range";
    if ((kSignsOfType[int(type)] >> int(p.operation) & 1) == 0 ||
        (p.terms == 3 && (kSignsOfType[int(type)] >> int(p.thenOperation) & 1) == 0))
        return "an operation the type does not have";
    if (p.terms != c.terms)
        return "the wrong count of numbers";
    // Digit rules are refused wherever an operand could be below 0.
    if (c.readsDigits() && (l < 0 || r < 0 || t < 0))
        return "an operand below 0 under a digit rule";
    const auto digitsKept = [&](Operation o, std::int64_t a, std::int64_t b) {
        if (o == Operation::Addition && c.carry != CarryRule::Any)
            return anyColumn(a, b, false) == (c.carry == CarryRule::With);
        if (o == Operation::Subtraction && c.borrow != BorrowRule::Any)
            return a >= b && anyColumn(a, b, true) == (c.borrow == BorrowRule::With);
        return true;
    };
    // Sums up to the largest number, products below ten times it; ranges of
    // their own put it at the highest of theirs.
    const double limit = c.first || c.second ? std::max(c.first ? double(c.first->top()) : largest,
                                                        c.second ? double(c.second->top()) : largest)
                                             : largest;
    std::int64_t result = 0;
    if (p.terms == 3) {
        if (p.brackets != (c.brackets && bracketsMatter(p.operation, p.thenOperation)))
            return "brackets where they change nothing, or none where asked";
        const std::int64_t top = c.result ? c.result->top() : std::int64_t(std::floor(limit));
        const bool right = rightFirst(p.operation, p.thenOperation, p.brackets);
        const Operation first = right ? p.thenOperation : p.operation, second = right ? p.operation : p.thenOperation;
        const std::int64_t x = right ? r : l, y = right ? t : r;
        const auto inner = step(first, x, y);
        if (!inner)
            return "a quotient that is no whole number";
        const std::int64_t u = right ? l : *inner, w = right ? *inner : t;
        const auto outer = step(second, u, w);
        if (!outer)
            return "a quotient that is no whole number";
        result = *outer;
        if (*inner < 0 || *inner > top || result < 0 || result > top)
            return "a step outside 0..top";
        // × and ÷ of 1 and up, a quotient of 1 and up. Adding to a partial
        // of 0 prints no "0＋": 3＋(−3)＋1 answers nothing by itself.
        const auto stepKept = [&](Operation o, std::int64_t a, std::int64_t b, bool aPrinted) {
            if (o == Operation::Multiplication)
                return a >= 1 && b >= 1 && !(c.noTrivial && (a == 1 || b == 1));
            if (o == Operation::Division)
                return b >= 1 && a >= b && !(c.noTrivial && (b == 1 || a == b));
            return !(c.noTrivial && (b == 0 || (o == Operation::Addition ? a == 0 && aPrinted : a == b)));
        };
        if (!stepKept(first, x, y, true) || !stepKept(second, u, w, right))
            return "a step against its rule";
        if (!digitsKept(first, x, y) || !digitsKept(second, u, w))
            return "a step against the carry or borrow rule";
        if (c.noTrivial && (l == 0 || r == 0 || t == 0))
            return "a trivial step";
    } else {
        switch (p.operation) {
        case Operation::Addition:
            result = l + r;
            if (!c.result && double(result) > limit)
                return "a sum over the largest";
            break;
        case Operation::Subtraction:
            result = l - r;
            if (l < r || (c.noTrivial && l == r))
                return "a minuend below its subtrahend, or a-a";
            break;
        case Operation::Multiplication:
            result = l * r;
            if (!c.result && !(double(result) < 10.0 * limit))
                return "a product of ten times the largest";
            if (c.noTrivial && (l == 1 || r == 1))
                return "a product by 1";
            break;
        case Operation::Division:
            if (l <= 0 || r == 0 || l < r || (!allowRemainder && l % r != 0) || (c.noTrivial && (r == 1 || l == r)))
                return "a division against its rule";
            result = l / r; // truncates, as the sheets do
            if (double(l % r) != p.remainder)
                return "the wrong remainder";
            break;
        }
        if (!digitsKept(p.operation, l, r))
            return "a column against the carry or borrow rule";
        if (c.noTrivial && (l == 0 || r == 0))
            return "a trivial problem";
    }
    if (double(result) != p.result || (p.operation != Operation::Division && p.remainder != 0.0))
        return "the wrong result";
    if (c.result && !c.result->contains(result))
        return "a result outside its range";
    return "";
}

std::map<std::uint64_t, double> attemptChances(ProblemType type, const OperandRange& range, const RuleBounds& bounds,
                                               const ProblemConstraints& rules)
{
    std::map<std::uint64_t, double> chances;
    for (int selector = 1; selector <= 12; ++selector) {
        const Operation operation = operationForSelector(type, selector);
        for (int a = range.low; a <= range.high; ++a) {
            for (int b = range.low; b <= range.high; ++b) {
                const double chance = range.weight(a) * range.weight(b) / 12.0;
                const auto problem = applyRule(operation, {std::int16_t(selector), double(a), double(b)}, bounds);
                if (chance > 0.0 && problem && meetsDigitRules(*problem, rules))
                    chances[problemKey(*problem)] += chance;
            }
        }
    }
    return chances;
}

} // namespace sumlark::testing

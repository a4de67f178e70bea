#include "RunPlan.h"

#include "NumberText.h"
#include "ProblemCounting.h"
#include "SheetLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace sumlark {
namespace {

Refusal refusal(RefusalCode code, std::vector<Choice> choices, const WorksheetSettings& settings,
                const ProblemConstraints& constraints)
{
    Refusal made;
    made.code = code;
    made.choices = std::move(choices);
    made.settings = settings;
    made.constraints = constraints;
    return made;
}

// A refusal about one of the own ranges: which one, and its ends.
Refusal rangeRefusal(RefusalCode code, Choice which, const WholeRange& range, const WorksheetSettings& settings,
                     const ProblemConstraints& constraints)
{
    Refusal made = refusal(code, {which}, settings, constraints);
    made.range = range;
    return made;
}

// The ranges of their own, each with its choice.
std::array<std::pair<Choice, const std::optional<WholeRange>*>, 3> ownRanges(const ProblemConstraints& constraints)
{
    return {{{Choice::First, &constraints.first}, {Choice::Second, &constraints.second}, {Choice::Result, &constraints.result}}};
}

// Carrying and borrowing need an operation to happen in and digits to look
// at, which negative numbers do not have in the sense a pupil learns.
std::optional<Refusal> digitRuleRefusal(const WorksheetSettings& settings, const OperandRange& range,
                                        const ProblemConstraints& constraints)
{
    if (!constraints.readsDigits())
        return std::nullopt;
    const auto operations = operationsOf(settings.problemType);
    const auto has = [&operations](Operation operation) {
        return std::find(operations.begin(), operations.end(), operation) != operations.end();
    };
    if (constraints.carry != CarryRule::Any && !has(Operation::Addition))
        return refusal(RefusalCode::CarryWithoutAddition, {Choice::Type, Choice::Carry}, settings, constraints);
    if (constraints.borrow != BorrowRule::Any && !has(Operation::Subtraction))
        return refusal(RefusalCode::BorrowWithoutSubtraction, {Choice::Type, Choice::Borrow}, settings, constraints);
    // Ranges of their own stand in for the run's.
    for (const auto* own : {&constraints.first, &constraints.second}) {
        if (*own && (*own)->low < 0)
            return rangeRefusal(RefusalCode::OwnRangeBelowZero, own == &constraints.first ? Choice::First : Choice::Second,
                                **own, settings, constraints);
    }
    if (range.low < 0 && !(constraints.first && constraints.second))
        return refusal(RefusalCode::DigitsBelowZero, {Choice::Smallest, Choice::Largest, Choice::Carry, Choice::Borrow},
                       settings, constraints);
    if (auto made = digitStepRefusal(constraints)) {
        made->settings = settings;
        return made;
    }
    return std::nullopt;
}

// What the problem forms ask that no range can give.
std::optional<Refusal> formRefusal(const WorksheetSettings& settings, const ProblemConstraints& constraints)
{
    if (constraints.brackets) {
        if (constraints.terms != 3)
            return refusal(RefusalCode::BracketsNeedThreeNumbers, {Choice::Brackets, Choice::Terms}, settings,
                           constraints);
        const auto shapes = shapesOf(settings.problemType, 3, true);
        if (std::none_of(shapes.begin(), shapes.end(), [](const ProblemShape& shape) { return shape.brackets; }))
            return refusal(RefusalCode::BracketsChangeNothing, {Choice::Brackets, Choice::Type}, settings, constraints);
    }
    if (constraints.compare != CompareForm::None) {
        if (constraints.blank != BlankChoice::Result)
            return refusal(RefusalCode::CompareWithBlank, {Choice::Compare, Choice::Blank}, settings, constraints);
        if (constraints.terms != 2)
            return refusal(RefusalCode::CompareWithThreeNumbers, {Choice::Compare, Choice::Terms}, settings, constraints);
        if (settings.allowRemainder && typeHasOperation(settings.problemType, Operation::Division))
            return refusal(RefusalCode::CompareWithRemainder, {Choice::Compare, Choice::Remainder}, settings,
                           constraints);
    }
    for (const auto& [which, range] : ownRanges(constraints)) {
        if (!*range)
            continue;
        if ((*range)->low > (*range)->high)
            return rangeRefusal(RefusalCode::RangeReversed, which, **range, settings, constraints);
        if ((*range)->step < 1)
            return rangeRefusal(RefusalCode::RangeStepBelowOne, which, **range, settings, constraints);
        const std::int64_t lowest = limitsOf(which).lowest;
        const auto highest = static_cast<std::int64_t>(limitsOf(which).highest);
        if ((*range)->low < lowest || (*range)->high > highest) {
            Refusal made = rangeRefusal(RefusalCode::RangeOutOfLimits, which, **range, settings, constraints);
            made.limits = {lowest, highest};
            return made;
        }
    }
    // A quotient on a step is no step of the divisor: the divisors would be
    // tried one by one, so it is not offered.
    if (constraints.result && constraints.result->top() > constraints.result->low && constraints.result->step > 1 &&
        typeHasOperation(settings.problemType, Operation::Division)) {
        Refusal made = rangeRefusal(RefusalCode::QuotientStep, Choice::Result, *constraints.result, settings, constraints);
        made.choices.push_back(Choice::Type);
        return made;
    }
    // A product worked out first is counted by its value through the
    // divisors of the first factor; the second factor, the value divided by
    // it, is on no step that the counting can hold.
    if (constraints.terms == 3 && constraints.second && constraints.second->step > 1 &&
        constraints.second->top() > constraints.second->low) {
        const auto shapes = shapesOf(settings.problemType, 3, constraints.brackets);
        const bool productFirst = std::any_of(shapes.begin(), shapes.end(), [](const ProblemShape& shape) {
            return shape.twoSteps() &&
                   innerOperation(shape.operation, *shape.then, shape.brackets) == Operation::Multiplication;
        });
        if (productFirst) {
            Refusal made =
                rangeRefusal(RefusalCode::StepInTwoSteps, Choice::Second, *constraints.second, settings, constraints);
            made.choices.push_back(Choice::Terms);
            return made;
        }
    }
    return std::nullopt;
}

// Why an operation can never make a problem in this range.
std::optional<NoProblemCause> impossibleCause(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return NoProblemCause::SumsAboveLargest;
    case Operation::Multiplication:
        return NoProblemCause::ProductsTooLarge;
    case Operation::Division:
        return NoProblemCause::NoDividend;
    case Operation::Subtraction:
        break;
    }
    return std::nullopt;
}

// Why an operation the range allows makes none under the carry or borrow rule.
std::optional<NoProblemCause> digitRuleCause(Operation operation, const ProblemConstraints& constraints)
{
    if (operation == Operation::Addition && constraints.carry == CarryRule::With)
        return NoProblemCause::NoCarryingSum;
    if (operation == Operation::Addition && constraints.carry == CarryRule::Without)
        return NoProblemCause::EverySumCarries;
    if (operation == Operation::Subtraction && constraints.borrow == BorrowRule::With)
        return NoProblemCause::NoBorrowing;
    return std::nullopt;
}

Refusal tooFewDistinct(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                       std::int64_t distinct, int count)
{
    Refusal made = refusal(RefusalCode::TooFewDistinct, {Choice::Count, Choice::Distinct}, settings, constraints);
    made.distinct = distinct;
    made.count = count;
    return made;
}

PlanOrRefusal refuse(Refusal made)
{
    PlanOrRefusal result;
    result.refusal = std::move(made);
    return result;
}

} // namespace

PlanOrRefusal planRun(const WorksheetSettings& settings, const ProblemConstraints& constraints)
{
    const int typeIndex = static_cast<int>(settings.problemType);
    if (typeIndex < 0 || typeIndex >= kProblemTypeCount)
        return refuse(refusal(RefusalCode::UnknownType, {Choice::Type}, settings, constraints));

    if (constraints.asksForms()) {
        if (auto refusal = formRefusal(settings, constraints))
            return refuse(std::move(*refusal));
    }

    const auto count = strictNumber(settings.countText);
    if (!count)
        return refuse(refusal(RefusalCode::CountNotANumber, {Choice::Count}, settings, constraints));
    if (*count >= kCountLimit)
        return refuse(refusal(RefusalCode::CountTooLarge, {Choice::Count}, settings, constraints));

    // A count below 1 makes no problem, so it draws no operand and needs no range.
    if (*count < 1.0) {
        RunPlan plan;
        plan.perLine = perLineCount(settings.perLineText);
        plan.serialWidth = serialWidth(settings.countText);
        plan.bounds = RuleBounds::from(settings);
        plan.constraints = constraints;
        return {plan, {}};
    }

    const auto smallest = strictNumber(settings.smallestText);
    if (!smallest)
        return refuse(refusal(RefusalCode::SmallestNotANumber, {Choice::Smallest}, settings, constraints));
    const auto largest = strictNumber(settings.largestText);
    if (!largest)
        return refuse(refusal(RefusalCode::LargestNotANumber, {Choice::Largest}, settings, constraints));

    const auto inRange = [](double v) { return v >= kOperandMin && v <= kOperandMax; };
    const Refusal outOfRange = refusal(RefusalCode::RangeOutOf16Bits, {Choice::Smallest, Choice::Largest}, settings, constraints);
    // Checked before the range is built: converting a value beyond int, such
    // as "1e300" or an infinity, to the range's int bounds is undefined.
    if (!inRange(*smallest) || !inRange(*largest))
        return refuse(outOfRange);
    const OperandRange range = OperandRange::from(*smallest, *largest);
    if (!inRange(range.low) || !inRange(range.high))
        return refuse(outOfRange);

    RunPlan plan;
    plan.problemCount = *count >= 1.0 ? static_cast<int>(std::floor(*count)) : 0;
    plan.perLine = perLineCount(settings.perLineText);
    plan.serialWidth = serialWidth(settings.countText);
    plan.range = range;
    plan.bounds = RuleBounds::from(settings);
    plan.constraints = constraints;
    if (auto refusal = digitRuleRefusal(settings, range, constraints))
        return refuse(std::move(*refusal));

    if (plan.problemCount > 0 && constraints.asksForms()) {
        const FormRules rules = FormRules::from(DrawableValues::of(range), *largest, plan.bounds, constraints);
        if (!FormedProblems::walkable(settings.problemType, constraints.terms, rules, constraints.brackets))
            return refuse(refusal(RefusalCode::TwoStepsTooWide, {Choice::Result, Choice::First, Choice::Second},
                                  settings, constraints));
        auto formed =
            std::make_shared<FormedProblems>(settings.problemType, constraints.terms, rules, constraints.brackets);
        if (formed->size() == 0)
            return refuse(refusal(RefusalCode::NoFormedProblem, {Choice::First, Choice::Second, Choice::Result, Choice::Type}, settings, constraints));
        if (constraints.compare != CompareForm::None) {
            auto compared = ComparedProblems::of(*formed, constraints.compare, constraints.result);
            if (!compared)
                return refuse(refusal(RefusalCode::CompareTooWide,
                                      {Choice::First, Choice::Second, Choice::Result, Choice::Compare}, settings,
                                      constraints));
            // A single expression has nothing to be compared with.
            if (compared->size() == 0)
                return refuse(refusal(RefusalCode::NoFormedProblem,
                                      {Choice::First, Choice::Second, Choice::Result, Choice::Compare}, settings,
                                      constraints));
            if (constraints.distinct && plan.problemCount > compared->size())
                return refuse(tooFewDistinct(settings, constraints, compared->size(), plan.problemCount));
            auto shared = std::make_shared<const ComparedProblems>(std::move(*compared));
            plan.drawing = DrawForms{std::move(formed), std::move(shared)};
            return {plan, {}};
        }
        if (constraints.distinct) {
            const std::int64_t distinct = formed->distinctUpTo(constraints.blank, plan.problemCount);
            if (plan.problemCount > distinct)
                return refuse(tooFewDistinct(settings, constraints, distinct, plan.problemCount));
        }
        plan.drawing = DrawForms{std::move(formed)};
        return {plan, {}};
    }

    if (plan.problemCount > 0) {
        const bool constrained = !constraints.none();
        const ProblemCount counted = constrained ? countProblems(settings.problemType, range, plan.bounds, constraints)
                                                 : ProblemCount{};
        const double chance =
            constrained ? counted.chance : acceptanceChance(settings.problemType, range, plan.bounds);
        if (chance <= 0.0) {
            Refusal made = refusal(RefusalCode::NoProblem, {Choice::Smallest, Choice::Largest, Choice::Type}, settings,
                                   constraints);
            for (int selector = 1; selector <= 12; ++selector) {
                const Operation operation = operationForSelector(settings.problemType, selector);
                // An operation the range allows can only have lost its problems to a digit rule.
                const auto cause = constrained && acceptanceChance(operation, range, plan.bounds) > 0.0
                                       ? digitRuleCause(operation, constraints)
                                       : impossibleCause(operation);
                if (cause && std::find(made.causes.begin(), made.causes.end(), *cause) == made.causes.end())
                    made.causes.push_back(*cause);
            }
            return refuse(std::move(made));
        }
        if (constraints.distinct && plan.problemCount > counted.distinct)
            return refuse(tooFewDistinct(settings, constraints, counted.distinct, plan.problemCount));
        if (1.0 / chance > kDirectDrawLine)
            plan.drawing = DrawDirectly{};
        // Drawing until a problem is new stays quick while the problems
        // already made hold at most half of the chance; past that the run
        // picks among the unused ones.
        if (constraints.distinct &&
            plan.problemCount * largestProblemChance(settings.problemType, range) > chance / 2.0)
            plan.drawing = DrawFromUnused{};
    }
    return {plan, {}};
}

std::optional<Refusal> digitStepRefusal(const ProblemConstraints& constraints)
{
    if (!constraints.readsDigits())
        return std::nullopt;
    // Steps of a power of ten fix the low digits, which the digit rules
    // count column by column; any other step would have every number tried.
    const auto digitwise = [](std::int64_t step) {
        return step == 1 || step == 10 || step == 100 || step == 1000 || step == 10000;
    };
    for (const auto& [which, own] : ownRanges(constraints)) {
        if (*own && (*own)->step >= 1 && (*own)->top() > (*own)->low && !digitwise((*own)->step)) {
            Refusal made = rangeRefusal(RefusalCode::StepAcrossDigits, which, **own, {}, constraints);
            made.choices.push_back(constraints.carry != CarryRule::Any ? Choice::Carry : Choice::Borrow);
            return made;
        }
    }
    return std::nullopt;
}

std::optional<Refusal> columnFormRefusal(const ProblemConstraints& constraints)
{
    Refusal made;
    made.code = RefusalCode::ColumnForm;
    made.constraints = constraints;
    // The layout is what the user chose last, so it is named first.
    made.choices = {Choice::Layout};
    if (constraints.blank != BlankChoice::Result)
        made.choices.push_back(Choice::Blank);
    if (constraints.terms != 2)
        made.choices.push_back(Choice::Terms);
    if (constraints.compare != CompareForm::None)
        made.choices.push_back(Choice::Compare);
    if (made.choices.size() == 1)
        return std::nullopt;
    return made;
}

} // namespace sumlark

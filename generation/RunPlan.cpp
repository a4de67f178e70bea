#include "RunPlan.h"

#include "NumberText.h"
#include "ProblemCounting.h"
#include "SheetLayout.h"
#include "RefusalText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace sumlark {
namespace {

constexpr std::string_view kFirstName = "第一个数";
constexpr std::string_view kSecondName = "第二个数";
constexpr std::string_view kResultName = "得数";

// Carrying and borrowing need an operation to happen in and digits to look
// at, which negative numbers do not have in the sense a pupil learns.
std::optional<std::string> digitRuleRefusal(const WorksheetSettings& settings, const OperandRange& range,
                                            const ProblemConstraints& constraints)
{
    if (!constraints.readsDigits())
        return std::nullopt;
    const auto operations = operationsOf(settings.problemType);
    const auto has = [&operations](Operation operation) {
        return std::find(operations.begin(), operations.end(), operation) != operations.end();
    };
    if (constraints.carry != CarryRule::Any && !has(Operation::Addition))
        return refusals::carryWithoutAddition(settings, constraints);
    if (constraints.borrow != BorrowRule::Any && !has(Operation::Subtraction))
        return refusals::borrowWithoutSubtraction(settings, constraints);
    // Ranges of their own stand in for the run's.
    for (const auto* own : {&constraints.first, &constraints.second}) {
        if (*own && (*own)->low < 0)
            return refusals::ownRangeBelowZero(own == &constraints.first ? kFirstName : kSecondName, **own);
    }
    if (range.low < 0 && !(constraints.first && constraints.second))
        return refusals::digitsBelowZero(settings);
    return std::nullopt;
}

// What the problem forms ask that no range can give.
std::optional<std::string> formRefusal(const WorksheetSettings& settings, const ProblemConstraints& constraints)
{
    // Chains are of + and - only: 连加, 连减, 加减混合.
    if (constraints.terms == 3 && (typeHasOperation(settings.problemType, Operation::Multiplication) ||
                                   typeHasOperation(settings.problemType, Operation::Division)))
        return refusals::threeTermsNeedAdditionOrSubtraction(settings);
    const std::pair<std::string_view, const std::optional<WholeRange>*> ranges[] = {
        {kFirstName, &constraints.first}, {kSecondName, &constraints.second}, {kResultName, &constraints.result}};
    for (const auto& [name, range] : ranges) {
        if (!*range)
            continue;
        if ((*range)->low > (*range)->high)
            return refusals::rangeReversed(name, **range);
        // Operands swap through 16 bits; results stay within 32.
        const bool operand = range != &constraints.result;
        const std::int64_t lowest = operand ? kOperandMin : std::numeric_limits<std::int32_t>::min();
        const std::int64_t highest = operand ? kOperandMax : std::numeric_limits<std::int32_t>::max();
        if ((*range)->low < lowest || (*range)->high > highest)
            return refusals::rangeOutOfLimits(name, **range, lowest, highest);
    }
    return std::nullopt;
}

PlanOrRefusal refuse(std::string text)
{
    PlanOrRefusal result;
    result.refusal = {std::string(refusals::kTitle), std::move(text)};
    return result;
}

} // namespace

PlanOrRefusal planRun(const WorksheetSettings& settings, const ProblemConstraints& constraints)
{
    const int typeIndex = static_cast<int>(settings.problemType);
    if (typeIndex < 0 || typeIndex >= kProblemTypeCount)
        return refuse(refusals::unknownType());

    if (constraints.asksForms()) {
        if (auto refusal = formRefusal(settings, constraints))
            return refuse(std::move(*refusal));
    }

    const auto count = strictNumber(settings.countText);
    if (!count)
        return refuse(refusals::countNotANumber(settings));
    if (*count >= kCountLimit)
        return refuse(refusals::countTooLarge(settings));

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
        return refuse(refusals::smallestNotANumber(settings));
    const auto largest = strictNumber(settings.largestText);
    if (!largest)
        return refuse(refusals::largestNotANumber(settings));

    const auto inRange = [](double v) { return v >= kOperandMin && v <= kOperandMax; };
    const std::string outOfRange = refusals::rangeOutOf16Bits(settings);
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
        auto formed = std::make_shared<FormedProblems>(
            settings.problemType, constraints.terms,
            FormRules::from(DrawableValues::of(range), *largest, plan.bounds, constraints));
        if (formed->size() == 0)
            return refuse(refusals::noFormedProblem(settings, constraints));
        if (constraints.distinct) {
            const std::int64_t distinct = formed->distinctUpTo(constraints.blank, plan.problemCount);
            if (plan.problemCount > distinct)
                return refuse(refusals::tooFewDistinct(settings, constraints, distinct, plan.problemCount));
        }
        plan.formed = std::move(formed);
        return {plan, {}};
    }

    if (plan.problemCount > 0) {
        const bool constrained = !constraints.none();
        const ProblemCount counted = constrained ? countProblems(settings.problemType, range, plan.bounds, constraints)
                                                 : ProblemCount{};
        const double chance =
            constrained ? counted.chance : acceptanceChance(settings.problemType, range, plan.bounds);
        if (chance <= 0.0) {
            std::string reasons;
            for (int selector = 1; selector <= 12; ++selector) {
                const Operation operation = operationForSelector(settings.problemType, selector);
                // An operation the range allows can only have lost its problems to a digit rule.
                const std::string reason = constrained && acceptanceChance(operation, range, plan.bounds) > 0.0
                                               ? refusals::digitRuleReason(operation, settings, constraints)
                                               : refusals::impossibleReason(operation, settings);
                if (reason.empty() || reasons.find(reason) != std::string::npos)
                    continue;
                reasons += reasons.empty() ? "" : "，";
                reasons += reason;
            }
            return refuse(refusals::noProblem(settings, constraints, reasons));
        }
        if (constraints.distinct && plan.problemCount > counted.distinct)
            return refuse(refusals::tooFewDistinct(settings, constraints, counted.distinct, plan.problemCount));
        if (1.0 / chance > kDirectDrawLine)
            plan.drawing = ProblemDrawing::Direct;
        // Drawing until a problem is new stays quick while the problems
        // already made hold at most half of the chance; past that the run
        // picks among the unused ones.
        if (constraints.distinct &&
            plan.problemCount * largestProblemChance(settings.problemType, range) > chance / 2.0)
            plan.drawing = ProblemDrawing::FromUnused;
    }
    return {plan, {}};
}

} // namespace sumlark

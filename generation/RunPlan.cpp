#include "RunPlan.h"

#include "NumberText.h"
#include "ProblemCounting.h"
#include "SheetLayout.h"
#include "ShownText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sumlark {
namespace {

constexpr std::string_view kRefusalTitle = "无法生成";

std::string quoted(std::string_view text)
{
    return quotedValue(text);
}

std::string whole(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
}

std::string rangeText(const WorksheetSettings& settings)
{
    // Bracketed, so the typed numbers never run into the words around them.
    return "出数范围（" + shownValue(settings.smallestText) + " 到 " + shownValue(settings.largestText) + "）";
}

// Why an operation can never make a problem in this range.
std::string impossibleReason(Operation operation, const WorksheetSettings& settings)
{
    switch (operation) {
    case Operation::Addition:
        return "任意两个数相加都大于出题最大数 " + shownValue(settings.largestText);
    case Operation::Multiplication:
        return "任意两个数相乘都不小于出题最大数的 10 倍";
    case Operation::Division:
        return "范围里没有大于 0 的数可作被除数";
    case Operation::Subtraction:
        break;
    }
    return {};
}

constexpr std::string_view kDistinctText = "题目不重复";

std::string_view carryText(CarryRule rule)
{
    return rule == CarryRule::With ? "加法要进位" : "加法不进位";
}

std::string_view borrowText(BorrowRule rule)
{
    return rule == BorrowRule::With ? "减法要退位" : "减法不退位";
}

// The constraints as the refusals name them: “加法要进位”、“题目不重复”.
std::string constraintsText(const ProblemConstraints& constraints)
{
    std::string text;
    const auto add = [&text](std::string_view name) {
        text += text.empty() ? "" : "、";
        text += quoted(name);
    };
    if (constraints.carry != CarryRule::Any)
        add(carryText(constraints.carry));
    if (constraints.borrow != BorrowRule::Any)
        add(borrowText(constraints.borrow));
    if (constraints.distinct)
        add(kDistinctText);
    return text;
}

// Carrying and borrowing need an operation to happen in and digits to look
// at, which negative numbers do not have in the sense a pupil learns.
std::optional<std::string> digitRuleRefusal(const WorksheetSettings& settings, const OperandRange& range,
                                            const ProblemConstraints& constraints)
{
    const auto operations = operationsOf(settings.problemType);
    const auto has = [&operations](Operation operation) {
        return std::find(operations.begin(), operations.end(), operation) != operations.end();
    };
    if (constraints.carry != CarryRule::Any && !has(Operation::Addition)) {
        return "题型" + quoted(settings.typeText) + "里没有加法，不能要求" + quoted(carryText(constraints.carry)) +
               "。请选择有加法的题型，或者去掉进位的要求。";
    }
    if (constraints.borrow != BorrowRule::Any && !has(Operation::Subtraction)) {
        return "题型" + quoted(settings.typeText) + "里没有减法，不能要求" + quoted(borrowText(constraints.borrow)) +
               "。请选择有减法的题型，或者去掉退位的要求。";
    }
    if (constraints.readsDigits() && range.low < 0) {
        return rangeText(settings) + "里有小于 0 的数，进位和退位只对 0 和正数有意义。"
                                     "请把出题最小数和出题最大数都设为 0 或以上，或者去掉进位、退位的要求。";
    }
    return std::nullopt;
}

// Why an operation that the range allows makes no problem under the carry
// or borrow rule.
std::string digitRuleReason(Operation operation, const WorksheetSettings& settings,
                            const ProblemConstraints& constraints)
{
    if (operation == Operation::Addition && constraints.carry == CarryRule::With)
        return "范围里和不超过出题最大数 " + shownValue(settings.largestText) + " 的加法没有一道要进位";
    if (operation == Operation::Addition && constraints.carry == CarryRule::Without)
        return "范围里和不超过出题最大数 " + shownValue(settings.largestText) + " 的加法都要进位";
    if (operation == Operation::Subtraction && constraints.borrow == BorrowRule::With)
        return "范围里的减法没有一道要退位";
    return {};
}

PlanOrRefusal refuse(std::string text)
{
    PlanOrRefusal result;
    result.refusal = {std::string(kRefusalTitle), std::move(text)};
    return result;
}

} // namespace

PlanOrRefusal planRun(const WorksheetSettings& settings, const ProblemConstraints& constraints)
{
    const int typeIndex = static_cast<int>(settings.problemType);
    if (typeIndex < 0 || typeIndex >= kProblemTypeCount)
        return refuse("题型不在可选的范围内，请从题目类型列表中选择。");

    const auto count = strictNumber(settings.countText);
    if (!count)
        return refuse("生成题数" + quoted(settings.countText) + "不是一个数。请输入要生成的题数，例如 10。");
    if (*count >= kCountLimit)
        return refuse("生成题数" + quoted(settings.countText) + "太多了：一次最多生成 32766 题。");

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
        return refuse("出题最小数" + quoted(settings.smallestText) + "不是一个数。请输入一个整数，例如 1。");
    const auto largest = strictNumber(settings.largestText);
    if (!largest)
        return refuse("出题最大数" + quoted(settings.largestText) + "不是一个数。请输入一个整数，例如 10。");

    const auto inRange = [](double v) { return v >= kOperandMin && v <= kOperandMax; };
    const std::string outOfRange =
        rangeText(settings) + "超出了能用的范围：出题最小数和出题最大数都要在 -32768 到 32767 之间。";
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

    if (plan.problemCount > 0) {
        const bool constrained = !constraints.none();
        const ProblemCount counted = constrained ? countProblems(settings.problemType, range, plan.bounds, constraints)
                                                 : ProblemCount{};
        const double chance =
            constrained ? counted.chance : acceptanceChance(settings.problemType, range, plan.bounds);
        const std::string intro = constrained ? "按" + quoted(settings.typeText) + "、" + rangeText(settings) + "和" +
                                                    constraintsText(constraints) + "，"
                                              : "按" + quoted(settings.typeText) + "和" + rangeText(settings) + "，";
        if (chance <= 0.0) {
            std::string reasons;
            for (int selector = 1; selector <= 12; ++selector) {
                const Operation operation = operationForSelector(settings.problemType, selector);
                // An operation the range allows can only have lost its problems to a digit rule.
                const std::string reason = constrained && acceptanceChance(operation, range, plan.bounds) > 0.0
                                               ? digitRuleReason(operation, settings, constraints)
                                               : impossibleReason(operation, settings);
                if (reason.empty() || reasons.find(reason) != std::string::npos)
                    continue;
                reasons += reasons.empty() ? "" : "，";
                reasons += reason;
            }
            return refuse(intro + "一道题也出不来：" + reasons +
                          (constraints.readsDigits() ? "。请调整出数范围、题目类型或进位退位的要求。"
                                                     : "。请调整出数范围或题目类型。"));
        }
        double attempts = plan.problemCount / chance;
        if (constraints.distinct) {
            if (plan.problemCount > counted.distinct) {
                return refuse(intro + "不重复的题一共只有 " + std::to_string(counted.distinct) + " 道，不够生成 " +
                              whole(plan.problemCount) + " 题。请减少生成题数、放宽出数范围，或者去掉" +
                              quoted(kDistinctText) + "。");
            }
            // Drawing until a problem is new stays quick while the problems
            // already made hold at most half of the chance; past that the run
            // picks among the unused ones, after listing them all.
            const double used = plan.problemCount * largestProblemChance(settings.problemType, range);
            plan.pickFromList = used > chance / 2.0;
            if (plan.pickFromList) {
                const std::int64_t work = listingWork(settings.problemType, range, plan.bounds);
                if (counted.distinct > kListedProblemLimit || work > kListingBudget) {
                    return refuse(intro + "要从 " + std::to_string(counted.distinct) + " 道不重复的题里挑出 " +
                                  whole(plan.problemCount) + " 道，得先逐一查过 " + std::to_string(work) +
                                  " 对数，程序会长时间没有响应。请放宽出数范围或减少题数。");
                }
                attempts = 0.0;
            } else {
                attempts = plan.problemCount / (chance - used);
            }
        }
        if (attempts > kAttemptBudget) {
            return refuse(intro + "平均要抽 " + whole(1.0 / chance) + " 次才能得到一道合适的题，生成 " +
                          whole(plan.problemCount) + " 题约要抽 " + whole(attempts) +
                          " 次，程序会长时间没有响应。请放宽出数范围或减少题数。");
        }
    }
    return {plan, {}};
}

} // namespace sumlark

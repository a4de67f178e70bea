#include "RefusalWords.h"

#include "ComparedProblems.h"
#include "PupilNames.h"
#include "SheetSet.h"

#include "ChoiceWords.h"
#include "ShownText.h"

#include <cstdio>
#include <vector>

namespace sumlark::wording {
namespace {

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

std::string_view distinctText()
{
    return wordsOf(Choice::Distinct).name;
}

std::string_view carryText(CarryRule rule)
{
    return rule == CarryRule::With ? "加法要进位" : "加法不进位";
}

std::string_view borrowText(BorrowRule rule)
{
    return rule == BorrowRule::With ? "减法要退位" : "减法不退位";
}

std::string wholeRangeText(const WholeRange& range)
{
    const std::string ends = std::to_string(range.low) + " 到 " + std::to_string(range.high);
    return range.step == 1 ? ends : ends + "，步长 " + std::to_string(range.step);
}

std::string_view blankText(BlankChoice choice)
{
    switch (choice) {
    case BlankChoice::First:
        return "填第一个数";
    case BlankChoice::Second:
        return "填第二个数";
    case BlankChoice::Mixed:
        return "混合填空";
    case BlankChoice::Result:
        break;
    }
    return {};
}

// The constraints as the refusals name them: “加法要进位”、“题目不重复”.
std::string constraintsText(const ProblemConstraints& constraints)
{
    std::string text;
    const auto add = [&text](std::string_view name) {
        text += text.empty() ? "" : "、";
        text += quoted(name);
    };
    if (constraints.terms == 3)
        add("三个数");
    if (constraints.brackets)
        add(wordsOf(Choice::Brackets).name);
    if (constraints.blank != BlankChoice::Result)
        add(blankText(constraints.blank));
    if (constraints.first)
        add("第一个数 " + wholeRangeText(*constraints.first));
    if (constraints.second)
        add("第二个数 " + wholeRangeText(*constraints.second));
    if (constraints.result)
        add("得数 " + wholeRangeText(*constraints.result));
    if (constraints.noTrivial)
        add("不出＋0、×1 这类题");
    if (constraints.compare != CompareForm::None)
        add(wordsOf(Choice::Compare).items[std::size_t(constraints.compare)].item);
    if (constraints.carry != CarryRule::Any)
        add(carryText(constraints.carry));
    if (constraints.borrow != BorrowRule::Any)
        add(borrowText(constraints.borrow));
    if (constraints.distinct)
        add(distinctText());
    return text;
}

// "按“加法(＋)”和出数范围（1 到 10），" with the constraints when there are any.
std::string intro(const WorksheetSettings& settings, const ProblemConstraints& constraints)
{
    if (constraints.none())
        return "按" + quoted(settings.typeText) + "和" + rangeText(settings) + "，";
    return "按" + quoted(settings.typeText) + "、" + rangeText(settings) + "和" + constraintsText(constraints) + "，";
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : std::string(separator)) + part;
    return text;
}

// The own ranges as a refusal names them.
std::string_view rangeName(Choice which)
{
    return wordsOf(which == Choice::First || which == Choice::Second ? which : Choice::Result).name;
}

std::string causeText(NoProblemCause cause, const WorksheetSettings& settings)
{
    switch (cause) {
    case NoProblemCause::SumsAboveLargest:
        return "任意两个数相加都大于出题最大数 " + shownValue(settings.largestText);
    case NoProblemCause::ProductsTooLarge:
        return "任意两个数相乘都不小于出题最大数的 10 倍";
    case NoProblemCause::NoDividend:
        return "范围里没有大于 0 的数可作被除数";
    case NoProblemCause::NoCarryingSum:
        return "范围里和不超过出题最大数 " + shownValue(settings.largestText) + " 的加法没有一道要进位";
    case NoProblemCause::EverySumCarries:
        return "范围里和不超过出题最大数 " + shownValue(settings.largestText) + " 的加法都要进位";
    case NoProblemCause::NoBorrowing:
        return "范围里的减法没有一道要退位";
    }
    return {};
}

std::string columnFormText(const Refusal& refusal, const ChoiceNaming& naming)
{
    std::vector<std::string> reasons, changes;
    for (const Choice choice : refusal.choices) {
        if (choice == Choice::Layout)
            continue;
        reasons.push_back(naming.chosen(choice, refusal.constraints));
        changes.push_back(naming.undo(choice));
    }
    return "版式" + quoted("竖式") + "排不出这样的题：" + joined(reasons, "；") + "。请" + joined(changes, "、") +
           "，或者" + naming.undo(Choice::Layout) + "。";
}

} // namespace

std::string refusalText(const Refusal& refusal, const ChoiceNaming& naming)
{
    // A sheet of several sections says which one cannot be made.
    if (refusal.section > 0) {
        Refusal ofSection = refusal;
        ofSection.section = 0;
        return "第 " + std::to_string(refusal.section) + " 段：" + refusalText(ofSection, naming);
    }
    const WorksheetSettings& settings = refusal.settings;
    const ProblemConstraints& constraints = refusal.constraints;
    const std::string which(rangeName(refusal.choices.empty() ? Choice::Result : refusal.choices.front()));
    switch (refusal.code) {
    case RefusalCode::UnknownType:
        return "题型不在可选的范围内，请从题目类型列表中选择。";
    case RefusalCode::CountNotANumber:
        return "生成题数" + quoted(settings.countText) + "不是一个数。请输入要生成的题数，例如 10。";
    case RefusalCode::CountTooLarge:
        if (refusal.count > 0)
            return "各段加起来一共 " + std::to_string(refusal.count) + " 题，太多了：一张练习纸最多 32766 题。";
        return "生成题数" + quoted(settings.countText) + "太多了：一次最多生成 32766 题。";
    case RefusalCode::SmallestNotANumber:
        return "出题最小数" + quoted(settings.smallestText) + "不是一个数。请输入一个整数，例如 1。";
    case RefusalCode::LargestNotANumber:
        return "出题最大数" + quoted(settings.largestText) + "不是一个数。请输入一个整数，例如 10。";
    case RefusalCode::RangeOutOf16Bits:
        return rangeText(settings) + "超出了能用的范围：出题最小数和出题最大数都要在 -32768 到 32767 之间。";
    case RefusalCode::CarryWithoutAddition:
        return "题型" + quoted(settings.typeText) + "里没有加法，不能要求" + quoted(carryText(constraints.carry)) +
               "。请选择有加法的题型，或者去掉进位的要求。";
    case RefusalCode::BorrowWithoutSubtraction:
        return "题型" + quoted(settings.typeText) + "里没有减法，不能要求" + quoted(borrowText(constraints.borrow)) +
               "。请选择有减法的题型，或者去掉退位的要求。";
    case RefusalCode::DigitsBelowZero:
        return rangeText(settings) + "里有小于 0 的数，进位和退位只对 0 和正数有意义。"
                                     "请把出题最小数和出题最大数都设为 0 或以上，或者去掉进位、退位的要求。";
    case RefusalCode::OwnRangeBelowZero:
        return which + "的范围（" + wholeRangeText(refusal.range) +
               "）里有小于 0 的数，进位和退位只对 0 和正数有意义。请把范围设为 0 或以上，或者去掉进位、退位的要求。";
    case RefusalCode::RangeReversed:
        return which + "的范围（" + wholeRangeText(refusal.range) + "）前一个数大于后一个数。请把小的数写在前面。";
    case RefusalCode::RangeOutOfLimits:
        return which + "的范围（" + wholeRangeText(refusal.range) + "）超出了能用的范围：要在 " +
               std::to_string(refusal.limits.low) + " 到 " + std::to_string(refusal.limits.high) + " 之间。";
    case RefusalCode::RangeStepBelowOne:
        return which + "的范围（" + wholeRangeText(refusal.range) + "）步长要是 1 或更大的整数。不要步长就写 1。";
    case RefusalCode::StepAcrossDigits:
        return which + "的范围（" + wholeRangeText(refusal.range) + "）和" +
               quoted(constraints.carry != CarryRule::Any ? carryText(constraints.carry) : borrowText(constraints.borrow)) +
               "不能一起用：有进位、退位的要求时，步长只能是 1、10、100、1000 或 10000。请换一个步长，或者去掉进位、退位的要求。";
    case RefusalCode::QuotientStep:
        return which + "的范围（" + wholeRangeText(refusal.range) + "）带步长时不能出除法：商不能按步长选。"
               "请选择没有除法的题型，或者把得数的步长改为 1。";
    case RefusalCode::NoProblem: {
        std::vector<std::string> reasons;
        for (const NoProblemCause cause : refusal.causes)
            reasons.push_back(causeText(cause, settings));
        return intro(settings, constraints) + "一道题也出不来：" + joined(reasons, "，") +
               (constraints.readsDigits() ? "。请调整出数范围、题目类型或进位退位的要求。" : "。请调整出数范围或题目类型。");
    }
    case RefusalCode::NoFormedProblem:
        return intro(settings, constraints) +
               "一道题也出不来：没有一道题同时满足这些条件。请放宽数的范围、换一个题目类型，或者去掉一些条件。";
    case RefusalCode::TooFewDistinct:
        return intro(settings, constraints) + "不重复的题一共只有 " + std::to_string(refusal.distinct) + " 道，不够生成 " +
               whole(refusal.count) + " 题。请减少生成题数、放宽出数范围，或者去掉" + quoted(distinctText()) + "。";
    case RefusalCode::ColumnForm:
        return columnFormText(refusal, naming);
    case RefusalCode::CompareWithBlank:
        return "比大小的题学生在○里填 ＞、＜ 或 ＝，不能再" + quoted(blankText(constraints.blank)) +
               "。请去掉填空，或者不比大小。";
    case RefusalCode::CompareWithThreeNumbers:
        return "比大小的每个算式只有两个数，不能出三个数的题。请改回两个数，或者不比大小。";
    case RefusalCode::CompareWithRemainder:
        return "有余数的除法算不出一个数来比大小。请去掉" + quoted(wordsOf(Choice::Remainder).name) +
               "，或者不比大小。";
    case RefusalCode::CompareTooWide:
        return intro(settings, constraints) + "比大小的算式太多、得数跨得太大（乘法、除法最多 " +
               std::to_string(ComparedProblems::kListedExpressions) + " 道算式，得数最多跨 " +
               std::to_string(ComparedProblems::kValueSpan) + " 个数），一时数不清。请缩小第一个数、第二个数或得数的范围。";
    case RefusalCode::BracketsNeedThreeNumbers:
        return "括号要用在三个数的题里，两个数的题用不上括号。请选三个数，或者去掉括号。";
    case RefusalCode::BracketsChangeNothing:
        return "题型" + quoted(settings.typeText) + "的三个数的题加上括号也还是从左往右算，括号改变不了运算顺序。"
               "请选有减法、除法，或者加减和乘除都有的题型，或者去掉括号。";
    case RefusalCode::TwoStepsTooWide:
        return intro(settings, constraints) + "三个数的题里先算的乘法的积最大可以到 " +
               std::to_string(kTwoStepKeys) + " 以上，一时数不清。请缩小得数的范围（乘积不超过 " +
               std::to_string(kTwoStepKeys) + "），或者缩小第一个数、第二个数的范围。";
    case RefusalCode::StepInTwoSteps:
        return which + "的范围（" + wholeRangeText(refusal.range) + "）带步长时，三个数的题里不能先算乘法：" +
               "先算的乘法按乘积出题，另一个乘数不一定在步长上。请把" + which + "的步长改为 1，或者选没有乘法的题型。";
    case RefusalCode::TooManyNames:
        return "名单上有 " + std::to_string(refusal.count) + " 个名字，一次最多做 " + std::to_string(kMaxSetSheets) +
               " 份。请把名单分成几次。";
    case RefusalCode::NameTooLong:
        if (refusal.choices.front() == Choice::ClassName)
            return "班级" + quoted(refusal.name) + "太长了，最多 " + std::to_string(kMaxNameLength) + " 个字。";
        return "名单第 " + std::to_string(refusal.count) + " 个名字" + quoted(refusal.name) + "太长了，最多 " +
               std::to_string(kMaxNameLength) + " 个字。";
    }
    return {};
}

} // namespace sumlark::wording

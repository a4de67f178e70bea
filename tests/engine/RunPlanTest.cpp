#include "RefusalWords.h"
#include "RunPlan.h"
#include "ScriptedServices.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

struct RefusalRow {
    const char* name;
    ProblemType type;
    const char *smallest, *largest, *count;
    bool allowRemainder;
    const char* reason; // a part of the message that names the setting and the reason
    ProblemConstraints rules = {};
};

class Settings : public ::testing::TestWithParam<RefusalRow> {};

// A refused run touches no file and takes no random number; an accepted one
// runs to the end, however rarely its attempts are accepted. The column
// form's refusal comes before any draw.
TEST_P(Settings, AreRefusedWithTheirReasonOrRunToTheEnd)
{
    const auto& row = GetParam();
    if (const auto column = columnFormRefusal(row.rules)) {
        const std::string text = wording::refusalText(*column, wording::OptionNaming());
        EXPECT_NE(text.find(row.reason), std::string::npos) << text;
        return;
    }
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, row.count);
    settings.allowRemainder = row.allowRemainder;
    testing::ScriptedServices services;
    const auto result = testing::runOne(settings, "/sheets", services, row.reason ? std::nullopt : std::optional(5), row.rules);
    if (!row.reason) {
        ASSERT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
        EXPECT_TRUE(result.question.written);
        EXPECT_EQ(result.sheet->problems.size(), std::size_t(std::max(0, std::atoi(row.count))));
        return;
    }
    ASSERT_TRUE(result.report.refusal);
    EXPECT_TRUE(services.created.empty() && result.report.files.empty());
    EXPECT_EQ(services.randomSources + services.clockCalls, 0u);
    const std::string text = wording::refusalText(*result.report.refusal, wording::OptionNaming());
    EXPECT_NE(text.find(row.reason), std::string::npos) << text;
}

using enum ProblemType;
using enum CarryRule;
using Borrow = BorrowRule;
using Rules = ProblemConstraints;

INSTANTIATE_TEST_SUITE_P(
    Rows, Settings,
    ::testing::Values(
        RefusalRow{"CountNotANumber", Addition, "1", "10", "abc", false, "生成题数“abc”不是一个数"},
        RefusalRow{"CountEmpty", Subtraction, "1", "10", "", false, "生成题数“”不是一个数"},
        RefusalRow{"CountAtTheCounterLimit", Subtraction, "1", "10", "32767", false, "一次最多生成 32766 题"},
        RefusalRow{"CountHuge", Subtraction, "1", "10", "1e9", false, "一次最多生成 32766 题"},
        RefusalRow{"SmallestNotANumber", Subtraction, "x", "10", "10", false, "出题最小数“x”不是一个数"},
        RefusalRow{"LargestNotANumber", Multiplication, "1", "十", "10", false, "出题最大数“十”不是一个数"},
        RefusalRow{"TypedEscapeSequenceShownEscaped", Subtraction, "\x1b[2J\n", "10", "10", false,
                   "出题最小数“\\e[2J\\n”不是一个数"},
        RefusalRow{"LongTypedValueCut", Subtraction, "1", "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"
                   "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十九",
                   "10", false, "七八九十…”不是一个数"},
        RefusalRow{"RangeNotANumberWithOneProblem", Subtraction, "abc", "10", "1", false, "出题最小数“abc”不是一个数"},
        RefusalRow{"LargestBeyond16Bits", Subtraction, "1", "40000", "10", false, "-32768 到 32767"},
        RefusalRow{"SmallestBelow16Bits", Subtraction, "-40000", "10", "10", false, "-32768 到 32767"},
        RefusalRow{"FractionalLargestReachesPast16Bits", Subtraction, "1", "32767.5", "10", false, "-32768 到 32767"},
        // Far beyond int: the range must be refused before it is converted.
        RefusalRow{"SmallestBeyondInt", Subtraction, "1e300", "10", "10", false, "-32768 到 32767"},
        RefusalRow{"LargestInfinite", Addition, "1", "1e400", "10", false, "-32768 到 32767"},
        RefusalRow{"BothInfinite", Division, "-1e400", "-1e400", "10", false, "-32768 到 32767"},
        RefusalRow{"AdditionBothBounds500", Addition, "500", "500", "10", false, "任意两个数相加都大于出题最大数 500"},
        RefusalRow{"AdditionSmallestAboveLargestZero", Addition, "5", "0", "10", false, "相加都大于"},
        RefusalRow{"MultiplicationFrom100To1000", Multiplication, "100", "1000", "10", false, "相乘都不小于"},
        RefusalRow{"MultiplicationBothBounds10", Multiplication, "10", "10", "10", false, "相乘都不小于"},
        RefusalRow{"DivisionWithoutPositiveNumbers", Division, "-5", "0", "10", true, "没有大于 0 的数"},
        RefusalRow{"MultiplicationDivisionAtZero", MultiplicationDivision, "0", "0", "10", false,
                   "相乘都不小于出题最大数的 10 倍，范围里没有大于 0 的数"},
        // The rules a run asks for beyond the window's.
        RefusalRow{"CarryWithoutAddition", Multiplication, "1", "10", "10", false, "没有加法，不能要求“加法要进位”",
                   Rules{.carry = With}},
        RefusalRow{"CarryFreeWithoutAddition", Division, "1", "10", "10", false, "里没有加法，不能要求", Rules{.carry = Without}},
        RefusalRow{"BorrowWithoutSubtraction", MultiplicationDivision, "1", "10", "10", false, "不能要求“减法不退位”",
                   Rules{.borrow = Borrow::Without}},
        RefusalRow{"CarryBelowZero", Addition, "-5", "10", "10", false, "（-5 到 10）里有小于 0 的数", Rules{.carry = With}},
        RefusalRow{"BorrowDownPastZero", Subtraction, "5", "-3", "10", false, "（5 到 -3）里有小于 0 的数",
                   Rules{.borrow = Borrow::With}},
        RefusalRow{"CarryOnAnOwnRangeJustBelowZero", Addition, "1", "10", "10", false, "（-1 到 9）里有小于 0 的数",
                   Rules{.carry = With, .first = WholeRange{-1, 9}}},
        RefusalRow{"NoAdditionCarries", Addition, "1", "4", "10", false, "最大数 4 的加法没有一道要进位", Rules{.carry = With}},
        RefusalRow{"AllAdditionsCarry", Addition, "15", "30", "10", false, "都要进位", Rules{.carry = Without}},
        RefusalRow{"NoSubtractionBorrows", Subtraction, "0", "9", "10", false, "范围里的减法没有一道要退位",
                   Rules{.borrow = Borrow::With}},
        RefusalRow{"TooFewDistinct", Addition, "1", "10", "46", false, "不重复的题一共只有 45 道，不够生成 46 题",
                   Rules{.distinct = true}},
        RefusalRow{"DistinctCarries", Addition, "1", "10", "10", false, "“题目不重复”，不重复的题一共只有 9 道",
                   Rules{.distinct = true, .carry = With}},
        RefusalRow{"SubtractionsEitherWayAreOne", Subtraction, "1", "10", "56", false, "只有 55 道",
                   Rules{.distinct = true}},
        RefusalRow{"ColumnFormWithABlank", Addition, "1", "10", "10", false, "--blank 要学生填数，竖式里没有留空填数的地方。",
                   Rules{.blank = BlankChoice::Mixed}},
        RefusalRow{"ColumnFormWithThreeNumbers", AdditionSubtraction, "1", "10", "10", false,
                   "--terms 3 是三个数的题，竖式只能排两个数。请去掉 --terms 3，或者去掉 --layout vertical。", Rules{.terms = 3}},
        // Accepted at their edges; rarely accepted attempts are drawn directly.
        RefusalRow{"AdditionSumCanEqualLargest", Addition, "5", "10", "20", false, nullptr},
        RefusalRow{"MultiplicationJustBelowTenTimes", Multiplication, "9", "9", "20", false, nullptr},
        RefusalRow{"DivisionRareButFewProblems", Division, "1", "32767", "10", false, nullptr},
        RefusalRow{"DivisionOnEveryPositiveValueFullCount", Division, "1", "32767", "32766", false, nullptr},
        RefusalRow{"AdditionFrom50To100FullCount", Addition, "50", "100", "32766", false, nullptr},
        RefusalRow{"AdditionFrom10000To20001", Addition, "10000", "20001", "10", false, nullptr},
        RefusalRow{"ImpossibleRuleButNoProblems", Addition, "500", "500", "0", false, nullptr},
        // No problem draws no operand, so the range texts need not be numbers.
        RefusalRow{"CountZeroRangeNotANumber", Addition, "abc", "10", "0", false, nullptr},
        RefusalRow{"CountNegativeLargestNotANumber", Addition, "1", "十", "-1", false, nullptr},
        RefusalRow{"CountBelowOne", Addition, "1", "10", "0.5", false, nullptr},
        RefusalRow{"LargestCountSubtraction", Subtraction, "1", "10", "32766", false, nullptr},
        RefusalRow{"WholeSixteenBitRange", AllFour, "-32768", "32767", "1000", false, nullptr},
        RefusalRow{"NegativeDivisorsOnly", Division, "-9", "1", "30", false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark

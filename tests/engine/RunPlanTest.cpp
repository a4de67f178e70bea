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
};

class Settings : public ::testing::TestWithParam<RefusalRow> {};

// A refused run touches no file and takes no random number; an accepted one
// runs to the end, however rarely its attempts are accepted.
TEST_P(Settings, AreRefusedWithTheirReasonOrRunToTheEnd)
{
    const auto& row = GetParam();
    auto settings = testing::settingsFor(row.type, row.smallest, row.largest, row.count);
    settings.allowRemainder = row.allowRemainder;
    testing::ScriptedServices services;
    services.useSeededRandom = !row.reason;
    const auto result = testing::runOne(settings, "/sheets", services, row.reason ? std::nullopt : std::optional(5));
    if (!row.reason) {
        ASSERT_FALSE(result.report.refusal) << static_cast<int>(result.report.refusal->code);
        EXPECT_TRUE(result.question.written);
        EXPECT_EQ(result.sheet->problems.size(), std::size_t(std::max(0, std::atoi(row.count))));
        return;
    }
    ASSERT_TRUE(result.report.refusal);
    EXPECT_TRUE(services.created.empty() && result.report.files.empty());
    EXPECT_EQ(services.randomsTaken + services.clockCalls, 0u);
    const std::string text = wording::refusalText(*result.report.refusal, wording::OptionNaming());
    EXPECT_NE(text.find(row.reason), std::string::npos) << text;
}

using enum ProblemType;

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
        // Accepted at their edges; rarely accepted attempts are drawn directly.
        RefusalRow{"AdditionSumCanEqualLargest", Addition, "5", "10", "20", false, nullptr},
        RefusalRow{"MultiplicationJustBelowTenTimes", Multiplication, "9", "9", "20", false, nullptr},
        RefusalRow{"DivisionRareButFewProblems", Division, "1", "32767", "10", false, nullptr},
        RefusalRow{"DivisionOnEveryPositiveValueFullCount", Division, "1", "32767", "32766", false, nullptr},
        RefusalRow{"AdditionFrom50To100FullCount", Addition, "50", "100", "32766", false, nullptr},
        RefusalRow{"AdditionFrom10000To20001", Addition, "10000", "20001", "10", false, nullptr},
        RefusalRow{"ImpossibleRuleButNoProblems", Addition, "500", "500", "0", false, nullptr},
        RefusalRow{"LargestCountSubtraction", Subtraction, "1", "10", "32766", false, nullptr},
        RefusalRow{"WholeSixteenBitRange", AllFour, "-32768", "32767", "1000", false, nullptr},
        RefusalRow{"NegativeDivisorsOnly", Division, "-9", "1", "30", false, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark

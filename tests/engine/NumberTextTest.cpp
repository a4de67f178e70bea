#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace sumlark {
namespace {

struct StrictRow {
    const char* name;
    const char* text;
    std::optional<double> expected;
};

class StrictNumber : public ::testing::TestWithParam<StrictRow> {};

TEST_P(StrictNumber, ReadsOnlyWholeNumbers)
{
    const auto& row = GetParam();
    EXPECT_EQ(strictNumber(row.text), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrictNumber,
    ::testing::Values(StrictRow{"PlainInteger", "10", 10.0}, StrictRow{"SurroundingBlanks", "  20\t", 20.0},
                      StrictRow{"Decimal", "10.5", 10.5}, StrictRow{"LeadingPoint", ".5", 0.5},
                      StrictRow{"TrailingPoint", "5.", 5.0}, StrictRow{"NegativeSign", "-3", -3.0},
                      StrictRow{"PlusSign", "+7", 7.0}, StrictRow{"Exponent", "1e3", 1000.0},
                      StrictRow{"NegativeExponent", "25E-1", 2.5}, StrictRow{"Empty", "", std::nullopt},
                      StrictRow{"OnlyBlanks", "   ", std::nullopt}, StrictRow{"Letters", "abc", std::nullopt},
                      StrictRow{"TrailingLetters", "12abc", std::nullopt},
                      StrictRow{"InnerBlank", "1 2", std::nullopt}, StrictRow{"LonePoint", ".", std::nullopt},
                      StrictRow{"LoneSign", "-", std::nullopt}, StrictRow{"DanglingExponent", "1e", std::nullopt},
                      StrictRow{"Comma", "1,5", std::nullopt}, StrictRow{"FullWidthDigits", "１０", std::nullopt},
                      StrictRow{"NotANumberWord", "nan", std::nullopt},
                      StrictRow{"HexPrefix", "0x10", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct LeadingRow {
    const char* name;
    const char* text;
    double expected;
};

class LeadingNumber : public ::testing::TestWithParam<LeadingRow> {};

TEST_P(LeadingNumber, ReadsTheLeadingNumberOrZero)
{
    const auto& row = GetParam();
    EXPECT_EQ(leadingNumber(row.text), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    ::testing::Values(LeadingRow{"PlainInteger", "5", 5.0}, LeadingRow{"TrailingLetters", "12abc", 12.0},
                      LeadingRow{"OnlyLetters", "abc", 0.0}, LeadingRow{"Empty", "", 0.0},
                      LeadingRow{"BlanksInside", " 1 2\t3\n", 123.0}, LeadingRow{"Half", "2.5", 2.5},
                      LeadingRow{"Negative", "-3", -3.0}, LeadingRow{"SecondPointStops", "1.2.3", 1.2},
                      LeadingRow{"ExponentRead", "1e2x", 100.0}, LeadingRow{"DanglingExponent", "7e", 7.0},
                      LeadingRow{"CarriageReturnStops", "4\r5", 4.0}, LeadingRow{"SignAlone", "-x", 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberTextRange, HugeAndTinyMagnitudesStayOrdered)
{
    EXPECT_TRUE(std::isinf(*strictNumber("1e999")));
    EXPECT_LT(*strictNumber("-1e999"), 0.0);
    EXPECT_EQ(*strictNumber("1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(leadingNumber("9e9999 per line")));
}

} // namespace
} // namespace sumlark

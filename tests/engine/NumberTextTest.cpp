#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace sumlark {
namespace {

struct TextRow {
    const char* name;
    const char* text;
    std::optional<double> strict; // none: the strict reading fails
    double leading;
};

class NumberTexts : public ::testing::TestWithParam<TextRow> {};

TEST_P(NumberTexts, StrictAndLeadingReadings)
{
    const auto& row = GetParam();
    EXPECT_EQ(strictNumber(row.text), row.strict);
    EXPECT_EQ(leadingNumber(row.text), row.leading);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberTexts,
    ::testing::Values(TextRow{"Integer", "10", 10.0, 10.0}, TextRow{"SurroundingBlanks", "  20\t", 20.0, 20.0},
                      TextRow{"Decimal", "10.5", 10.5, 10.5}, TextRow{"LeadingPoint", ".5", 0.5, 0.5},
                      TextRow{"TrailingPoint", "5.", 5.0, 5.0}, TextRow{"Negative", "-3", -3.0, -3.0},
                      TextRow{"PlusSign", "+7", 7.0, 7.0}, TextRow{"Exponent", "25E-1", 2.5, 2.5},
                      TextRow{"Empty", "", std::nullopt, 0.0}, TextRow{"Letters", "abc", std::nullopt, 0.0},
                      TextRow{"TrailingLetters", "12abc", std::nullopt, 12.0},
                      TextRow{"InnerBlanks", " 1 2\t3\n", std::nullopt, 123.0},
                      TextRow{"SecondPoint", "1.2.3", std::nullopt, 1.2}, TextRow{"LonePoint", ".", std::nullopt, 0.0},
                      TextRow{"SignAlone", "-x", std::nullopt, 0.0}, TextRow{"DanglingExponent", "7e", std::nullopt, 7.0},
                      TextRow{"CarriageReturnStops", "4\r5", std::nullopt, 4.0},
                      TextRow{"Comma", "1,5", std::nullopt, 1.0}, TextRow{"FullWidthDigits", "１０", std::nullopt, 0.0},
                      TextRow{"NotANumberWord", "nan", std::nullopt, 0.0}, TextRow{"Hex", "0x10", std::nullopt, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberTexts, MagnitudesBeyondDoubleStayOrdered)
{
    EXPECT_TRUE(std::isinf(*strictNumber("1e999")));
    EXPECT_LT(*strictNumber("-1e999"), 0.0);
    EXPECT_EQ(*strictNumber("1e-999"), 0.0);
    EXPECT_TRUE(std::isinf(leadingNumber("9e9999 a line")));
    // The digits, not only the exponent's sign, decide which end a number falls off.
    EXPECT_TRUE(std::isinf(*strictNumber("1" + std::string(400, '0') + "e-1")));
    EXPECT_EQ(*strictNumber("0." + std::string(400, '0') + "1e+5"), 0.0);
    // The smallest double is read as itself, not as 0, by every library.
    EXPECT_EQ(*strictNumber("4.9e-324"), std::numeric_limits<double>::denorm_min());
}

} // namespace
} // namespace sumlark

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

TEST(NumberTexts, StrictAndLeadingReadings)
{
    const TextRow rows[] = {
        {"Integer", "10", 10.0, 10.0}, {"SurroundingBlanks", "  20\t", 20.0, 20.0}, {"Decimal", "10.5", 10.5, 10.5},
        {"LeadingPoint", ".5", 0.5, 0.5}, {"TrailingPoint", "5.", 5.0, 5.0}, {"Negative", "-3", -3.0, -3.0},
        {"PlusSign", "+7", 7.0, 7.0}, {"Exponent", "25E-1", 2.5, 2.5}, {"Empty", "", std::nullopt, 0.0},
        {"Letters", "abc", std::nullopt, 0.0}, {"TrailingLetters", "12abc", std::nullopt, 12.0},
        {"InnerBlanks", " 1 2\t3\n", std::nullopt, 123.0}, {"SecondPoint", "1.2.3", std::nullopt, 1.2},
        {"LonePoint", ".", std::nullopt, 0.0}, {"SignAlone", "-x", std::nullopt, 0.0},
        {"DanglingExponent", "7e", std::nullopt, 7.0}, {"CarriageReturnStops", "4\r5", std::nullopt, 4.0},
        {"Comma", "1,5", std::nullopt, 1.0}, {"FullWidthDigits", "１０", std::nullopt, 0.0},
        {"NotANumberWord", "nan", std::nullopt, 0.0}, {"Hex", "0x10", std::nullopt, 0.0}};
    for (const TextRow& row : rows) {
        EXPECT_EQ(strictNumber(row.text), row.strict) << row.name;
        EXPECT_EQ(leadingNumber(row.text), row.leading) << row.name;
    }
}

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

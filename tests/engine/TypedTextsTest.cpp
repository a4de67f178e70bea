// What is typed into the lists and options: the numbers read from it, and
// how it is shown back in a message.

#include "NumberText.h"
#include "ShownText.h"

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

struct ShownRow {
    const char* name;
    std::string typed, shown;
};

std::string times(const std::string& text, int n)
{
    return n > 0 ? text + times(text, n - 1) : "";
}

// No byte that a terminal acts on reaches it; every other character is shown
// as typed, and a long value is cut by characters, not bytes.
TEST(ShownValues, EscapeWhatATerminalWouldObeyAndCutLongOnes)
{
    const ShownRow rows[] = {
        ShownRow{"PlainAndChineseUnchanged", "12 加 ＋÷ -3.5e2", "12 加 ＋÷ -3.5e2"},
        ShownRow{"EscapeAndLineBreaks", "\x1b[31m红\r\n\t", "\\e[31m红\\r\\n\\t"},
        ShownRow{"OtherControlsAsHex", std::string("a\0b\x07\x7f", 5), "a\\x00b\\x07\\x7F"},
        // U+009B starts a command on terminals that read 8-bit controls.
        ShownRow{"EightBitControls", "\xc2\x9b" "2J\xc2\xa0", "\\u009B2J\xc2\xa0"},
        // Marks, embeddings, overrides and isolates that turn text around;
        // their neighbours U+200D, U+2065 and U+206A are shown as they are.
        ShownRow{"TextReorderingMarks",
                 "\u061C\u200D\u200E\u200F\u202A\u202B\u202C\u202D\u202Etxt.exe\u2065\u2066\u2067\u2068\u2069\u206A",
                 "\\u061C\u200D\\u200E\\u200F\\u202A\\u202B\\u202C\\u202D\\u202Etxt.exe\u2065\\u2066\\u2067\\u2068\\u2069"
                 "\u206A"},
        ShownRow{"BytesThatAreNoUtf8", "\xff\xc3(\xe4\xb8\xed\xa0\x80", "\\xFF\\xC3(\\xE4\\xB8\\xED\\xA0\\x80"},
        ShownRow{"EightyCharactersKept", times("7", 80), times("7", 80)},
        ShownRow{"EightyOneCut", times("7", 81), times("7", 80) + "…"},
        ShownRow{"CutCountsCharacters", times("题", 81), times("题", 80) + "…"}};
    for (const ShownRow& row : rows)
        EXPECT_EQ(shownValue(row.typed), row.shown) << row.name;
}

TEST(ShownPaths, AreEscapedButNeverCut)
{
    EXPECT_EQ(shownPath("/home/老师/" + times("a", 100) + "\n二班"), "/home/老师/" + times("a", 100) + "\\n二班");
    EXPECT_EQ(quotedValue("\x1b"), "“\\e”");
}

} // namespace
} // namespace sumlark

#include "ShownText.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

struct ShownRow {
    const char* name;
    std::string typed;
    std::string shown;
};

std::string times(const std::string& text, int n)
{
    std::string out;
    while (n-- > 0)
        out += text;
    return out;
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

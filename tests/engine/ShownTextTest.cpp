#include "ShownText.h"

#include <gtest/gtest.h>

namespace sumlark {
namespace {

struct ShownRow {
    const char* name;
    std::string typed;
    std::string shown;
};

class ShownValues : public ::testing::TestWithParam<ShownRow> {};

// No byte that a terminal acts on reaches it; every other character is shown
// as typed, and a long value is cut by characters, not bytes.
TEST_P(ShownValues, EscapeWhatATerminalWouldObeyAndCutLongOnes)
{
    const auto& row = GetParam();
    EXPECT_EQ(shownValue(row.typed), row.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShownValues,
    ::testing::Values(
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
        ShownRow{"EightyCharactersKept", std::string(80, '7'), std::string(80, '7')},
        ShownRow{"EightyOneCut", std::string(81, '7'), std::string(80, '7') + "…"},
        ShownRow{"CutCountsCharacters", [] {
                     std::string s;
                     for (int i = 0; i < 81; ++i)
                         s += "题";
                     return s;
                 }(),
                 [] {
                     std::string s;
                     for (int i = 0; i < 80; ++i)
                         s += "题";
                     return s + "…";
                 }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShownPaths, AreEscapedButNeverCut)
{
    const std::string folder = "/home/老师/" + std::string(100, 'a') + "\n二班";
    EXPECT_EQ(shownPath(folder), "/home/老师/" + std::string(100, 'a') + "\\n二班");
    EXPECT_EQ(quotedValue("\x1b"), "“\\e”");
}

} // namespace
} // namespace sumlark

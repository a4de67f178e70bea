#include "ChoiceWords.h"
#include "CliOptions.h"
#include "ProblemTypes.h"
#include "PdfWords.h"
#include "RealFaults.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <set>

namespace sumlark::testing {
namespace {

const QStringList kPair = {"速算答题.txt", "速算答题-答案.txt"};
// What a run with --pdf writes.
const QStringList kPdfRun = kPair + QStringList{"速算答题.pdf", "速算答题-答案.pdf"};

struct OutcomeRow {
    const char* name;
    QStringList arguments;
    int exit;
    QStringList says;         // on standard output after success, else on standard error; <dir> is the folder
    QStringList written = {}; // with blocked, all that the folder holds afterwards
    QStringList blocked = {}; // folders made first where sheets go, so that those cannot be written
    int pages = 1;            // of each PDF written
    double paperMm = 210;     // the page's width
    QStringList never = {};   // on neither output
    const char* platform = "";  // QT_QPA_PLATFORM, unset when empty
    const char* note = "";      // all that a run that succeeds says on standard error
};

class Outcomes : public ::testing::TestWithParam<OutcomeRow> {};

// What a command says, how it exits and what it leaves in its folder; each
// PDF, made without a display, holds exactly the problems of its text sheet in
// order, on the pages and the paper the layout promises, a class set's sheet
// named on every page; on question pages the problems are at least the
// chosen size and the "=" of each column stand one under the other.
TEST_P(Outcomes, ExitCodeMessagesAndFiles)
{
    const auto& row = GetParam();
    QTemporaryDir folder;
    const QDir dir(folder.path());
    for (const auto& name : row.blocked)
        ASSERT_TRUE(dir.mkdir(name));
    const auto finished = cli(row.arguments, folder.path(), {}, row.platform);
    EXPECT_EQ(finished.exit, row.exit) << finished.err.toStdString();
    // Nothing typed reaches the terminal as a command.
    EXPECT_FALSE(finished.err.contains(QChar(0x1b)) || finished.out.contains(QChar(0x1b)));
    EXPECT_TRUE(row.exit != 0 || finished.err == QString::fromUtf8(row.note) + (*row.note ? "\n" : "")) << finished.err.toStdString();
    const QString& text = row.exit == 0 ? finished.out : finished.err;
    for (QString said : row.says)
        EXPECT_TRUE(text.contains(said.replace("<dir>", folder.path() + "/"))) << said.toStdString() << " not in:\n" << text.toStdString();
    for (const QString& unsaid : row.never)
        EXPECT_FALSE((finished.out + finished.err).contains(unsaid)) << unsaid.toStdString();
    const auto sorted = [](QStringList names) { names.sort(); return names.join(" ").toStdString(); };
    EXPECT_EQ(sorted(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)), sorted(row.written + row.blocked));
    const auto sizeAt = row.arguments.indexOf("--font-size");
    const double size = sizeAt < 0 ? 14.0 : row.arguments[sizeAt + 1].toDouble();
    for (const auto& pdf : dir.entryList({"*.pdf"}, QDir::Files)) {
        const auto pages = readPdfPages(dir.filePath(pdf));
        const bool answers = pdf.contains("答案"), rows = !row.arguments.contains("vertical");
        EXPECT_EQ(pages.size(), std::size_t(row.pages)) << pdf.toStdString();
        QString printed, problems;
        for (const PdfPage& page : pages) {
            EXPECT_NEAR(page.width, row.paperMm * 72.0 / 25.4, 1.0);
            for (const PdfLine& line : page.lines()) {
                if (!hasChinese(problemText(line)))
                    problems += problemText(line);
                for (const PdfWord& word : line) {
                    printed += word.text + (&word == &line.back() ? "\n" : " ");
                    if (!answers && word.text.endsWith('='))
                        EXPECT_GE(word.height(), size) << word.text.toStdString();
                }
            }
        }
        // The text sheet's problems in order, in the page's signs; the column form has no "=".
        const QByteArray sheet = readBytes(dir.filePath(QString(pdf).replace(".pdf", ".txt")));
        QString cells;
        for (const auto& cell : allCells(QString(QStringDecoder(QStringConverter::System)(sheet)).toStdString()))
            cells += pageSigns(QString::fromStdString(cell.text).remove(' '));
        EXPECT_FALSE(cells.isEmpty());
        EXPECT_TRUE(rows ? problems == cells : !problems.isEmpty() && !problems.contains('=')) << pdf.toStdString();
        EXPECT_TRUE(printed.contains("口算练习") && printed.contains("口算练习答案") == answers);
        EXPECT_FALSE(printed.contains('*') || printed.contains('@'));
        EXPECT_EQ(printed.contains("姓名：") && printed.contains("得分："), !answers);
        EXPECT_TRUE(printed.contains(QString("第 %1 页，共 %1 页").arg(row.pages)));
        EXPECT_FALSE(printed.contains(" 份，共 ")); // a single sheet is no class set
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Outcomes,
    ::testing::ValuesIn(std::vector<OutcomeRow>{
        {"HelpWinsOverAValue", {"--count", "5", "--help"}, 0, {"用法：sumlark-cli"}},
        {"HelpWinsOverAMistakeBeforeIt", {"--colour", "red", "--pdf=yes", "-h"}, 0, {"用法：sumlark-cli"}},
        {"HelpWinsWhereAValueIsDue", {"--out", "--help"}, 0, {"用法：sumlark-cli"}},
        {"HelpAfterTheEndOfOptionsIsAnArgument", {"--", "--help"}, 2, {"多余的参数“--help”"}},
        {"EndOfOptionsWithNothingAfter", {"--seed", "1", "--"}, 0, {"已写入：<dir>速算答题.txt\n"}, kPair},
        {"Version", {"--version", "--pdf"}, 0, {"小学Sumlark 命令行版 2.0.0\n"}},
        {"ShortVersion", {"-V"}, 0, {"小学Sumlark 命令行版 2.0.0\n"}},
        {"ShortOutMakesTheFolder", {"-o", "三年级二班"}, 0, {"已写入：<dir>三年级二班/速算答题.txt\n"}, {"三年级二班"}},
        {"ShortOutWithTheValueAttached", {"-o二班", "--seed", "3", "--encoding", "GBK"}, 0, {"已写入：<dir>二班/速算答题.txt\n"}, {"二班"}},
        {"ShortOutBeforeAnOption", {"-o", "-V"}, 2, {"-o 后面缺少取值"}},
        {"NegativeNumberIsAValue", {"--smallest", "-3", "--seed", "1"}, 0, {}, kPair},
        {.name = "UnknownOptionPointsToHelp", .arguments = {"--colour", "red"}, .exit = 2,
         .says = {"sumlark-cli：没有“--colour”这个选项。\n用 sumlark-cli --help 查看全部选项。\n"}, .never = {"您是不是想用", "--type"}},
        {"OneEditAway", {"--cout", "5"}, 2, {"没有“--cout”这个选项。您是不是想用 --count？\n"}},
        {"TwoEditsAwayWithAValue", {"--encodign=GBK"}, 2, {"您是不是想用 --encoding？"}},
        {"SingleDashLongName", {"-numbered"}, 2, {"您是不是想用 --numbered？"}},
        {"OnlyTheCaseDiffers", {"--PDF"}, 2, {"您是不是想用 --pdf？"}},
        {"ShortOnlyTheCaseDiffers", {"-v"}, 2, {"您是不是想用 -V？"}},
        {.name = "ThreeEditsAwayGetsNoGuess", .arguments = {"--sheetzzz"}, .exit = 2, .says = {"没有“--sheetzzz”这个选项。\n"}, .never = {"您是不是想用"}},
        {.name = "UnknownShortGetsNoGuess", .arguments = {"-x"}, .exit = 2, .says = {"没有“-x”这个选项。\n"}, .never = {"您是不是想用"}},
        {"StrayArgument", {"add"}, 2, {"多余的参数“add”"}},
        {"MissingValue", {"--borrow"}, 2, {"--borrow 后面缺少取值"}},
        {"ValueLooksLikeAnOption", {"--count", "--numbered"}, 2, {"--count 后面缺少取值"}},
        {"SwitchWithValue", {"--numbered=yes"}, 2, {"--numbered 不带取值"}},
        {"SeedPast64Bits", {"--seed", "18446744073709551616"}, 2, {"0 到 18446744073709551615 之间的整数"}},
        {"TooManySheets", {"--sheets=100"}, 2, {"--sheets 的取值“100”不对。可以用 1 到 99 之间的整数"}},
        {"NoSheets", {"--sheets", "0"}, 2, {"--sheets 的取值“0”不对。可以用 1 到 99 之间的整数"}},
        {"EncodingWithoutChinese", {"--encoding", "ISO-8859-1"}, 2, {"GBK、GB18030、UTF-8"}},
        {"TypedEscapeSequenceShownEscaped", {"--count", "\x1b]0;x\x07\x1b[2J"}, 2, {"生成题数“\\e]0;x\\x07\\e[2J”不是一个数"}},
        {"LongTypedValueCut", {"--paper", QString(200, 'a')}, 2, {"“" + QString(80, 'a') + "…”不对"}},
        {"LineBreakInFolderEscaped", {"--seed", "1", "--out", "五\n班"}, 0, {"已写入：<dir>五\\n班/速算答题.txt\n"}, {"五\n班"}},
        {"TextReorderingMarkInFolderEscaped", {"--seed", "1", "--out", "\u2067五班\u2069"}, 0,
         {"已写入：<dir>\\u2067五班\\u2069/速算答题.txt\n"}, {"\u2067五班\u2069"}},
        // Qt never sees the arguments, so none is taken for an option of its own.
        {"QtsOptionAsTheFolder", {"--pdf", "-o", "-platform", "--seed", "1"}, 0, {"已写入：<dir>-platform/速算答题-答案.pdf\n"}, {"-platform"}},
        {"QtsOptionAsTheLastValue", {"--seed", "1", "--pdf", "--out", "-style"}, 0, {"已写入：<dir>-style/速算答题.pdf\n"}, {"-style"}},
        {"CountZeroNeedsNoRange", {"--count", "0", "--smallest", "abc"}, 0, {"已写入："}, kPair},
        // The problem forms: each option's values, ranges as A..B within their limits.
        {"BlankUnknown", {"--blank", "third"}, 2, {"--blank 的取值“third”不对。可以用 result（填得数）"}},
        {"TermsOnlyTwoOrThree", {"--terms=4"}, 2, {"--terms 的取值“4”不对。可以用 2（两个数）或 3"}},
        {"RangeWithoutDots", {"--first", "10-99"}, 2, {"--first 的取值“10-99”不对。可以用两个整数中间加两个点"}},
        {"RangeOfFractions", {"--result", "0..2.5"}, 2, {"--result 的取值“0..2.5”不对"}},
        {"RangeBackwards", {"--second=-1..-5"}, 2, {"--second 的范围“-1..-5”前面的数大于后面的数。请把小的写在前面，例如 -5..-1。"}},
        {"OperandRangePast16Bits", {"--first", "-32769..0"}, 2, {"第一个数要在 -32768 到 32767 之间"}},
        {"ResultRangePast32Bits", {"--result", "0..2147483648"}, 2, {"得数要在 -2147483648 到 2147483647 之间"}},
        {"RangePast64BitsIsOutOfRange", {"--second", "0..99999999999999999999"}, 2, {"超出了能用的范围"}},
        // A step after a slash: a whole number from 1 up, nothing else.
        {"StepOfZero", {"--first", "10..90/0"}, 2, {"--first 的步长“10..90/0”不对：步长要是 1 到 65535 之间的整数"}},
        {"StepBelowZero", {"--second=10..90/-10"}, 2, {"--second 的步长“10..90/-10”不对"}},
        {"StepLeftOut", {"--result", "10..90/"}, 2, {"--result 的取值“10..90/”不对。", "例如 10..90/10"}},
        {"StepWithoutEnds", {"--first", "/10"}, 2, {"--first 的取值“/10”不对。"}},
        {"StepInFullWidthDigits", {"--first", "10..90/１０"}, 2, {"--first 的取值“10..90/１０”不对。"}},
        {"StepPastTheResultsWidth", {"--result", "0..9/4294967296"}, 2, {"步长要是 1 到 4294967295 之间的整数"}},
        {"CarryingOnAStepOtherThanTen", {"--carry", "with", "--first", "0..90/5"}, 2,
         {"第一个数的范围（0 到 90，步长 5）和“加法要进位”不能一起用：有进位、退位的要求时，步长只能是 1、10、100、1000 或 10000。"}},
        {"QuotientOnAStep", {"--type", "div", "--result", "10..90/10"}, 2, {"得数的范围（10 到 90，步长 10）带步长时不能出除法"}},
        {"SecondOnAStepBesideAProductFirst", {"--type", "all", "--terms", "3", "--second", "10..90/10"}, 2,
         {"第二个数的范围（10 到 90，步长 10）带步长时，三个数的题里不能先算乘法"}},
        {"WholeHundredsTimesOnes", {"--seed", "1", "--type", "mul", "--first", "100..900/100", "--second", "1..9"}, 0, {}, kPair},
        {"LayoutUnknown", {"--layout", "columns"}, 2, {"可以用 rows（横排）或 vertical（竖式）"}},
        {"RangesAtTheirLimits", {"--seed", "1", "--type", "sub", "--first", "-32768..32767", "--second=-5..-5", "--result",
                                 "-2147483648..2147483647"}, 0, {}, kPair},
        // The column form has no place for a blank or a third number: refused
        // before any folder or file is made.
        {"ColumnFormWithABlank", {"--layout", "vertical", "--blank", "mixed", "--pdf", "-o", "二班"}, 2,
         {"版式“竖式”排不出这样的题：--blank 要学生填数，竖式里没有留空填数的地方。"}},
        {"ColumnFormComparing", {"--compare", "number", "--layout", "vertical"}, 2,
         {"--compare number 是比大小的题，竖式只排一道算式。请去掉 --compare，或者去掉 --layout vertical。"}},
        // Comparing: what it cannot go with, what it cannot count quickly, how many there are.
        {"CompareWithABlank", {"--compare", "number", "--blank", "first"}, 2, {"不能再“填第一个数”"}},
        {"CompareWithThreeNumbers", {"--compare=expression", "--terms", "3"}, 2, {"不能出三个数的题"}},
        // Brackets: in three numbers only, where they change the order, over products that can be counted.
        {"BracketsWithTwoNumbers", {"--brackets"}, 2, {"括号要用在三个数的题里"}},
        {"BracketsOfAdditionsChangeNothing", {"--brackets", "--terms", "3"}, 2, {"题型“加法(＋)”的三个数的题加上括号也还是从左往右算"}},
        {"TwoStepProductsTooWide", {"--type", "all", "--terms", "3", "--first", "1..32767", "--second", "1..32767",
                                    "--result", "0..2147483647"}, 2, {"先算的乘法的积最大可以到 65536 以上"}},
        {"ColumnFormTwoSteps", {"--type", "mul-div", "--terms", "3", "--layout", "vertical"}, 2, {"竖式只能排两个数"}},
        {"BracketsPdf", {"--seed", "6", "--count", "40", "--type", "all", "--terms", "3", "--result", "0..100",
                         "--brackets", "--per-line", "4", "--pdf"}, 0, {}, kPdfRun},
        {"CompareWithRemainders", {"--type", "div", "--remainder", "--compare", "number"}, 2,
         {"有余数的除法算不出一个数来比大小。请去掉“允许除法有余数”"}},
        {"CompareProductsTooMany", {"--type", "mul", "--first", "1..32767", "--second", "1..32767", "--result",
                                    "0..2147483647", "--compare", "number"}, 2, {"一时数不清"}},
        {"CompareDistinctOneTooMany", {"--largest", "2", "--compare", "number", "--distinct", "--count", "2"}, 2,
         {"“算式和数比”、“题目不重复”，不重复的题一共只有 1 道，不够生成 2 题"}},
        {"CompareOneExpressionWithNothing", {"--first", "1..1", "--second", "1..1", "--result", "2..2", "--compare",
                                             "expression"}, 2, {"一道题也出不来"}},
        {"CompareNumbersPdf", {"--seed", "4", "--count", "40", "--largest", "100", "--compare", "number", "--pdf"}, 0,
         {}, kPdfRun},
        {"CompareExpressionsPdf", {"--seed", "5", "--count", "40", "--type", "all", "--compare", "expression", "--pdf"}, 0,
         {}, kPdfRun},
        // Refused settings: the window's reason, and nothing written.
        {"AnyPairRefused", {"--smallest", "500", "--largest", "500", "--sheets", "4"}, 2,
         {"按“加法(＋)”和出数范围（500 到 500），一道题也出不来：任意两个数相加都大于出题最大数 500。"}},
        {"DistinctCarries", {"--distinct", "--carry", "with"}, 2, {"“题目不重复”，不重复的题一共只有 9 道"}},
        {"RarelyAcceptedStillWritten", {"--smallest", "4700", "--largest", "9999", "--count", "32766", "--carry", "without", "--distinct"},
         0, {"已写入：<dir>速算答题.txt\n"}, kPair},
        // Written, or named with the reason it was not; every pair is still tried.
        {"EveryPairTriedAndEachFailureNamed", {"--sheets", "3"}, 1,
         {"答题纸没有保存成功，原来的文件内容保持不变。\n文件：<dir>速算答题-01.txt\n",
          "答案纸没有保存成功，原来的文件内容保持不变。\n文件：<dir>速算答题-03-答案.txt\n原因：同名的文件夹占用了这个位置"},
         {"速算答题-01-答案.txt", "速算答题-02.txt", "速算答题-02-答案.txt", "速算答题-03.txt"}, {"速算答题-01.txt", "速算答题-03-答案.txt"}},
        {"PdfNotWritten", {"--pdf"}, 1, {"PDF 答题纸没有保存成功"}, kPair + QStringList{"速算答题-答案.pdf"}, {"速算答题.pdf"}},
        {"NoAnswerPdfWithoutAnswers", {"--no-answers", "--pdf"}, 0, {}, kPair + QStringList{"速算答题.pdf"}},
        // The column form is for paper: the text sheets stay in rows, and the user is told once.
        {.name = "ColumnFormTextOnly", .arguments = {"--layout", "vertical"}, .exit = 0, .written = kPair,
         .note = "竖式只用于 PDF 和打印：这次写出的文本练习纸是横排的，要竖式请加 --pdf。"},
        {.name = "ColumnFormPdf", .arguments = {"--seed", "9", "--count", "20", "--layout", "vertical", "--pdf"}, .exit = 0,
         .written = kPdfRun, .note = "竖式只用于 PDF 和打印，文本练习纸照常横排。"},
        {.name = "PaperChoicesWithoutPdfTold", .arguments = {"--paper", "letter", "--duplex"}, .exit = 0, .written = kPair,
         .note = "--paper、--duplex 只用于 PDF：这次没有写 PDF，要用它们请加 --pdf。"},
        // 5 a line at 14 points fill one A4 page with 110 problems.
        {"PdfFullA4Page", {"--seed", "18446744073709551615", "--count", "110", "--numbered", "--pdf"}, 0,
         {"已写入：<dir>速算答题.txt\n已写入：<dir>速算答题-答案.txt\n已写入：<dir>速算答题.pdf\n", "种子：18446744073709551615\n"}, kPdfRun},
        {"Pdf111OnTwoPages", {"--seed", "2", "--count", "111", "--numbered", "--pdf"}, 0, {}, kPdfRun, {}, 2},
        // Wide problems: the size stays, the row takes fewer, and the user is told.
        {"PdfLetterMixFewerColumns", {"--seed", "3", "--type", "all", "--remainder", "--largest", "1000", "--count", "300", "--per-line",
                                      "4", "--paper", "letter", "--pdf"}, 0, {}, kPdfRun, {}, 5, 215.9, {}, "", "每行放不下 4 题，PDF 每行改为 3 题"},
        {"PdfNegativeOperandsInParentheses", {"--seed", "5", "--type", "sub", "--smallest", "-9", "--largest", "9", "--count", "30",
                                              "--numbered", "--pdf"}, 0, {}, kPdfRun, {}, 1, 210, {}, "", "每行放不下 5 题，PDF 每行改为 4 题"},
        {"PdfLargeFontOneALine", {"--seed", "4", "--type", "sub", "--count", "40", "--per-line", "0", "--font-size", "20", "--pdf"}, 0, {},
         kPdfRun, {}, 3},
        // A desktop session's platform without its display: the PDF needs none.
        {"PdfWithXcbNamedButNoDisplay", {"--pdf"}, 0, {}, kPdfRun, {}, 1, 210, {}, "xcb"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A class's list: a sheet for each name in its order, sheet k the bytes of
// sheet k of as many numbered sheets, the names safe in the file names; one
// PDF to print holds every pupil's pages with the name and class and no
// seed. A list that cannot make a set is refused before anything is written.
TEST(ClassLists, MakeTheNumberedSetWithEachPupilNamed)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    ASSERT_TRUE(writeBytes(dir.filePath("名单.txt"), "\xEF\xBB\xBF张三\n 李四　\n\n张三\r\n王/五\n"));
    const QStringList common = {"--seed", "9", "--count", "30", "--type", "all"};
    const auto named = cli(common + QStringList{"--names", "名单.txt", "--class", "三年级二班", "--pdf", "-o", "class"},
                           folder.path());
    ASSERT_EQ(named.exit, 0) << named.err.toStdString();
    ASSERT_EQ(cli(common + QStringList{"--sheets", "4", "-o", "set"}, folder.path()).exit, 0);
    const QStringList pupils = {"张三", "李四", "张三", "王/五"};
    QStringList written = {"速算答题.pdf", "速算答题-答案.pdf"};
    for (int k = 1; k <= 4; ++k) {
        const QString tag = QString("%1-%2").arg(k, 2, 10, QChar('0')).arg(QString(pupils[k - 1]).replace('/', '_'));
        written << "速算答题-" + tag + ".txt" << "速算答题-" + tag + "-答案.txt";
        for (const char* end : {".txt", "-答案.txt"})
            EXPECT_EQ(readBytes(dir.filePath("class/速算答题-" + tag + end)),
                      readBytes(dir.filePath(QString("set/速算答题-%1%2").arg(k, 2, 10, QChar('0')).arg(end))));
    }
    const auto sorted = [](QStringList names) { names.sort(); return names; };
    EXPECT_EQ(sorted(QDir(dir.filePath("class")).entryList(QDir::Files)), sorted(written));
    QString printed;
    for (const PdfPage& page : readPdfPages(dir.filePath("class/速算答题.pdf")))
        for (const PdfLine& line : page.lines())
            for (const PdfWord& word : line)
                printed += word.text + " ";
    qsizetype at = 0;
    for (int k = 1; k <= 4; ++k) {
        at = printed.indexOf(QString("第 %1 份，共 4 份").arg(k), at);
        at = printed.indexOf(pupils[k - 1], at);
        EXPECT_GE(at, 0) << k;
    }
    EXPECT_EQ(printed.count("三年级二班"), printed.count("姓名："));
    EXPECT_FALSE(printed.contains("种子"));

    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("管道")).constData(), 0600), 0);
    QByteArray hundred;
    for (int n = 1; n <= 100; ++n)
        hundred += "学生" + QByteArray::number(n) + "\n";
    const std::pair<QByteArray, QString> refused[] = {
        {hundred, "名单上有 100 个名字"},
        {"\n \n", "里没有名字"},
        {"二十一个字的名字二十一个字的名字二十一个字\n", "名单第 1 个名字"},
        {"\xff\xff\n", "既不是 UTF-8 也不是 GBK"},
    };
    for (const auto& [list, says] : refused) {
        ASSERT_TRUE(writeBytes(dir.filePath("坏名单.txt"), list));
        const auto finished = cli({"--names", "坏名单.txt", "-o", "refused"}, folder.path());
        EXPECT_EQ(finished.exit, 2);
        EXPECT_TRUE(finished.err.contains(says)) << finished.err.toStdString();
    }
    EXPECT_EQ(cli({"--names", "管道", "-o", "refused"}, folder.path()).exit, 2);
    EXPECT_EQ(cli({"--names", "名单.txt", "--sheets", "4", "-o", "refused"}, folder.path()).exit, 2);
    EXPECT_FALSE(dir.exists("refused"));
    // A list saved by a Windows editor, in GBK.
    ASSERT_TRUE(writeBytes(dir.filePath("名单.txt"), QStringEncoder("GBK")(QString("欧阳小明\r\n李四\r\n"))));
    ASSERT_EQ(cli({"--names", "名单.txt", "-o", "gbk"}, folder.path()).exit, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("gbk/速算答题-01-欧阳小明.txt")));
}

// A plan saved under a name makes the same sheets when read back, and an
// option given beside it takes the place of the plan's; every ready-made
// plan makes its sheets; a file that is no plan, or names what is no option
// or no value of one, is refused with where it is wrong, nothing written.
TEST(Plans, SaveReadAndRefuse)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    const QStringList options = {"--type", "mul", "--largest", "9", "--first", "10..95/10", "--count", "30", "--numbered", "--seed", "5"};
    const auto saved = cli(options + QStringList{"--save-plan", "乘法 9", "-o", "given"}, folder.path());
    EXPECT_EQ(saved.exit, 0) << saved.err.toStdString();
    EXPECT_TRUE(saved.out.contains("已保存方案：乘法 9"));
    ASSERT_EQ(cli({"--plan", "乘法 9", "-o", "planned"}, folder.path()).exit, 0);
    ASSERT_EQ(cli({"--plan", "config/sumlark/plans/乘法 9.json", "--count", "40", "-o", "more"}, folder.path()).exit, 0);
    for (const char* sheet : {"/速算答题.txt", "/速算答题-答案.txt"})
        EXPECT_EQ(readBytes(dir.filePath(QString("planned") + sheet)), readBytes(dir.filePath(QString("given") + sheet)));
    EXPECT_TRUE(readBytes(dir.filePath("more/速算答题.txt")).contains("题数(40)"));

    const auto listed = cli({"--list-plans"}, folder.path());
    const QStringList plans = listed.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_GE(plans.size(), 11) << listed.out.toStdString();
    EXPECT_EQ(plans.value(0), "乘法 9");
    for (const QString& plan : plans) {
        const auto made = cli({"--plan", plan, "--seed", "1", "--pdf", "-o", "shelf/" + plan}, folder.path());
        EXPECT_EQ(made.exit, 0) << plan.toStdString() << made.err.toStdString();
    }
    // The plan of sections prints each heading over its problems.
    QString headings;
    for (const PdfPage& page : readPdfPages(dir.filePath("shelf/每日口算：口算 + 竖式 + 填空/速算答题-答案.pdf")))
        for (const PdfLine& line : page.lines())
            headings += problemText(line).contains(QRegularExpression("^[一二三]、")) ? problemText(line) : "";
    EXPECT_EQ(headings, "一、口算二、竖式三、填空");
    // A plan of one section keeps its heading, in the text and on paper.
    ASSERT_TRUE(writeBytes(dir.filePath("一段.json"), "{\"sections\": [{\"heading\": \"一、口算\"}]}"));
    ASSERT_EQ(cli({"--plan", "一段.json", "--pdf", "--encoding", "UTF-8", "-o", "one"}, folder.path()).exit, 0);
    const QString oneSection = QString::fromUtf8(readBytes(dir.filePath("one/速算答题.txt")));
    EXPECT_TRUE(oneSection.contains("\r\n一、口算\r\n") && oneSection.contains("分 1 段")) << oneSection.toStdString();
    int headingLines = 0;
    for (const PdfPage& page : readPdfPages(dir.filePath("one/速算答题.pdf")))
        for (const PdfLine& line : page.lines())
            headingLines += problemText(line) == "一、口算";
    EXPECT_EQ(headingLines, 1);
    // On smaller paper each section that takes fewer a row says so.
    EXPECT_TRUE(cli({"--plan", "每日口算：口算 + 竖式 + 填空", "--paper", "a5", "--pdf", "-o", "a5"}, folder.path())
                    .err.contains("第 1 段：每行放不下 5 题，PDF 每行改为 4 题；第 3 段：每行放不下 4 题"));

    const std::pair<QByteArray, QString> refused[] = {
        {"{\"type\": \"add\",\n \"count\" 5}", "不是 JSON 格式（第 2 行"},
        {"{\"lagest\": \"5\"}", "方案里没有“lagest”这个选项"},
        {"{\"largest\": \"五\"}", "出题最大数“五”不是一个数"},
        {"{\"carry\": \"yes\"}", "方案的 carry 的取值“yes”"},
        {"{\"count\": 5}", "方案的 count 要写成字符串"},
        {"{\"sections\": [{\"seed\": \"3\"}]}", "方案的 seed 是整张纸的选项"},
        {"{\"sections\": [{\"type\": \"mul\"}, {\"smallest\": \"50\", \"largest\": \"10\"}]}", "第 2 段：按“加法(＋)”和出数范围（50 到 10）"},
        {"{\"pdf\": true, \"sections\": [{\"type\": \"add\"}, {\"blank\": \"mixed\", \"layout\": \"vertical\"}]}", "第 2 段：版式“竖式”排不出"},
        {QByteArray(10000, '[') + QByteArray(10000, ']'), "括号套得太深"},
        {"{\"type\": \"" + QByteArray(10 << 20, 'a') + "\"}", "文件太大了"},
    };
    for (const auto& [plan, says] : refused) {
        ASSERT_TRUE(writeBytes(dir.filePath("坏方案.json"), plan));
        const auto finished = cli({"--plan", "坏方案.json", "-o", "refused"}, folder.path());
        EXPECT_EQ(finished.exit, 2);
        EXPECT_TRUE(finished.err.contains(says)) << finished.err.toStdString();
    }
    ASSERT_TRUE(writeBytes(dir.filePath("两段.json"), "{\"sections\": [{\"heading\": \"一\"}, {\"type\": \"mul\"}]}"));
    EXPECT_EQ(cli({"--plan", "两段.json", "-o", "refused", "--count", "5"}, folder.path()).exit, 2);
    EXPECT_EQ(cli({"--plan", "没有这个方案", "-o", "refused"}, folder.path()).exit, 2);
    EXPECT_EQ(cli({"--save-plan", "../外面", "-o", "refused"}, folder.path()).exit, 2);
    EXPECT_FALSE(dir.exists("refused"));
    qputenv("XDG_CONFIG_HOME", config);
}

// A seed taken from the clock and printed makes every sheet of its run again
// byte for byte, and each sheet differs from the others. (The engine's golden
// sheets hold the bytes a seed must make on any machine.)
TEST(Seeds, MakeTheSameBytesAgain)
{
    const QStringList arguments = {"--sheets", "3", "--type", "add-sub"};
    QTemporaryDir first, again;
    const auto finished = cli(arguments, first.path());
    ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
    const QString seed = finished.out.section("种子：", -1).trimmed();
    ASSERT_EQ(cli(arguments + QStringList{"--seed", seed}, again.path()).exit, 0) << seed.toStdString();
    const auto sheets = contents(first.path());
    EXPECT_EQ(sheets.size(), 6u);
    std::set<QByteArray> distinct;
    for (const auto& [name, bytes] : sheets) {
        EXPECT_EQ(bytes, readBytes(again.filePath(name))) << name.toStdString();
        EXPECT_TRUE(distinct.insert(bytes).second) << name.toStdString();
    }
}

// A folder name that is not UTF-8 ("Übungen" in Latin-1), given with --out
// or as the current folder, is the folder its bytes name; the report shows
// the byte escaped. The bytes go in through a shell, as a user types them.
TEST(FolderBytes, ANameThatIsNotUtf8NamesItsOwnFolder)
{
    QTemporaryDir folder;
    const QString given = runProgram("sh", {"-c", "exec \"$0\" --seed 1 -o \"$(printf '\\334bungen')\"", SUMLARK_CLI_PATH},
                                     folder.path()).out;
    const QString current = runProgram("sh", {"-c", "cd \"$(printf '\\334bungen')\" && exec \"$0\" --seed 1 -o 二班", SUMLARK_CLI_PATH},
                                       folder.path()).out;
    EXPECT_TRUE(given.contains("已写入：" + folder.path() + "/\\xDCbungen/速算答题.txt\n")) << given.toStdString();
    EXPECT_TRUE(current.contains("已写入：" + folder.path() + "/\\xDCbungen/二班/速算答题.txt\n")) << current.toStdString();
    const QByteArray bytes = QFile::encodeName(folder.path()) + "/\xDC" "bungen/";
    struct stat sheet {};
    EXPECT_TRUE(::stat(bytes + "速算答题-答案.txt", &sheet) == 0 && ::stat(bytes + "二班/速算答题-答案.txt", &sheet) == 0);
    // Nothing beside it, such as a folder named with U+FFFD; Qt lists no
    // name that is not UTF-8, nor removes it.
    EXPECT_EQ(runProgram("sh", {"-c", "ls -A | od -An -c | tr -d ' \\n'"}, folder.path()).out, "334bungen\\n");
    runProgram("sh", {"-c", "rm -r ./*"}, folder.path());
}

struct FormOptionsRow {
    const char* name;
    std::vector<std::string> arguments;
    ProblemConstraints constraints;
    PageChoices page = {};
};

// Each problem-form and page option sets its own choice, and only that one.
TEST(FormOptions, SetTheirChoice)
{
    const FormOptionsRow rows[] = {
        {"None", {"--count", "5"}, {}},
        // Asking for the defaults aloud asks nothing new: the same run, the same sheets.
        {"DefaultsAskedFor", {"--blank", "result", "--terms", "2", "--layout", "rows"}, {}},
        {"EveryRule", {"--distinct", "--carry", "with", "--borrow=without"},
         {true, CarryRule::With, BorrowRule::Without}},
        {"MixedBlanksInChains", {"--blank=mixed", "--terms", "3"}, {.blank = BlankChoice::Mixed, .terms = 3}},
        {"EachRangeItsOwn", {"--first", "10..99", "--second", "1..9", "--result", "-5..100"},
         {.first = WholeRange{10, 99}, .second = WholeRange{1, 9}, .result = WholeRange{-5, 100}}},
        {"RangesAtTheirLimits", {"--first", "-32768..32767", "--result", "-2147483648..2147483647"},
         {.first = WholeRange{-32768, 32767}, .result = WholeRange{INT32_MIN, INT32_MAX}}},
        {"RangesOnSteps", {"--first", "10..95/10", "--second", "-5..5/1", "--result", "0..9/4294967295"},
         {.first = WholeRange{10, 95, 10}, .second = WholeRange{-5, 5}, .result = WholeRange{0, 9, 4294967295}}},
        {"NothingTrivial", {"--no-trivial"}, {.noTrivial = true}},
        {"CompareExpressions", {"--compare", "expression"}, {.compare = CompareForm::Expression}},
        {"BracketsInTwoSteps", {"--terms", "3", "--brackets"}, {.terms = 3, .brackets = true}},
        {"ColumnForm", {"--layout", "vertical"}, {}, {.layout = PageLayout::Columns}},
        {"PaperB5", {"--paper", "b5", "--font-size", "24"}, {}, {.paper = Paper::B5, .fontSize = 24}},
        {"Paper16k", {"--paper=16k"}, {}, {.paper = Paper::Kai16}}};
    for (const FormOptionsRow& row : rows) {
        const auto parsed = cli::parseCommandLine(row.arguments);
        ASSERT_EQ(parsed.action, cli::CommandLine::Action::Run) << row.name << ": " << parsed.error;
        EXPECT_TRUE(parsed.options.constraints == row.constraints) << row.name;
        EXPECT_TRUE(parsed.options.page == row.page) << row.name;
    }
}

// The PDF writer is a module beside the program that only PDF runs open: a
// copy of the program without it still writes text sheets, and a PDF run
// says what is missing, present or not a module, before it touches a file.
TEST(PdfModule, OnlyPdfRunsNeedItAndTheyStopWhenItIsMissing)
{
    QTemporaryDir program, out;
    const QString copy = QDir(program.path()).filePath("sumlark-cli");
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(SUMLARK_CLI_PATH), copy));
    EXPECT_EQ(runProgram(copy, {"--seed", "1", "--out", out.path()}).exit, 0);
    EXPECT_EQ(everything(out.path()), QStringList({kPair[1], kPair[0]}));
    for (const bool broken : {false, true}) {
        ASSERT_TRUE(!broken || writeBytes(QDir(program.path()).filePath("sumlark-pdf.so"), "not a module"));
        QTemporaryDir pdfOut;
        const Finished pdf = runProgram(copy, {"--seed", "1", "--pdf", "--out", pdfOut.path()});
        EXPECT_EQ(pdf.exit, 1);
        EXPECT_TRUE(pdf.err.contains("无法打开写 PDF 的组件 sumlark-pdf")) << pdf.err.toStdString();
        EXPECT_EQ(pdf.err.contains(QDir(program.path()).filePath("sumlark-pdf.so")), broken) << pdf.err.toStdString();
        EXPECT_TRUE(everything(pdfOut.path()).isEmpty());
    }
}

// The manual page and the bash completion are written by hand beside the
// program; they must offer exactly what it takes.

const QString kCompletion = QString::fromUtf8(SUMLARK_PACKAGING_DIR) + "/sumlark-cli.bash-completion";

// The options a text names: "--name" or "-x" standing on their own, and "--".
std::set<QString> optionsNamed(const QString& text)
{
    static const QRegularExpression option(R"((?:^|[\s"，、（])(--?[A-Za-z][A-Za-z-]*|--)(?=[\s,"，=）]|$))");
    std::set<QString> names;
    for (auto match = option.globalMatch(text); match.hasNext();)
        names.insert(match.next().captured(1));
    return names;
}

// What bash offers for the last of the words typed after sumlark-cli.
QStringList completions(const QStringList& words, const QString& folder = {})
{
    const QString script = R"(source "$1"; shift; COMP_WORDS=(sumlark-cli "$@"); COMP_CWORD=$#; _sumlark_cli;
                              printf '%s\n' "${COMPREPLY[@]}")";
    const auto finished = runProgram("bash", QStringList{"-c", script, "bash", kCompletion} + words, folder);
    EXPECT_EQ(finished.exit, 0) << finished.err.toStdString();
    QStringList offered = finished.out.split('\n', Qt::SkipEmptyParts);
    offered.sort();
    return offered;
}

// The manual page's text with its dashes plain and its font changes gone.
QString manualText()
{
    const QByteArray page = readBytes(QString::fromUtf8(SUMLARK_PACKAGING_DIR) + "/sumlark-cli.1");
    return QString::fromUtf8(page).replace("\\-", "-").remove(QRegularExpression(R"(\\f[BIRP]|\\:)"));
}

TEST(HandWritten, ManualAndCompletionNameTheOptionsOfHelp)
{
    QTemporaryDir folder;
    const auto help = optionsNamed(cli({"--help"}, folder.path()).out);
    // --help is made from the table of choices; the three short forms are beside it.
    ASSERT_TRUE(help.contains("--type") && help.contains("-o") && help.contains("-h") && help.contains("--"));
    EXPECT_EQ(optionsNamed(manualText()), help);
    for (const char* typed : {"", "-"}) {
        const QStringList offered = completions({typed});
        EXPECT_EQ(std::set<QString>(offered.begin(), offered.end()), help);
    }
}

// Each option of the table: the manual's entry shows it as --help does and
// names every spelling of its values, which are what bash offers after it
// (the parser is made from the same table, so each is taken).
TEST(HandWritten, ManualAndCompletionSpellEachOptionAsTheTable)
{
    for (const wording::ChoiceWords& words : wording::choiceWords()) {
        if (words.option.empty())
            continue;
        const auto plain = [](QString text) { return text.remove(QRegularExpression(R"(["\s])")); };
        const QString option = QRegularExpression::escape(QString::fromUtf8(words.option));
        const auto usage = QRegularExpression(R"(^\.TP\n\.B[IR]? )" + option + R"(\b(.*)\n((?:[^.].*\n)*))",
                                              QRegularExpression::MultilineOption).match(manualText());
        ASSERT_TRUE(usage.hasMatch()) << words.option;
        EXPECT_EQ(plain(QString::fromUtf8(words.option) + usage.captured(1)).toStdString(),
                  plain(QString::fromStdString(wording::usage(words))).toStdString());
        QStringList spellings;
        for (const wording::ItemWords& item : words.items) {
            if (item.spelling.empty())
                continue;
            spellings << QString::fromUtf8(item.spelling);
            const QRegularExpression word("(?<![\\w-])" + QRegularExpression::escape(spellings.back()) + "(?![\\w-])");
            EXPECT_TRUE(usage.captured(0).contains(word)) << words.option << " " << item.spelling;
        }
        spellings.sort();
        const ChoiceKind kind = limitsOf(words.choice).kind;
        if (kind != ChoiceKind::Switch && (kind != ChoiceKind::Text || !spellings.isEmpty()))
            EXPECT_EQ(completions({QString::fromUtf8(words.option), ""}).join(' ').toStdString(),
                      spellings.join(' ').toStdString())
                << words.option;
    }
}

// What bash offers in a folder holding the folder 二班 and the file 说明.txt.
TEST(HandWritten, CompletionOffersWhatFitsTheWordTyped)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("二班") && writeBytes(folder.filePath("说明.txt"), ""));
    const std::pair<QStringList, QStringList> typedAndOffered[] = {
        {{"--pa"}, {"--paper"}},                                     // an option's beginning
        {{"--count", "5", "--nu"}, {"--numbered"}},                  // an option after a value
        {{"--type", "=", "add"}, {"add", "add-sub", "add-sub-mul"}}, // a value after "="
        {{"--out", ""}, {"二班"}},                                   // folders only
        {{"-o", "二"}, {"二班"}},
        {{"--count", ""}, {}}, // numbers are typed
        {{"--", "-"}, {}}};    // nothing after the end of options
    for (const auto& [typed, offered] : typedAndOffered)
        EXPECT_EQ(completions(typed, folder.path()), offered) << typed.join(' ').toStdString();
}

} // namespace
} // namespace sumlark::testing

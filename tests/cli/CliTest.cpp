#include "ChoiceWords.h"
#include "ProblemTypes.h"
#include "PdfWords.h"
#include "SheetText.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <tuple>

namespace sumlark::testing {
namespace {

struct Finished {
    int exit = -1;
    QString out, err;
};

// Runs as on a server: no display, and no platform chosen for Qt unless
// platform names one.
Finished runProgram(const QString& program, const QStringList& arguments, const QString& folder = {},
                    const QString& platform = {})
{
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    if (!platform.isEmpty())
        environment.insert("QT_QPA_PLATFORM", platform);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << program.toStdString() << " did not finish: " << process.errorString().toStdString();
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

Finished cli(const QStringList& arguments, const QTemporaryDir& folder, const QString& platform = {})
{
    return runProgram(QString::fromUtf8(SUMLARK_CLI_PATH), arguments, folder.path(), platform);
}

QByteArray readBytes(const QString& folder, const QString& name)
{
    QFile file(QDir(folder).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing " + name.toUtf8() + ">";
}

std::vector<std::string> cellTexts(const QString& text)
{
    std::vector<std::string> cells;
    for (const auto& cell : cellsOf(text.toStdString()))
        cells.push_back(cell.text);
    return cells;
}

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
    const char* paper = "(A4)"; // the page size as pdfinfo names it
    QStringList never = {};   // on neither output
    const char* platform = "";  // QT_QPA_PLATFORM, unset when empty
    int columns = 5;            // problems a row on the printed pages
    const char* note = "";      // all that a run that succeeds says on standard error
};

// The problems of a PDF as the text sheet writes them, in the page's signs,
// read from its words and their places: a problem is the words of a line up
// to the one holding its "=" (with the answer, on answer pages); a
// remainder's "……" is "...", and a negative second operand loses its
// parentheses.
std::vector<std::string> printedProblems(const QString& pdf)
{
    std::vector<std::string> problems;
    for (const PdfPage& page : readPdfPages(pdf)) {
        for (const PdfLine& line : page.lines()) {
            QString problem;
            for (const PdfWord& word : line) {
                problem += word.text;
                if (!problem.contains('='))
                    continue;
                problem.replace("……", "...").replace(QRegularExpression("\\((\u2212\\d+)\\)"), "\\1");
                problems.push_back(problem.toStdString());
                problem.clear();
            }
        }
    }
    return problems;
}

// On every question page the problems are at least the chosen size, and the
// "=" of each column stand one under the other: the words ending in "=" end
// at one of as many places as the row has columns.
void checkGrid(const QString& pdf, const OutcomeRow& row)
{
    const auto sizeAt = row.arguments.indexOf("--font-size");
    const double size = sizeAt < 0 ? 14.0 : row.arguments[sizeAt + 1].toDouble();
    for (const PdfPage& page : readPdfPages(pdf)) {
        std::set<long> ends;
        for (const PdfWord& word : page.words) {
            if (!word.text.endsWith('='))
                continue;
            EXPECT_GE(word.height(), size) << word.text.toStdString();
            ends.insert(std::lround(word.right * 10.0));
        }
        EXPECT_FALSE(ends.empty());
        EXPECT_LE(ends.size(), std::size_t(row.columns)) << pdf.toStdString();
    }
}

class Outcomes : public ::testing::TestWithParam<OutcomeRow> {};

// What a command says, how it exits and what it leaves in its folder; each
// PDF, made without a display, holds exactly the problems of its text sheet in
// order, on the pages the layout promises.
TEST_P(Outcomes, ExitCodeMessagesAndFiles)
{
    const auto& row = GetParam();
    QTemporaryDir folder;
    const QDir dir(folder.path());
    for (const auto& name : row.blocked)
        ASSERT_TRUE(dir.mkdir(name));
    const auto finished = cli(row.arguments, folder, row.platform);
    EXPECT_EQ(finished.exit, row.exit) << finished.err.toStdString();
    // Nothing typed reaches the terminal as a command.
    EXPECT_FALSE(finished.err.contains(QChar(0x1b)) || finished.out.contains(QChar(0x1b)));
    EXPECT_TRUE(row.exit != 0 || finished.err == QString::fromUtf8(row.note) + (*row.note ? "\n" : ""))
        << finished.err.toStdString();
    for (QString said : row.says) {
        said.replace("<dir>", QDir::toNativeSeparators(folder.path() + "/"));
        const QString& text = row.exit == 0 ? finished.out : finished.err;
        EXPECT_TRUE(text.contains(said)) << said.toStdString() << " not in:\n" << text.toStdString();
    }
    for (const QString& unsaid : row.never) {
        EXPECT_FALSE(finished.out.contains(unsaid) || finished.err.contains(unsaid)) << unsaid.toStdString();
    }
    const auto sorted = [](QStringList names) { names.sort(); return names.join(" ").toStdString(); };
    EXPECT_EQ(sorted(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)), sorted(row.written + row.blocked));
    for (const auto& pdf : dir.entryList({"*.pdf"}, QDir::Files)) {
        const QString info = runProgram("pdfinfo", {dir.filePath(pdf)}).out;
        EXPECT_TRUE(info.contains(QRegularExpression(QString("Pages: +%1\n").arg(row.pages)))) << info.toStdString();
        EXPECT_TRUE(info.contains(row.paper)) << info.toStdString();
        const QString printed = runProgram("pdftotext", {"-layout", dir.filePath(pdf), "-"}).out;
        const QByteArray sheet = readBytes(folder.path(), QString(pdf).replace(".pdf", ".txt"));
        std::vector<std::string> cells;
        for (const auto& cell : cellTexts(QStringDecoder(QStringConverter::System)(sheet)))
            cells.push_back(pageSigns(QString::fromStdString(cell).remove(' ')).toStdString());
        EXPECT_FALSE(cells.empty());
        EXPECT_EQ(printedProblems(dir.filePath(pdf)), cells) << pdf.toStdString();
        const bool answers = pdf.contains("答案");
        EXPECT_TRUE(printed.contains("口算练习") && printed.contains("口算练习答案") == answers);
        EXPECT_FALSE(printed.contains('*') || printed.contains('@'));
        EXPECT_EQ(printed.contains("姓名：") && printed.contains("得分："), !answers);
        EXPECT_TRUE(printed.contains(QString("第 %1 页，共 %1 页").arg(row.pages)));
        // A sheet of a class set names itself and its seed on every page.
        const auto tag = QRegularExpression("-(\\d\\d)[.-]").match(pdf);
        if (tag.hasMatch()) {
            const auto seed = QRegularExpression("第 " + tag.captured(1) + " 份的种子：(\\d+)").match(finished.out);
            const QString line = QString("第 %1 份，共 %2 份 · 种子 %3")
                                     .arg(tag.captured(1).toInt())
                                     .arg(row.arguments[row.arguments.indexOf("--sheets") + 1])
                                     .arg(seed.captured(1));
            EXPECT_EQ(printed.count(line), row.pages) << line.toStdString();
        } else {
            EXPECT_FALSE(printed.contains(" 份，共 ")) << "a single sheet is no class set";
        }
        if (!answers)
            checkGrid(dir.filePath(pdf), row);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Outcomes,
    ::testing::Values(
        OutcomeRow{"HelpWinsOverAValue", {"--count", "5", "--help"}, 0, {"用法：sumlark-cli"}},
        OutcomeRow{"HelpWinsOverAMistakeBeforeIt", {"--colour", "red", "--pdf=yes", "-h"}, 0, {"用法：sumlark-cli"}},
        OutcomeRow{"HelpWinsWhereAValueIsDue", {"--out", "--help"}, 0, {"用法：sumlark-cli"}},
        OutcomeRow{"HelpAfterTheEndOfOptionsIsAnArgument", {"--", "--help"}, 2, {"多余的参数“--help”"}},
        OutcomeRow{"EndOfOptionsWithNothingAfter", {"--seed", "1", "--"}, 0, {"已写入：<dir>速算答题.txt\n"}, kPair},
        OutcomeRow{"Version", {"--version", "--pdf"}, 0, {"小学Sumlark 命令行版 2.0.0\n"}},
        OutcomeRow{"ShortVersion", {"-V"}, 0, {"小学Sumlark 命令行版 2.0.0\n"}},
        OutcomeRow{"ShortOutMakesTheFolder", {"-o", "三年级二班"}, 0, {"已写入：<dir>三年级二班/速算答题.txt\n"}, {"三年级二班"}},
        OutcomeRow{"ShortOutWithTheValueAttached", {"-o二班", "--seed", "3"}, 0, {"已写入：<dir>二班/速算答题.txt\n"}, {"二班"}},
        OutcomeRow{"ShortOutBeforeAnOption", {"-o", "-V"}, 2, {"-o 后面缺少取值"}},
        OutcomeRow{"NegativeNumberIsAValue", {"--smallest", "-3", "--seed", "1"}, 0, {}, kPair},
        OutcomeRow{.name = "UnknownOptionPointsToHelp", .arguments = {"--colour", "red"}, .exit = 2,
                   .says = {"sumlark-cli：没有“--colour”这个选项。\n用 sumlark-cli --help 查看全部选项。\n"},
                   .never = {"您是不是想用", "--type"}},
        OutcomeRow{"OneEditAway", {"--cout", "5"}, 2, {"没有“--cout”这个选项。您是不是想用 --count？\n"}},
        OutcomeRow{"TwoEditsAwayWithAValue", {"--encodign=GBK"}, 2, {"您是不是想用 --encoding？"}},
        OutcomeRow{"SingleDashLongName", {"-numbered"}, 2, {"您是不是想用 --numbered？"}},
        OutcomeRow{"OnlyTheCaseDiffers", {"--PDF"}, 2, {"您是不是想用 --pdf？"}},
        OutcomeRow{"ShortOnlyTheCaseDiffers", {"-v"}, 2, {"您是不是想用 -V？"}},
        OutcomeRow{.name = "ThreeEditsAwayGetsNoGuess", .arguments = {"--sheetzzz"}, .exit = 2,
                   .says = {"没有“--sheetzzz”这个选项。\n"}, .never = {"您是不是想用"}},
        OutcomeRow{.name = "UnknownShortGetsNoGuess", .arguments = {"-x"}, .exit = 2, .says = {"没有“-x”这个选项。\n"},
                   .never = {"您是不是想用"}},
        OutcomeRow{"StrayArgument", {"add"}, 2, {"多余的参数“add”"}},
        OutcomeRow{"MissingValue", {"--borrow"}, 2, {"--borrow 后面缺少取值"}},
        OutcomeRow{"ValueLooksLikeAnOption", {"--count", "--numbered"}, 2, {"--count 后面缺少取值"}},
        OutcomeRow{"SwitchWithValue", {"--numbered=yes"}, 2, {"--numbered 不带取值"}},
        OutcomeRow{"SeedPast64Bits", {"--seed", "18446744073709551616"}, 2, {"0 到 18446744073709551615 之间的整数"}},
        OutcomeRow{"TooManySheets", {"--sheets=100"}, 2, {"--sheets 的取值“100”不对。可以用 1 到 99 之间的整数"}},
        OutcomeRow{"NoSheets", {"--sheets", "0"}, 2, {"--sheets 的取值“0”不对。可以用 1 到 99 之间的整数"}},
        OutcomeRow{"EncodingWithoutChinese", {"--encoding", "ISO-8859-1"}, 2, {"GBK、GB18030、UTF-8"}},
        OutcomeRow{"TypedEscapeSequenceShownEscaped", {"--count", "\x1b]0;x\x07\x1b[2J"}, 2,
                   {"生成题数“\\e]0;x\\x07\\e[2J”不是一个数"}},
        OutcomeRow{"LongTypedValueCut", {"--paper", QString(200, 'a')}, 2, {"“" + QString(80, 'a') + "…”不对"}},
        OutcomeRow{"LineBreakInFolderEscaped", {"--seed", "1", "--out", "五\n班"}, 0,
                   {"已写入：<dir>五\\n班/速算答题.txt\n"}, {"五\n班"}},
        OutcomeRow{"TextReorderingMarkShownEscaped", {"--count", "1\u202E2"}, 2, {"生成题数“1\\u202E2”不是一个数"}},
        OutcomeRow{"TextReorderingMarkInFolderEscaped", {"--seed", "1", "--out", "\u2067五班\u2069"}, 0,
                   {"已写入：<dir>\\u2067五班\\u2069/速算答题.txt\n"}, {"\u2067五班\u2069"}},
        // Qt never sees the arguments, so none is taken for an option of its own.
        OutcomeRow{"QtsOptionAsTheFolder", {"--pdf", "-o", "-platform", "--seed", "1"}, 0,
                   {"已写入：<dir>-platform/速算答题-答案.pdf\n"}, {"-platform"}},
        OutcomeRow{"QtsOptionAsTheLastValue", {"--seed", "1", "--pdf", "--out", "-style"}, 0,
                   {"已写入：<dir>-style/速算答题.pdf\n"}, {"-style"}},
        OutcomeRow{"CountZeroNeedsNoRange", {"--count", "0", "--smallest", "abc"}, 0, {"已写入："}, kPair},
        // The problem forms: each option's values, ranges as A..B within their limits.
        OutcomeRow{"BlankUnknown", {"--blank", "third"}, 2, {"--blank 的取值“third”不对。可以用 result（填得数）"}},
        OutcomeRow{"TermsOnlyTwoOrThree", {"--terms=4"}, 2, {"--terms 的取值“4”不对。可以用 2（两个数）或 3"}},
        OutcomeRow{"RangeWithoutDots", {"--first", "10-99"}, 2, {"--first 的取值“10-99”不对。可以用两个整数中间加两个点"}},
        OutcomeRow{"RangeOfFractions", {"--result", "0..2.5"}, 2, {"--result 的取值“0..2.5”不对"}},
        OutcomeRow{"RangeBackwards", {"--second=-1..-5"}, 2,
                   {"--second 的范围“-1..-5”前面的数大于后面的数。请把小的写在前面，例如 -5..-1。"}},
        OutcomeRow{"OperandRangePast16Bits", {"--first", "-32769..0"}, 2, {"第一个数要在 -32768 到 32767 之间"}},
        OutcomeRow{"ResultRangePast32Bits", {"--result", "0..2147483648"}, 2, {"得数要在 -2147483648 到 2147483647 之间"}},
        OutcomeRow{"RangePast64BitsIsOutOfRange", {"--second", "0..99999999999999999999"}, 2, {"超出了能用的范围"}},
        OutcomeRow{"LayoutUnknown", {"--layout", "columns"}, 2, {"可以用 rows（横排）或 vertical（竖式）"}},
        OutcomeRow{"RangesAtTheirLimits", {"--seed", "1", "--type", "sub", "--first", "-32768..32767", "--second=-5..-5",
                                           "--result", "-2147483648..2147483647"}, 0, {}, kPair},
        // The column form has no place for a blank or a third number: refused
        // before any folder or file is made.
        OutcomeRow{"ColumnFormWithABlank", {"--layout", "vertical", "--blank", "mixed", "--pdf", "-o", "二班"}, 2,
                   {"版式“竖式”排不出这样的题：--blank 要学生填数，竖式里没有留空填数的地方。"}},
        OutcomeRow{"ColumnFormWithThreeNumbers", {"--type", "4", "--terms", "3", "--layout=vertical", "--pdf"}, 2,
                   {"--terms 3 是三个数的题，竖式只能排两个数。请去掉 --terms 3，或者去掉 --layout vertical。"}},
        // Refused settings: the window's reason, and nothing written.
        OutcomeRow{"AnyPairRefused", {"--smallest", "500", "--largest", "500", "--sheets", "4"}, 2,
                   {"按“加法(＋)”和出数范围（500 到 500），一道题也出不来：任意两个数相加都大于出题最大数 500。"}},
        OutcomeRow{"CarryWithoutAddition", {"--type", "mul", "--carry", "with"}, 2, {"没有加法，不能要求“加法要进位”"}},
        OutcomeRow{"BorrowWithoutSubtraction", {"--type", "5", "--borrow", "without"}, 2, {"不能要求“减法不退位”"}},
        OutcomeRow{"CarryBelowZero", {"--smallest", "-5", "--carry", "with"}, 2, {"（-5 到 10）里有小于 0 的数"}},
        OutcomeRow{"BorrowDownPastZero", {"--type", "1", "--smallest", "5", "--largest", "-3", "--borrow", "with"}, 2,
                   {"（5 到 -3）里有小于 0 的数"}},
        OutcomeRow{"NoAdditionCarries", {"--largest", "4", "--carry", "with"}, 2, {"最大数 4 的加法没有一道要进位"}},
        OutcomeRow{"AllAdditionsCarry", {"--smallest", "15", "--largest", "30", "--carry", "without"}, 2, {"都要进位"}},
        OutcomeRow{"NoSubtractionBorrows", {"--type", "1", "--smallest", "0", "--largest", "9", "--borrow", "with"}, 2,
                   {"范围里的减法没有一道要退位"}},
        OutcomeRow{"TooFewDistinct", {"--distinct", "--count", "46"}, 2, {"不重复的题一共只有 45 道，不够生成 46 题"}},
        OutcomeRow{"DistinctCarries", {"--distinct", "--carry", "with"}, 2, {"“题目不重复”，不重复的题一共只有 9 道"}},
        OutcomeRow{"SubtractionsEitherWayAreOne", {"--type", "sub", "--distinct", "--count", "56"}, 2, {"只有 55 道"}},
        OutcomeRow{"RarelyAcceptedStillWritten",
                   {"--smallest", "4700", "--largest", "9999", "--count", "32766", "--carry", "without", "--distinct"}, 0,
                   {"已写入：<dir>速算答题.txt\n"}, kPair},
        // Written, or named with the reason it was not; every pair is still tried.
        OutcomeRow{"EveryPairTriedAndEachFailureNamed", {"--sheets", "3"}, 1,
                   {"答题纸没有保存成功，原来的文件内容保持不变。\n文件：<dir>速算答题-01.txt\n",
                    "答案纸没有保存成功，原来的文件内容保持不变。\n文件：<dir>速算答题-03-答案.txt\n"
                    "原因：同名的文件夹占用了这个位置"},
                   {"速算答题-01-答案.txt", "速算答题-02.txt", "速算答题-02-答案.txt", "速算答题-03.txt"},
                   {"速算答题-01.txt", "速算答题-03-答案.txt"}},
        OutcomeRow{"PdfNotWritten", {"--pdf"}, 1, {"PDF 答题纸没有保存成功"}, kPair + QStringList{"速算答题-答案.pdf"},
                   {"速算答题.pdf"}},
        OutcomeRow{"NoAnswerPdfWithoutAnswers", {"--no-answers", "--pdf"}, 0, {}, kPair + QStringList{"速算答题.pdf"}},
        // 5 a line at 14 points fill one A4 page with 110 problems.
        OutcomeRow{"PdfFullA4Page", {"--seed", "18446744073709551615", "--count", "110", "--numbered", "--pdf"},
                   0, {"已写入：<dir>速算答题.txt\n已写入：<dir>速算答题-答案.txt\n已写入：<dir>速算答题.pdf\n",
                       "种子：18446744073709551615\n"}, kPdfRun},
        OutcomeRow{"Pdf111OnTwoPages", {"--seed", "2", "--count", "111", "--numbered", "--pdf"}, 0, {}, kPdfRun, {}, 2},
        // Wide problems: the size stays, the row takes fewer, and the user is told.
        OutcomeRow{"PdfLetterMixFewerColumns", {"--seed", "3", "--type", "all", "--remainder", "--largest", "1000",
                                                "--count", "300", "--per-line", "4", "--paper", "letter", "--pdf"},
                   0, {}, kPdfRun, {}, 5, "(letter)", {}, "", 3, "每行放不下 4 题，PDF 每行改为 3 题"},
        OutcomeRow{"PdfNegativeOperandsInParentheses", {"--seed", "5", "--type", "sub", "--smallest", "-9", "--largest",
                                                        "9", "--count", "30", "--numbered", "--pdf"},
                   0, {}, kPdfRun, {}, 1, "(A4)", {}, "", 4, "每行放不下 5 题，PDF 每行改为 4 题"},
        OutcomeRow{"PdfClassSetNamesEverySheet", {"--seed", "7", "--sheets", "2", "--count", "120", "--pdf"}, 0, {},
                   {"速算答题-01.txt", "速算答题-01-答案.txt", "速算答题-01.pdf", "速算答题-01-答案.pdf",
                    "速算答题-02.txt", "速算答题-02-答案.txt", "速算答题-02.pdf", "速算答题-02-答案.pdf"},
                   {}, 2},
        OutcomeRow{"PdfLargeFontOneALine", {"--seed", "4", "--type", "sub", "--count", "40", "--per-line", "0",
                                            "--font-size", "20", "--pdf"}, 0, {}, kPdfRun, {}, 3, "(A4)", {}, "", 1},
        // A desktop session's platform without its display: the PDF needs none.
        OutcomeRow{"PdfWithXcbNamedButNoDisplay", {"--pdf"}, 0, {}, kPdfRun, {}, 1, "(A4)", {}, "xcb"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every paper at the usual and a large size: the page is that paper within
// 1 mm, every word stands at least 5 mm inside it, and the problems read
// back as the text sheet's.
struct PaperRow {
    const char* key;
    double widthMm, heightMm;
};

class Papers : public ::testing::TestWithParam<std::tuple<PaperRow, int>> {};

TEST_P(Papers, PageSizeAndWordsInside)
{
    const auto [paper, size] = GetParam();
    QTemporaryDir folder;
    const auto finished = cli({"--paper", paper.key, "--font-size", QString::number(size), "--type", "all",
                               "--remainder", "--smallest", "-20", "--count", "60", "--numbered", "--seed", "9", "--pdf"},
                              folder);
    ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
    constexpr double kPointsPerMm = 72.0 / 25.4;
    for (const char* name : {"速算答题.pdf", "速算答题-答案.pdf"}) {
        const auto pages = readPdfPages(QDir(folder.path()).filePath(name));
        ASSERT_FALSE(pages.empty());
        for (const PdfPage& page : pages) {
            EXPECT_NEAR(page.width, paper.widthMm * kPointsPerMm, kPointsPerMm);
            EXPECT_NEAR(page.height, paper.heightMm * kPointsPerMm, kPointsPerMm);
            for (const PdfWord& word : page.words) {
                const double inside = std::min({word.left, word.top, page.width - word.right, page.height - word.bottom});
                EXPECT_GE(inside, 5.0 * kPointsPerMm) << word.text.toStdString();
            }
        }
    }
    std::vector<std::string> cells;
    for (const auto& cell : cellTexts(QString::fromUtf8(readBytes(folder.path(), "速算答题.txt"))))
        cells.push_back(pageSigns(QString::fromStdString(cell).remove(' ')).toStdString());
    EXPECT_EQ(printedProblems(QDir(folder.path()).filePath("速算答题.pdf")), cells);
}

INSTANTIATE_TEST_SUITE_P(EveryPaper, Papers,
                         ::testing::Combine(::testing::Values(PaperRow{"a4", 210, 297}, PaperRow{"b5", 176, 250},
                                                              PaperRow{"16k", 185, 260}, PaperRow{"a5", 148, 210},
                                                              PaperRow{"letter", 215.9, 279.4}),
                                            ::testing::Values(14, 24)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).key == std::string("16k") ? "k16"
                                                                                              : std::get<0>(info.param).key) +
                                    "_" + std::to_string(std::get<1>(info.param));
                         });

struct SeedRow {
    const char* name;
    QStringList arguments;
};

class Seeds : public ::testing::TestWithParam<SeedRow> {};

// A seed, given or taken from the clock and printed, makes every sheet of its
// run again byte for byte, and each sheet differs from the others and from
// those of the next seed. (The engine's golden sheets hold the bytes a seed
// must make on any machine.)
TEST_P(Seeds, MakeTheSameBytesAgain)
{
    const auto& row = GetParam();
    QTemporaryDir first, again, next;
    const auto finished = cli(row.arguments, first);
    ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
    const QString seed = finished.out.section("种子：", -1).trimmed();
    // The last --seed counts, so this repeats a given seed and fixes a clock one.
    ASSERT_EQ(cli(row.arguments + QStringList{"--seed", seed}, again).exit, 0) << seed.toStdString();
    ASSERT_EQ(cli(row.arguments + QStringList{"--seed", QString::number(seed.toULongLong() + 1)}, next).exit, 0);
    const auto names = QDir(first.path()).entryList(QDir::Files);
    std::set<QByteArray> sheets;
    for (const auto& name : names) {
        const QByteArray bytes = readBytes(first.path(), name);
        EXPECT_EQ(bytes, readBytes(again.path(), name)) << name.toStdString();
        EXPECT_NE(bytes, readBytes(next.path(), name)) << name.toStdString();
        EXPECT_TRUE(sheets.insert(bytes).second) << name.toStdString();
    }
    EXPECT_FALSE(names.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Seeds,
    ::testing::Values(SeedRow{"FromTheClock", {}},
                      SeedRow{"SeveralSheets", {"--sheets", "3", "--seed", "5", "--type", "add-sub"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Options that ask nothing new of the text sheets leave them byte for byte
// as a plain run of the same seed writes them; the column form says once
// that it is for paper.
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
    EXPECT_EQ(::stat(bytes + "速算答题-答案.txt", &sheet), 0);
    EXPECT_EQ(::stat(bytes + "二班/速算答题-答案.txt", &sheet), 0);
    // Nothing beside it, such as a folder named with U+FFFD; Qt lists no
    // name that is not UTF-8, nor removes it.
    EXPECT_EQ(runProgram("sh", {"-c", "ls -A | od -An -c | tr -d ' \\n'"}, folder.path()).out, "334bungen\\n");
    runProgram("sh", {"-c", "rm -r ./*"}, folder.path());
}

TEST(NewOptions, LeaveTheTextSheetsAsAPlainRun)
{
    const QStringList plainRun = {"--seed", "9", "--type", "all", "--count", "60", "--sheets", "2"};
    QTemporaryDir plain;
    ASSERT_EQ(cli(plainRun, plain).exit, 0);
    const std::vector<std::pair<QStringList, QString>> asked = {
        {{"--blank", "result", "--terms", "2", "--layout", "rows"}, ""},
        {{"--layout", "vertical"}, "竖式只用于 PDF 和打印：这次写出的文本练习纸是横排的，要竖式请加 --pdf。\n"},
        {{"--layout", "vertical", "--pdf"}, "竖式只用于 PDF 和打印，文本练习纸照常横排。\n"}};
    for (const auto& [options, note] : asked) {
        QTemporaryDir folder;
        const auto finished = cli(plainRun + options, folder);
        ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
        EXPECT_EQ(finished.err, note);
        const QStringList texts = QDir(plain.path()).entryList({"*.txt"}, QDir::Files);
        EXPECT_EQ(texts.size(), 4);
        for (const QString& name : texts)
            EXPECT_EQ(readBytes(plain.path(), name), readBytes(folder.path(), name)) << name.toStdString();
    }
}

// Every problem form as the sheets write a cell: two numbers or a chain of
// three, perhaps an operand blank, "（  ）" on the question sheet and filled,
// "（7）", on the answer sheet, where the result and any "...remainder" follow "=".
const std::regex kFormCell(R"(((\d+)\) )?(-?\d+|（(?:  |-?\d+)）)(＋|－|×|÷)(-?\d+|（(?:  |-?\d+)）))"
                           R"((?:(＋|－)(-?\d+))?=(?:(-?\d+)(?:\.\.\.(\d+))?)?)");

std::vector<std::string> formCells(const QByteArray& sheet)
{
    std::vector<std::string> cells;
    for (const std::string& line : problemLines(sheet.toStdString()))
        for (auto it = std::sregex_iterator(line.begin(), line.end(), kFormCell); it != std::sregex_iterator(); ++it)
            cells.push_back(it->str());
    return cells;
}

struct AnswerCell {
    std::vector<long long> numbers; // the operands in printed order
    std::vector<std::string> signs;
    int blank = -1; // the operand left blank; -1: the result
    long long result = 0;
    std::optional<long long> remainder;
    std::string question; // the cell as the question sheet must print it
};

AnswerCell readAnswer(const std::string& cell)
{
    std::smatch match;
    AnswerCell read;
    if (!std::regex_match(cell, match, kFormCell) || !match[8].matched)
        return read;
    const std::string open = "（", close = "）";
    read.question = cell.substr(0, cell.find('=') + 1);
    for (const int group : {3, 5, 7}) {
        std::string number = match[group].str();
        if (number.starts_with(open)) {
            read.blank = int(read.numbers.size());
            number = number.substr(open.size(), number.size() - open.size() - close.size());
            read.question = std::string(cell).replace(match.position(group), match.length(group), open + "  " + close);
        }
        if (!number.empty())
            read.numbers.push_back(std::stoll(number));
    }
    for (const int group : {4, 6})
        if (match[group].matched)
            read.signs.push_back(match[group].str());
    read.result = std::stoll(match[8].str());
    if (match[9].matched)
        read.remainder = std::stoll(match[9].str());
    return read;
}

// What is wrong with the arithmetic of an answer; empty when it is right.
std::string wrongArithmetic(const AnswerCell& cell)
{
    const auto& n = cell.numbers;
    if (cell.signs.front() == "÷") {
        const long long remainder = cell.remainder.value_or(0);
        if (n[1] == 0 || n[0] != cell.result * n[1] + remainder)
            return "quotient and remainder do not give the dividend";
        return cell.remainder && (remainder <= 0 || remainder >= std::llabs(n[1])) ? "remainder out of range" : "";
    }
    long long value = n[0];
    for (std::size_t i = 0; i < cell.signs.size(); ++i)
        value = cell.signs[i] == "＋" ? value + n[i + 1] : cell.signs[i] == "－" ? value - n[i + 1] : value * n[i + 1];
    return value == cell.result && !cell.remainder ? "" : "result is " + std::to_string(value);
}

// A problem that answers itself: an operand 0, ×1, ÷1, a－a, a÷a.
bool trivial(const AnswerCell& cell)
{
    const auto& n = cell.numbers;
    const std::string& sign = cell.signs.front();
    return std::find(n.begin(), n.end(), 0) != n.end() || ((sign == "×" || sign == "÷") && n[1] == 1) ||
           (n.size() == 2 && (sign == "－" || sign == "÷") && n[0] == n[1]);
}

using Bounds = std::optional<std::pair<long long, long long>>;

struct FormRow {
    const char* name;
    QStringList arguments;
    std::size_t count;
    std::set<int> blanks = {-1}; // the blank spots the sheet shows
    int terms = 2;
    Bounds first = {}, second = {}, result = {};
    bool noTrivial = false;
};

class ProblemForms : public ::testing::TestWithParam<FormRow> {};

// The answer sheet read back cell by cell: every answer is right, every
// question is its answer with the blank emptied, and the sheet holds the
// forms and ranges asked for.
TEST_P(ProblemForms, AnswersAreRightAndMatchTheQuestions)
{
    const auto& row = GetParam();
    QTemporaryDir folder;
    const auto finished = cli(row.arguments, folder);
    ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
    const auto questions = formCells(readBytes(folder.path(), kPair[0]));
    const auto answers = formCells(readBytes(folder.path(), kPair[1]));
    ASSERT_EQ(answers.size(), row.count);
    ASSERT_EQ(questions.size(), row.count);
    const auto within = [](long long v, const Bounds& b) { return !b || (b->first <= v && v <= b->second); };
    std::set<int> blanks;
    std::set<std::string> signs;
    bool remainders = false;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const AnswerCell cell = readAnswer(answers[i]);
        ASSERT_EQ(cell.numbers.size(), std::size_t(row.terms)) << answers[i];
        EXPECT_EQ(wrongArithmetic(cell), "") << answers[i];
        EXPECT_EQ(questions[i], cell.question);
        EXPECT_TRUE(within(cell.numbers[0], row.first) && within(cell.numbers[1], row.second)) << answers[i];
        EXPECT_TRUE(within(cell.result, row.result)) << answers[i];
        EXPECT_FALSE(row.noTrivial && trivial(cell)) << answers[i];
        blanks.insert(cell.blank);
        signs.insert(cell.signs.begin(), cell.signs.end());
        remainders = remainders || cell.remainder;
    }
    EXPECT_EQ(blanks, row.blanks);
    EXPECT_EQ(remainders, row.arguments.contains("--remainder"));
    // Chains of three are 连加, 连减 and 加减混合 alike.
    EXPECT_TRUE(row.terms == 2 || signs == std::set<std::string>({"＋", "－"}));
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, ProblemForms,
    ::testing::Values(
        FormRow{.name = "MixedBlanksNumbered", .arguments = {"--seed", "21", "--type", "all", "--largest", "20", "--count",
                                                             "60", "--numbered", "--blank", "mixed"},
                .count = 60, .blanks = {-1, 0, 1}},
        FormRow{.name = "SecondBlankDivisions",
                .arguments = {"--seed", "22", "--type", "div", "--largest", "50", "--count", "30", "--blank", "second"},
                .count = 30, .blanks = {1}},
        FormRow{.name = "ChainsOfThree",
                .arguments = {"--seed", "23", "--type", "4", "--terms", "3", "--largest", "20", "--count", "60"},
                .count = 60, .terms = 3},
        // The help's example.
        FormRow{.name = "TwoDigitPlusOneDigitWithin100",
                .arguments = {"--seed", "24", "--first", "10..99", "--second", "1..9", "--result", "0..100", "--count", "50"},
                .count = 50, .first = {{10, 99}}, .second = {{1, 9}}, .result = {{0, 100}}},
        FormRow{.name = "ResultsWithin20",
                .arguments = {"--seed", "25", "--type", "add-sub", "--largest", "50", "--result", "0..20", "--count", "60"},
                .count = 60, .result = {{0, 20}}},
        FormRow{.name = "NothingTrivialWithRemainders", .arguments = {"--seed", "26", "--type", "all", "--smallest", "0",
                                                                      "--largest", "12", "--remainder", "--no-trivial",
                                                                      "--count", "80"},
                .count = 80, .noTrivial = true}),
    [](const auto& info) { return std::string(info.param.name); });

// The column form through the whole program: the answer PDF holds, block
// by block, the problems of the answer sheet. A row of blocks reads as three
// lines: serial and first operand (a division: quotient and remainder), sign
// and second operand (divisor and dividend), result (none for a division).
TEST(ColumnForm, PdfHoldsTheAnswerSheetsProblems)
{
    QTemporaryDir folder;
    const auto finished = cli({"--type", "all", "--largest", "60", "--remainder", "--count", "9", "--per-line", "3",
                               "--numbered", "--seed", "11", "--layout", "vertical", "--pdf"},
                              folder);
    ASSERT_EQ(finished.exit, 0) << finished.err.toStdString();
    const QString sheet = QString::fromUtf8(readBytes(folder.path(), "速算答题-答案.txt"));
    std::vector<std::string> expected;
    const auto cells = cellTexts(sheet);
    ASSERT_EQ(cells.size(), 9u);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        ParsedCell p = parseCell(cells[i]);
        // A product stands with its longer factor on top.
        if (p.sign == "×" && std::to_string(std::llabs(p.right)).size() > std::to_string(std::llabs(p.left)).size())
            std::swap(p.left, p.right);
        if (i % 3 == 0)
            expected.resize(expected.size() + 3);
        std::string* line = &expected[expected.size() - 3];
        const bool division = p.sign == "÷";
        const std::string serial = cells[i].substr(0, cells[i].find(' '));
        line[0] += serial + (division ? std::to_string(p.result) +
                                            (p.hasRemainder ? "..." + std::to_string(p.remainder) : "")
                                      : std::to_string(p.left));
        line[1] += division ? std::to_string(p.right) + std::to_string(p.left) : p.sign + std::to_string(p.right);
        line[2] += division ? "" : std::to_string(p.result);
    }
    std::erase(expected, std::string());
    for (std::string& line : expected)
        line = pageSigns(QString::fromStdString(line)).toStdString();

    // The page's words line by line, top to bottom, those of a line left to
    // right, the lines with Chinese (title, page number) left out.
    std::vector<std::string> printed;
    for (const PdfPage& page : readPdfPages(QDir(folder.path()).filePath("速算答题-答案.pdf"))) {
        for (const PdfLine& line : page.lines()) {
            QString text;
            for (const PdfWord& word : line)
                text += word.text;
            if (!hasChinese(text))
                printed.push_back(text.replace("……", "...").toStdString());
        }
    }
    EXPECT_EQ(printed, expected);
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

std::set<QString> asSet(const QStringList& list)
{
    return {list.begin(), list.end()};
}

// The PDF writer is a module beside the program that only PDF runs open: a
// copy of the program without it still writes text sheets, and a PDF run
// says what is missing before it touches a file.
TEST(PdfModule, OnlyPdfRunsNeedItAndTheyStopWhenItIsMissing)
{
    QTemporaryDir program, out;
    const QString copy = QDir(program.path()).filePath("sumlark-cli");
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(SUMLARK_CLI_PATH), copy));

    const Finished text = runProgram(copy, {"--seed", "1", "--out", out.path()});
    EXPECT_EQ(text.exit, 0) << text.err.toStdString();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files, QDir::Name), QStringList({kPair[1], kPair[0]}));

    // Missing, then present but no module at all: either way nothing is written.
    for (const bool broken : {false, true}) {
        if (broken) {
            QFile module(QDir(program.path()).filePath("sumlark-pdf.so"));
            ASSERT_TRUE(module.open(QIODevice::WriteOnly) && module.write("not a module") > 0);
        }
        QTemporaryDir pdfOut;
        const Finished pdf = runProgram(copy, {"--seed", "1", "--pdf", "--out", pdfOut.path()});
        EXPECT_EQ(pdf.exit, 1);
        EXPECT_TRUE(pdf.err.contains("无法打开写 PDF 的组件 sumlark-pdf")) << pdf.err.toStdString();
        EXPECT_EQ(pdf.err.contains(QDir(program.path()).filePath("sumlark-pdf.so")), broken) << pdf.err.toStdString();
        EXPECT_TRUE(QDir(pdfOut.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

// The manual page's text with its dashes plain and its font changes gone.
QString manualText()
{
    QFile page(QString::fromUtf8(SUMLARK_PACKAGING_DIR) + "/sumlark-cli.1");
    EXPECT_TRUE(page.open(QIODevice::ReadOnly));
    return QString::fromUtf8(page.readAll()).replace("\\-", "-").remove(QRegularExpression(R"(\\f[BIRP]|\\:)"));
}

TEST(HandWritten, ManualAndCompletionNameTheOptionsOfHelp)
{
    QTemporaryDir folder;
    const auto help = optionsNamed(cli({"--help"}, folder).out);
    // --help is made from the table of choices; the three short forms are beside it.
    ASSERT_TRUE(help.contains("--type") && help.contains("-o") && help.contains("-h") && help.contains("--"));
    EXPECT_EQ(optionsNamed(manualText()), help);
    EXPECT_EQ(asSet(completions({""})), help);
    EXPECT_EQ(asSet(completions({"-"})), help);
}

class ChoiceByHand : public ::testing::TestWithParam<Choice> {};

// Each option of the table: the manual's entry shows it as --help does and
// names every spelling of its values, which are what bash offers after it.
TEST_P(ChoiceByHand, ManualAndCompletionSpellItAsTheTable)
{
    const wording::ChoiceWords& words = wording::wordsOf(GetParam());
    const auto plain = [](QString text) { return text.remove(QRegularExpression(R"(["\s])")); };
    const QString manual = manualText();
    const auto usage = QRegularExpression(R"(^\.TP\n\.B[IR]? )" + QRegularExpression::escape(QString::fromUtf8(words.option)) +
                                          R"(\b(.*)\n((?:[^.].*\n)*))", QRegularExpression::MultilineOption)
                           .match(manual);
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
    if (kind != ChoiceKind::Switch && (kind != ChoiceKind::Text || !spellings.isEmpty())) {
        EXPECT_EQ(completions({QString::fromUtf8(words.option), ""}).join(' ').toStdString(),
                  spellings.join(' ').toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ChoiceByHand, ::testing::ValuesIn([] {
                             std::vector<Choice> offered;
                             for (const wording::ChoiceWords& words : wording::choiceWords())
                                 if (!words.option.empty())
                                     offered.push_back(words.choice);
                             return offered;
                         }()),
                         [](const auto& info) {
                             std::string name(wording::wordsOf(info.param).option.substr(2));
                             std::erase(name, '-');
                             return name;
                         });

struct CompletionRow {
    const char* name;
    QStringList words;
    QStringList offered;
};

class Completion : public ::testing::TestWithParam<CompletionRow> {};

// In a folder holding the folder 二班 and the file 说明.txt.
TEST_P(Completion, Offers)
{
    const auto& row = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("二班"));
    QFile file(QDir(folder.path()).filePath("说明.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QStringList offered = row.offered;
    offered.sort();
    EXPECT_EQ(completions(row.words, folder.path()), offered);
}

INSTANTIATE_TEST_SUITE_P(
    Words, Completion,
    ::testing::Values(CompletionRow{"OptionBeginning", {"--pa"}, {"--paper"}},
                      CompletionRow{"OptionAfterAValue", {"--count", "5", "--nu"}, {"--numbered"}},
                      CompletionRow{"TypeWithEquals", {"--type", "=", "add"}, {"add", "add-sub", "add-sub-mul"}},
                      CompletionRow{"OutOffersFoldersOnly", {"--out", ""}, {"二班"}},
                      CompletionRow{"ShortOutToo", {"-o", "二"}, {"二班"}},
                      CompletionRow{"NumbersAreTyped", {"--count", ""}, {}},
                      CompletionRow{"NothingAfterTheEndOfOptions", {"--", "-"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValuesRow {
    const char* name;
    QString option;
    QStringList with; // what makes any value of the option acceptable
    int values;       // how many there are to offer
};

class OfferedValues : public ::testing::TestWithParam<ValuesRow> {};

// Every value offered after an option is one sumlark-cli accepts there.
TEST_P(OfferedValues, AreAccepted)
{
    const auto& row = GetParam();
    const QStringList offered = completions({row.option, ""});
    EXPECT_EQ(offered.size(), row.values) << offered.join(" ").toStdString();
    for (const QString& value : offered) {
        QTemporaryDir folder;
        const auto finished = cli(row.with + QStringList{"--seed", "1", "--count", "4", row.option, value}, folder);
        EXPECT_EQ(finished.exit, 0) << value.toStdString() << ": " << finished.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, OfferedValues,
    ::testing::Values(ValuesRow{"EveryProblemType", "--type", {}, kProblemTypeCount},
                      ValuesRow{"CarryRules", "--carry", {}, 2},
                      ValuesRow{"BorrowRules", "--borrow", {"--type", "sub"}, 2},
                      ValuesRow{"Papers", "--paper", {"--pdf"}, 5},
                      ValuesRow{"Blanks", "--blank", {}, 4},
                      ValuesRow{"Terms", "--terms", {"--type", "add-sub"}, 2},
                      ValuesRow{"Layouts", "--layout", {"--pdf"}, 2},
                      ValuesRow{"Encodings", "--encoding", {}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark::testing

// The problem forms on paper, read back from the PDF with pdftotext: the
// sheet's problems, in rows and in the column form, question and answer, on
// the page's own paper and on a printer's; the name line; a class's set.
// SUMLARK_KEEP_PDFS=<folder> writes the PDFs there, to be looked at.

#include "MemorySink.h"
#include "PdfFiles.h"
#include "PdfSink.h"
#include "PdfWords.h"
#include "ProblemRules.h"
#include "ScriptedServices.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace sumlark::pdf {
namespace {

SheetProblem problem(Operation operation, double left, double right, BlankSpot blank = BlankSpot::Result)
{
    SheetProblem made = SheetProblem::of({operation, left, right});
    made.blank = blank;
    return made;
}

Sheet sheetOf(std::vector<SheetProblem> problems, int perLine)
{
    return {.typeText = "加法(＋)", .smallestText = "-32768", .largestText = "32767", .numbered = true, .perLine = perLine,
            .problems = std::move(problems)};
}

using sumlark::testing::PdfLine;
using sumlark::testing::PdfWord;
using sumlark::testing::pageSigns;
using sumlark::testing::ProblemRules;

// The lines of problems on every page, top to bottom, each word left to
// right; the lines with Chinese text (title, name line, page number) are not
// problems.
std::vector<PdfLine> printedLines(const Sheet& sheet, SheetKind kind, const PageStyle& style, int* pages = nullptr)
{
    // Named after the test, in SUMLARK_KEEP_PDFS when that is set.
    const QTemporaryDir temporary;
    QFile file(qEnvironmentVariable("SUMLARK_KEEP_PDFS", temporary.path()) + "/" +
               QString(::testing::UnitTest::GetInstance()->current_test_info()->name()).replace('/', '-') +
               (kind == SheetKind::Answer ? "-answer.pdf" : "-question.pdf"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_TRUE(writeSheetPdf(file, sheet, kind, style, planPages(style, sheet), {}).ok);
    file.close();
    std::vector<PdfLine> lines;
    const auto read = sumlark::testing::readPdfPages(file.fileName());
    for (const auto& page : read) {
        for (PdfLine& line : page.lines()) {
            if (std::none_of(line.begin(), line.end(), [](const PdfWord& w) { return sumlark::testing::hasChinese(w.text); }))
                lines.push_back(std::move(line));
        }
    }
    if (pages)
        *pages = int(read.size());
    return lines;
}

std::vector<std::string> texts(const std::vector<PdfLine>& lines)
{
    std::vector<std::string> out;
    for (const PdfLine& line : lines)
        out.push_back(sumlark::testing::problemText(line).toStdString());
    return out;
}

// The text sheet's cells, a row of the grid to a line; of the problems
// first to end (a section's), or all.
std::vector<std::string> rowsExpected(const Sheet& sheet, SheetKind kind, int columns, std::size_t first = 0,
                                      std::size_t end = SIZE_MAX)
{
    std::vector<std::string> lines;
    for (std::size_t i = first; i < std::min(end, sheet.problems.size()); ++i) {
        std::string cell;
        (kind == SheetKind::Answer ? appendAnswerCell : appendQuestionCell)(cell, sheet.serialPrefix(i), sheet.problems[i]);
        std::erase(cell, ' ');
        ((i - first) % std::size_t(columns) == 0 ? lines.emplace_back() : lines.back()) +=
            pageSigns(QString::fromStdString(cell)).toStdString();
    }
    return lines;
}

// A row of blocks as a pupil reads it, line by line: the serial number
// with the first operand (a division: with the quotient and remainder on
// the answer page); the sign and second operand (the divisor and the
// dividend); the results under the rules.
std::vector<std::string> blocksExpected(const Sheet& sheet, SheetKind kind, int columns, std::size_t first = 0,
                                        std::size_t end = SIZE_MAX)
{
    const auto whole = [](double value) {
        return pageSigns(QString::number(static_cast<long long>(value))).toStdString();
    };
    std::vector<std::string> lines;
    const bool answer = kind == SheetKind::Answer;
    for (std::size_t i = first; i < std::min(end, sheet.problems.size()); ++i) {
        SheetProblem p = sheet.problems[i];
        const bool division = p.operation == Operation::Division;
        // A product stands with its longer factor on top.
        if (p.operation == Operation::Multiplication && whole(std::fabs(p.right)).size() > whole(std::fabs(p.left)).size())
            std::swap(p.left, p.right);
        if ((i - first) % std::size_t(columns) == 0)
            lines.resize(lines.size() + 3);
        std::string* line = &lines[lines.size() - 3];
        line[0] += sheet.serialPrefix(i);
        std::erase(line[0], ' ');
        if (division && answer)
            line[0] += whole(p.result) + (p.remainder != 0.0 ? "..." + whole(p.remainder) : "");
        line[0] += division ? "" : whole(p.left);
        line[1] += division ? whole(p.right) + whole(p.left)
                            : pageSigns(QString::fromUtf8(signOf(p.operation).data())).toStdString() + whole(p.right);
        line[2] += answer && !division ? whole(p.result) : "";
    }
    std::erase(lines, std::string());
    return lines;
}

// Nothing printed over anything. Words are boxed by their advance, which
// reaches past the ink: a full-width sign's by a tenth of the size beyond
// its slot, a full-width parenthesis's by half the size on its outer side.
void expectApart(const std::vector<PdfLine>& lines, const PageStyle& style)
{
    for (const PdfLine& line : lines) {
        for (std::size_t i = 1; i < line.size(); ++i) {
            const bool parenthesis = line[i - 1].text.endsWith("）") || line[i].text.startsWith("（");
            EXPECT_LE(line[i - 1].right, line[i].left + (parenthesis ? 0.55 : 0.11) * style.fontSize)
                << line[i - 1].text.toStdString() << " runs into " << line[i].text.toStdString();
        }
        for (const PdfWord& word : line)
            EXPECT_GE(word.height(), style.fontSize) << word.text.toStdString();
    }
}

using enum Operation;

// Blanks and three-number problems print as the text sheets write them, the
// blank empty on the question page and filled on the answer page; asked
// for in the column form, which cannot show them, they still print in rows.
// One long chain or blank among short sums widens every column: fewer fit
// a row, the user is told, nothing is printed over its neighbour.
TEST(RowsOfForms, PrintTheTextSheetsProblemsInColumnsWideEnough)
{
    std::vector<SheetProblem> sums(10, problem(Addition, 1, 2));
    const Sheet forms = sheetOf({problem(Addition, 7, 5, BlankSpot::Second), problem(Addition, 7, 5, BlankSpot::First),
                                 ProblemRules::chain(Addition, 12, 5, Subtraction, 3),
                                 ProblemRules::chain(Subtraction, 40, -6, Addition, -9),
                                 problem(Addition, 5, -3, BlankSpot::Second), problem(Multiplication, 12, 8, BlankSpot::First),
                                 problem(Division, 36, 4, BlankSpot::Second), problem(Division, 7, 2)},
                                3);
    std::vector<std::tuple<Sheet, PageLayout, bool>> cases = {{forms, PageLayout::Rows, false},
                                                              {forms, PageLayout::Columns, false}};
    EXPECT_EQ(planPages(PageStyle(), sheetOf(sums, 5)).columns, 5);
    for (const SheetProblem& wide :
         {ProblemRules::chain(Addition, 30000, 2000, Subtraction, 31999), problem(Addition, 30000, 2767, BlankSpot::Second)}) {
        sums[6] = wide;
        cases.emplace_back(sheetOf(sums, 5), PageLayout::Rows, true);
    }
    for (const auto& [sheet, asked, narrowed] : cases) {
        const PageStyle style{Paper::A4, 14.0, asked, {}};
        const PageGrid grid = planPages(style, sheet);
        EXPECT_EQ(grid.layout, PageLayout::Rows);
        EXPECT_TRUE(!narrowed || (grid.columns < sheet.perLine && columnsNote(grid))) << grid.columns;
        for (const SheetKind kind : {SheetKind::Question, SheetKind::Answer}) {
            const std::vector<PdfLine> lines = printedLines(sheet, kind, style);
            EXPECT_EQ(texts(lines), rowsExpected(sheet, kind, grid.columns));
            expectApart(lines, style);
        }
    }
}

// Every kind of block, negative numbers and remainders among them, on both
// pages, inside the margins, a product with its longer factor on top; the
// long division and its remainder leave no room for the four blocks a line
// asked for. In the first row (additions
// and a subtraction) the last digits of both operands and of the result
// stand one under the other, however many digits each has.
TEST(ColumnForm, BlocksHoldTheProblemsWithTheirDigitsInColumns)
{
    const Sheet sheet = sheetOf({problem(Addition, 8, 95), problem(Subtraction, -3, 12), problem(Addition, 999, 1),
                                 problem(Multiplication, 46, 27), problem(Subtraction, 305, 78), problem(Division, 87, 4),
                                 problem(Multiplication, 9, -7), problem(Division, 96, 8), problem(Division, 7, -2),
                                 problem(Division, -32768, 3), problem(Multiplication, 9, 24)},
                                4);
    const PageStyle style{Paper::A4, 14.0, PageLayout::Columns, {}};
    const PageGrid grid = planPages(style, sheet);
    ASSERT_EQ(grid.layout, PageLayout::Columns);
    EXPECT_LT(grid.columns, 4);
    EXPECT_TRUE(columnsNote(grid).has_value());
    for (const SheetKind kind : {SheetKind::Question, SheetKind::Answer}) {
        const std::vector<PdfLine> lines = printedLines(sheet, kind, style);
        EXPECT_EQ(texts(lines), blocksExpected(sheet, kind, grid.columns));
        expectApart(lines, style);
        for (const PdfLine& line : lines)
            EXPECT_LT(line.back().right, 595.0 - 56.0); // inside A4's right margin
        // A number ends where the last of its words (pdftotext may split
        // one) ends in a digit.
        std::vector<std::set<long>> ends;
        for (std::size_t i = 0; i < (kind == SheetKind::Answer ? 3u : 2u); ++i) {
            ends.emplace_back();
            for (std::size_t w = 0; w < lines[i].size(); ++w) {
                const PdfWord& word = lines[i][w];
                if (word.text.back().isDigit() &&
                    (w + 1 == lines[i].size() || lines[i][w + 1].left - word.right > 0.5 * style.fontSize))
                    ends.back().insert(std::lround(word.right * 2.0));
            }
            EXPECT_EQ(ends.back(), ends.front());
        }
        EXPECT_EQ(ends.front().size(), std::size_t(grid.columns));
    }
}

// At 14 points seven rows of four two-digit additions fill a page of A4 or
// Letter: 28 problems take one page, the 29th starts another.
TEST(ColumnForm, SevenRowsOfFourAPage)
{
    for (const auto& [paper, count, pages] : {std::tuple{Paper::A4, 28, 1}, std::tuple{Paper::A4, 29, 2},
                                              std::tuple{Paper::Letter, 29, 2}}) {
        SCOPED_TRACE(count);
        std::vector<SheetProblem> problems;
        for (int i = 0; i < count; ++i)
            problems.push_back(problem(Addition, 10 + i, 89 - i));
        const Sheet sheet = sheetOf(problems, 4);
        const PageStyle style{paper, 14.0, PageLayout::Columns, {}};
        const PageGrid grid = planPages(style, sheet);
        EXPECT_EQ(grid.columns, 4);
        EXPECT_EQ(grid.rowsPerPage, 7);
        EXPECT_EQ(pageCount(grid, sheet.problems.size()), pages);
        int printed = 0;
        EXPECT_EQ(texts(printedLines(sheet, SheetKind::Question, style, &printed)),
                  blocksExpected(sheet, SheetKind::Question, 4));
        EXPECT_EQ(printed, pages);
    }
}

// Printing on a printer's paper and margins: a PDF-format QPrinter set up
// as the print dialog leaves it, read back with pdftotext. Every word stays
// inside what the printer prints, the problems keep their size and read as
// the sheet's, and every page has its page number.
class PrinterPages : public ::testing::TestWithParam<std::tuple<Paper, int, int>> {};

TEST_P(PrinterPages, StayInsideThePrintableAreaAtTheirSize)
{
    const auto [paper, marginMm, size] = GetParam();
    // Seventy problems of all four signs, negative numbers among them.
    std::vector<SheetProblem> problems;
    for (int i = 0; i < 70; ++i) {
        const Operation operation = Operation(i % 4);
        const int left = i % 7 == 0 ? -(i % 20) : i + 3;
        problems.push_back(problem(operation, left, operation == Division ? i % 9 + 1 : 17 - i % 30));
    }
    const Sheet sheet = sheetOf(problems, 5);
    const QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("printed.pdf"));
    printer.setPageSize(pageSizeOf(paper));
    printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    const PageStyle style{paper, double(size), PageLayout::Rows, {}};
    const auto note = printSet(painter, printer, {sheet}, style);
    painter.end();
    // The size stays unless a single problem is wider than the margins
    // leave room for, which only 40 mm on B5 or A5 at 24 points makes.
    const PageGrid grid = planPages(PageStyle{paper, double(size), PageLayout::Rows, areaOf(printer.pageLayout())}, sheet);
    const bool narrow = marginMm == 40 && size == 24 && (paper == Paper::B5 || paper == Paper::A5);
    EXPECT_EQ(grid.fontSize < size, narrow);
    EXPECT_EQ(note.value_or("").starts_with("纸上放不下 24 磅的题，打印时字号改为 "), narrow);

    // However small the printer's margins, the page keeps 5 mm of its own.
    const double margin = std::max(marginMm, 5) * 72.0 / 25.4;
    const std::map<Paper, QSizeF> paperMm = {{Paper::A4, {210, 297}}, {Paper::B5, {176, 250}}, {Paper::Kai16, {185, 260}},
                                             {Paper::A5, {148, 210}}, {Paper::Letter, {215.9, 279.4}}};
    const QSizeF paperSize = paperMm.at(paper) * 72.0 / 25.4;
    const auto pages = sumlark::testing::readPdfPages(printer.outputFileName());
    ASSERT_GE(pages.size(), 2u);
    std::map<bool, QString> printed; // the problems, by whether the page is an answer page
    for (const auto& page : pages) {
        EXPECT_NEAR(page.width, paperSize.width(), 72.0 / 25.4);
        EXPECT_NEAR(page.height, paperSize.height(), 72.0 / 25.4);
        bool answers = false, numbered = false;
        for (const auto& line : page.lines()) {
            const QString text = sumlark::testing::problemText(line);
            for (const PdfWord& word : line) {
                EXPECT_GE(word.left, margin - 0.5) << word.text.toStdString();
                EXPECT_GE(word.top, margin - 0.5) << word.text.toStdString();
                EXPECT_LE(word.right, page.width - margin + 0.5) << word.text.toStdString();
                EXPECT_LE(word.bottom, page.height - margin + 0.5) << word.text.toStdString();
            }
            answers = answers || text.startsWith("口算练习答案");
            // Pages count from 1, up to the number of pages.
            const auto number = QRegularExpression("^第(\\d+)页，共(\\d+)页$").match(text);
            numbered = numbered || (number.hasMatch() && number.captured(1).toInt() >= 1 &&
                                    number.captured(1).toInt() <= number.captured(2).toInt());
            if (sumlark::testing::hasChinese(text))
                continue;
            for (const PdfWord& word : line)
                EXPECT_GE(word.height(), grid.fontSize) << word.text.toStdString();
            printed[answers] += text;
        }
        EXPECT_TRUE(numbered);
    }
    for (const bool answers : {false, true}) {
        std::string expected;
        for (const std::string& line : rowsExpected(sheet, answers ? SheetKind::Answer : SheetKind::Question, 1))
            expected += line;
        EXPECT_EQ(printed[answers].toStdString(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(PapersAndMargins, PrinterPages,
                         ::testing::Combine(::testing::Values(Paper::A4, Paper::B5, Paper::Kai16, Paper::A5, Paper::Letter),
                                            ::testing::Values(0, 15, 40), ::testing::Values(14, 24)));

// The class and the pupil's name on the name line, in one field with one
// full-width space between them where they fit, else in more fields' room
// or a line of their own: read in order, every word inside the margins, none
// over another, all above the problems, on the smallest paper at the
// largest size and under a printer's wide margins too.
TEST(NameLine, HoldsTheClassAndTheNameInsideThePageAndApart)
{
    const std::string twenty = "欧阳小明欧阳小明欧阳小明欧阳小明欧阳小明";
    const PageArea a5Margins40{419.5, 595.3, 113.4, 113.4, 113.4, 113.4};
    for (const auto& [paper, size, className, pupil, printer] :
         {std::tuple<Paper, double, std::string, std::string, std::optional<PageArea>>{Paper::A4, 14, "三年级二班", "张三", {}},
          {Paper::A4, 14, "三年级二班", "", {}}, {Paper::A4, 14, "", "欧阳小明", {}}, {Paper::A4, 8, twenty, "李四四", {}},
          {Paper::A5, 36, twenty, twenty, {}}, {Paper::A5, 36, "", twenty, {}}, {Paper::A5, 14, twenty, twenty, a5Margins40}}) {
        SCOPED_TRACE(std::to_string(size) + className + "/" + pupil);
        Sheet sheet = sheetOf(std::vector<SheetProblem>(10, problem(Addition, 1, 2)), 5);
        sheet.className = className;
        sheet.pupil = pupil;
        const PageStyle style{paper, size, PageLayout::Rows, printer};
        const QTemporaryDir folder;
        QFile file(folder.filePath("named.pdf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writeSheetPdf(file, sheet, SheetKind::Question, style, planPages(style, sheet), {}).ok);
        file.close();
        const auto pages = sumlark::testing::readPdfPages(file.fileName());
        ASSERT_FALSE(pages.empty());
        const std::vector<PdfLine> lines = pages[0].lines();
        const double margin = printer ? printer->left : 20.0 * 72.0 / 25.4;
        std::vector<PdfWord> fields; // between the title and the problems
        QString read;
        for (std::size_t i = 1; i < lines.size() && sumlark::testing::hasChinese(sumlark::testing::problemText(lines[i])); ++i) {
            for (const PdfWord& word : lines[i]) {
                EXPECT_GE(word.left, margin - 0.5) << word.text.toStdString();
                EXPECT_LE(word.right, pages[0].width - margin + 0.5) << word.text.toStdString();
                EXPECT_LT(word.bottom, lines[i + 1].front().top) << word.text.toStdString();
                for (const PdfWord& other : fields)
                    EXPECT_TRUE(word.left >= other.right - 0.1 || word.top >= other.bottom - 0.1)
                        << word.text.toStdString() << " over " << other.text.toStdString();
                fields.push_back(word);
                read += word.text;
            }
        }
        const std::string classField = className.empty() ? "" : "班级：" + className;
        EXPECT_EQ(read.toStdString(), classField + "姓名：" + pupil + "日期：用时：得分：");
        if (className == "三年级二班") { // one field: the class, a full-width space, the name
            EXPECT_NEAR(fields[1].left - fields[0].right, std::min(size, 12.0), 0.5);
        }
    }
}

// A class of three on paper printed on both sides, drawn sheet by sheet as
// a run makes them: each pupil's pages in order from an odd page, a blank
// back left where the pupil before ended on a front, the class and name on
// the name line, the sheet's number without its seed. The answers run on,
// several pupils a page, each under its number, name and seed (continued
// across pages), as its answer pages would print them. The window's export
// draws the same two PDFs, its printing both in one, the answers from an odd
// page.
TEST(ClassSet, PupilsFromOddPagesAndTheirAnswersUnderTheirHeadings)
{
    using sumlark::testing::problemText;
    const std::vector<std::string> names = {"张三", "李四四", "欧阳小明"};
    for (const auto& [count, answerPages] : {std::pair{"40", 1}, std::pair{"250", -1}}) {
        SCOPED_TRACE(count);
        sumlark::testing::ScriptedServices random;
        MemorySink kept;
        SheetSink* const sinks[] = {&kept};
        const RunRequest request{sumlark::testing::settingsFor(ProblemType::Addition, "1", "20", count), {}, 1, 2024,
                                 names, "三年级二班"};
        ASSERT_FALSE(runSheets(request, random, sinks).refusal);
        const PageStyle style{Paper::A4, 14.0, PageLayout::Rows, {}, true};
        const QTemporaryDir temporary; // or in SUMLARK_KEEP_PDFS/<count>, to be looked at
        const QDir folder(qEnvironmentVariable("SUMLARK_KEEP_PDFS", temporary.path()) + "/" + count);
        ASSERT_TRUE(folder.mkpath("."));
        std::string reason;
        auto sheetFolder = SheetFolder::open(folder.absolutePath(), reason);
        ASSERT_TRUE(sheetFolder) << reason;
        const auto set = openSetPdfs(*sheetFolder, true, style);
        for (int k = 1; k <= 3; ++k)
            set->add(kept.sheets[k - 1], k, 3);
        for (SheetPdfs::Named& pdf : set->finish().pdfs)
            ASSERT_TRUE(pdf.staged.commit().ok);
        sheetFolder.reset(); // unlocked for the export below

        // Each page as its lines' texts; the problems of each sheet in order.
        const auto read = [](const QString& path) {
            std::vector<std::vector<QString>> pages;
            for (const auto& page : sumlark::testing::readPdfPages(path)) {
                pages.emplace_back();
                for (const PdfLine& line : page.lines())
                    pages.back().push_back(problemText(line));
            }
            return pages;
        };
        const auto questions = read(folder.filePath("速算答题.pdf"));
        std::vector<std::pair<int, int>> expected, printed; // (sheet, page) of each page; (0, 0) blank
        std::map<int, std::vector<std::string>> problems;
        for (int k = 1; k <= 3; ++k) {
            if (expected.size() % 2 == 1)
                expected.emplace_back(0, 0);
            const int pages = pageCount(planPages(style, kept.sheets[k - 1]), kept.sheets[k - 1].problems.size());
            for (int page = 1; page <= pages; ++page)
                expected.emplace_back(k, page);
        }
        for (const auto& page : questions) {
            printed.emplace_back(0, 0);
            for (const QString& line : page) {
                EXPECT_FALSE(line.contains("种子"));
                if (const auto set = QRegularExpression("^第(\\d)份，共3份$").match(line); set.hasMatch())
                    printed.back().first = set.captured(1).toInt();
                else if (const auto number = QRegularExpression("^第(\\d)页，共\\d页$").match(line); number.hasMatch())
                    printed.back().second = number.captured(1).toInt();
                else if (!sumlark::testing::hasChinese(line))
                    problems[printed.back().first].push_back(line.toStdString());
                else if (line.startsWith("班级")) {
                    const std::string pupil = names.at(std::size_t(printed.back().first - 1));
                    EXPECT_TRUE(line.startsWith(QString::fromStdString("班级：三年级二班姓名：" + pupil + "日期："))) << line.toStdString();
                }
            }
        }
        EXPECT_EQ(printed, expected);
        for (int k = 1; k <= 3; ++k) {
            const Sheet& sheet = kept.sheets[k - 1];
            EXPECT_EQ(problems[k], rowsExpected(sheet, SheetKind::Question, planPages(style, sheet).columns));
        }

        const auto answers = read(folder.filePath("速算答题-答案.pdf"));
        EXPECT_TRUE(answerPages < 0 || int(answers.size()) == answerPages);
        int headings = 0;
        std::map<int, std::vector<std::string>> answered;
        int current = 0;
        for (std::size_t page = 0; page < answers.size(); ++page) {
            EXPECT_TRUE(answers[page].front().startsWith("口算练习答案"));
            EXPECT_EQ(answers[page].back(), QString("第%1页").arg(page + 1));
            for (const QString& line : answers[page]) {
                const auto heading = QRegularExpression("^第(\\d)份(.*)种子(\\d+)(（续）)?$").match(line);
                if (heading.hasMatch()) {
                    // A sheet goes on across a page only under its heading again.
                    EXPECT_EQ(heading.captured(4).isEmpty(), heading.captured(1).toInt() != current) << line.toStdString();
                    current = heading.captured(1).toInt();
                    headings += heading.captured(4).isEmpty();
                    const Sheet& sheet = kept.sheets[current - 1];
                    EXPECT_EQ(heading.captured(2).toStdString() + heading.captured(3).toStdString(),
                              sheet.pupil + std::to_string(sheet.seed));
                } else if (!sumlark::testing::hasChinese(line)) {
                    answered[current].push_back(line.toStdString());
                }
            }
        }
        EXPECT_EQ(headings, 3);
        for (int k = 1; k <= 3; ++k) {
            const Sheet& sheet = kept.sheets[k - 1];
            EXPECT_EQ(answered[k], rowsExpected(sheet, SheetKind::Answer, planPages(style, sheet).columns));
        }

        const PdfPairReport exported = writePdfPair(folder.filePath("导出"), kept.sheets, style);
        ASSERT_TRUE(exported.question.written && exported.answer.written);
        EXPECT_EQ(read(folder.filePath("导出.pdf")), questions);
        EXPECT_EQ(read(folder.filePath("导出-答案.pdf")), answers);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath("printed.pdf"));
        printer.setPageSize(pageSizeOf(Paper::A4));
        printer.setPageMargins({});
        QPainter painter;
        ASSERT_TRUE(painter.begin(&printer));
        printSet(painter, printer, kept.sheets, style);
        painter.end();
        auto both = questions;
        if (both.size() % 2 == 1)
            both.emplace_back();
        both.insert(both.end(), answers.begin(), answers.end());
        EXPECT_EQ(read(printer.outputFileName()), both);
    }
}

// A sheet of three sections, each with its own per-line count and layout
// (the second in the column form; the third asks for it with blanks, which
// it cannot show, so in rows): on the question and the answer pages each
// heading holds its problems in order, numbered through the sheet, and is
// never left at the foot of a page without its first row, however long the
// first section runs. A class's compact answers hold each pupil's sections
// under their headings.
TEST(Sections, EachUnderItsHeadingNumberedThroughOnEveryPage)
{
    using sumlark::testing::hasChinese;
    using sumlark::testing::settingsFor;
    const std::vector<std::string> headings = {"一、口算", "二、竖式", "三、填空"};
    const PageStyle style{Paper::A4, 14.0, PageLayout::Rows, {}};
    // The lines of problems under each heading, by the set's sheet ("1/二、竖式").
    const auto read = [&](const QString& path) {
        std::map<std::string, std::vector<std::string>> under;
        std::string sheet = "1/", heading;
        for (const auto& page : sumlark::testing::readPdfPages(path)) {
            const std::vector<PdfLine> lines = page.lines();
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const QString text = sumlark::testing::problemText(lines[i]);
                if (const auto set = QRegularExpression("^第(\\d)份.*种子").match(text); set.hasMatch())
                    sheet = set.captured(1).toStdString() + "/";
                else if (std::find(headings.begin(), headings.end(), text.toStdString()) != headings.end()) {
                    heading = text.toStdString();
                    EXPECT_TRUE(i + 1 < lines.size() && !hasChinese(sumlark::testing::problemText(lines[i + 1]))) << heading;
                } else if (!hasChinese(text))
                    under[sheet + heading].push_back(text.toStdString());
            }
        }
        return under;
    };
    bool movedOn = false; // a heading that would have ended a page starts the next
    for (const char* count : {"20", "76", "100"}) {
        SCOPED_TRACE(count);
        sumlark::testing::ScriptedServices random;
        MemorySink kept;
        SheetSink* const sinks[] = {&kept};
        RunRequest request{settingsFor(ProblemType::Addition, "1", "20", count, "4"), {}, 2, 7};
        request.settings.numbered = true;
        request.heading = headings[0];
        request.moreSections = {
            {headings[1], settingsFor(ProblemType::AdditionSubtraction, "10", "99", "6", "4"), {}, PageLayout::Columns},
            {headings[2], settingsFor(ProblemType::AdditionSubtraction, "0", "20", "10", "3"), {.blank = BlankChoice::Mixed},
             PageLayout::Columns}};
        ASSERT_FALSE(runSheets(request, random, sinks).refusal);
        const std::vector<PrintedSheet> printed = printedSet(kept.sheets, style);
        const PageGrid& grid = printed[0].grid;
        ASSERT_EQ(grid.sections.size(), 3u);
        EXPECT_EQ(grid.sections[1].layout, PageLayout::Columns);
        EXPECT_EQ(grid.sections[2].layout, PageLayout::Rows);
        for (std::size_t i = 1; i < grid.lines.size(); ++i)
            movedOn = movedOn || (grid.lines[i].row < 0 && grid.lines[i].page > grid.lines[i - 1].page);
        const QTemporaryDir folder;
        for (const SheetKind kind : {SheetKind::Question, SheetKind::Answer}) {
            std::map<std::string, std::vector<std::string>> expected;
            for (std::size_t sheet = 0; sheet < 2; ++sheet) {
                for (std::size_t k = 0; k < 3; ++k) {
                    const PageGrid& part = printed[sheet].grid.sections[k];
                    const std::size_t end = part.first + kept.sheets[sheet].sections[k].problems.size();
                    expected[std::to_string(sheet + 1) + "/" + headings[k]] =
                        (part.layout == PageLayout::Columns ? blocksExpected : rowsExpected)(kept.sheets[sheet], kind,
                                                                                              part.columns, part.first, end);
                }
            }
            QFile own(folder.filePath("own.pdf")), set(folder.filePath("set.pdf"));
            ASSERT_TRUE(own.open(QIODevice::WriteOnly) && set.open(QIODevice::WriteOnly));
            ASSERT_TRUE(writeSheetPdf(own, kept.sheets[0], kind, style, grid, {}).ok);
            ASSERT_TRUE(writeSetPdf(set, printed, kind, style).ok);
            own.close();
            set.close();
            auto first = read(own.fileName());
            EXPECT_EQ(first.size(), 3u);
            for (const auto& [heading, lines] : first)
                EXPECT_EQ(lines, expected[heading]) << heading;
            if (kind == SheetKind::Answer)
                EXPECT_EQ(read(set.fileName()), expected);
        }
    }
    EXPECT_TRUE(movedOn);
}

} // namespace
} // namespace sumlark::pdf

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Printing on a printer's paper and margins: a PDF-format QPrinter set up
// as the print dialog leaves it, read back with pdftotext. Every word stays
// inside what the printer prints, the problems keep their size and read as
// the sheet's, and every page has its page number.

#include "PdfWords.h"
#include "SheetPdf.h"

#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

namespace sumlark::pdf {
namespace {

using testing::PdfWord;

Sheet mixedSheet()
{
    Sheet sheet;
    sheet.typeText = "四则混合";
    sheet.smallestText = "-20";
    sheet.largestText = "100";
    sheet.numbered = true;
    sheet.perLine = 5;
    const Operation operations[] = {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                                    Operation::Division};
    for (int i = 0; i < 70; ++i) {
        const Operation operation = operations[i % 4];
        sheet.problems.push_back(SheetProblem::of(
            {operation, double(i % 7 == 0 ? -(i % 20) : i + 3), double(operation == Operation::Division ? i % 9 + 1 : 17 - i % 30)}));
    }
    return sheet;
}

// The problems of a kind as one text, in the page's characters.
QString expectedProblems(const Sheet& sheet, SheetKind kind)
{
    std::string cells;
    for (std::size_t i = 0; i < sheet.problems.size(); ++i)
        (kind == SheetKind::Answer ? appendAnswerCell : appendQuestionCell)(cells, sheet.serialPrefix(i), sheet.problems[i]);
    return testing::pageSigns(QString::fromStdString(cells).remove(' '));
}

class PrinterPages : public ::testing::TestWithParam<std::tuple<Paper, int, int>> {};

TEST_P(PrinterPages, StayInsideThePrintableAreaAtTheirSize)
{
    const auto [paper, marginMm, size] = GetParam();
    const Sheet sheet = mixedSheet();
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
    const auto pages = testing::readPdfPages(printer.outputFileName());
    ASSERT_GE(pages.size(), 2u);
    std::map<bool, QString> problems; // by whether the page is an answer page
    for (const auto& page : pages) {
        EXPECT_NEAR(page.width, paperSize.width(), 72.0 / 25.4);
        EXPECT_NEAR(page.height, paperSize.height(), 72.0 / 25.4);
        bool answers = false, numbered = false;
        for (const auto& line : page.lines()) {
            const QString text = testing::problemText(line);
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
            if (testing::hasChinese(text))
                continue;
            for (const PdfWord& word : line)
                EXPECT_GE(word.height(), grid.fontSize) << word.text.toStdString();
            problems[answers] += text;
        }
        EXPECT_TRUE(numbered);
    }
    for (const bool answers : {false, true})
        EXPECT_EQ(problems[answers], expectedProblems(sheet, answers ? SheetKind::Answer : SheetKind::Question));
}

INSTANTIATE_TEST_SUITE_P(PapersAndMargins, PrinterPages,
                         ::testing::Combine(::testing::Values(Paper::A4, Paper::B5, Paper::Kai16, Paper::A5, Paper::Letter),
                                            ::testing::Values(0, 15, 40), ::testing::Values(14, 24)));

} // namespace
} // namespace sumlark::pdf

#pragma once

// A sheet on paper, ready to print as it is: a plain title, a line for
// class and name, date, time and score on the question pages, a class set's
// sheet number on every page (its seed on the answer pages), the problems on
// a fixed grid (within a column every "=" stands under the one above, the
// left part right-aligned against it, + − × ÷ = from one typeface at one
// size), the answers where their problems are, and page numbers. In the column form each problem is a
// block as a pupil writes it: operands above a rule, or the long division's
// bracket. Drawn through a QPainter on any paged device: a PDF writer here, a
// printer as well, laid out for its paper and inside its margins. Everything
// here needs a QGuiApplication.

#include "Choices.h"
#include "PageChoices.h"
#include "Sheet.h"
#include "SheetLayout.h"
#include "TwoSteps.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPageLayout;
class QPageSize;
class QPagedPaintDevice;
class QPainter;
class QPdfWriter;

namespace sumlark::pdf {

// A sheet of paper and the margins a printer leaves blank on it, in points.
struct PageArea {
    double width = 0.0;
    double height = 0.0;
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    friend bool operator==(const PageArea&, const PageArea&) = default;
};

using sumlark::PageLayout;
using sumlark::Paper;

// The choices, and the paper and margins of the printer they go to.
struct PageStyle {
    Paper paper = static_cast<Paper>(initialOf(Choice::Paper));
    // Points, within the choice's limits; the problems are never printed smaller.
    double fontSize = static_cast<double>(initialOf(Choice::FontSize));
    PageLayout layout = static_cast<PageLayout>(initialOf(Choice::Layout));
    // The paper and margins a printer holds; none: the paper above with no
    // margins of its own, as in a PDF.
    std::optional<PageArea> printer;

    // Each sheet of a set from an odd page, for paper printed on both sides.
    bool duplex = initialOf(Choice::Duplex) != 0;

    static PageStyle of(const PageChoices& chosen)
    {
        return {chosen.paper, chosen.fontSize, chosen.layout, {}, chosen.duplex};
    }
    friend bool operator==(const PageStyle&, const PageStyle&) = default;
};

// Which sheet of a class set a sheet is; a single sheet has none.
struct SetPosition {
    int number = 1;
    int count = 1;
};

// The column form's blocks. Every character of a number stands in a cell
// of one width, right-aligned, so that the digits of a place stand one under
// the other and a pupil's digits go under the printed ones.
struct ColumnBlocks {
    double cellWidth = 0.0;
    int numberCells = 0;   // the longest operand or result of +, - and x
    int divisorCells = 0;
    int dividendCells = 0; // or the quotient's, when that is longer
    double remainderWidth = 0.0; // "……2" after a quotient; 0 when no division leaves one
    int workLines = 1;     // lines under the rule (under the dividend) for the answer and the working
};

// A field of the name line as placed, in points from the content's left
// edge: its text, and the writing line after the label (a pupil's name
// stands on it; the class alone has none).
struct NameField {
    std::string text;
    int line = 0;          // of the name line's lines, from 0
    double x = 0.0;
    double lineFrom = -1.0; // where the writing line starts; below 0: none
    double end = 0.0;
    double size = 0.0; // smaller than the line's only where the field is wider than a line
};

// A line of a sheet of sections on paper: a section's heading, or a row of
// its grid, where it stands on its page (in a set's compact answers: below
// the sheet's own heading there).
struct SectionLine {
    int section = 0;
    int row = -1; // -1: the section's heading
    int page = 0;
    double top = 0.0; // points
    double height = 0.0;
};

// Where the problems of a sheet go, the same on its question and answer
// pages, in points.
struct PageGrid {
    // As drawn: a sheet the column form cannot show (blanks, three numbers)
    // is drawn in rows whatever the style asks.
    PageLayout layout = PageLayout::Rows;
    // The problems' size; smaller than asked only when a single problem is
    // wider than what the printer prints.
    double fontSize = 14.0;
    double requestedFontSize = 14.0;
    bool fits = true;
    int requestedColumns = 1; // the per-line count asked for (0 asks for 1)
    int columns = 1;          // fewer when a row of them does not fit the width
    int rowsPerPage = 1;
    double prefixWidth = 0.0;     // the serial prefix
    // Rows: everything before "=" (the numbers, their signs, blanks), "=",
    // and after it the room for the widest answer.
    double expressionWidth = 0.0;
    double blankWidth = 0.0; // an operand left blank, its parentheses included
    double equalsWidth = 0.0;
    double answerWidth = 0.0;
    ColumnBlocks blocks; // the column form
    double columnWidth = 0.0;
    // The name line, "班级：三年级二班　姓名：张三", 日期, 用时, 得分: as many
    // fields a line as keep their blanks; a long class or name takes more
    // than one field's room, or a line of its own.
    std::vector<NameField> nameFields;
    int nameLines = 1;
    // A sheet of sections: each section's own grid (its per-line count and
    // layout; the page-wide fields above are the sheet's), the section's
    // problems from first in the sheet's order, and the headings and rows
    // as they flow down the pages. Both empty for a sheet of one.
    std::vector<PageGrid> sections;
    std::size_t first = 0;
    std::vector<SectionLine> lines;
};

PageGrid planPages(const PageStyle& style, const Sheet& sheet);
int pageCount(const PageGrid& grid, std::size_t problems);

// What a user is told when the page takes fewer problems a row than asked:
// "每行放不下 8 题，PDF 每行改为 6 题" (for each section that does, "第 2 段：" before it);
// nothing when the row fits.
std::optional<std::string> columnsNote(const PageGrid& grid);
// The same for the printed pages: "每行放不下 8 题，打印时每行改为 6 题".
std::optional<std::string> printColumnsNote(const PageGrid& grid);

// The paper and margins of a device's page layout.
PageArea areaOf(const QPageLayout& layout);

// The pages of one kind of the sheet, from the current page of device on.
void drawSheetPages(QPainter& painter, QPagedPaintDevice& device, const Sheet& sheet, SheetKind kind,
                    const PageStyle& style, const PageGrid& grid, const SetPosition& set);

// The paper of a style with no margins: the pages draw their own.
QPageLayout pageLayout(const PageStyle& style);
QPageSize pageSizeOf(Paper paper);
// A PDF writer at the drawing's resolution on the style's paper.
void setUpPdfWriter(QPdfWriter& writer, const PageStyle& style);
// Why no page can be drawn: no face on the system covers Chinese; none when one does.
std::optional<std::string> missingFont();

// One sheet of a class set on its way to paper.
struct PrintedSheet {
    const Sheet* sheet = nullptr;
    SetPosition set;
    PageGrid grid;
};

// A set's answers, several sheets a page (SetPages.h). Each sheet's block
// is a heading, "第 3 份　张三　种子 1234567890", and its answers in the rows
// and columns of its answer pages, a row closer to the next; a sheet of
// sections has each section's heading over its rows.
struct AnswerBlock {
    double heading = 0.0; // heights in points
    double row = 0.0;
    int rows = 0; // lines, headings of sections included
    double gap = 0.0; // after the block
    std::vector<SectionLine> lines; // a sheet of sections: tops below the heading

    // The heading and lines first to end.
    double height(int first, int end) const;
    // How many lines from first fit in room under the heading: at least
    // one row however large the size, a section's heading never last.
    int fitting(int first, double room) const;
};
AnswerBlock answerBlockOf(const PrintedSheet& sheet);
std::string answerHeading(const Sheet& sheet, const SetPosition& set);
// Where the blocks of a page of answers go, between top and bottom.
struct AnswerRoom {
    double top = 0.0;
    double bottom = 0.0;
};
AnswerRoom answerRoom(const PageStyle& style);
// A page of a set's answers: its title and its number, "第 2 页".
void drawAnswerPage(QPainter& painter, QPagedPaintDevice& device, const PrintedSheet& sheet, const PageStyle& style,
                    int page);
// The heading at top ("（续）" after it past the first line) and the lines
// first to end of a sheet's answers under it.
void drawAnswerRows(QPainter& painter, QPagedPaintDevice& device, const PrintedSheet& sheet, const PageStyle& style,
                    const AnswerBlock& block, int first, int end, double top);

// The PDF beside a text sheet: the same name ending in ".pdf".
std::string pdfPathFor(std::string_view textPath);

// The title of the question pages, "口算练习　加法(＋)　1 到 10　110 题", or of
// the answer pages, which begins "口算练习答案".
std::string pageTitle(const Sheet& sheet, SheetKind kind);
// The class set's line, "第 3 份，共 30 份" on a pupil's pages, with
// " · 种子 1234567" on the answer pages; empty for a single sheet.
std::string setLine(const Sheet& sheet, const SetPosition& set, SheetKind kind);

// The parts of one problem as the page prints them in a row: a negative
// operand after a sign in parentheses ("5－(-3)="), a remainder as "3……1".
// An operand at the blank holds the number the pupil writes there. A
// comparison prints a circle where "=" stands and its other side after it.
struct PrintedProblem {
    std::string prefix;
    std::string left;
    std::string sign;
    std::string right;
    std::string thenSign; // of three numbers; empty for two
    std::string third;
    std::optional<InnerSide> brackets; // around left and right, or right and third
    std::string answer; // the result; of a comparison, its other side's first number
    BlankSpot blank = BlankSpot::Result;
    // Of a comparison: the sign that fills its circle on the answer pages,
    // and the other side's sign and second number when it is an expression.
    std::string relation;
    std::string otherSign;
    std::string otherRight;
};
PrintedProblem printedProblem(const Sheet& sheet, std::size_t index);

} // namespace sumlark::pdf

#include "SheetPdf.h"

#include "SheetLayout.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace sumlark::pdf {
namespace {

// Lengths are worked out in points and drawn in device units.
constexpr int kResolution = 1200;
constexpr double kUnitsPerPoint = kResolution / 72.0;
constexpr double kPointsPerMm = 72.0 / 25.4;

constexpr double kSideMargin = 20.0 * kPointsPerMm;
constexpr double kTopMargin = 15.0 * kPointsPerMm;
constexpr double kBottomMargin = 15.0 * kPointsPerMm;
constexpr double kPageNumberBaseline = 8.0 * kPointsPerMm; // from the bottom edge

// Heights as multiples of the font size.
constexpr double kTitleScale = 1.25;
constexpr double kTitleBlock = 1.6 * kTitleScale;
constexpr double kNameBlock = 2.4;
// A row holds the problem and room below and beside it for a pupil's
// handwriting; at 14 points 22 rows fit A4 under the title and name line.
constexpr double kRowPitch = 2.2;
// Space after the widest answer, before the next column; the columns spread
// over the width, so it is the least gap.
constexpr double kColumnGap = 0.6;
// Every sign is centred in a box this wide: the full-width plus and minus
// carry their own side bearings and the narrow times and divided-by do not,
// so centring is what makes them look alike.
constexpr double kSignSlot = 0.8;
// Room on either side of "=".
constexpr double kEqualsPadding = 0.1;
// A blank operand's room between its parentheses: enough for a child's
// handwriting of two digits, and more than the widest number that goes in.
constexpr double kBlankRoom = 1.8;
constexpr double kBlankPadding = 0.8;
// The full-width parentheses are placed by their ink, not their advance,
// which is mostly empty on the outer side; this much is kept outside.
constexpr double kBlankEdge = 0.15;

// The column form. A cell is wider than a printed digit: handwriting is
// larger than print. Lines are a pupil's writing lines.
constexpr double kCellWidth = 0.8;
constexpr double kLineHeight = 1.5;
// The first baseline of a block under the room left for carried digits
// (or, in a division, where the quotient goes).
constexpr double kFirstBaseline = 1.5;
// The rule under the second operand and the foot of the division bracket,
// below the baseline of the second line.
constexpr double kRuleDrop = 0.45;
// The first line of working below the rule.
constexpr double kFirstWorkBaseline = 1.1;
// Beyond the last line of working, before the next row of blocks; at 14
// points seven rows of additions fit A4 and Letter under the name line.
constexpr double kBlockGap = 1.5;
constexpr double kBlockColumnGap = 1.0;
// Between a sign and the digits after it.
constexpr double kSignGap = 0.2;
// The rule reaches a little beyond the last digit.
constexpr double kRuleOverhang = 0.2;
// Between the divisor and the dividend: the bracket's curve stands in it.
constexpr double kBracketWidth = 0.55;
constexpr double kBracketInset = 0.15; // from the divisor to the curve's top
constexpr double kBracketDrop = 0.35; // the bracket's line under the quotient's baseline
constexpr double kRemainderGap = 0.3;
constexpr double kStrokeWidth = 0.8; // points

QPageSize pageSize(Paper paper)
{
    return QPageSize(paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4);
}

QSizeF pagePoints(Paper paper)
{
    return pageSize(paper).size(QPageSize::Point);
}

QString chineseFamily()
{
    static const QString family = [] {
        const QStringList available = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        // Families made for screen and print text first; any other one that
        // covers Simplified Chinese after them.
        for (const char* preferred : {"Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei",
                                      "Microsoft YaHei", "PingFang SC", "Hiragino Sans GB", "SimSun",
                                      "Noto Serif CJK SC", "AR PL UMing CN", "Droid Sans Fallback"}) {
            if (available.contains(QString::fromLatin1(preferred)))
                return QString::fromLatin1(preferred);
        }
        return available.isEmpty() ? QString() : available.front();
    }();
    return family;
}

QFont sheetFont(double points, bool bold = false)
{
    QFont font(chineseFamily());
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// Widths in points at a size, measured on a PDF device at the drawing
// resolution. Digits are equally wide in text fonts, so texts of one shape
// (digits as 0) are measured once.
class Measure {
public:
    explicit Measure(double points) : device_(&scratch_)
    {
        device_.setResolution(kResolution);
        metrics_.emplace(sheetFont(points), &device_);
    }

    double width(const std::string& text)
    {
        std::string shape = text;
        for (char& c : shape)
            c = c >= '0' && c <= '9' ? '0' : c;
        const auto known = widths_.find(shape);
        if (known != widths_.end())
            return known->second;
        const double width = metrics_->horizontalAdvance(QString::fromStdString(shape)) / kUnitsPerPoint;
        widths_.emplace(shape, width);
        return width;
    }

    // The width of a character's ink.
    double inkWidth(const char* character) const
    {
        return metrics_->boundingRect(QString::fromUtf8(character)).width() / kUnitsPerPoint;
    }

private:
    QBuffer scratch_;
    QPdfWriter device_;
    std::optional<QFontMetricsF> metrics_;
    std::map<std::string, double> widths_;
};

std::string wholeText(double value)
{
    std::string text;
    appendWhole(text, value);
    return text;
}

// The characters a number takes in the column form, its sign included.
int cellsOf(double value)
{
    return static_cast<int>(wholeText(value).size());
}

int digitsOf(double value)
{
    return cellsOf(std::fabs(value));
}

// Whether every problem can stand in the column form: two numbers and the
// blank after "=". The front ends ask for nothing else with it; a sheet that
// still holds such problems is printed in rows rather than misdrawn.
bool columnFormShows(const Sheet& sheet)
{
    return std::all_of(sheet.problems.begin(), sheet.problems.end(), [](const SheetProblem& problem) {
        return problem.terms == 2 && problem.blank == BlankSpot::Result;
    });
}

std::string remainderText(double remainder)
{
    return "……" + wholeText(remainder);
}

double blockBase(double size)
{
    return (kFirstBaseline + kLineHeight + kRuleDrop) * size;
}

double blockHeight(double size, int workLines)
{
    return blockBase(size) + (workLines * kLineHeight + kBlockGap) * size;
}

double rowsTop(const PageStyle& style)
{
    return kTopMargin + style.fontSize * kTitleBlock + style.fontSize * kNameBlock;
}

double rowsHeight(const PageStyle& style)
{
    return pagePoints(style.paper).height() - kBottomMargin - rowsTop(style);
}

class PageDrawer {
public:
    PageDrawer(QPainter& painter, const Sheet& sheet, SheetKind kind, const PageStyle& style, const PageGrid& grid,
               const SetPosition& set)
        : painter_(painter), sheet_(sheet), kind_(kind), style_(style), grid_(grid), set_(set),
          page_(pagePoints(style.paper)), unitsPerPoint_(painter.device()->logicalDpiX() / 72.0)
    {
    }

    void draw(int page, int pages)
    {
        drawTitle();
        drawSetLine();
        if (kind_ == SheetKind::Question)
            drawNameLine();
        drawProblems(page);
        drawPageNumber(page, pages);
    }

private:
    QPointF at(double x, double y) const { return {x * unitsPerPoint_, y * unitsPerPoint_}; }

    double textWidth(const QString& text) const
    {
        return painter_.fontMetrics().horizontalAdvance(text) / unitsPerPoint_;
    }

    // A glyph's ink from its origin on the baseline, in points.
    QRectF ink(const QString& character) const
    {
        const QRectF box = QFontMetricsF(painter_.font(), painter_.device()).boundingRect(character);
        return {box.x() / unitsPerPoint_, box.y() / unitsPerPoint_, box.width() / unitsPerPoint_,
                box.height() / unitsPerPoint_};
    }

    void drawText(double x, double baseline, const std::string& text)
    {
        painter_.drawText(at(x, baseline), QString::fromStdString(text));
    }

    void drawCentred(const QString& text, double baseline)
    {
        painter_.drawText(at((page_.width() - textWidth(text)) / 2.0, baseline), text);
    }

    void drawTitle()
    {
        const QString title = QString::fromStdString(pageTitle(sheet_, kind_));
        double size = style_.fontSize * kTitleScale;
        painter_.setFont(sheetFont(size, true));
        // A long type text at a large size would run off the paper.
        const double room = page_.width() - 2.0 * kSideMargin;
        if (const double width = textWidth(title); width > room) {
            size *= room / width;
            painter_.setFont(sheetFont(size, true));
        }
        drawCentred(title, kTopMargin + style_.fontSize * kTitleScale * 1.1);
    }

    void drawSetLine()
    {
        const std::string line = setLine(sheet_, set_);
        if (line.empty())
            return;
        painter_.setFont(sheetFont(std::max(8.0, style_.fontSize * 0.7)));
        const QString text = QString::fromStdString(line);
        painter_.drawText(at(page_.width() - kSideMargin - textWidth(text), kTopMargin * 0.6), text);
    }

    void drawNameLine()
    {
        const double size = style_.fontSize;
        painter_.setFont(sheetFont(size));
        const double baseline = kTopMargin + size * kTitleBlock + size * 1.5;
        const double fieldWidth = (page_.width() - 2.0 * kSideMargin) / 4.0;
        QPen pen(Qt::black);
        pen.setWidthF(0.6 * unitsPerPoint_);
        painter_.setPen(pen);
        int field = 0;
        for (const char* label : {"姓名：", "日期：", "用时：", "得分："}) {
            const QString text = QString::fromUtf8(label);
            const double x = kSideMargin + field * fieldWidth;
            painter_.drawText(at(x, baseline), text);
            const double lineFrom = x + textWidth(text);
            const double lineTo = x + fieldWidth - size * 0.8;
            painter_.drawLine(at(lineFrom, baseline + 2.0), at(lineTo, baseline + 2.0));
            ++field;
        }
    }

    void drawProblems(int page)
    {
        painter_.setFont(sheetFont(style_.fontSize));
        const double pitchX = (page_.width() - 2.0 * kSideMargin) / grid_.columns;
        const double pitchY = rowsHeight(style_) / grid_.rowsPerPage;
        const std::size_t perPage = std::size_t(grid_.columns) * std::size_t(grid_.rowsPerPage);
        const std::size_t first = std::size_t(page) * perPage;
        const std::size_t end = std::min(sheet_.problems.size(), first + perPage);
        for (std::size_t i = first; i < end; ++i) {
            const auto row = static_cast<int>((i - first) / std::size_t(grid_.columns));
            const auto column = static_cast<int>((i - first) % std::size_t(grid_.columns));
            const double x = kSideMargin + column * pitchX;
            const double top = rowsTop(style_) + row * pitchY;
            if (grid_.layout == PageLayout::Columns)
                drawBlock(i, x, top);
            else
                drawRow(printedProblem(sheet_, i), x, top + pitchY * 0.5 + style_.fontSize * 0.35);
        }
    }

    void drawRow(const PrintedProblem& problem, double x, double baseline)
    {
        drawText(x, baseline, problem.prefix);
        // Right to left from the "=": the last operand, its sign, and so on.
        const double equals = x + grid_.prefixWidth + grid_.expressionWidth;
        double left = equals;
        if (!problem.third.empty()) {
            left = drawOperandBefore(left, baseline, problem.third, false);
            left = drawSignBefore(left, baseline, problem.thenSign);
        }
        left = drawOperandBefore(left, baseline, problem.right, problem.blank == BlankSpot::Second);
        left = drawSignBefore(left, baseline, problem.sign);
        drawOperandBefore(left, baseline, problem.left, problem.blank == BlankSpot::First);
        drawText(equals + kEqualsPadding * style_.fontSize, baseline, "=");
        // A blank operand's result is given; the pupil finds the operand.
        if (kind_ == SheetKind::Answer || problem.blank != BlankSpot::Result)
            drawText(equals + grid_.equalsWidth, baseline, problem.answer);
    }

    // Draws an operand ending at end; returns where it begins. A blank is
    // the grid's blank width with its parentheses at both ends, filled on
    // the answer pages, so that both pages keep every sign in place.
    double drawOperandBefore(double end, double baseline, const std::string& text, bool blank)
    {
        const QString number = QString::fromStdString(text);
        if (!blank) {
            const double start = end - textWidth(number);
            painter_.drawText(at(start, baseline), number);
            return start;
        }
        const double start = end - grid_.blankWidth;
        const double edge = kBlankEdge * style_.fontSize;
        const QRectF open = ink(QStringLiteral("（"));
        const QRectF close = ink(QStringLiteral("）"));
        const double inside = start + edge + open.width();
        const double outside = end - edge - close.width();
        painter_.drawText(at(inside - open.right(), baseline), QStringLiteral("（"));
        painter_.drawText(at(outside - close.left(), baseline), QStringLiteral("）"));
        if (kind_ == SheetKind::Answer)
            painter_.drawText(at(inside + (outside - inside - textWidth(number)) / 2.0, baseline), number);
        return start;
    }

    double drawSignBefore(double end, double baseline, const std::string& text)
    {
        const double slot = kSignSlot * style_.fontSize;
        const QString sign = QString::fromStdString(text);
        painter_.drawText(at(end - slot + (slot - textWidth(sign)) / 2.0, baseline), sign);
        return end - slot;
    }

    // A problem in the column form, its block's top left at x, top.
    void drawBlock(std::size_t index, double x, double top)
    {
        const double size = style_.fontSize;
        const SheetProblem& problem = sheet_.problems[index];
        const double first = top + kFirstBaseline * size;
        drawText(x, first, sheet_.serialPrefix(index));
        const double form = x + grid_.prefixWidth;
        if (problem.operation == Operation::Division)
            drawDivisionBlock(problem, form, first);
        else
            drawStackedBlock(problem, form, first);
    }

    // The operands one above the other, the sign left of the second, the
    // rule under it and the result under the rule.
    void drawStackedBlock(const SheetProblem& problem, double x, double first)
    {
        const double size = style_.fontSize;
        const double second = first + kLineHeight * size;
        const double slot = kSignSlot * size;
        const double cell = grid_.blocks.cellWidth;
        const double end = x + slot + kSignGap * size + grid_.blocks.numberCells * cell;
        drawCells(end, first, wholeText(problem.left));
        drawCells(end, second, wholeText(problem.right));
        // The sign stands just left of the longer operand, as a pupil puts
        // it; a carry out of the top place goes under it. The rule covers
        // the sign and every digit of the result.
        const double operands = std::max(cellsOf(problem.left), cellsOf(problem.right)) * cell;
        const double signStart = end - operands - kSignGap * size - slot;
        const QString sign = QString::fromStdString(std::string(signOf(problem.operation)));
        painter_.drawText(at(signStart + (slot - textWidth(sign)) / 2.0, second), sign);
        const double rule = second + kRuleDrop * size;
        const double ruleStart = std::min(signStart, end - cellsOf(problem.result) * cell);
        painter_.setPen(strokePen());
        painter_.drawLine(at(ruleStart, rule), at(end + kRuleOverhang * size, rule));
        if (kind_ == SheetKind::Answer)
            drawCells(end, rule + kFirstWorkBaseline * size, wholeText(problem.result));
    }

    // The long division: the divisor left of the bracket, the dividend under
    // its top line, the quotient over the dividend's last digits and the
    // remainder after it.
    void drawDivisionBlock(const SheetProblem& problem, double x, double first)
    {
        const double size = style_.fontSize;
        const ColumnBlocks& blocks = grid_.blocks;
        const double second = first + kLineHeight * size;
        // The divisors of a sheet end in one place; each dividend (or its
        // quotient, when that is longer) starts right after its bracket.
        const double divisorEnd = x + blocks.divisorCells * blocks.cellWidth;
        const int cells = std::max(cellsOf(problem.left), cellsOf(problem.result));
        const double end = divisorEnd + kBracketWidth * size + cells * blocks.cellWidth;
        drawCells(divisorEnd, second, wholeText(problem.right));
        drawCells(end, second, wholeText(problem.left));
        // The bracket: a line between the quotient and the dividend and,
        // from its left end, a stroke that bows to the right on its way down
        // past the dividend.
        const double line = first + kBracketDrop * size;
        const double foot = second + kRuleDrop * size;
        const double corner = divisorEnd + kBracketInset * size;
        const double bow = 0.3 * size;
        QPainterPath bracket(at(end + kRuleOverhang * size, line));
        bracket.lineTo(at(corner, line));
        bracket.cubicTo(at(corner + bow, line + (foot - line) * 0.3), at(corner + bow, line + (foot - line) * 0.75),
                        at(corner - 0.05 * size, foot));
        painter_.setPen(strokePen());
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPath(bracket);
        if (kind_ == SheetKind::Answer) {
            drawCells(end, first, wholeText(problem.result));
            if (problem.remainder != 0.0)
                drawText(end + kRemainderGap * size, first, remainderText(problem.remainder));
        }
    }

    // A number right-aligned on cells ending at end: each digit centred in
    // its cell, a minus sign against the digit after it.
    void drawCells(double end, double baseline, const std::string& text)
    {
        const double cell = grid_.blocks.cellWidth;
        double cellStart = end - cell * static_cast<double>(text.size());
        for (const char c : text) {
            const QString character(QChar::fromLatin1(c));
            const double width = textWidth(character);
            const double x = c == '-' ? cellStart + cell - width : cellStart + (cell - width) / 2.0;
            painter_.drawText(at(x, baseline), character);
            cellStart += cell;
        }
    }

    QPen strokePen() const
    {
        QPen pen(Qt::black);
        pen.setWidthF(kStrokeWidth * unitsPerPoint_);
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    }

    void drawPageNumber(int page, int pages)
    {
        painter_.setFont(sheetFont(std::max(8.0, style_.fontSize * 0.75)));
        drawCentred(QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(pages), page_.height() - kPageNumberBaseline);
    }

    QPainter& painter_;
    const Sheet& sheet_;
    SheetKind kind_;
    const PageStyle& style_;
    const PageGrid& grid_;
    const SetPosition& set_;
    QSizeF page_;
    double unitsPerPoint_;
};

// A negative number after a sign reads as one sign too many without them;
// in a blank it stands alone between the blank's own parentheses.
std::string operandAfterSign(double value, bool blank)
{
    std::string text = wholeText(value);
    return value < 0 && !blank ? "(" + text + ")" : text;
}

void planRows(const PageStyle& style, const Sheet& sheet, Measure& measure, PageGrid& grid)
{
    const double size = style.fontSize;
    const double slot = kSignSlot * size;
    // One blank width for the whole sheet: the signs of a column stay in
    // place between the question and the answer pages.
    double widestBlank = -1.0;
    for (const SheetProblem& problem : sheet.problems) {
        if (problem.blank != BlankSpot::Result)
            widestBlank = std::max(widestBlank, measure.width(wholeText(problem.valueAt(problem.blank))));
    }
    if (widestBlank >= 0.0)
        grid.blankWidth = 2.0 * kBlankEdge * size + measure.inkWidth("（") + measure.inkWidth("）") +
                          std::max(kBlankRoom * size, widestBlank + kBlankPadding * size);
    const auto operandWidth = [&](const std::string& text, bool blank) {
        return blank ? grid.blankWidth : measure.width(text);
    };
    for (std::size_t i = 0; i < sheet.problems.size(); ++i) {
        const PrintedProblem problem = printedProblem(sheet, i);
        grid.prefixWidth = std::max(grid.prefixWidth, measure.width(problem.prefix));
        double expression = operandWidth(problem.left, problem.blank == BlankSpot::First) + slot +
                            operandWidth(problem.right, problem.blank == BlankSpot::Second);
        if (!problem.third.empty())
            expression += slot + measure.width(problem.third);
        grid.expressionWidth = std::max(grid.expressionWidth, expression);
        grid.answerWidth = std::max(grid.answerWidth, measure.width(problem.answer));
    }
    grid.equalsWidth = measure.width("=") + 2.0 * kEqualsPadding * size;
    grid.columnWidth = grid.prefixWidth + grid.expressionWidth + grid.equalsWidth + grid.answerWidth + kColumnGap * size;
    grid.rowsPerPage = std::max(1, static_cast<int>(std::floor(rowsHeight(style) / (size * kRowPitch))));
}

void planColumns(const PageStyle& style, const Sheet& sheet, Measure& measure, PageGrid& grid)
{
    const double size = style.fontSize;
    ColumnBlocks& blocks = grid.blocks;
    bool stacked = false;
    bool division = false;
    for (std::size_t i = 0; i < sheet.problems.size(); ++i) {
        const SheetProblem& problem = sheet.problems[i];
        grid.prefixWidth = std::max(grid.prefixWidth, measure.width(sheet.serialPrefix(i)));
        if (problem.operation == Operation::Division) {
            division = true;
            blocks.divisorCells = std::max(blocks.divisorCells, cellsOf(problem.right));
            blocks.dividendCells = std::max({blocks.dividendCells, cellsOf(problem.left), cellsOf(problem.result)});
            if (problem.remainder != 0.0)
                blocks.remainderWidth =
                    std::max(blocks.remainderWidth, measure.width(remainderText(problem.remainder)));
            // A product and a difference for every digit of the quotient.
            blocks.workLines = std::max(blocks.workLines, 2 * digitsOf(problem.result));
            continue;
        }
        stacked = true;
        blocks.numberCells =
            std::max({blocks.numberCells, cellsOf(problem.left), cellsOf(problem.right), cellsOf(problem.result)});
        // A multiplier of several digits: a partial product for each, a
        // second rule and their sum.
        if (problem.operation == Operation::Multiplication && digitsOf(problem.right) > 1)
            blocks.workLines = std::max(blocks.workLines, digitsOf(problem.right) + 1);
    }
    // A block never runs past the foot of the page: a long division at a
    // large size keeps what working room there is.
    const double room = rowsHeight(style);
    while (blocks.workLines > 1 && blockHeight(size, blocks.workLines) > room)
        --blocks.workLines;

    // Widths as fixed parts and cells; the cells narrow, never below a
    // printed digit, when a single block would not fit the width.
    const double usable = pagePoints(style.paper).width() - 2.0 * kSideMargin;
    const double stackedFixed = (kSignSlot + kSignGap + kRuleOverhang) * size;
    const double divisionFixed = (kBracketWidth + kRuleOverhang) * size +
                                 (blocks.remainderWidth > 0.0 ? kRemainderGap * size + blocks.remainderWidth : 0.0);
    const int divisionCells = blocks.divisorCells + blocks.dividendCells;
    blocks.cellWidth = kCellWidth * size;
    if (stacked && blocks.numberCells > 0)
        blocks.cellWidth =
            std::min(blocks.cellWidth, (usable - grid.prefixWidth - stackedFixed) / blocks.numberCells);
    if (division && divisionCells > 0)
        blocks.cellWidth = std::min(blocks.cellWidth, (usable - grid.prefixWidth - divisionFixed) / divisionCells);
    blocks.cellWidth = std::max(blocks.cellWidth, std::max(measure.width("0"), measure.width("-")));
    double form = 0.0;
    if (stacked)
        form = stackedFixed + blocks.numberCells * blocks.cellWidth;
    if (division)
        form = std::max(form, divisionFixed + divisionCells * blocks.cellWidth);
    grid.columnWidth = grid.prefixWidth + form + kBlockColumnGap * size;
    grid.rowsPerPage = std::max(1, static_cast<int>(std::floor(room / blockHeight(size, blocks.workLines))));
}

} // namespace

PrintedProblem printedProblem(const Sheet& sheet, std::size_t index)
{
    const SheetProblem& problem = sheet.problems[index];
    PrintedProblem printed;
    printed.prefix = sheet.serialPrefix(index);
    printed.blank = problem.blank;
    printed.left = wholeText(problem.left);
    printed.sign = std::string(signOf(problem.operation));
    printed.right = operandAfterSign(problem.right, problem.blank == BlankSpot::Second);
    if (problem.terms == 3) {
        printed.thenSign = std::string(signOf(problem.thenOperation));
        printed.third = operandAfterSign(problem.third, false);
    }
    printed.answer = wholeText(problem.result);
    if (problem.remainder != 0.0)
        printed.answer += remainderText(problem.remainder);
    return printed;
}

PageGrid planPages(const PageStyle& style, const Sheet& sheet)
{
    Measure measure(style.fontSize);
    PageGrid grid;
    grid.requestedColumns = std::max(1, sheet.perLine);
    grid.layout = style.layout == PageLayout::Columns && columnFormShows(sheet) ? PageLayout::Columns : PageLayout::Rows;
    if (grid.layout == PageLayout::Columns)
        planColumns(style, sheet, measure, grid);
    else
        planRows(style, sheet, measure, grid);
    // The size is kept; a row that does not fit takes fewer problems.
    const double gap = (grid.layout == PageLayout::Columns ? kBlockColumnGap : kColumnGap) * style.fontSize;
    const double usable = pagePoints(style.paper).width() - 2.0 * kSideMargin;
    const int fitting = static_cast<int>((usable + gap) / grid.columnWidth);
    grid.columns = std::clamp(fitting, 1, grid.requestedColumns);
    return grid;
}

int pageCount(const PageGrid& grid, std::size_t problems)
{
    const std::size_t perPage = std::size_t(grid.columns) * std::size_t(grid.rowsPerPage);
    return std::max(1, static_cast<int>((problems + perPage - 1) / perPage));
}

std::optional<std::string> columnsNote(const PageGrid& grid)
{
    if (grid.columns >= grid.requestedColumns)
        return std::nullopt;
    return "每行放不下 " + std::to_string(grid.requestedColumns) + " 题，PDF 每行改为 " + std::to_string(grid.columns) +
           " 题";
}

void drawSheetPages(QPainter& painter, QPagedPaintDevice& device, const Sheet& sheet, SheetKind kind,
                    const PageStyle& style, const PageGrid& grid, const SetPosition& set)
{
    PageDrawer drawer(painter, sheet, kind, style, grid, set);
    const int pages = pageCount(grid, sheet.problems.size());
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        drawer.draw(page, pages);
    }
}

FileStatus writeSheetPdf(QIODevice& device, const Sheet& sheet, SheetKind kind, const PageStyle& style,
                         const PageGrid& grid, const SetPosition& set)
{
    const PrintedSheet one{&sheet, set, grid};
    return writeSetPdf(device, {&one, 1}, kind, style);
}

QPageLayout pageLayout(const PageStyle& style)
{
    return QPageLayout(pageSize(style.paper), QPageLayout::Portrait, QMarginsF());
}

std::vector<PrintedSheet> printedSet(const std::vector<Sheet>& sheets, const PageStyle& style)
{
    std::vector<PrintedSheet> printed;
    printed.reserve(sheets.size());
    const int count = static_cast<int>(sheets.size());
    int number = 0;
    for (const Sheet& sheet : sheets)
        printed.push_back({&sheet, {++number, count}, planPages(style, sheet)});
    return printed;
}

void drawSetPages(QPainter& painter, QPagedPaintDevice& device, std::span<const PrintedSheet> sheets, SheetKind kind,
                  const PageStyle& style, bool pageDrawnBefore)
{
    for (const PrintedSheet& printed : sheets) {
        if (std::exchange(pageDrawnBefore, true))
            device.newPage();
        drawSheetPages(painter, device, *printed.sheet, kind, style, printed.grid, printed.set);
    }
}

int setPageCount(std::span<const PrintedSheet> sheets)
{
    int pages = 0;
    for (const PrintedSheet& printed : sheets)
        pages += pageCount(printed.grid, printed.sheet->problems.size());
    return pages;
}

FileStatus writeSetPdf(QIODevice& device, std::span<const PrintedSheet> sheets, SheetKind kind, const PageStyle& style)
{
    if (chineseFamily().isEmpty())
        return FileStatus::failure("系统里找不到能显示中文的字体，请先安装一种中文字体（例如文泉驿微米黑）");
    QPdfWriter writer(&device);
    writer.setResolution(kResolution);
    writer.setPageLayout(pageLayout(style));
    if (!sheets.empty())
        writer.setTitle(QString::fromStdString(pageTitle(*sheets.front().sheet, kind)));
    writer.setCreator(QStringLiteral("小学Sumlark"));
    QPainter painter;
    if (!painter.begin(&writer))
        return FileStatus::failure("无法开始写 PDF 文件");
    drawSetPages(painter, writer, sheets, kind, style);
    // The writer puts the last page and the trailer out here; whether the
    // device took them is for whoever commits it to check.
    painter.end();
    return FileStatus::success();
}

std::string pdfPathFor(std::string_view textPath)
{
    std::string path(textPath);
    if (path.ends_with(".txt"))
        path.resize(path.size() - 4);
    return path + ".pdf";
}

std::string pageTitle(const Sheet& sheet, SheetKind kind)
{
    return std::string(kind == SheetKind::Question ? "口算练习" : "口算练习答案") + "　" + oneLineText(sheet.typeText) +
           "　" + oneLineText(sheet.smallestText) + " 到 " + oneLineText(sheet.largestText) + "　" +
           std::to_string(sheet.problems.size()) + " 题";
}

std::string setLine(const Sheet& sheet, const SetPosition& set)
{
    if (set.count <= 1)
        return {};
    return "第 " + std::to_string(set.number) + " 份，共 " + std::to_string(set.count) + " 份 · 种子 " +
           std::to_string(sheet.seed);
}

} // namespace sumlark::pdf

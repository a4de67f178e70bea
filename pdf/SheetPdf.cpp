#include "SheetPdf.h"

#include "SectionFlow.h"
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

// The page's own margins, kept where a printer's are narrower.
constexpr double kSideMargin = 20.0 * kPointsPerMm;
constexpr double kTopMargin = 15.0 * kPointsPerMm;
constexpr double kBottomMargin = 15.0 * kPointsPerMm;
constexpr double kPageNumberBaseline = 8.0 * kPointsPerMm; // from the bottom edge
constexpr double kSetLineBaseline = 9.0 * kPointsPerMm;    // from the top edge

// Heights as multiples of the font size.
constexpr double kTitleScale = 1.25;
constexpr double kTitleBlock = 1.6 * kTitleScale;
// The name line has a size of its own, so that a large problem size
// neither swallows its blanks nor makes it larger than the title; a blank
// is long enough for a name in a child's hand.
constexpr double kLargestNameSize = 12.0;
constexpr double kNameBlank = 30.0 * kPointsPerMm;
constexpr double kNameFieldGap = 1.0;  // between fields, as a multiple of its size
constexpr double kNameLinePitch = 1.4; // between lines of fields
// A row holds the problem and room below and beside it for a pupil's
// handwriting; at 14 points 22 rows fit A4 under the title and name line.
constexpr double kRowPitch = 2.2;
// Space after the widest answer, before the next column; the columns spread
// over the width, so it is the least gap.
constexpr double kColumnGap = 0.6;
// Every sign, "=" too, has its ink centred in a box this wide, so that each
// has the same room on both sides.
constexpr double kSignSlot = 0.8;
// A negative number's minus is the signs' minus, this far from its digits.
constexpr double kMinusGap = 0.08;
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

// A set's answers run on, several sheets a page: rows closer than on a
// pupil's page, which leaves room for handwriting, and a column form block
// with no room for working.
constexpr double kAnswerRowPitch = 1.6;
constexpr double kAnswerBlockFoot = 0.9; // under the result's baseline
constexpr double kAnswerHeading = 2.0;   // the heading's height, as a multiple of its size
constexpr double kAnswerGap = 0.6;       // after a sheet's answers

// A section's heading, a line of its own above its rows, and the space
// before a section after the first; in a set's compact answers the heading
// is as high as the block's rows are close.
constexpr double kSectionHeading = 1.8;
constexpr double kSectionGap = 0.6;
constexpr double kAnswerSectionHeading = 1.5; // of the name line's size

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

// The signs as the page draws them: one typeface's mathematical signs,
// which share one width and stroke. A Chinese face's full-width plus and
// minus do not match its narrow times, divided-by and equals.
constexpr char16_t kMinus = u'\u2212';
constexpr const char* kMinusText = "\u2212";

QString signFamily()
{
    static const QString family = [] {
        const QStringList available = QFontDatabase::families();
        for (const char* preferred : {"DejaVu Sans", "Noto Sans", "Liberation Sans", "Arial", "Segoe UI"}) {
            const QString name = QString::fromLatin1(preferred);
            if (!available.contains(name))
                continue;
            const QFontMetricsF metrics{QFont(name)};
            if (metrics.inFontUcs4(kMinus) && metrics.inFontUcs4(0xD7) && metrics.inFontUcs4(0xF7))
                return name;
        }
        return chineseFamily();
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

QFont signFont(double points)
{
    QFont font(signFamily());
    font.setPointSizeF(points);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// Where everything stands on a page, in points from the paper's top left:
// the page's own margins, or the printer's where they are wider, with the
// class set's line and the page number inside what the printer prints.
struct Frame {
    QSizeF paper;
    double left = 0.0;
    double right = 0.0; // the x the content ends at
    double setBaseline = 0.0;
    double top = 0.0; // the title starts here
    double bottom = 0.0; // the problems end here
    double footerBaseline = 0.0;
    double nameSize = 0.0;
    int namesPerLine = 4; // fields of the usual width
    int nameLines = 1;    // as the sheet's fields take them (PageGrid)

    double width() const { return right - left; }
};

double setLineSize(double size)
{
    return std::max(8.0, size * 0.7);
}

double footerSize(double size)
{
    return std::max(8.0, size * 0.75);
}

// A field of the name line with its usual label of three characters.
double usualNameField(double size)
{
    return 3.0 * size + kNameBlank;
}

PageArea paperArea(Paper paper)
{
    const QSizeF points = pageSizeOf(paper).size(QPageSize::Point);
    return {points.width(), points.height()};
}

Frame frameOf(const PageStyle& style)
{
    const PageArea area = style.printer.value_or(paperArea(style.paper));
    Frame frame;
    frame.paper = {area.width, area.height};
    frame.left = std::max(kSideMargin, area.left);
    frame.right = area.width - std::max(kSideMargin, area.right);
    // Ascent and descent as parts of a size, a little over a CJK face's.
    const double setSize = setLineSize(style.fontSize);
    frame.setBaseline = std::max(kSetLineBaseline, area.top + 1.1 * setSize);
    frame.top = std::max(kTopMargin, frame.setBaseline + 0.6 * setSize);
    const double pageNumber = footerSize(style.fontSize);
    frame.footerBaseline = area.height - std::max(kPageNumberBaseline, area.bottom + 0.35 * pageNumber);
    frame.bottom = std::min(area.height - kBottomMargin, frame.footerBaseline - 1.6 * pageNumber);
    // The four fields of the name line, as many a line as keep their blanks.
    frame.nameSize = std::min(style.fontSize, kLargestNameSize);
    const double field = usualNameField(frame.nameSize); // "姓名：" and its blank
    const double gap = kNameFieldGap * frame.nameSize;
    frame.namesPerLine = 4;
    while (frame.namesPerLine > 1 && frame.namesPerLine * (field + gap) - gap > frame.width())
        frame.namesPerLine /= 2;
    frame.nameLines = 4 / frame.namesPerLine;
    return frame;
}

// Widths in points at a size, measured on a PDF device at the drawing
// resolution. Digits are equally wide in text fonts, so texts of one shape
// (digits as 0) are measured once. A number's minus is the signs' one.
class Measure {
public:
    explicit Measure(double points) : size_(points), device_(&scratch_)
    {
        device_.setResolution(kResolution);
        metrics_.emplace(sheetFont(points), &device_);
        signs_.emplace(signFont(points), &device_);
        names_.emplace(sheetFont(std::min(points, kLargestNameSize)), &device_);
    }

    // A text of the name line, at its size.
    double nameWidth(const std::string& text) const
    {
        return names_->horizontalAdvance(QString::fromStdString(text)) / kUnitsPerPoint;
    }

    double width(const std::string& text)
    {
        std::string shape = text;
        for (char& c : shape)
            c = c >= '0' && c <= '9' ? '0' : c;
        const auto known = widths_.find(shape);
        if (known != widths_.end())
            return known->second;
        double width = 0.0;
        QString run;
        for (const QChar c : QString::fromStdString(shape)) {
            if (c != QChar(kMinus)) {
                run += c;
                continue;
            }
            width += metrics_->horizontalAdvance(run) / kUnitsPerPoint + minusWidth();
            run.clear();
        }
        width += metrics_->horizontalAdvance(run) / kUnitsPerPoint;
        widths_.emplace(shape, width);
        return width;
    }

    // A negative number's minus: from its origin to the end of its ink, and
    // the gap to the digits.
    double minusWidth() const
    {
        return signs_->boundingRect(QChar(kMinus)).right() / kUnitsPerPoint + kMinusGap * size_;
    }

    // The width of a character's ink.
    double inkWidth(const char* character) const
    {
        return metrics_->boundingRect(QString::fromUtf8(character)).width() / kUnitsPerPoint;
    }

private:
    double size_;
    QBuffer scratch_;
    QPdfWriter device_;
    std::optional<QFontMetricsF> metrics_;
    std::optional<QFontMetricsF> signs_;
    std::optional<QFontMetricsF> names_;
    std::map<std::string, double> widths_;
};

std::string wholeText(double value)
{
    std::string text;
    appendWhole(text, value);
    return text;
}

// A number as the page prints it: its minus is the signs' one.
std::string printedNumber(double value)
{
    std::string text = wholeText(value);
    if (text.starts_with('-'))
        text.replace(0, 1, kMinusText);
    return text;
}

std::string printedSign(Operation operation)
{
    switch (operation) {
    case Operation::Addition:
        return "+";
    case Operation::Subtraction:
        return kMinusText;
    case Operation::Multiplication:
        return "×";
    case Operation::Division:
        return "÷";
    }
    return {};
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

// Whether every problem from first to end can stand in the column form: two
// numbers and the blank after "=". The front ends ask for nothing else with
// it; a sheet (or section) that still holds such problems is printed in rows
// rather than misdrawn.
bool columnFormShows(const Sheet& sheet, std::size_t first, std::size_t end)
{
    return std::all_of(sheet.problems.begin() + std::ptrdiff_t(first), sheet.problems.begin() + std::ptrdiff_t(end),
                       [](const SheetProblem& problem) {
                           return problem.terms == 2 && problem.blank == BlankSpot::Result &&
                                  problem.compare == CompareForm::None;
                       });
}

std::string remainderText(double remainder)
{
    return "……" + printedNumber(remainder);
}

double blockBase(double size)
{
    return (kFirstBaseline + kLineHeight + kRuleDrop) * size;
}

double blockHeight(double size, int workLines)
{
    return blockBase(size) + (workLines * kLineHeight + kBlockGap) * size;
}

double nameBlock(const Frame& frame)
{
    return (1.0 + kNameLinePitch * frame.nameLines) * frame.nameSize;
}

double rowsTop(const PageStyle& style, const Frame& frame)
{
    return frame.top + style.fontSize * kTitleBlock + nameBlock(frame);
}

double rowsHeight(const PageStyle& style, const Frame& frame)
{
    return frame.bottom - rowsTop(style, frame);
}

// The frame of a sheet's pages: the name line takes the lines its fields do.
Frame sheetFrame(const PageStyle& style, const PageGrid& grid)
{
    Frame frame = frameOf(style);
    frame.nameLines = grid.nameLines;
    return frame;
}

// The name line's fields in order, in the room of the usual fields: one
// wider than that takes as many as it needs, from a new line when the line
// under way has too few left, and one wider than a line is printed smaller.
// The class goes before the name in one field when they fit a line together.
void placeNameFields(const Sheet& sheet, const Frame& frame, const Measure& measure, PageGrid& grid)
{
    const double size = frame.nameSize;
    const double gap = kNameFieldGap * size;
    const double slot = (frame.width() + gap) / frame.namesPerLine;
    struct Wanted {
        std::string label;
        std::string name; // on the writing line
        bool lined = true;
        bool usual = false;
    };
    const std::string className = oneLineText(sheet.className);
    const std::string pupil = oneLineText(sheet.pupil);
    const auto widthOf = [&](const Wanted& field) {
        if (field.usual)
            return usualNameField(size);
        const double label = measure.nameWidth(field.label);
        return field.lined ? label + std::max(kNameBlank, measure.nameWidth(field.name) + size) : label;
    };
    std::vector<Wanted> wanted;
    if (const Wanted both{"班级：" + className + "　姓名：", pupil}; !className.empty() && widthOf(both) <= frame.width())
        wanted.push_back(both);
    else if (!className.empty())
        wanted.insert(wanted.end(), {{"班级：" + className, "", false}, {"姓名：", pupil}});
    else
        wanted.push_back({"姓名：", pupil, true, pupil.empty()});
    for (const char* label : {"日期：", "用时：", "得分："})
        wanted.push_back({label, "", true, true});

    grid.nameFields.clear();
    int line = 0;
    int used = 0;
    for (const Wanted& field : wanted) {
        const double width = widthOf(field);
        const int span =
            std::clamp(static_cast<int>(std::ceil((width + gap) / slot - 1e-9)), 1, frame.namesPerLine);
        if (used + span > frame.namesPerLine) {
            ++line;
            used = 0;
        }
        NameField placed{field.label + field.name, line, used * slot};
        placed.end = placed.x + span * slot - gap;
        // A little room is kept: a scaled face's advances round differently.
        const double room = placed.end - placed.x;
        const double scale = width > room ? 0.97 * room / width : 1.0;
        placed.size = size * scale;
        if (field.lined)
            placed.lineFrom = placed.x + measure.nameWidth(field.label) * scale;
        grid.nameFields.push_back(std::move(placed));
        used += span;
    }
    grid.nameLines = line + 1;
}

// In the column form a product has the factor with more digits on top, as
// a pupil writes it; the rows keep the order drawn.
std::pair<double, double> stackedOperands(const SheetProblem& problem)
{
    if (problem.operation == Operation::Multiplication && digitsOf(problem.right) > digitsOf(problem.left))
        return {problem.right, problem.left};
    return {problem.left, problem.right};
}

double answerRowPitch(const PageGrid& grid)
{
    const double size = grid.fontSize;
    return grid.layout == PageLayout::Columns ? blockBase(size) + (kFirstWorkBaseline + kAnswerBlockFoot) * size
                                              : kAnswerRowPitch * size;
}

PageStyle atSize(PageStyle style, double points)
{
    style.fontSize = points;
    return style;
}

class PageDrawer {
public:
    PageDrawer(QPainter& painter, QPagedPaintDevice& device, const Sheet& sheet, SheetKind kind,
               const PageStyle& style, const PageGrid& grid, const SetPosition& set)
        : painter_(painter), sheet_(sheet), kind_(kind), style_(atSize(style, grid.fontSize)), grid_(grid), set_(set),
          frame_(sheetFrame(style_, grid)), unitsPerPoint_(painter.device()->logicalDpiX() / 72.0),
          // A printer that keeps its margins puts the painter's origin at
          // their corner; everything here is placed from the paper's.
          origin_(device.pageLayout().paintRectPoints().topLeft())
    {
    }

    // A page of the sheet; a sheet of sections draws its lines from line on
    // that are on the page, and returns the first of the next page.
    std::size_t draw(int page, int pages, std::size_t line)
    {
        drawTitle();
        drawSetLine();
        if (kind_ == SheetKind::Question)
            drawNameLine();
        if (grid_.sections.empty())
            drawProblems(page);
        for (; line < grid_.lines.size() && grid_.lines[line].page == page; ++line)
            drawLine(grid_.lines[line], grid_.lines[line].top, style_.fontSize, true);
        drawPageNumber(page, pages);
        return line;
    }

    // A page of a set's answers; its sheets' blocks are drawn on it in turn.
    void drawAnswerPage(int page)
    {
        drawTitle();
        const QString text = QStringLiteral("第 %1 页").arg(page);
        fitFont(text, footerSize(style_.fontSize), false);
        drawCentred(text, frame_.footerBaseline);
    }

    void drawAnswerRows(const AnswerBlock& block, int first, int end, double top)
    {
        const double size = frame_.nameSize;
        const QString heading = QString::fromStdString(answerHeading(sheet_, set_) + (first > 0 ? "（续）" : ""));
        fitFont(heading, size, true);
        painter_.drawText(at(frame_.left, top + 0.7 * kAnswerHeading * size), heading);
        painter_.setFont(sheetFont(style_.fontSize));
        for (int i = first; i < end && !block.lines.empty(); ++i) {
            const SectionLine& line = block.lines[std::size_t(i)];
            drawLine(line, top + kAnswerHeading * size + line.top - block.lines[std::size_t(first)].top, size, false);
        }
        if (!block.lines.empty())
            return;
        const double pitch = answerRowPitch(grid_);
        const auto columns = std::size_t(grid_.columns);
        const std::size_t last = std::min(sheet_.problems.size(), std::size_t(end) * columns);
        for (std::size_t i = std::size_t(first) * columns; i < last; ++i)
            drawProblem(i, int(i % columns), top + kAnswerHeading * size + double(i / columns - first) * pitch, pitch);
    }

private:
    QPointF at(double x, double y) const
    {
        return {(x - origin_.x()) * unitsPerPoint_, (y - origin_.y()) * unitsPerPoint_};
    }

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

    // Text in the problem font with each minus from the signs' face; returns
    // where it ends. Measured as Measure measures it.
    double drawNumber(double x, double baseline, const std::string& text)
    {
        QString run;
        const auto flush = [&] {
            painter_.drawText(at(x, baseline), run);
            x += textWidth(run);
            run.clear();
        };
        for (const QChar c : QString::fromStdString(text)) {
            if (c != QChar(kMinus)) {
                run += c;
                continue;
            }
            flush();
            painter_.setFont(signFont(style_.fontSize));
            painter_.drawText(at(x, baseline), QString(c));
            x += ink(QString(c)).right() + kMinusGap * style_.fontSize;
            painter_.setFont(sheetFont(style_.fontSize));
        }
        flush();
        return x;
    }

    double numberWidth(const std::string& text)
    {
        double width = 0.0;
        QString run;
        for (const QChar c : QString::fromStdString(text)) {
            if (c != QChar(kMinus)) {
                run += c;
                continue;
            }
            width += textWidth(run);
            run.clear();
            painter_.setFont(signFont(style_.fontSize));
            width += ink(QString(c)).right() + kMinusGap * style_.fontSize;
            painter_.setFont(sheetFont(style_.fontSize));
        }
        return width + textWidth(run);
    }

    // A sign's ink centred in the slot that starts at x.
    void drawSign(double x, double baseline, const std::string& text)
    {
        painter_.setFont(signFont(style_.fontSize));
        const QString sign = QString::fromStdString(text);
        const QRectF box = ink(sign);
        const double slot = kSignSlot * style_.fontSize;
        painter_.drawText(at(x + (slot - box.width()) / 2.0 - box.left(), baseline), sign);
        painter_.setFont(sheetFont(style_.fontSize));
    }

    void drawCentred(const QString& text, double baseline)
    {
        const double width = textWidth(text);
        painter_.drawText(at(frame_.left + (frame_.width() - width) / 2.0, baseline), text);
    }

    // Text at size, made smaller only where it would not fit the width.
    void fitFont(const QString& text, double size, bool bold)
    {
        painter_.setFont(sheetFont(size, bold));
        // A little room is kept: a scaled face's advances round differently.
        const double room = frame_.width() * 0.97;
        if (const double width = textWidth(text); width > room)
            painter_.setFont(sheetFont(size * room / width, bold));
    }

    void drawTitle()
    {
        const QString title = QString::fromStdString(pageTitle(sheet_, kind_));
        // A long type text at a large size would run off the paper.
        fitFont(title, style_.fontSize * kTitleScale, true);
        drawCentred(title, frame_.top + style_.fontSize * kTitleScale * 1.1);
    }

    void drawSetLine()
    {
        const std::string line = setLine(sheet_, set_, kind_);
        if (line.empty())
            return;
        const QString text = QString::fromStdString(line);
        fitFont(text, setLineSize(style_.fontSize), false);
        painter_.drawText(at(frame_.right - textWidth(text), frame_.setBaseline), text);
    }

    void drawNameLine()
    {
        QPen pen(Qt::black);
        pen.setWidthF(0.6 * unitsPerPoint_);
        painter_.setPen(pen);
        for (const NameField& field : grid_.nameFields) {
            painter_.setFont(sheetFont(field.size));
            const double baseline =
                frame_.top + style_.fontSize * kTitleBlock + frame_.nameSize * (1.5 + kNameLinePitch * field.line);
            painter_.drawText(at(frame_.left + field.x, baseline), QString::fromStdString(field.text));
            if (field.lineFrom >= 0.0)
                painter_.drawLine(at(frame_.left + field.lineFrom, baseline + 2.0),
                                  at(frame_.left + field.end, baseline + 2.0));
        }
    }

    // A section's heading on a line of its own at a size, or a row of its
    // grid, from top.
    void drawLine(const SectionLine& line, double top, double headingSize, bool bold)
    {
        const Sheet& section = sheet_.sections[std::size_t(line.section)];
        if (line.row < 0) {
            const QString heading = QString::fromStdString(oneLineText(section.heading));
            fitFont(heading, headingSize, bold);
            painter_.drawText(at(frame_.left, top + 0.7 * line.height), heading);
            return;
        }
        cells_ = &grid_.sections[std::size_t(line.section)];
        painter_.setFont(sheetFont(style_.fontSize));
        const auto columns = std::size_t(cells_->columns);
        const std::size_t first = cells_->first + std::size_t(line.row) * columns;
        const std::size_t end = std::min(cells_->first + section.problems.size(), first + columns);
        for (std::size_t i = first; i < end; ++i)
            drawProblem(i, int(i - first), top, line.height);
        cells_ = &grid_;
    }

    void drawProblems(int page)
    {
        painter_.setFont(sheetFont(style_.fontSize));
        const double pitchY = rowsHeight(style_, frame_) / grid_.rowsPerPage;
        const auto columns = std::size_t(grid_.columns);
        const std::size_t perPage = columns * std::size_t(grid_.rowsPerPage);
        const std::size_t first = std::size_t(page) * perPage;
        const std::size_t end = std::min(sheet_.problems.size(), first + perPage);
        for (std::size_t i = first; i < end; ++i)
            drawProblem(i, int((i - first) % columns), rowsTop(style_, frame_) + double((i - first) / columns) * pitchY,
                        pitchY);
    }

    // A problem in its column of the grid, in a row starting at top, pitch high.
    void drawProblem(std::size_t index, int column, double top, double pitch)
    {
        const double x = frame_.left + column * frame_.width() / cells_->columns;
        if (cells_->layout == PageLayout::Columns)
            drawBlock(index, x, top);
        else
            drawRow(printedProblem(sheet_, index), x, top + pitch * 0.5 + style_.fontSize * 0.35);
    }

    void drawRow(const PrintedProblem& problem, double x, double baseline)
    {
        drawText(x, baseline, problem.prefix);
        // Right to left from the "=": the last operand, its sign, and so on.
        const double equals = x + cells_->prefixWidth + cells_->expressionWidth;
        double left = equals;
        const auto bracket = [&](InnerSide side, const char* text) {
            if (problem.brackets == side)
                left = drawOperandBefore(left, baseline, text, false);
        };
        bracket(InnerSide::Right, ")");
        if (!problem.third.empty()) {
            left = drawOperandBefore(left, baseline, problem.third, false);
            left = drawSignBefore(left, baseline, problem.thenSign);
        }
        bracket(InnerSide::Left, ")");
        left = drawOperandBefore(left, baseline, problem.right, problem.blank == BlankSpot::Second);
        bracket(InnerSide::Right, "(");
        left = drawSignBefore(left, baseline, problem.sign);
        left = drawOperandBefore(left, baseline, problem.left, problem.blank == BlankSpot::First);
        bracket(InnerSide::Left, "(");
        // A comparison's circle takes the place of "=", its other side that of the result.
        const bool compares = !problem.relation.empty();
        drawSign(equals, baseline, compares ? (kind_ == SheetKind::Answer ? problem.relation : "○") : "=");
        // A blank operand's result is given; the pupil finds the operand.
        if (!compares && kind_ != SheetKind::Answer && problem.blank == BlankSpot::Result)
            return;
        const double end = drawNumber(equals + cells_->equalsWidth, baseline, problem.answer);
        if (!problem.otherSign.empty()) {
            drawSign(end, baseline, problem.otherSign);
            drawNumber(end + kSignSlot * style_.fontSize, baseline, problem.otherRight);
        }
    }

    // Draws an operand ending at end; returns where it begins. A blank is
    // the grid's blank width with its parentheses at both ends, filled on
    // the answer pages, so that both pages keep every sign in place.
    double drawOperandBefore(double end, double baseline, const std::string& text, bool blank)
    {
        if (!blank) {
            const double start = end - numberWidth(text);
            drawNumber(start, baseline, text);
            return start;
        }
        const double start = end - cells_->blankWidth;
        const double edge = kBlankEdge * style_.fontSize;
        const QRectF open = ink(QStringLiteral("（"));
        const QRectF close = ink(QStringLiteral("）"));
        const double inside = start + edge + open.width();
        const double outside = end - edge - close.width();
        painter_.drawText(at(inside - open.right(), baseline), QStringLiteral("（"));
        painter_.drawText(at(outside - close.left(), baseline), QStringLiteral("）"));
        if (kind_ == SheetKind::Answer)
            drawNumber(inside + (outside - inside - numberWidth(text)) / 2.0, baseline, text);
        return start;
    }

    double drawSignBefore(double end, double baseline, const std::string& text)
    {
        const double slot = kSignSlot * style_.fontSize;
        drawSign(end - slot, baseline, text);
        return end - slot;
    }

    // A problem in the column form, its block's top left at x, top.
    void drawBlock(std::size_t index, double x, double top)
    {
        const double size = style_.fontSize;
        const SheetProblem& problem = sheet_.problems[index];
        const double first = top + kFirstBaseline * size;
        drawText(x, first, sheet_.serialPrefix(index));
        const double form = x + cells_->prefixWidth;
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
        const double cell = cells_->blocks.cellWidth;
        const double end = x + slot + kSignGap * size + cells_->blocks.numberCells * cell;
        const auto [top, bottom] = stackedOperands(problem);
        drawCells(end, first, wholeText(top));
        drawCells(end, second, wholeText(bottom));
        // The sign stands just left of the longer operand, as a pupil puts
        // it; a carry out of the top place goes under it. The rule covers
        // the sign and every digit of the result.
        const double operands = std::max(cellsOf(top), cellsOf(bottom)) * cell;
        const double signStart = end - operands - kSignGap * size - slot;
        drawSign(signStart, second, printedSign(problem.operation));
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
        const ColumnBlocks& blocks = cells_->blocks;
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
                drawNumber(end + kRemainderGap * size, first, remainderText(problem.remainder));
        }
    }

    // A number right-aligned on cells ending at end: each digit centred in
    // its cell, the signs' minus against the digit after it.
    void drawCells(double end, double baseline, const std::string& text)
    {
        const double cell = cells_->blocks.cellWidth;
        double cellStart = end - cell * static_cast<double>(text.size());
        for (const char c : text) {
            if (c == '-') {
                painter_.setFont(signFont(style_.fontSize));
                const QRectF minus = ink(QChar(kMinus));
                painter_.drawText(at(cellStart + cell - kMinusGap * style_.fontSize - minus.right(), baseline),
                                  QString(QChar(kMinus)));
                painter_.setFont(sheetFont(style_.fontSize));
            } else {
                const QString character(QChar::fromLatin1(c));
                painter_.drawText(at(cellStart + (cell - textWidth(character)) / 2.0, baseline), character);
            }
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
        const QString text = QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(pages);
        fitFont(text, footerSize(style_.fontSize), false);
        drawCentred(text, frame_.footerBaseline);
    }

    QPainter& painter_;
    const Sheet& sheet_;
    SheetKind kind_;
    const PageStyle style_;
    const PageGrid& grid_;
    const PageGrid* cells_ = &grid_; // the grid of the problems being drawn: the sheet's, or a section's
    const SetPosition& set_;
    Frame frame_;
    double unitsPerPoint_;
    QPointF origin_;
};

// A negative number after a sign reads as one sign too many without them;
// in a blank it stands alone between the blank's own parentheses.
std::string operandAfterSign(double value, bool blank)
{
    std::string text = printedNumber(value);
    return value < 0 && !blank ? "(" + text + ")" : text;
}

// The grid's problems are the sheet's from grid.first to end.
void planRows(const PageStyle& style, const Frame& frame, const Sheet& sheet, std::size_t end, Measure& measure,
              PageGrid& grid)
{
    const double size = style.fontSize;
    const double slot = kSignSlot * size;
    // One blank width for the whole grid: the signs of a column stay in
    // place between the question and the answer pages.
    double widestBlank = -1.0;
    for (std::size_t i = grid.first; i < end; ++i) {
        if (const SheetProblem& problem = sheet.problems[i]; problem.blank != BlankSpot::Result)
            widestBlank = std::max(widestBlank, measure.width(printedNumber(problem.valueAt(problem.blank))));
    }
    if (widestBlank >= 0.0)
        grid.blankWidth = 2.0 * kBlankEdge * size + measure.inkWidth("（") + measure.inkWidth("）") +
                          std::max(kBlankRoom * size, widestBlank + kBlankPadding * size);
    const auto operandWidth = [&](const std::string& text, bool blank) {
        return blank ? grid.blankWidth : measure.width(text);
    };
    for (std::size_t i = grid.first; i < end; ++i) {
        const PrintedProblem problem = printedProblem(sheet, i);
        grid.prefixWidth = std::max(grid.prefixWidth, measure.width(problem.prefix));
        double expression = operandWidth(problem.left, problem.blank == BlankSpot::First) + slot +
                            operandWidth(problem.right, problem.blank == BlankSpot::Second);
        if (!problem.third.empty())
            expression += slot + measure.width(problem.third);
        if (problem.brackets)
            expression += measure.width("(") + measure.width(")");
        grid.expressionWidth = std::max(grid.expressionWidth, expression);
        const double other = problem.otherSign.empty() ? 0.0 : slot + measure.width(problem.otherRight);
        grid.answerWidth = std::max(grid.answerWidth, measure.width(problem.answer) + other);
    }
    grid.equalsWidth = slot;
    grid.columnWidth = grid.prefixWidth + grid.expressionWidth + grid.equalsWidth + grid.answerWidth + kColumnGap * size;
    grid.rowsPerPage = std::max(1, static_cast<int>(std::floor(rowsHeight(style, frame) / (size * kRowPitch))));
}

// A block is never higher than room.
void planColumns(const PageStyle& style, const Frame& frame, const Sheet& sheet, std::size_t end, double room,
                 Measure& measure, PageGrid& grid)
{
    const double size = style.fontSize;
    ColumnBlocks& blocks = grid.blocks;
    bool stacked = false;
    bool division = false;
    for (std::size_t i = grid.first; i < end; ++i) {
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
        const double multiplier = stackedOperands(problem).second;
        if (problem.operation == Operation::Multiplication && digitsOf(multiplier) > 1)
            blocks.workLines = std::max(blocks.workLines, digitsOf(multiplier) + 1);
    }
    // A block never runs past the foot of the page: a long division at a
    // large size keeps what working room there is.
    while (blocks.workLines > 1 && blockHeight(size, blocks.workLines) > room)
        --blocks.workLines;

    // Widths as fixed parts and cells; the cells narrow, never below a
    // printed digit, when a single block would not fit the width.
    const double usable = frame.width();
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
    blocks.cellWidth = std::max(blocks.cellWidth, std::max(measure.width("0"), measure.minusWidth()));
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
    printed.left = printedNumber(problem.left);
    printed.sign = printedSign(problem.operation);
    printed.right = operandAfterSign(problem.right, problem.blank == BlankSpot::Second);
    if (problem.terms == 3) {
        printed.thenSign = printedSign(problem.thenOperation);
        printed.third = operandAfterSign(problem.third, false);
        if (problem.brackets)
            printed.brackets = bracketSide(problem.operation, problem.thenOperation);
    }
    if (problem.compare != CompareForm::None) {
        constexpr const char* kRelations[] = {"<", "=", ">"};
        printed.relation = kRelations[static_cast<std::size_t>(problem.relation())];
        if (problem.compare == CompareForm::Number) {
            printed.answer = printedNumber(problem.otherResult);
            return printed;
        }
        printed.answer = printedNumber(problem.otherLeft);
        printed.otherSign = printedSign(problem.otherOperation);
        printed.otherRight = operandAfterSign(problem.otherRight, false);
        return printed;
    }
    printed.answer = printedNumber(problem.result);
    if (problem.remainder != 0.0)
        printed.answer += remainderText(problem.remainder);
    return printed;
}

namespace {

// The grid of the sheet's problems from grid.first to end, perLine a row
// asked for, in the layout asked for where it can show them; a block is
// never higher than room.
void planProblems(const PageStyle& style, const Frame& frame, const Sheet& sheet, std::size_t end, int perLine,
                  PageLayout asked, double room, Measure& measure, PageGrid& grid)
{
    grid.fontSize = grid.requestedFontSize = style.fontSize;
    grid.requestedColumns = std::max(1, perLine);
    grid.layout = asked == PageLayout::Columns && columnFormShows(sheet, grid.first, end) ? PageLayout::Columns
                                                                                          : PageLayout::Rows;
    if (grid.layout == PageLayout::Columns)
        planColumns(style, frame, sheet, end, room, measure, grid);
    else
        planRows(style, frame, sheet, end, measure, grid);
    // The size is kept; a row that does not fit takes fewer problems.
    const double gap = (grid.layout == PageLayout::Columns ? kBlockColumnGap : kColumnGap) * style.fontSize;
    const double usable = frame.width();
    const int fitting = static_cast<int>((usable + gap) / grid.columnWidth);
    grid.columns = std::clamp(fitting, 1, grid.requestedColumns);
    grid.fits = grid.columnWidth - gap <= usable;
}

int rowsOf(const PageGrid& grid, std::size_t problems)
{
    return static_cast<int>((problems + std::size_t(grid.columns) - 1) / std::size_t(grid.columns));
}

double rowPitch(const PageGrid& grid)
{
    return grid.layout == PageLayout::Columns ? blockHeight(grid.fontSize, grid.blocks.workLines)
                                              : kRowPitch * grid.fontSize;
}

// Each section on its own grid, the first in the layout the page asks for,
// each after it in its own; then the headings and rows down the pages.
void planSections(const PageStyle& style, const Frame& frame, const Sheet& sheet, Measure& measure, PageGrid& grid)
{
    const double size = style.fontSize;
    std::vector<SectionRun> runs;
    std::size_t end = 0;
    for (std::size_t k = 0; k < sheet.sections.size(); ++k) {
        const Sheet& section = sheet.sections[k];
        PageGrid& part = grid.sections.emplace_back();
        part.first = end;
        end += section.problems.size();
        const bool heading = !section.heading.empty();
        // A block and the heading over it fit a page together.
        const double room = rowsHeight(style, frame) - (heading ? kSectionHeading * size : 0.0);
        planProblems(style, frame, sheet, end, section.perLine, k == 0 ? style.layout : section.layout, room,
                     measure, part);
        grid.fits = grid.fits && part.fits;
        runs.push_back({heading, rowsOf(part, section.problems.size()), rowPitch(part)});
    }
    grid.lines = flowSections(runs, {rowsTop(style, frame), frame.bottom, kSectionHeading * size, kSectionGap * size});
}

PageGrid planAtSize(const PageStyle& style, const Sheet& sheet)
{
    Measure measure(style.fontSize);
    PageGrid grid;
    Frame frame = frameOf(style);
    placeNameFields(sheet, frame, measure, grid);
    frame.nameLines = grid.nameLines;
    if (sheet.sections.empty()) {
        planProblems(style, frame, sheet, sheet.problems.size(), sheet.perLine, style.layout, rowsHeight(style, frame),
                     measure, grid);
        return grid;
    }
    grid.fontSize = style.fontSize;
    planSections(style, frame, sheet, measure, grid);
    return grid;
}

} // namespace

PageGrid planPages(const PageStyle& style, const Sheet& sheet)
{
    PageGrid grid = planAtSize(style, sheet);
    // Only where a single problem is wider than what the printer prints is
    // the size made smaller, half a point at a time, and the user told.
    PageStyle smaller = style;
    while (!grid.fits && smaller.fontSize > 1.0) {
        smaller.fontSize -= 0.5;
        grid = planAtSize(smaller, sheet);
    }
    grid.requestedFontSize = style.fontSize;
    return grid;
}

int pageCount(const PageGrid& grid, std::size_t problems)
{
    if (!grid.lines.empty())
        return grid.lines.back().page + 1;
    const std::size_t perPage = std::size_t(grid.columns) * std::size_t(grid.rowsPerPage);
    return std::max(1, static_cast<int>((problems + perPage - 1) / perPage));
}

namespace {

std::string pointsText(double points)
{
    std::string text = std::to_string(std::lround(points * 2.0) / 2);
    if (std::lround(points * 2.0) % 2 != 0)
        text += ".5";
    return text;
}

std::optional<std::string> fewerNote(const PageGrid& grid, const char* where)
{
    if (grid.fontSize < grid.requestedFontSize)
        return "纸上放不下 " + pointsText(grid.requestedFontSize) + " 磅的题，" + where + "字号改为 " +
               pointsText(grid.fontSize) + " 磅" +
               (grid.sections.empty() ? "，每行 " + std::to_string(grid.columns) + " 题" : std::string());
    // Each section that takes fewer says so, with its own count.
    std::string notes;
    for (std::size_t k = 0; k < grid.sections.size(); ++k) {
        if (auto note = fewerNote(grid.sections[k], where))
            notes += (notes.empty() ? "第 " : "；第 ") + std::to_string(k + 1) + " 段：" + *note;
    }
    if (!grid.sections.empty())
        return notes.empty() ? std::nullopt : std::optional(notes);
    if (grid.columns >= grid.requestedColumns)
        return std::nullopt;
    return "每行放不下 " + std::to_string(grid.requestedColumns) + " 题，" + where + "每行改为 " +
           std::to_string(grid.columns) + " 题";
}

} // namespace

std::optional<std::string> columnsNote(const PageGrid& grid)
{
    return fewerNote(grid, "PDF ");
}

std::optional<std::string> printColumnsNote(const PageGrid& grid)
{
    return fewerNote(grid, "打印时");
}

PageArea areaOf(const QPageLayout& layout)
{
    const QRectF paper = layout.fullRectPoints();
    const QMarginsF margins = layout.marginsPoints();
    return {paper.width(), paper.height(), margins.left(), margins.top(), margins.right(), margins.bottom()};
}

void drawSheetPages(QPainter& painter, QPagedPaintDevice& device, const Sheet& sheet, SheetKind kind,
                    const PageStyle& style, const PageGrid& grid, const SetPosition& set)
{
    PageDrawer drawer(painter, device, sheet, kind, style, grid, set);
    const int pages = pageCount(grid, sheet.problems.size());
    std::size_t line = 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        line = drawer.draw(page, pages, line);
    }
}

QPageSize pageSizeOf(Paper paper)
{
    switch (paper) {
    case Paper::B5:
        return QPageSize(QPageSize::B5); // ISO, 176 x 250 mm
    case Paper::Kai16:
        // Qt's PRC 16K is 146 x 215 mm; the 16开 sold in China is this.
        return QPageSize(QSizeF(185.0, 260.0), QPageSize::Millimeter, QStringLiteral("16开"), QPageSize::ExactMatch);
    case Paper::A5:
        return QPageSize(QPageSize::A5);
    case Paper::Letter:
        return QPageSize(QPageSize::Letter);
    case Paper::A4:
        break;
    }
    return QPageSize(QPageSize::A4);
}

QPageLayout pageLayout(const PageStyle& style)
{
    return QPageLayout(pageSizeOf(style.paper), QPageLayout::Portrait, QMarginsF());
}

void setUpPdfWriter(QPdfWriter& writer, const PageStyle& style)
{
    writer.setResolution(kResolution);
    writer.setPageLayout(pageLayout(style));
}

std::optional<std::string> missingFont()
{
    if (chineseFamily().isEmpty())
        return "系统里找不到能显示中文的字体，请先安装一种中文字体（例如文泉驿微米黑）";
    return std::nullopt;
}

AnswerBlock answerBlockOf(const PrintedSheet& sheet)
{
    const PageGrid& grid = sheet.grid;
    const double size = grid.fontSize;
    AnswerBlock block;
    block.heading = kAnswerHeading * std::min(size, kLargestNameSize);
    block.row = answerRowPitch(grid);
    const std::size_t columns = std::size_t(grid.columns);
    block.rows = static_cast<int>((sheet.sheet->problems.size() + columns - 1) / columns);
    block.gap = kAnswerGap * size;
    if (grid.sections.empty())
        return block;
    // A sheet of sections: each section's heading over its rows, the rows
    // as close as a sheet's.
    std::vector<SectionRun> runs;
    for (std::size_t k = 0; k < grid.sections.size(); ++k) {
        const PageGrid& section = grid.sections[k];
        const Sheet& made = sheet.sheet->sections[k];
        runs.push_back({!made.heading.empty(), rowsOf(section, made.problems.size()), answerRowPitch(section)});
    }
    const double nameSize = std::min(size, kLargestNameSize);
    block.lines = flowSections(runs, {0.0, 0.0, kAnswerSectionHeading * nameSize, kAnswerGap * size});
    block.rows = static_cast<int>(block.lines.size());
    return block;
}

double AnswerBlock::height(int first, int end) const
{
    if (lines.empty())
        return heading + (end - first) * row;
    if (end <= first)
        return heading;
    const SectionLine& last = lines[std::size_t(end - 1)];
    return heading + last.top + last.height - lines[std::size_t(first)].top;
}

int AnswerBlock::fitting(int first, double room) const
{
    if (lines.empty())
        return static_cast<int>(std::floor((room - heading) / row + 1e-9));
    int end = first;
    while (end < rows && height(first, end + 1) <= room + 1e-9)
        ++end;
    if (end < rows && end > first && lines[std::size_t(end - 1)].row < 0)
        --end;
    const int least = std::min(rows, first + (lines[std::size_t(first)].row < 0 ? 2 : 1));
    return std::max(end, least) - first;
}

std::string answerHeading(const Sheet& sheet, const SetPosition& set)
{
    std::string heading = "第 " + std::to_string(set.number) + " 份";
    if (!sheet.pupil.empty())
        heading += "　" + oneLineText(sheet.pupil);
    return heading + "　种子 " + std::to_string(sheet.seed);
}

AnswerRoom answerRoom(const PageStyle& style)
{
    const Frame frame = frameOf(style);
    return {frame.top + style.fontSize * kTitleBlock, frame.bottom};
}

void drawAnswerPage(QPainter& painter, QPagedPaintDevice& device, const PrintedSheet& sheet, const PageStyle& style,
                    int page)
{
    PageDrawer(painter, device, *sheet.sheet, SheetKind::Answer, style, sheet.grid, sheet.set).drawAnswerPage(page);
}

void drawAnswerRows(QPainter& painter, QPagedPaintDevice& device, const PrintedSheet& sheet, const PageStyle& style,
                    const AnswerBlock& block, int first, int end, double top)
{
    PageDrawer(painter, device, *sheet.sheet, SheetKind::Answer, style, sheet.grid, sheet.set)
        .drawAnswerRows(block, first, end, top);
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
    // Sections of different ranges have none that speaks for the sheet.
    const bool oneRange = std::all_of(sheet.sections.begin(), sheet.sections.end(), [&](const Sheet& section) {
        return section.smallestText == sheet.smallestText && section.largestText == sheet.largestText;
    });
    return std::string(kind == SheetKind::Question ? "口算练习" : "口算练习答案") + "　" + oneLineText(sheet.typeText) +
           (oneRange ? "　" + oneLineText(sheet.smallestText) + " 到 " + oneLineText(sheet.largestText) : std::string()) +
           "　" + std::to_string(sheet.problems.size()) + " 题";
}

std::string setLine(const Sheet& sheet, const SetPosition& set, SheetKind kind)
{
    if (set.count <= 1)
        return {};
    std::string line = "第 " + std::to_string(set.number) + " 份，共 " + std::to_string(set.count) + " 份";
    // The seed makes every sheet of the set again: the teacher's, not the pupils'.
    if (kind == SheetKind::Answer)
        line += " · 种子 " + std::to_string(sheet.seed);
    return line;
}

} // namespace sumlark::pdf

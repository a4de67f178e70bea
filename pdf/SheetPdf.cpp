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
    explicit Measure(double points) : device_(&scratch_), points_(points)
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

private:
    QBuffer scratch_;
    QPdfWriter device_;
    double points_;
    std::optional<QFontMetricsF> metrics_;
    std::map<std::string, double> widths_;
};

std::string wholeText(double value)
{
    std::string text;
    appendWhole(text, value);
    return text;
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
        const double size = style_.fontSize;
        painter_.setFont(sheetFont(size));
        const double pitchX = (page_.width() - 2.0 * kSideMargin) / grid_.columns;
        const double pitchY = rowsHeight(style_) / grid_.rowsPerPage;
        const double slot = kSignSlot * size;
        const std::size_t perPage = std::size_t(grid_.columns) * std::size_t(grid_.rowsPerPage);
        const std::size_t first = std::size_t(page) * perPage;
        const std::size_t end = std::min(sheet_.problems.size(), first + perPage);
        for (std::size_t i = first; i < end; ++i) {
            const auto row = static_cast<int>((i - first) / std::size_t(grid_.columns));
            const auto column = static_cast<int>((i - first) % std::size_t(grid_.columns));
            const double baseline = rowsTop(style_) + row * pitchY + pitchY * 0.5 + size * 0.35;
            const double x = kSideMargin + column * pitchX;
            const PrintedProblem problem = printedProblem(sheet_, i);
            drawText(x, baseline, problem.prefix);
            // Right to left from the "=": second operand, sign, first operand.
            const double equals = x + grid_.prefixWidth + grid_.expressionWidth;
            const double right = equals - textWidth(QString::fromStdString(problem.right));
            drawText(right, baseline, problem.right);
            const QString sign = QString::fromStdString(problem.sign);
            painter_.drawText(at(right - slot + (slot - textWidth(sign)) / 2.0, baseline), sign);
            drawText(right - slot - textWidth(QString::fromStdString(problem.left)), baseline, problem.left);
            drawText(equals + kEqualsPadding * size, baseline, "=");
            if (kind_ == SheetKind::Answer)
                drawText(equals + grid_.equalsWidth, baseline, problem.answer);
        }
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

} // namespace

PrintedProblem printedProblem(const Sheet& sheet, std::size_t index)
{
    const SheetProblem& problem = sheet.problems[index];
    PrintedProblem printed;
    printed.prefix = sheet.serialPrefix(index);
    printed.left = wholeText(problem.left);
    printed.sign = std::string(signOf(problem.operation));
    printed.right = wholeText(problem.right);
    // A negative number after a sign reads as one sign too many without them.
    if (problem.right < 0)
        printed.right = "(" + printed.right + ")";
    printed.answer = wholeText(problem.result);
    if (problem.remainder != 0.0)
        printed.answer += "……" + wholeText(problem.remainder);
    return printed;
}

PageGrid planPages(const PageStyle& style, const Sheet& sheet)
{
    const double size = style.fontSize;
    Measure measure(size);
    PageGrid grid;
    grid.requestedColumns = std::max(1, sheet.perLine);
    const double slot = kSignSlot * size;
    for (std::size_t i = 0; i < sheet.problems.size(); ++i) {
        const PrintedProblem problem = printedProblem(sheet, i);
        grid.prefixWidth = std::max(grid.prefixWidth, measure.width(problem.prefix));
        grid.expressionWidth =
            std::max(grid.expressionWidth, measure.width(problem.left) + slot + measure.width(problem.right));
        grid.answerWidth = std::max(grid.answerWidth, measure.width(problem.answer));
    }
    grid.equalsWidth = measure.width("=") + 2.0 * kEqualsPadding * size;
    grid.columnWidth = grid.prefixWidth + grid.expressionWidth + grid.equalsWidth + grid.answerWidth + kColumnGap * size;
    // The size is kept; a row that does not fit takes fewer problems.
    const double usable = pagePoints(style.paper).width() - 2.0 * kSideMargin;
    const int fitting = static_cast<int>((usable + kColumnGap * size) / grid.columnWidth);
    grid.columns = std::clamp(fitting, 1, grid.requestedColumns);
    grid.rowsPerPage = std::max(1, static_cast<int>(std::floor(rowsHeight(style) / (size * kRowPitch))));
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

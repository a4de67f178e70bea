#include "SheetPdf.h"

#include "SheetLayout.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

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
// Space after the widest cell, where the answer is written on the question sheet.
constexpr double kColumnGap = 0.6;
constexpr double kSmallestFont = 6.0;
// Digits are equally wide in every text font, so the cells with the most
// print columns are the widest; measuring a few of them is enough.
constexpr std::size_t kCellsMeasured = 32;

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

// The widest of the cells in points at the given size.
double widestCell(const std::vector<std::string>& cells, double points)
{
    std::vector<const std::string*> longest;
    longest.reserve(cells.size());
    for (const auto& cell : cells)
        longest.push_back(&cell);
    const std::size_t measured = std::min(kCellsMeasured, longest.size());
    std::partial_sort(longest.begin(), longest.begin() + std::ptrdiff_t(measured), longest.end(),
                      [](const std::string* a, const std::string* b) { return printColumns(*a) > printColumns(*b); });

    QBuffer scratch;
    QPdfWriter device(&scratch);
    device.setResolution(kResolution);
    const QFontMetricsF metrics(sheetFont(points), &device);
    double widest = 0.0;
    for (std::size_t i = 0; i < measured; ++i)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(*longest[i])));
    return widest / kUnitsPerPoint;
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
    PageDrawer(QPainter& painter, const PdfSheet& sheet, const PageStyle& style, const ProblemGrid& grid)
        : painter_(painter), sheet_(sheet), style_(style), grid_(grid), page_(pagePoints(style.paper))
    {
    }

    void draw(int page, int pages)
    {
        drawTitle();
        if (sheet_.nameLine)
            drawNameLine();
        drawCells(page);
        drawPageNumber(page, pages);
    }

private:
    static QPointF at(double x, double y) { return {x * kUnitsPerPoint, y * kUnitsPerPoint}; }

    double textWidth(const QString& text) const
    {
        return painter_.fontMetrics().horizontalAdvance(text) / kUnitsPerPoint;
    }

    void drawCentred(const QString& text, double baseline)
    {
        painter_.drawText(at((page_.width() - textWidth(text)) / 2.0, baseline), text);
    }

    void drawTitle()
    {
        const QString title = QString::fromStdString(sheet_.title);
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

    void drawNameLine()
    {
        const double size = style_.fontSize;
        painter_.setFont(sheetFont(size));
        const double top = kTopMargin + size * kTitleBlock;
        const double baseline = top + size * 1.5;
        const double fieldWidth = (page_.width() - 2.0 * kSideMargin) / 3.0;
        QPen pen(Qt::black);
        pen.setWidthF(0.6 * kUnitsPerPoint);
        painter_.setPen(pen);
        int field = 0;
        for (const char* label : {"姓名：", "日期：", "用时："}) {
            const QString text = QString::fromUtf8(label);
            const double x = kSideMargin + field * fieldWidth;
            painter_.drawText(at(x, baseline), text);
            const double lineFrom = x + textWidth(text);
            const double lineTo = x + fieldWidth - size;
            painter_.drawLine(at(lineFrom, baseline + 2.0), at(lineTo, baseline + 2.0));
            ++field;
        }
    }

    void drawCells(int page)
    {
        painter_.setFont(sheetFont(grid_.fontSize));
        const double columnWidth = (page_.width() - 2.0 * kSideMargin) / grid_.columns;
        const double pitch = rowsHeight(style_) / grid_.rowsPerPage;
        const std::size_t perPage = std::size_t(grid_.columns) * std::size_t(grid_.rowsPerPage);
        const std::size_t first = std::size_t(page) * perPage;
        const std::size_t end = std::min(sheet_.cells.size(), first + perPage);
        for (std::size_t i = first; i < end; ++i) {
            const auto row = static_cast<int>((i - first) / std::size_t(grid_.columns));
            const auto column = static_cast<int>((i - first) % std::size_t(grid_.columns));
            const double baseline = rowsTop(style_) + row * pitch + pitch * 0.5 + grid_.fontSize * 0.35;
            painter_.drawText(at(kSideMargin + column * columnWidth, baseline), QString::fromStdString(sheet_.cells[i]));
        }
    }

    void drawPageNumber(int page, int pages)
    {
        painter_.setFont(sheetFont(std::max(8.0, style_.fontSize * 0.75)));
        drawCentred(QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(pages), page_.height() - kPageNumberBaseline);
    }

    QPainter& painter_;
    const PdfSheet& sheet_;
    const PageStyle& style_;
    const ProblemGrid& grid_;
    QSizeF page_;
};

} // namespace

ProblemGrid planGrid(const PageStyle& style, int perLine, const std::vector<std::string>& cells)
{
    ProblemGrid grid;
    grid.columns = perLine > 0 ? perLine : 1;
    grid.fontSize = style.fontSize;
    const double usableWidth = pagePoints(style.paper).width() - 2.0 * kSideMargin;
    // Advances grow with the font size, so one measurement serves every size.
    const double widestPerPoint = cells.empty() ? 0.0 : widestCell(cells, style.fontSize) / style.fontSize;
    const auto needed = [widestPerPoint](double points) { return points * (widestPerPoint + kColumnGap); };
    if (needed(grid.fontSize) > usableWidth / grid.columns) {
        // Too wide for the columns asked for: a smaller font first, and only
        // when even the smallest is too wide, fewer columns.
        const double fitting = usableWidth / grid.columns / (widestPerPoint + kColumnGap);
        grid.fontSize = std::max(kSmallestFont, std::floor(fitting * 2.0) / 2.0);
        if (needed(grid.fontSize) > usableWidth / grid.columns)
            grid.columns = std::max(1, static_cast<int>(usableWidth / needed(grid.fontSize)));
    }
    // Rows keep the pitch of the size asked for: narrower cells need no more
    // of them, and the pages stay as many as that size promises.
    grid.rowsPerPage = std::max(1, static_cast<int>(std::floor(rowsHeight(style) / (style.fontSize * kRowPitch))));
    return grid;
}

int pageCount(const ProblemGrid& grid, std::size_t cellCount)
{
    const std::size_t perPage = std::size_t(grid.columns) * std::size_t(grid.rowsPerPage);
    return std::max(1, static_cast<int>((cellCount + perPage - 1) / perPage));
}

FileStatus writeSheetPdf(QIODevice& device, const PdfSheet& sheet, const PageStyle& style, const ProblemGrid& grid)
{
    if (chineseFamily().isEmpty())
        return FileStatus::failure("系统里找不到能显示中文的字体，请先安装一种中文字体（例如文泉驿微米黑）");
    QPdfWriter writer(&device);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(pageSize(style.paper), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(QString::fromStdString(sheet.title));
    writer.setCreator(QStringLiteral("小学Sumlark"));
    QPainter painter;
    if (!painter.begin(&writer))
        return FileStatus::failure("无法开始写 PDF 文件");
    PageDrawer drawer(painter, sheet, style, grid);
    const int pages = pageCount(grid, sheet.cells.size());
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        drawer.draw(page, pages);
    }
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

PdfSheet pdfSheet(const Sheet& sheet, SheetKind kind)
{
    PdfSheet printed;
    // The header line's parts, a wide space between them where the text
    // file has runs of dashes.
    printed.title = std::string(kind == SheetKind::Question ? "答*题*纸" : "答@案@纸") + "　题数(" +
                    oneLineText(sheet.countText) + ")　类型(" + oneLineText(sheet.typeText) + ")";
    printed.nameLine = kind == SheetKind::Question;
    if (kind == SheetKind::Answer && !sheet.writeAnswers)
        return printed;
    printed.cells.reserve(sheet.problems.size());
    for (std::size_t i = 0; i < sheet.problems.size(); ++i) {
        std::string& cell = printed.cells.emplace_back();
        if (kind == SheetKind::Question)
            appendQuestionCell(cell, sheet.serialPrefix(i), sheet.problems[i]);
        else
            appendAnswerCell(cell, sheet.serialPrefix(i), sheet.problems[i]);
    }
    return printed;
}

ProblemGrid planGrid(const PageStyle& style, const Sheet& sheet)
{
    Sheet answered = sheet;
    answered.writeAnswers = true;
    return planGrid(style, sheet.perLine, pdfSheet(answered, SheetKind::Answer).cells);
}

} // namespace sumlark::pdf

#include "SetPages.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace sumlark::pdf {
namespace {

// A sheet longer than a page of answers starts on the page under way when
// its heading and this many rows still fit there.
constexpr int kLeastRowsOnAPage = 3;

} // namespace

bool answersRunOn(const PrintedSheet& sheet)
{
    return sheet.set.count > 1 || !sheet.sheet->pupil.empty();
}

SetPages::SetPages(QPainter& painter, QPagedPaintDevice& device, SheetKind kind, const PageStyle& style,
                   int pagesBefore)
    : painter_(painter), device_(device), kind_(kind), style_(style), pages_(pagesBefore), room_(answerRoom(style))
{
}

void SetPages::add(const PrintedSheet& sheet)
{
    if (kind_ == SheetKind::Answer && answersRunOn(sheet))
        addAnswers(sheet);
    else
        addPages(sheet);
}

// The device is on its first page until a page is drawn.
void SetPages::newPage()
{
    if (pages_ > 0)
        device_.newPage();
    ++pages_;
}

// A page drawn on the front of a sheet of paper leaves its back blank.
void SetPages::fromOddPage()
{
    if (style_.duplex && pages_ % 2 == 1)
        newPage();
}

void SetPages::addPages(const PrintedSheet& sheet)
{
    fromOddPage();
    const int pages = pageCount(sheet.grid, sheet.sheet->problems.size());
    newPage();
    drawSheetPages(painter_, device_, *sheet.sheet, kind_, style_, sheet.grid, sheet.set);
    pages_ += pages - 1;
}

void SetPages::newAnswerPage(const PrintedSheet& sheet)
{
    newPage();
    drawAnswerPage(painter_, device_, sheet, style_, ++answerPages_);
    next_ = room_.top;
}

void SetPages::addAnswers(const PrintedSheet& sheet)
{
    const AnswerBlock block = answerBlockOf(sheet);
    const auto height = [&](int rows) { return block.height(0, rows); };
    if (answerPages_ == 0) {
        fromOddPage(); // after the question pages on one device
        newAnswerPage(sheet);
    } else if (const double left = room_.bottom - next_;
               height(block.rows) > left &&
               (height(block.rows) <= room_.bottom - room_.top || height(std::min(block.rows, kLeastRowsOnAPage)) > left)) {
        newAnswerPage(sheet);
    }
    int first = 0;
    for (;;) {
        // At least one row a page, however large the size.
        const int end = first + std::clamp(block.fitting(first, room_.bottom - next_), std::min(1, block.rows - first),
                                           block.rows - first);
        drawAnswerRows(painter_, device_, sheet, style_, block, first, end, next_);
        next_ += block.height(first, end);
        first = end;
        if (first >= block.rows)
            break;
        newAnswerPage(sheet);
    }
    next_ += block.gap;
}

SetPdf::SetPdf(QIODevice& device, SheetKind kind, const PageStyle& style) : device_(device), kind_(kind), style_(style)
{
}

// One never finished: a run that failed before the set's end.
SetPdf::~SetPdf()
{
    if (painter_ && painter_->isActive())
        abandon();
}

// Out of memory, the writer cannot put out the page under way or the
// trailer either; were it ended by its painter's destructor, that second
// failure would abort the program. It is ended here, where a failure can
// be caught, or else left as it is.
void SetPdf::abandon()
{
    pages_.reset();
    try {
        painter_->end();
    } catch (...) {
        (void)painter_.release();
        (void)writer_.release();
    }
}

// The writer starts at the first sheet, whose title the document takes.
bool SetPdf::begin(const Sheet* first)
{
    if (writer_ || !status_.ok)
        return status_.ok;
    if (const auto missing = missingFont()) {
        status_ = FileStatus::failure(*missing);
        return false;
    }
    writer_ = std::make_unique<QPdfWriter>(&device_);
    setUpPdfWriter(*writer_, style_);
    if (first)
        writer_->setTitle(QString::fromStdString(pageTitle(*first, kind_)));
    writer_->setCreator(QStringLiteral("小学Sumlark"));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) {
        status_ = FileStatus::failure("无法开始写 PDF 文件");
        return false;
    }
    pages_.emplace(*painter_, *writer_, kind_, style_);
    return true;
}

void SetPdf::add(const PrintedSheet& sheet)
{
    if (!begin(sheet.sheet))
        return;
    try {
        pages_->add(sheet);
    } catch (...) {
        abandon();
        throw;
    }
}

FileStatus SetPdf::finish()
{
    // The writer puts the last page and the trailer out here; whether the
    // device took them is for whoever commits it to check.
    if (!begin(nullptr))
        return status_;
    pages_.reset();
    try {
        painter_->end();
    } catch (...) {
        abandon();
        throw;
    }
    return status_;
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

int setPageCount(std::span<const PrintedSheet> sheets)
{
    int pages = 0;
    for (const PrintedSheet& printed : sheets)
        pages += pageCount(printed.grid, printed.sheet->problems.size());
    return pages;
}

std::optional<std::string> printSet(QPainter& painter, QPagedPaintDevice& device, const std::vector<Sheet>& sheets,
                                    PageStyle style)
{
    style.printer = areaOf(device.pageLayout());
    const std::vector<PrintedSheet> printed = printedSet(sheets, style);
    SetPages questions(painter, device, SheetKind::Question, style);
    for (const PrintedSheet& sheet : printed)
        questions.add(sheet);
    if (!sheets.empty() && sheets.front().writeAnswers) {
        SetPages answers(painter, device, SheetKind::Answer, style, questions.pages());
        for (const PrintedSheet& sheet : printed)
            answers.add(sheet);
    }
    for (const PrintedSheet& sheet : printed) {
        if (auto note = printColumnsNote(sheet.grid))
            return note;
    }
    return std::nullopt;
}

FileStatus writeSetPdf(QIODevice& device, std::span<const PrintedSheet> sheets, SheetKind kind, const PageStyle& style)
{
    SetPdf pdf(device, kind, style);
    for (const PrintedSheet& sheet : sheets)
        pdf.add(sheet);
    return pdf.finish();
}

FileStatus writeSheetPdf(QIODevice& device, const Sheet& sheet, SheetKind kind, const PageStyle& style,
                         const PageGrid& grid, const SetPosition& set)
{
    const PrintedSheet one{&sheet, set, grid};
    return writeSetPdf(device, {&one, 1}, kind, style);
}

} // namespace sumlark::pdf

#pragma once

// A set's pages drawn sheet by sheet, on a printer or into a PDF, so that
// no sheet has to be kept once it is drawn. The question pages of each
// sheet start on a new page (an odd one when the paper is printed on both
// sides, a blank back left where a sheet ends on a front); the answers of a
// set run on, several sheets a page, each under its number, name and seed.
// A single sheet's answer pages are its own, where its problems are.

#include "RunServices.h"
#include "SheetPdf.h"

#include <QIODevice>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sumlark::pdf {

// Whether a sheet's answers go among the set's, several sheets a page.
bool answersRunOn(const PrintedSheet& sheet);

class SetPages {
public:
    // From the device's current page, after pagesBefore pages drawn on it.
    SetPages(QPainter& painter, QPagedPaintDevice& device, SheetKind kind, const PageStyle& style,
             int pagesBefore = 0);

    void add(const PrintedSheet& sheet);
    // Pages on the device so far, those before included.
    int pages() const { return pages_; }

private:
    void newPage();
    void fromOddPage();
    void addPages(const PrintedSheet& sheet);
    void addAnswers(const PrintedSheet& sheet);
    void newAnswerPage(const PrintedSheet& sheet);

    QPainter& painter_;
    QPagedPaintDevice& device_;
    SheetKind kind_;
    PageStyle style_;
    int pages_;
    int answerPages_ = 0;
    AnswerRoom room_;
    double next_ = 0.0; // where the next block of answers starts
};

// One PDF of a set's pages of one kind, drawn as the sheets come.
class SetPdf {
public:
    SetPdf(QIODevice& device, SheetKind kind, const PageStyle& style);
    ~SetPdf();

    void add(const PrintedSheet& sheet);
    // Puts the last page and the trailer out. A failure here is one of
    // drawing; the device's own are its owner's to check.
    FileStatus finish();

private:
    bool begin(const Sheet* first);
    void abandon();

    QIODevice& device_;
    SheetKind kind_;
    PageStyle style_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    std::optional<SetPages> pages_;
    FileStatus status_ = FileStatus::success();
};

// The sheets of a set in order, numbered 1 to n of n, each with its own grid.
std::vector<PrintedSheet> printedSet(const std::vector<Sheet>& sheets, const PageStyle& style);
// The question pages of the sheets, each sheet's own (no blank backs).
int setPageCount(std::span<const PrintedSheet> sheets);
// Printing: lays the sheets out for the device's paper and margins, draws
// the question pages of every sheet, then their answers when the sheets
// have them, and returns the note on fewer problems a row, if any.
std::optional<std::string> printSet(QPainter& painter, QPagedPaintDevice& device, const std::vector<Sheet>& sheets,
                                    PageStyle style);
// One PDF holding the pages of one kind of every sheet.
FileStatus writeSetPdf(QIODevice& device, std::span<const PrintedSheet> sheets, SheetKind kind, const PageStyle& style);
// The same for one sheet.
FileStatus writeSheetPdf(QIODevice& device, const Sheet& sheet, SheetKind kind, const PageStyle& style,
                         const PageGrid& grid, const SetPosition& set);

} // namespace sumlark::pdf

#pragma once

// A sheet as a print-ready PDF: the title, a line for name, date and time on
// the question sheet, the problems in evenly spaced rows of per-line columns,
// and page numbers. Drawn with Qt's PDF writer in a Chinese font that the
// system provides. Everything here needs a QGuiApplication.

#include "RunServices.h"
#include "Sheet.h"
#include "SheetLayout.h"

#include <QIODevice>

#include <string>
#include <string_view>
#include <vector>

namespace sumlark::pdf {

enum class Paper { A4, Letter };

struct PageStyle {
    Paper paper = Paper::A4;
    double fontSize = 14.0; // points
};

// Where the problems go on every page of a sheet.
struct ProblemGrid {
    int columns = 1;
    int rowsPerPage = 1;
    double fontSize = 14.0; // points, smaller than asked when cells were too wide
};

struct PdfSheet {
    std::string title;
    bool nameLine = false; // 姓名, 日期 and 用时 to fill in
    std::vector<std::string> cells;
};

// The grid for per-line columns (0: one a line) that holds the widest of the
// cells. A question sheet and its answer sheet share the grid made for the
// answer cells, so that both have the same pages.
ProblemGrid planGrid(const PageStyle& style, int perLine, const std::vector<std::string>& cells);

int pageCount(const ProblemGrid& grid, std::size_t cellCount);

// Draws the sheet into device; a failure here is one of drawing, the
// device's own are its owner's to check.
FileStatus writeSheetPdf(QIODevice& device, const PdfSheet& sheet, const PageStyle& style, const ProblemGrid& grid);

// The PDF beside a text sheet: the same name ending in ".pdf".
std::string pdfPathFor(std::string_view textPath);

// The question or answer pages of a sheet: its title, the name line on the
// question pages, and the cells.
PdfSheet pdfSheet(const Sheet& sheet, SheetKind kind);
// The grid both PDFs of a sheet share: the one the answer cells need, so that
// the question pages leave room for the answers and match the answer pages.
ProblemGrid planGrid(const PageStyle& style, const Sheet& sheet);

} // namespace sumlark::pdf

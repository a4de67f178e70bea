#pragma once

// The window's sheets on paper: the print preview and the PDF pair, both
// drawn by the printed-page code. A class set goes out as one document: the
// question pages of every sheet in order, then their answer pages.

#include "RunServices.h"
#include "Sheet.h"
#include "SheetPdf.h"

#include <QString>

#include <vector>

class QWidget;

namespace sumlark::ui {

class PrintSupport;

// The preview's pages: the question pages of every sheet, then the answer
// pages when the sheets have answers, laid out for the device's paper and
// margins. Returns the note on fewer problems a row, or nothing.
QString drawPrintedPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<Sheet>& sheets,
                         const pdf::PageStyle& style);
int printedPageCount(const std::vector<Sheet>& sheets, const pdf::PageStyle& style);

// Shows the print preview over parent; a module that cannot be loaded is told.
void printSheets(QWidget* parent, PrintSupport& printing, const std::vector<Sheet>& sheets,
                 const pdf::PageStyle& style, CompletionServices& services);

// Asks for a file name, starting in folder, and writes the PDF pair; says
// where it went or what failed.
void exportSheetPdfs(QWidget* parent, const QString& folder, const std::vector<Sheet>& sheets,
                     const pdf::PageStyle& style, CompletionServices& services);

} // namespace sumlark::ui

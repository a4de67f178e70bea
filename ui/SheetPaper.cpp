#include "SheetPaper.h"

#include "GenerateSheets.h"
#include "PdfFiles.h"
#include "PrintSupport.h"

#include <QDir>
#include <QFileDialog>

namespace sumlark::ui {

void drawPrintedPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<Sheet>& sheets,
                      const pdf::PageStyle& style)
{
    const std::vector<pdf::PrintedSheet> printed = pdf::printedSet(sheets, style);
    pdf::drawSetPages(painter, device, printed, SheetKind::Question, style);
    if (!sheets.empty() && sheets.front().writeAnswers)
        pdf::drawSetPages(painter, device, printed, SheetKind::Answer, style, true);
}

int printedPageCount(const std::vector<Sheet>& sheets, const pdf::PageStyle& style)
{
    const int questionPages = pdf::setPageCount(pdf::printedSet(sheets, style));
    return !sheets.empty() && sheets.front().writeAnswers ? 2 * questionPages : questionPages;
}

void printSheets(QWidget* parent, PrintSupport& printing, const std::vector<Sheet>& sheets,
                 const pdf::PageStyle& style, CompletionServices& services)
{
    if (sheets.empty())
        return;
    const PrintJob job{QString::fromStdString(pdf::pageTitle(sheets.front(), SheetKind::Question)),
                       pdf::pageLayout(style),
                       [&sheets, style](QPainter& painter, QPagedPaintDevice& device) {
                           drawPrintedPages(painter, device, sheets, style);
                       }};
    if (std::string reason; !printing.showPreview(parent, job, reason))
        services.showMessage("无法打印", reason);
}

void exportSheetPdfs(QWidget* parent, const QString& folder, const std::vector<Sheet>& sheets,
                     const pdf::PageStyle& style, CompletionServices& services)
{
    if (sheets.empty())
        return;
    const QString chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("导出 PDF"),
                                                        QDir(folder).filePath(QStringLiteral("速算答题.pdf")),
                                                        QStringLiteral("PDF 文件 (*.pdf)"));
    if (chosen.isEmpty())
        return;
    const pdf::PdfPairReport report = pdf::writePdfPair(chosen, sheets, style);
    std::string failures;
    std::string done = "PDF 已保存：\n" + report.question.path;
    for (const auto& [file, name] : {std::pair{&report.question, "PDF 答题纸"}, std::pair{&report.answer, "PDF 答案纸"}}) {
        if (file->path.empty())
            continue; // no answers asked for
        if (file != &report.question)
            done += "\n" + file->path;
        if (!file->written) {
            failures += failures.empty() ? "" : "\n\n";
            failures += failureText(name, file->path, file->reason);
        }
    }
    if (report.note)
        done += "\n" + *report.note;
    if (!failures.empty())
        services.showMessage("保存失败", failures);
    else
        services.showMessage("成功", done);
}

} // namespace sumlark::ui

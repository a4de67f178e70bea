#include "SheetPaper.h"

#include "PdfFiles.h"
#include "PrintSupport.h"
#include "RunWords.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPagedPaintDevice>

namespace sumlark::ui {
namespace {

// Whether the files the pair would replace, if any, may be replaced.
bool replaceAllowed(QWidget* parent, const QString& chosen, bool answers)
{
    const pdf::PdfPairPaths paths = pdf::pdfPairPaths(chosen);
    QStringList existing;
    for (const QString& path : answers ? QStringList{paths.question, paths.answer} : QStringList{paths.question}) {
        if (QFileInfo::exists(path))
            existing << QDir::toNativeSeparators(path);
    }
    if (existing.isEmpty())
        return true;
    const QString text = QStringLiteral("下面的文件已经存在，要替换吗？\n") + existing.join(QLatin1Char('\n'));
    return QMessageBox::question(parent, QStringLiteral("导出 PDF"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

QString drawPrintedPages(QPainter& painter, QPagedPaintDevice& device, const std::vector<Sheet>& sheets,
                         const pdf::PageStyle& style)
{
    return QString::fromStdString(pdf::printSet(painter, device, sheets, style).value_or(std::string()));
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
                       pdf::pageSizeOf(style.paper),
                       [&sheets, style](QPainter& painter, QPagedPaintDevice& device) {
                           return drawPrintedPages(painter, device, sheets, style);
                       }};
    if (std::string reason; !printing.showPreview(parent, job, reason))
        services.showMessage("无法打印", reason);
}

void exportSheetPdfs(QWidget* parent, const QString& folder, const std::vector<Sheet>& sheets,
                     const pdf::PageStyle& style, CompletionServices& services)
{
    if (sheets.empty())
        return;
    // The dialog would ask about the name typed, not about the pair it
    // stands for: the question is asked here, once, for both files.
    const QString chosen = QFileDialog::getSaveFileName(
        parent, QStringLiteral("导出 PDF"), QDir(folder).filePath(QStringLiteral("速算答题.pdf")),
        QStringLiteral("PDF 文件 (*.pdf)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty() || !replaceAllowed(parent, chosen, !sheets.empty() && sheets.front().writeAnswers))
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
            failures += wording::failureText(name, file->path, file->reason);
        }
    }
    if (report.note)
        done += "\n" + *report.note;
    if (!failures.empty())
        services.showMessage(std::string(wording::kFailedTitle), failures);
    else
        services.showMessage(std::string(wording::kDoneTitle), done);
}

} // namespace sumlark::ui

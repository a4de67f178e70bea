#include "PdfFiles.h"

#include "PathBytes.h"

#include <QDir>
#include <QFileInfo>

namespace sumlark::pdf {
namespace {

// As reports show it: the bytes of a folder name that is not UTF-8 kept.
std::string nativePath(const QString& path)
{
    return bytesOfPath(QDir::toNativeSeparators(path));
}

void settle(StagedPdf& staged, SheetReport& report)
{
    const FileStatus status = staged.commit();
    report.written = status.ok;
    report.reason = status.reason;
    report.note = status.note;
}

} // namespace

StagedPdf stageNewPdf(SheetFolder& folder, const QString& fileName)
{
    StagedPdf staged{nativePath(folder.filePath(fileName)), nullptr, {}};
    staged.file = folder.stage(fileName, staged.reason);
    return staged;
}

StagedPdf stagePdf(SheetFolder& folder, const QString& fileName, std::span<const PrintedSheet> sheets, SheetKind kind,
                   const PageStyle& style)
{
    StagedPdf staged = stageNewPdf(folder, fileName);
    if (!staged.file)
        return staged;
    if (const FileStatus status = writeSetPdf(*staged.file, sheets, kind, style); !status.ok) {
        staged.reason = status.reason;
        staged.file.reset(); // dropped: the earlier PDF stays
    }
    return staged;
}

PdfPairPaths pdfPairPaths(const QString& chosenPath)
{
    QString base = QDir::cleanPath(QDir::fromNativeSeparators(chosenPath));
    if (base.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        base.chop(4);
    return {base + QStringLiteral(".pdf"), base + QStringLiteral("-答案.pdf")};
}

PdfPairReport writePdfPair(const QString& chosenPath, const std::vector<Sheet>& sheets, const PageStyle& style)
{
    const PdfPairPaths paths = pdfPairPaths(chosenPath);
    const bool answers = !sheets.empty() && sheets.front().writeAnswers;
    PdfPairReport report;
    report.question.path = nativePath(paths.question);
    if (answers)
        report.answer.path = nativePath(paths.answer);

    const std::vector<PrintedSheet> printed = printedSet(sheets, style);
    for (const PrintedSheet& sheet : printed) {
        if (!report.note)
            report.note = columnsNote(sheet.grid);
    }

    std::string reason;
    const auto folder = SheetFolder::open(QFileInfo(paths.question).absolutePath(), reason);
    if (!folder) {
        report.question.reason = report.answer.reason = reason;
        return report;
    }
    StagedPdf question = stagePdf(*folder, QFileInfo(paths.question).fileName(), printed, SheetKind::Question, style);
    StagedPdf answer;
    if (answers)
        answer = stagePdf(*folder, QFileInfo(paths.answer).fileName(), printed, SheetKind::Answer, style);
    question.prepare();
    if (answers)
        answer.prepare();
    settle(question, report.question);
    if (answers)
        settle(answer, report.answer);
    return report;
}

} // namespace sumlark::pdf

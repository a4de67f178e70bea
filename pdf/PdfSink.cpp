#include "PdfSink.h"

namespace sumlark::pdf {

SheetPdfs stageSheetPdfs(SheetFolder& folder, const Sheet& sheet, int number, int count, const PageStyle& style)
{
    // The question and answer pages share one grid, so that an answer sits
    // where its problem sits.
    const PrintedSheet printed{&sheet, {number, count}, planPages(style, sheet)};
    SheetPdfs made{{}, columnsNote(printed.grid)};
    const auto add = [&](FileKind kind, SheetKind pages, const std::string& textName) {
        made.pdfs.push_back({kind, stagePdf(folder, QString::fromStdString(pdfPathFor(textName)), {&printed, 1},
                                            pages, style)});
    };
    add(FileKind::QuestionPdf, SheetKind::Question, questionSheetName(sheet.tag));
    if (sheet.writeAnswers)
        add(FileKind::AnswerPdf, SheetKind::Answer, answerSheetName(sheet.tag));
    return made;
}

} // namespace sumlark::pdf

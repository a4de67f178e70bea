#pragma once

// A PDF read back the way its reader sees it: the words of every page with
// their boxes, as pdftotext -bbox gives them, and the problem text a text
// sheet writes turned into the characters the page prints.

#include <QString>

#include <vector>

namespace sumlark::testing {

struct PdfWord {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    QString text;

    double height() const { return bottom - top; }
};
using PdfLine = std::vector<PdfWord>;

struct PdfPage {
    double width = 0.0; // points
    double height = 0.0;
    std::vector<PdfWord> words;

    // The words in lines by their top, top to bottom, each left to right.
    std::vector<PdfLine> lines() const;
};

// Every page of the PDF; none when pdftotext cannot read it.
std::vector<PdfPage> readPdfPages(const QString& path);

// A line of problems in the characters of a text sheet's cells, without
// spaces: "..." for "……", a negative operand without its parentheses.
QString problemText(const PdfLine& line);

// Whether a text holds Chinese: titles, the name line, page numbers.
bool hasChinese(const QString& text);

// A text sheet's problem as the page prints it: the signs ＋ and － as
// + and −, a number's own minus as − too.
QString pageSigns(QString sheetText);

} // namespace sumlark::testing

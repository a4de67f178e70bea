#include "PdfWords.h"

#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace sumlark::testing {

std::vector<PdfLine> PdfPage::lines() const
{
    // Words of one line overlap by most of their height; words in another
    // face (the signs) have tops of their own.
    std::vector<PdfWord> sorted = words;
    std::sort(sorted.begin(), sorted.end(), [](const PdfWord& a, const PdfWord& b) { return a.top < b.top; });
    std::vector<PdfLine> out;
    double lineBottom = 0.0;
    for (const PdfWord& word : sorted) {
        if (out.empty() || word.top > lineBottom - 0.5 * std::min(word.height(), out.back().front().height())) {
            out.emplace_back();
            lineBottom = word.bottom;
        }
        out.back().push_back(word);
        lineBottom = std::max(lineBottom, word.bottom);
    }
    for (PdfLine& line : out)
        std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.left < b.left; });
    return out;
}

std::vector<PdfPage> readPdfPages(const QString& path)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!text.waitForFinished(60'000) || text.exitCode() != 0)
        return {};
    static const QRegularExpression pageStart(R"x(<page width="([\d.]+)" height="([\d.]+)">)x");
    static const QRegularExpression word(
        R"x(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)x");
    std::vector<PdfPage> pages;
    const QString boxes = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& chunk : boxes.split(QStringLiteral("<page ")).mid(1)) {
        const auto size = pageStart.match(QStringLiteral("<page ") + chunk);
        PdfPage page{size.captured(1).toDouble(), size.captured(2).toDouble(), {}};
        for (auto match = word.globalMatch(chunk); match.hasNext();) {
            const auto found = match.next();
            // The boxes are HTML: a comparison's sign comes as an entity.
            const QString said = found.captured(5)
                                     .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                                     .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                                     .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            page.words.push_back({found.captured(1).toDouble(), found.captured(2).toDouble(),
                                  found.captured(3).toDouble(), found.captured(4).toDouble(), said});
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

QString problemText(const PdfLine& line)
{
    static const QRegularExpression parenthesized("\\((\u2212\\d+)\\)");
    QString text;
    for (const PdfWord& word : line)
        text += word.text;
    return text.replace(QStringLiteral("……"), QStringLiteral("...")).replace(parenthesized, QStringLiteral("\\1"));
}

bool hasChinese(const QString& text)
{
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    return text.contains(chinese);
}

QString pageSigns(QString sheetText)
{
    return sheetText.replace(QStringLiteral("＋"), QStringLiteral("+"))
        .replace(QStringLiteral("－"), QStringLiteral("\u2212"))
        .replace(QLatin1Char('-'), QStringLiteral("\u2212"))
        .replace(QStringLiteral("＜"), QStringLiteral("<"))
        .replace(QStringLiteral("＝"), QStringLiteral("="))
        .replace(QStringLiteral("＞"), QStringLiteral(">"));
}

} // namespace sumlark::testing

#include "TextSheets.h"

namespace sumlark {

std::string sheetText(const Sheet& sheet, SheetKind kind)
{
    std::string text = headerLine(kind, sheet.countText, sheet.typeText);
    const bool cells = kind == SheetKind::Question || sheet.writeAnswers;
    // A cell is at most a prefix and a few short numbers.
    if (cells)
        text.reserve(text.size() + 40 * sheet.problems.size() + 512);
    ProblemLines lines(text, sheet.perLine);
    std::string prefix;
    std::string cell;
    for (std::size_t i = 0; cells && i < sheet.problems.size(); ++i) {
        if (sheet.numbered)
            prefix = serialPrefix(static_cast<int>(i) + 1, sheet.serialWidth);
        cell.clear();
        if (kind == SheetKind::Question)
            appendQuestionCell(cell, prefix, sheet.problems[i]);
        else
            appendAnswerCell(cell, prefix, sheet.problems[i]);
        lines.add(cell, static_cast<int>(i) + 1);
    }
    text += footer(static_cast<int>(sheet.problems.size()), sheet.typeText, sheet.smallestText, sheet.largestText);
    return text;
}

} // namespace sumlark

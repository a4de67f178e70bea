#include "SheetLayout.h"

#include "NumberText.h"

#include <cmath>
#include <cstdlib>

namespace sumlark {

const std::string_view kCreditLine = "本练习纸由小学Sumlark生成，祝同学们算得又快又准！";

std::string questionSheetName(std::string_view tag)
{
    if (tag.empty())
        return std::string(kQuestionSheetName);
    return "速算答题-" + std::string(tag) + ".txt";
}

std::string answerSheetName(std::string_view tag)
{
    if (tag.empty())
        return std::string(kAnswerSheetName);
    return "速算答题-" + std::string(tag) + "-答案.txt";
}

std::string oneLineText(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    return line;
}

std::string headerLine(SheetKind kind, std::string_view countText, std::string_view typeText)
{
    std::string line = kind == SheetKind::Question ? "--------答*题*纸-----题数(" : "--------答@案@纸-----题数(";
    line += oneLineText(countText);
    line += ")----类型(";
    line += oneLineText(typeText);
    line += ")----";
    line += kLineEnd;
    return line;
}

std::string footer(int problemsMade, std::string_view typeText, std::string_view smallestText,
                   std::string_view largestText)
{
    std::string summary = "Sumlark总共生成：";
    summary += std::to_string(problemsMade);
    summary += " 题，题型：";
    summary += oneLineText(typeText);
    summary += " 出数范围：";
    summary += oneLineText(smallestText);
    summary += " 到 ";
    summary += oneLineText(largestText);
    summary += kLineEnd;
    return footerAround(summary);
}

std::string footerAround(std::string_view summaryLines)
{
    const std::string dashes(78, '-');
    std::string text(kLineEnd);
    text += dashes;
    text += kLineEnd;
    text += summaryLines;
    text += dashes;
    text += kLineEnd;
    text += kCreditLine;
    text += kLineEnd;
    return text;
}

int printColumns(std::string_view utf8)
{
    int columns = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            columns += 1;
        else if (byte >= 0xC0)
            columns += 2; // the lead byte of a non-ASCII character
    }
    return columns;
}

int serialWidth(std::string_view countText)
{
    const double count = leadingNumber(countText);
    if (count < 100.0)
        return 2;
    if (count < 1000.0)
        return 3;
    return 4;
}

std::string serialPrefix(int problemNumber, int width)
{
    std::string digits = std::to_string(problemNumber);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    digits += ") ";
    return digits;
}

int perLineCount(std::string_view perLineText)
{
    // nearbyint rounds half to even in the default rounding mode.
    const double rounded = std::nearbyint(leadingNumber(perLineText));
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        return 0;
    return std::abs(static_cast<int>(rounded));
}

void ProblemLines::add(std::string_view cell, int problemNumber)
{
    add(cell, printColumns(cell), problemNumber);
}

void ProblemLines::add(std::string_view cell, int columns, int problemNumber)
{
    sheet_ += cell;
    column_ += columns;
    if (perLine_ == 0 || problemNumber % perLine_ == 0) {
        sheet_ += kLineEnd;
        column_ = 1;
        return;
    }
    const int nextZone = ((column_ - 1) / kPrintZoneWidth + 1) * kPrintZoneWidth + 1;
    sheet_.append(static_cast<std::size_t>(nextZone - column_), ' ');
    column_ = nextZone;
}

} // namespace sumlark

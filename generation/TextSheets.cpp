#include "TextSheets.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace sumlark {
namespace {

// A cell is built in a small buffer and goes into the sheet in one piece,
// its print columns counted on the way: a run writes 32766 of them twice,
// so every piece is copied in place rather than through a library call.
class CellWriter {
public:
    // The four signs, each padded to four bytes for a copy of fixed size.
    struct Sign {
        char bytes[4];
        std::size_t size;
        int columns;
    };

    void clear()
    {
        size_ = 0;
        columns_ = 0;
    }
    void character(char c)
    {
        // Never false: a cell is far shorter than the buffer; the test lets
        // the compiler see so.
        if (size_ < sizeof bytes_)
            bytes_[size_++] = c;
        ++columns_;
    }
    void sign(const Sign& sign)
    {
        std::memcpy(bytes_ + size_, sign.bytes, sizeof sign.bytes);
        size_ += sign.size;
        columns_ += sign.columns;
    }
    // Operands and results are whole numbers well inside 64 bits.
    void whole(double value)
    {
        char* start = bytes_ + size_;
        char* end = std::to_chars(start, bytes_ + sizeof bytes_, static_cast<std::int64_t>(value)).ptr;
        size_ = static_cast<std::size_t>(end - bytes_);
        columns_ += static_cast<int>(end - start);
    }
    // "0012) ": the number padded with zeros to the width (2 to 4 digits).
    void serialPrefix(int number, int width)
    {
        int digits = 1;
        for (int rest = number; rest >= 10; rest /= 10)
            ++digits;
        for (; digits < std::min(width, 16); ++digits)
            character('0');
        whole(number);
        character(')');
        character(' ');
    }

    std::string_view bytes() const { return {bytes_, size_}; }
    int columns() const { return columns_; }

private:
    // A serial prefix, three numbers of at most 20 characters, a sign and
    // a remainder fit with room to spare.
    char bytes_[128];
    std::size_t size_ = 0;
    int columns_ = 0;
};

// The problem lines of one sheet, or of one section of a sheet, whose
// problems are numbered from firstNumber at serial width.
void appendProblems(std::string& text, const Sheet& sheet, SheetKind kind, int firstNumber, int width)
{
    std::array<CellWriter::Sign, 4> signs{};
    for (std::size_t operation = 0; operation < signs.size(); ++operation) {
        const std::string_view sign = signOf(Operation(operation));
        std::memcpy(signs[operation].bytes, sign.data(), std::min(sign.size(), sizeof signs[operation].bytes));
        signs[operation].size = std::min(sign.size(), sizeof signs[operation].bytes);
        signs[operation].columns = printColumns(sign);
    }

    ProblemLines lines(text, sheet.perLine);
    CellWriter cell;
    std::string formed;
    for (std::size_t i = 0; i < sheet.problems.size(); ++i) {
        const SheetProblem& problem = sheet.problems[i];
        const int place = static_cast<int>(i) + 1; // in the section, for the lines
        const int number = firstNumber + static_cast<int>(i);
        if (problem.terms != 2 || problem.blank != BlankSpot::Result || problem.compare != CompareForm::None) {
            // Blanks, chains and comparisons are rarer and take the general way.
            formed.clear();
            const std::string prefix = sheet.numbered ? serialPrefix(number, width) : std::string();
            if (kind == SheetKind::Answer)
                appendAnswerCell(formed, prefix, problem);
            else
                appendQuestionCell(formed, prefix, problem);
            lines.add(formed, printColumns(formed), place);
            continue;
        }
        cell.clear();
        if (sheet.numbered)
            cell.serialPrefix(number, width);
        cell.whole(problem.left);
        cell.sign(signs[std::size_t(problem.operation)]);
        cell.whole(problem.right);
        cell.character('=');
        if (kind == SheetKind::Answer) {
            cell.whole(problem.result);
            if (problem.remainder != 0.0) {
                for (int dot = 0; dot < 3; ++dot)
                    cell.character('.');
                cell.whole(problem.remainder);
            }
        }
        lines.add(cell.bytes(), cell.columns(), place);
    }
}

// How the summary names a section: its heading, or its place.
std::string sectionName(const Sheet& section, std::size_t index)
{
    return section.heading.empty() ? "第 " + std::to_string(index + 1) + " 段" : oneLineText(section.heading);
}

} // namespace

std::string sheetText(const Sheet& sheet, SheetKind kind)
{
    std::string text = headerLine(kind, sheet.countText, sheet.typeText);
    const bool cells = kind == SheetKind::Question || sheet.writeAnswers;
    // A cell is at most a prefix and a few short numbers.
    if (cells)
        text.reserve(text.size() + 40 * sheet.problems.size() + 512);
    if (sheet.sections.empty()) {
        if (cells)
            appendProblems(text, sheet, kind, 1, sheet.serialWidth);
        text += footer(static_cast<int>(sheet.problems.size()), sheet.typeText, sheet.smallestText, sheet.largestText);
        return text;
    }
    // Sections follow each other under their headings, a blank line apart,
    // numbered through, so that an answer's number finds its problem.
    int first = 1;
    std::string summary;
    for (std::size_t i = 0; i < sheet.sections.size(); ++i) {
        const Sheet& section = sheet.sections[i];
        if (i > 0) {
            if (!text.ends_with(kLineEnd))
                text += kLineEnd;
            text += kLineEnd;
        }
        if (!section.heading.empty())
            text += oneLineText(section.heading) + std::string(kLineEnd);
        if (cells)
            appendProblems(text, section, kind, first, sheet.serialWidth);
        first += static_cast<int>(section.problems.size());
        summary += sectionName(section, i) + "：" + std::to_string(section.problems.size()) + " 题，题型：" +
                   oneLineText(section.typeText) + " 出数范围：" + oneLineText(section.smallestText) + " 到 " +
                   oneLineText(section.largestText) + std::string(kLineEnd);
    }
    // The summary line speaks of the whole; each section's follows it.
    return text + footerAround("Sumlark总共生成：" + std::to_string(sheet.problems.size()) + " 题，分 " +
                               std::to_string(sheet.sections.size()) + " 段" + std::string(kLineEnd) + summary);
}

} // namespace sumlark

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

} // namespace

std::string sheetText(const Sheet& sheet, SheetKind kind)
{
    std::string text = headerLine(kind, sheet.countText, sheet.typeText);
    const bool cells = kind == SheetKind::Question || sheet.writeAnswers;
    // A cell is at most a prefix and a few short numbers.
    if (cells)
        text.reserve(text.size() + 40 * sheet.problems.size() + 512);
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
    for (std::size_t i = 0; cells && i < sheet.problems.size(); ++i) {
        const SheetProblem& problem = sheet.problems[i];
        const int number = static_cast<int>(i) + 1;
        if (problem.terms != 2 || problem.blank != BlankSpot::Result) {
            // Blanks and chains are rarer and take the general way.
            formed.clear();
            const std::string prefix = sheet.serialPrefix(i);
            if (kind == SheetKind::Answer)
                appendAnswerCell(formed, prefix, problem);
            else
                appendQuestionCell(formed, prefix, problem);
            lines.add(formed, printColumns(formed), number);
            continue;
        }
        cell.clear();
        if (sheet.numbered)
            cell.serialPrefix(number, sheet.serialWidth);
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
        lines.add(cell.bytes(), cell.columns(), number);
    }
    text += footer(static_cast<int>(sheet.problems.size()), sheet.typeText, sheet.smallestText, sheet.largestText);
    return text;
}

} // namespace sumlark

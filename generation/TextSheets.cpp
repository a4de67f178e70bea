#include "TextSheets.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace sumlark {
namespace {

// A cell is built in a small buffer and goes into the sheet in one piece,
// its print columns counted on the way: a run writes 32766 of them twice.
class CellWriter {
public:
    void clear()
    {
        size_ = 0;
        columns_ = 0;
    }
    void ascii(std::string_view text)
    {
        std::memcpy(bytes_ + size_, text.data(), text.size());
        size_ += text.size();
        columns_ += static_cast<int>(text.size());
    }
    void text(std::string_view utf8, int columns)
    {
        std::memcpy(bytes_ + size_, utf8.data(), utf8.size());
        size_ += utf8.size();
        columns_ += columns;
    }
    // Operands and results are whole numbers well inside 64 bits.
    void whole(double value, int padTo = 0)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::int64_t>(value)).ptr;
        const auto length = static_cast<int>(end - digits);
        // Serial widths are 2 to 4 digits; more would still fit the buffer.
        for (int pad = length; pad < std::min(padTo, 16); ++pad)
            ascii("0");
        ascii(std::string_view(digits, std::size_t(length)));
    }
    void serialPrefix(int problemNumber, int width)
    {
        whole(problemNumber, width);
        ascii(") ");
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
    std::array<int, 4> signColumns{};
    for (int operation = 0; operation < 4; ++operation)
        signColumns[std::size_t(operation)] = printColumns(signOf(Operation(operation)));

    ProblemLines lines(text, sheet.perLine);
    CellWriter cell;
    for (std::size_t i = 0; cells && i < sheet.problems.size(); ++i) {
        const SheetProblem& problem = sheet.problems[i];
        const int number = static_cast<int>(i) + 1;
        cell.clear();
        if (sheet.numbered)
            cell.serialPrefix(number, sheet.serialWidth);
        cell.whole(problem.left);
        cell.text(signOf(problem.operation), signColumns[std::size_t(problem.operation)]);
        cell.whole(problem.right);
        cell.ascii("=");
        if (kind == SheetKind::Answer) {
            cell.whole(problem.result);
            if (problem.remainder != 0.0) {
                cell.ascii("...");
                cell.whole(problem.remainder);
            }
        }
        lines.add(cell.bytes(), cell.columns(), number);
    }
    text += footer(static_cast<int>(sheet.problems.size()), sheet.typeText, sheet.smallestText, sheet.largestText);
    return text;
}

} // namespace sumlark

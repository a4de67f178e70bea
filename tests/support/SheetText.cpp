#include "SheetText.h"

#include "SheetLayout.h"

#include <regex>
#include <stdexcept>

namespace sumlark::testing {

std::vector<std::string> sheetLines(std::string_view sheet)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < sheet.size()) {
        const auto end = sheet.find("\r\n", start);
        if (end == std::string_view::npos)
            throw std::runtime_error("sheet does not end with CR LF");
        lines.emplace_back(sheet.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> problemLines(std::string_view sheet)
{
    const auto lines = sheetLines(sheet);
    std::vector<std::string> result;
    const std::string dashes(78, '-');
    for (std::size_t i = 1; i < lines.size() && lines[i] != dashes; ++i)
        result.push_back(lines[i]);
    // The line end of the footer leaves an empty line when the last problem
    // line was already ended.
    if (!result.empty() && result.back().empty())
        result.pop_back();
    return result;
}

std::vector<Cell> cellsOf(std::string_view line)
{
    // A problem of two or three numbers, brackets around two, with its
    // result, or a comparison with its circle or sign.
    static const std::regex pattern("(\\d+\\) )?\\(?-?\\d+(＋|－|×|÷)\\(?-?\\d+\\)?((＋|－|×|÷)-?\\d+\\)?)?"
                                    "(=(-?\\d+(\\.\\.\\.\\d+)?)?|(○|＜|＝|＞)-?\\d+((＋|－|×|÷)-?\\d+)?)");
    std::vector<Cell> cells;
    const std::string text(line);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
        const auto position = static_cast<std::size_t>(it->position());
        cells.push_back({it->str(), 1 + printColumns(std::string_view(text).substr(0, position))});
    }
    return cells;
}

std::vector<Cell> allCells(std::string_view sheet)
{
    std::vector<Cell> cells;
    for (const auto& line : problemLines(sheet)) {
        auto more = cellsOf(line);
        cells.insert(cells.end(), more.begin(), more.end());
    }
    return cells;
}

} // namespace sumlark::testing

#pragma once

// Reading a sheet back the way a reader of the printout would: lines, the
// cells on a problem line, and the column each cell starts at.

#include <string>
#include <string_view>
#include <vector>

namespace sumlark::testing {

// Lines without their CR LF; the text must end with CR LF.
std::vector<std::string> sheetLines(std::string_view sheet);

// The problem lines: everything between the header and the empty-or-last
// line before the first dash line.
std::vector<std::string> problemLines(std::string_view sheet);

struct Cell {
    std::string text;
    int column = 1; // print column of its first character
};

// The cells of one problem line, found by their shape.
std::vector<Cell> cellsOf(std::string_view line);
std::vector<Cell> allCells(std::string_view sheet);

} // namespace sumlark::testing

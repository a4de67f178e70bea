#pragma once

// The two text sheets of a sheet, byte for byte as they are written (UTF-8,
// before the file service encodes them): header line, problem lines in
// 14-column print zones, footer.

#include "Sheet.h"
#include "SheetLayout.h"

#include <string>

namespace sumlark {

// The answer sheet of a sheet without answers holds its header and footer only.
std::string sheetText(const Sheet& sheet, SheetKind kind);

} // namespace sumlark

#pragma once

// Opening the PDF module (ProgramModule.h), and turning one from another
// build away.

#include "PdfPart.h"

#include <string>

namespace sumlark::cli {

// The module's table, or null with what the user is told.
const pdf::PdfPart* openPdfModule(std::string& error);

} // namespace sumlark::cli

#pragma once

// Opening the PDF module: beside the program, as in the build tree and on
// Windows, or in the library folder of an installation.

#include "PdfPart.h"

#include <string>

namespace sumlark::cli {

// The module's table, or null with what the user is told.
const pdf::PdfPart* openPdfModule(std::string& error);

} // namespace sumlark::cli

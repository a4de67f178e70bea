#pragma once

// One sumlark-cli run: the options as a request, the sinks chosen (the text
// sheets in their folder, the PDFs beside them from the module), one run,
// and its report on standard output and error.

#include "CliOptions.h"
#include "PdfPart.h"

#include <ostream>

namespace sumlark::cli {

enum ExitCode : int {
    kDone = 0,
    kWriteFailed = 1,
    kUsageOrRefused = 2,
};

// With options.pdf, pdf is the opened PDF module, whose application object
// must exist.
int runCli(const CliOptions& options, const pdf::PdfPart* pdf, std::ostream& out, std::ostream& err);

} // namespace sumlark::cli

#pragma once

#include "PrintJob.h"

#include <string>

namespace sumlark::ui {

// Printing, from a module loaded the first time it is used: Qt Print Support
// would otherwise cost every start of the program its memory.
class PrintSupport {
public:
    // Shows the print preview; false and the reason when the module cannot
    // be loaded.
    bool showPreview(QWidget* parent, const PrintJob& job, std::string& reason);

private:
    bool load(std::string& reason);

    ShowPrintPreview show_ = nullptr; // the module stays loaded once opened
};

} // namespace sumlark::ui

#pragma once

#include "PrintJob.h"

#include <QLibrary>
#include <QStringList>

#include <memory>
#include <string>

namespace sumlark::ui {

// Printing, from a module loaded the first time it is used: Qt Print Support
// would otherwise cost every start of the program its memory.
class PrintSupport {
public:
    // Shows the print preview; false and the reason when the module cannot
    // be loaded.
    bool showPreview(QWidget* parent, const PrintJob& job, std::string& reason);

    // Where the module is looked for: beside the program, where an
    // installation puts it, then in the application's library paths.
    static QStringList moduleFolders();

private:
    bool load(std::string& reason);

    std::unique_ptr<QLibrary> module_;
    ShowPrintPreview show_ = nullptr;
};

} // namespace sumlark::ui

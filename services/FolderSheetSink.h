#pragma once

// A run's text sheets in a folder of the disk: the folder as given (empty:
// the current one; relative: below it) resolved once, made where it is
// missing and locked for the whole run, when the run opens its outputs.
// Other sinks that write beside the sheets (PDFs) stage into the same
// locked folder, so that a pair and its PDFs move in together.

#include "FileRunServices.h"
#include "TextSheetSink.h"

#include <QString>

#include <memory>
#include <string>

namespace sumlark {

class FolderSheetSink : public TextSheetSink {
public:
    // folder is kept as the bytes given (PathBytes.h).
    FolderSheetSink(FileRunServices& files, std::string folder);

    PlaceStatus open() override;
    void close() override;

    // The locked folder between open and close.
    SheetFolder* sheetFolder() const { return locked_.get(); }

private:
    FileRunServices& services_;
    std::string given_;
    std::shared_ptr<SheetFolder> locked_;
};

} // namespace sumlark

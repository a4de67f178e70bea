#include "MemorySink.h"

#include "TextSheets.h"

namespace sumlark {

std::unique_ptr<StagedFiles> MemorySink::stage(const Sheet& sheet, int number, int count, RunReport& report)
{
    (void)number, (void)count, (void)report;
    if (keepTexts_)
        texts.push_back({sheetText(sheet, SheetKind::Question), sheetText(sheet, SheetKind::Answer)});
    sheets.push_back(sheet);
    return nullptr;
}

} // namespace sumlark

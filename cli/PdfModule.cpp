#include "PdfModule.h"

#include "ProgramModule.h"
#include "ShownText.h"

namespace sumlark::cli {

const pdf::PdfPart* openPdfModule(std::string& error)
{
    QStringList failures;
    const auto entry = reinterpret_cast<pdf::PdfPartEntry>(
        openProgramModule(QStringLiteral("sumlark-pdf"), pdf::kPdfPartEntry, {}, failures));
    const pdf::PdfPart* part = entry ? entry() : nullptr;
    if (part && part->version == pdf::kPdfPartVersion)
        return part;
    if (part)
        failures << QStringLiteral("sumlark-pdf 的版本和程序不符");
    error = "无法打开写 PDF 的组件 sumlark-pdf，没有写任何文件。请重新安装小学Sumlark，或者去掉 --pdf。\n";
    for (const QString& reason : failures)
        error += "  " + shownPath(reason.toStdString()) + "\n";
    return nullptr;
}

} // namespace sumlark::cli

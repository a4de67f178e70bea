#include "PdfModule.h"

#include "ShownText.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sumlark::cli {
namespace {

// The program's own folder, before any application object exists to say it.
QString programFolder()
{
#ifdef _WIN32
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    return QFileInfo(QString::fromWCharArray(path, int(length))).absolutePath();
#else
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
#endif
}

} // namespace

const pdf::PdfPart* openPdfModule(std::string& error)
{
    const QString folder = programFolder();
    const QStringList candidates = {QDir(folder).filePath(QStringLiteral("sumlark-pdf")),
                                    QDir(folder).filePath(QStringLiteral(SUMLARK_PDF_MODULE_FROM_PROGRAM "/sumlark-pdf"))};
    QString why;
    for (const QString& candidate : candidates) {
        QLibrary module(candidate);
        if (!module.load()) {
            why = module.errorString();
            continue;
        }
        // Kept loaded for the rest of the run: QLibrary unloads only when told.
        if (const auto entry = reinterpret_cast<pdf::PdfPartEntry>(module.resolve(pdf::kPdfPartEntry)))
            return entry();
        why = module.errorString();
    }
    error = "找不到写 PDF 的组件 sumlark-pdf（" + shownPath(why.toStdString()) +
            "），没有写任何文件。请重新安装小学Sumlark，或者去掉 --pdf。\n";
    return nullptr;
}

} // namespace sumlark::cli

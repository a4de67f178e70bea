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

// The program's own folder, before any application object exists to say
// it; empty when the system does not tell.
QString programFolder()
{
#ifdef _WIN32
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    if (length == 0 || length >= DWORD(std::size(path)))
        return {};
    return QFileInfo(QString::fromWCharArray(path, int(length))).absolutePath();
#else
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return program.isEmpty() ? QString() : QFileInfo(program).absolutePath();
#endif
}

} // namespace

const pdf::PdfPart* openPdfModule(std::string& error)
{
    // Only the program's own folders are looked in: a module is code, and a
    // folder the user happens to be in, or a drive's root, is no place to
    // take code from.
    const QString folder = programFolder();
    QStringList candidates;
    if (!folder.isEmpty()) {
        candidates << QDir(folder).filePath(QStringLiteral("sumlark-pdf"));
        const QString installed = QStringLiteral(SUMLARK_PDF_MODULE_FROM_PROGRAM);
        if (!installed.isEmpty() && QDir::isRelativePath(installed))
            candidates << QDir::cleanPath(QDir(folder).filePath(installed + QStringLiteral("/sumlark-pdf")));
    }
    QStringList why;
    for (const QString& candidate : candidates) {
        QLibrary module(candidate);
        if (!module.load()) {
            why << module.errorString();
            continue;
        }
        // Kept loaded for the rest of the run: QLibrary unloads only when told.
        const auto entry = reinterpret_cast<pdf::PdfPartEntry>(module.resolve(pdf::kPdfPartEntry));
        const pdf::PdfPart* part = entry ? entry() : nullptr;
        if (part && part->version == pdf::kPdfPartVersion)
            return part;
        why << (entry ? candidate + QStringLiteral("：版本不符") : module.errorString());
    }
    if (candidates.isEmpty())
        why << QStringLiteral("不知道程序所在的文件夹");
    error = "无法打开写 PDF 的组件 sumlark-pdf，没有写任何文件。请重新安装小学Sumlark，或者去掉 --pdf。\n";
    for (const QString& reason : why)
        error += "  " + shownPath(reason.toStdString()) + "\n";
    return nullptr;
}

} // namespace sumlark::cli

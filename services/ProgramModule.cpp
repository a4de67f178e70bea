#include "ProgramModule.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#ifdef _WIN32
#include <windows.h>
#endif

#include <iterator>

namespace sumlark {

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

QFunctionPointer openProgramModule(const QString& name, const char* entry, const QStringList& extraFolders,
                                   QStringList& failures)
{
    // A module is code: it is taken only from folders the program names,
    // never from one the user happens to be in or from a drive's root.
    QStringList folders;
    if (const QString folder = programFolder(); !folder.isEmpty()) {
        folders << folder;
        const QString installed = QStringLiteral(SUMLARK_MODULE_FROM_PROGRAM);
        if (!installed.isEmpty() && QDir::isRelativePath(installed))
            folders << QDir::cleanPath(QDir(folder).filePath(installed));
    } else {
        failures << QStringLiteral("不知道程序所在的文件夹");
    }
    for (const QString& extra : extraFolders) {
        if (!extra.isEmpty() && QDir::isAbsolutePath(extra) && !folders.contains(extra))
            folders << extra;
    }
    for (const QString& folder : folders) {
        QLibrary module(QDir(folder).filePath(name));
        if (!module.load()) {
            failures << module.errorString();
            continue;
        }
        if (const QFunctionPointer function = module.resolve(entry))
            return function;
        failures << module.errorString();
        module.unload();
    }
    return nullptr;
}

} // namespace sumlark

#include "WindowSheetFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace sumlark::ui {
namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

QString realPath(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? QDir::fromNativeSeparators(path) : canonical);
}

bool isUnder(const QString& path, const QString& root)
{
    const QString cleanRoot = QDir::cleanPath(QDir::fromNativeSeparators(root));
    if (cleanRoot.isEmpty())
        return false;
    if (path.compare(cleanRoot, kPathCase) == 0)
        return true;
    const QString prefix = cleanRoot.endsWith('/') ? cleanRoot : cleanRoot + '/';
    return path.startsWith(prefix, kPathCase);
}

// Asking the file system whether the folder is writable says yes to root
// everywhere and to anyone on a read-only medium, so really make a file.
bool canMakeFileIn(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".sumlark-probe-XXXXXX")));
    return probe.open();
}

} // namespace

QStringList installedRoots()
{
#ifdef Q_OS_WIN
    QStringList roots;
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        const QString folder = qEnvironmentVariable(name);
        if (!folder.isEmpty())
            roots << folder;
    }
    return roots;
#else
    return {QStringLiteral("/usr"), QStringLiteral("/opt")};
#endif
}

bool isInstalledFolder(const QString& programFolder, const QStringList& roots)
{
    const QString path = realPath(programFolder);
    for (const QString& root : roots) {
        if (isUnder(path, root) || isUnder(path, realPath(root)))
            return true;
    }
    return false;
}

QString sheetFolder(const QString& programFolder, const QString& documentsFolder, const QStringList& roots)
{
    if (!isInstalledFolder(programFolder, roots) && canMakeFileIn(programFolder))
        return programFolder;
    return QDir(documentsFolder).filePath(QString::fromUtf8(kDocumentsSubfolder));
}

QString sheetFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return sheetFolder(QCoreApplication::applicationDirPath(), documents, installedRoots());
}

} // namespace sumlark::ui

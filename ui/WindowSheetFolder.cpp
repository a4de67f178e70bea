#include "WindowSheetFolder.h"

#include "FileReasons.h"
#include "PathBytes.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

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
    if (documentsFolder.isEmpty())
        return {};
    return QDir(documentsFolder).filePath(QString::fromUtf8(kDocumentsSubfolder));
}

QString documentsFolder()
{
    const auto isRoot = [](const QString& path) { return QDir::cleanPath(path) == QDir::rootPath(); };
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty() && !isRoot(home)) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return documents.isEmpty() ? QDir::homePath() : documents;
    }
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    const passwd* user = ::getpwuid(::getuid());
    const QString recorded = user && user->pw_dir ? pathFromBytes(user->pw_dir) : QString();
    if (recorded.isEmpty() || isRoot(recorded) || QDir::isRelativePath(recorded))
        return {};
    return QDir::cleanPath(recorded) + QStringLiteral("/Documents");
#endif
}

QString sheetFolder()
{
    return sheetFolder(QCoreApplication::applicationDirPath(), documentsFolder(), installedRoots());
}

std::optional<std::string> makeSheetFolder(const QString& folder)
{
    std::string reason;
    if (folder.isEmpty())
        reason = "找不到您的主文件夹（没有设置 HOME，系统的用户记录里也没有），练习纸没有写到根目录下";
    else if (const int error = makeFolders(folder))
        reason = reasonFor(error);
    else
        return std::nullopt;
    return "练习纸没有保存成功：放练习纸的文件夹建立不起来。\n文件夹：" +
           (folder.isEmpty() ? std::string("（没有）") : shownPath(bytesOfPath(QDir::toNativeSeparators(folder)))) +
           "\n原因：" + reason;
}

} // namespace sumlark::ui

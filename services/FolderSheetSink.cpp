#include "FolderSheetSink.h"

#include "FileReasons.h"
#include "PathBytes.h"

#include <QDir>

namespace sumlark {
namespace {

// A folder's path as reports show it: the bytes the user gave.
std::string folderText(const QString& folder)
{
    return bytesOfPath(QDir::toNativeSeparators(folder));
}

} // namespace

FolderSheetSink::FolderSheetSink(FileRunServices& files, std::string folder)
    : TextSheetSink(files, folder), services_(files), given_(std::move(folder))
{
}

PlaceStatus FolderSheetSink::open()
{
    // Resolved once as an absolute path: a current folder that has been
    // deleted is no folder, and "" would be the root.
    const std::optional<QString> current = currentFolder();
    const QString given = pathFromBytes(given_);
    if ((given_.empty() || QDir::isRelativePath(given)) && !current)
        return {PlaceFailure::CurrentFolderGone, {}, {}};
    const QString folder = QDir::cleanPath(given_.empty()                ? *current
                                           : QDir::isAbsolutePath(given) ? given
                                                                         : *current + QLatin1Char('/') + given);
    setFolder(folderText(folder));
    if (const int error = makeFolders(folder))
        return {PlaceFailure::FolderNotMade, this->folder(), reasonFor(error)};
    std::string reason;
    locked_ = SheetFolder::open(folder, reason);
    if (!locked_)
        return {PlaceFailure::FolderNotOpened, this->folder(), reason};
    services_.useFolder(locked_);
    return {};
}

void FolderSheetSink::close()
{
    locked_.reset();
}

} // namespace sumlark

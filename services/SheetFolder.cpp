// What the folder service does alike on every system; the rest is in
// SheetFolder_posix.cpp and SheetFolder_windows.cpp.

#include "SheetFolder.h"

#include <QDir>

namespace sumlark {

QString SheetFolder::filePath(const QString& fileName) const
{
    return QDir::toNativeSeparators(path_ + QLatin1Char('/') + fileName);
}

} // namespace sumlark

#pragma once

// Paths as the bytes the file system knows them by. On Linux a name is any
// string of bytes; one that is not UTF-8 (a folder named in Latin-1, say)
// would come back from Qt's own conversion with U+FFFD in place of those
// bytes and name another folder. Here each such byte is carried in a QString
// as U+DC80..U+DCFF, which no UTF-8 text can hold, and turned back into the
// same byte on the way to the system. Messages show those bytes as \xNN
// (ShownText.h).

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace sumlark {

// The path for Qt's string functions, every byte kept.
QString pathFromBytes(std::string_view bytes);
// The bytes of a path from pathFromBytes (or any QString path), for the
// system and for messages.
std::string bytesOfPath(const QString& path);

// The current folder, absolute; none when it has been deleted.
std::optional<QString> currentFolder();

// Makes the folder and any missing folders above it: 0, or the system's
// error number for the first one that could not be made.
int makeFolders(const QString& path);

} // namespace sumlark

#pragma once

// A small file a user points at (a class's list, a plan), read whole: only
// a regular file, since opening a pipe waits for a writer that may never
// come, and only up to a size that such a file never reaches.

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace sumlark {

// The file's bytes; none, with the reason in the user's words, when it is
// missing, not a regular file, cannot be opened or holds more than limit
// bytes. what names the kind of file in the reason: "一个班的名单".
std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit, std::string_view what, std::string& reason);

} // namespace sumlark

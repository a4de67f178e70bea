#pragma once

// A class's list of names as a teacher keeps it: a text file saved by any
// editor, in UTF-8 (with or without a byte order mark), UTF-16 with its mark,
// or else GBK, as Windows' editors save Chinese text by default.

#include <QString>

#include <optional>
#include <string>

namespace sumlark {

// More than a list of 99 names can ever need; a larger file is no list.
inline constexpr qint64 kMaxNamesFileBytes = 64 * 1024;

// The list's text as UTF-8; none, with the reason in the user's words, when
// the file cannot be read, is not a regular file (a pipe would never end),
// is too large, or is neither UTF-8 nor GBK.
std::optional<std::string> readNamesFile(const QString& path, std::string& reason);

} // namespace sumlark

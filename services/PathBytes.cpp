#include "PathBytes.h"

#include "ShownText.h"

#include <QDir>

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <vector>
#endif

namespace sumlark {

#ifdef _WIN32

// Windows names are UTF-16; UTF-8 carries them whole.
QString pathFromBytes(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::string bytesOfPath(const QString& path)
{
    return path.toStdString();
}

std::optional<QString> currentFolder()
{
    const QString current = QDir::currentPath();
    return QDir(current).exists() ? std::optional(current) : std::nullopt;
}

int makeFolders(const QString& path)
{
    return QDir().mkpath(path) ? 0 : EACCES;
}

#else

namespace {

constexpr char16_t kByteBase = 0xDC00;

} // namespace

QString pathFromBytes(std::string_view bytes)
{
    QString path;
    path.reserve(qsizetype(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0) {
            path += QChar(char16_t(kByteBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        path += QString::fromUtf8(bytes.data() + i, qsizetype(length));
        i += length;
    }
    return path;
}

std::string bytesOfPath(const QString& path)
{
    std::string bytes;
    bytes.reserve(std::size_t(path.size()));
    qsizetype start = 0; // of the text not yet converted
    const auto flush = [&](qsizetype end) {
        if (end > start)
            bytes += path.mid(start, end - start).toStdString();
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        // A carried byte is a low surrogate with no high one before it.
        const bool paired = i > 0 && path[i - 1].isHighSurrogate();
        if (unit >= kByteBase + 0x80 && unit <= kByteBase + 0xFF && !paired) {
            flush(i);
            bytes += char(unit - kByteBase);
            start = i + 1;
        }
    }
    flush(path.size());
    return bytes;
}

std::optional<QString> currentFolder()
{
    // A deleted current folder has no path: getcwd says ENOENT.
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    return pathFromBytes(buffer.data());
}

int makeFolders(const QString& path)
{
    const std::string bytes = bytesOfPath(QDir::cleanPath(path));
    if (bytes.empty())
        return ENOENT;
    struct stat st {};
    if (::stat(bytes.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    // Each folder from the top down; those that are there already stay.
    for (std::size_t slash = bytes.find('/', 1);; slash = bytes.find('/', slash + 1)) {
        const std::string folder = bytes.substr(0, slash);
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            const int error = errno;
            // A folder above that this user may not write to is there all the same.
            if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                return error;
        }
        if (slash == std::string::npos)
            return 0;
    }
}

#endif

} // namespace sumlark

#include "SmallFile.h"

#include <QFile>
#include <QFileInfo>

namespace sumlark {

std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit, std::string_view what, std::string& reason)
{
    const QFileInfo info(path);
    // Checked before opening: opening a pipe waits for a writer.
    if (!info.exists() || !info.isFile()) {
        reason = info.exists() ? "这不是一个普通的文件" : "找不到这个文件";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = "文件打不开（" + file.errorString().toStdString() + "）";
        return std::nullopt;
    }
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        reason = "文件太大了，不像是" + std::string(what) + "（最多 " + std::to_string(limit / 1024) + " KB）";
        return std::nullopt;
    }
    return bytes;
}

} // namespace sumlark

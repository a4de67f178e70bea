#include "FileRunServices.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#include <chrono>

namespace sumlark {
namespace {

QStringEncoder makeEncoder(const QByteArray& name)
{
    if (name.isEmpty())
        return QStringEncoder(QStringConverter::System);
    return QStringEncoder(name.constData());
}

// Qt's own error texts are English; the user reads Chinese.
std::string describe(const QSaveFile& file)
{
    switch (file.error()) {
    case QFileDevice::OpenError:
        return "无法创建文件：文件夹不存在或不可写，或者文件是只读的、正被其他程序占用";
    case QFileDevice::WriteError:
        return "写入文件失败：磁盘可能已满";
    case QFileDevice::ResourceError:
        return "磁盘空间不足";
    case QFileDevice::RenameError:
        return "无法替换原来的文件：文件可能是只读的或正被其他程序占用";
    case QFileDevice::PermissionsError:
        return "没有写入这个文件的权限";
    default:
        return "无法写入文件";
    }
}

// A sheet written into a temporary file beside the target and moved over it
// on commit, so a failed run never leaves a half-written sheet behind.
class SavedSheet final : public SheetFile {
public:
    SavedSheet(const QString& path, const QByteArray& encoding) : file_(path), encoder_(makeEncoder(encoding)) {}

    bool open(std::string& reason)
    {
        const QFileInfo target(file_.fileName());
        if (target.isDir()) {
            reason = "同名的文件夹占用了这个位置";
            return false;
        }
        if (!file_.open(QIODevice::WriteOnly)) {
            // Qt reports a sheet it may not replace as a write error, which
            // would read as a full disk.
            reason = target.exists() && !target.isWritable() ? "文件是只读的，不能替换原来的文件" : describe(file_);
            return false;
        }
        return true;
    }

    FileStatus write(std::string_view text) override
    {
        const QByteArray bytes = encoder_.encode(QString::fromUtf8(text.data(), qsizetype(text.size())));
        if (file_.write(bytes) != bytes.size()) {
            // A write the disk took only part of sets no error: it ran out of room.
            return FileStatus::failure(file_.error() == QFileDevice::NoError ? "写入文件失败：磁盘可能已满"
                                                                             : describe(file_));
        }
        return FileStatus::success();
    }

    FileStatus commit() override
    {
        if (!file_.commit())
            return FileStatus::failure(describe(file_));
        return FileStatus::success();
    }

private:
    QSaveFile file_;
    QStringEncoder encoder_;
};

} // namespace

FileRunServices::FileRunServices(QByteArray encodingName) : encodingName_(std::move(encodingName)) {}

bool FileRunServices::encodingAvailable(const QByteArray& name)
{
    return makeEncoder(name).isValid();
}

std::uint64_t FileRunServices::clockSeed()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

std::unique_ptr<SheetFile> FileRunServices::createSheet(const std::string& path, std::string& reason)
{
    auto sheet = std::make_unique<SavedSheet>(QString::fromStdString(path), encodingName_);
    if (!sheet->open(reason))
        return nullptr;
    return sheet;
}

} // namespace sumlark

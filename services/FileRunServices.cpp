#include "FileRunServices.h"

#include "ProblemTypes.h"
#include "SheetLayout.h"

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

} // namespace

// Qt's own error texts are English; the user reads Chinese.
std::string saveFailureReason(const QFileDevice& file)
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

bool openSheetFile(QSaveFile& file, std::string& reason)
{
    const QFileInfo target(file.fileName());
    if (target.isDir()) {
        reason = "同名的文件夹占用了这个位置";
        return false;
    }
    if (!file.open(QIODevice::WriteOnly)) {
        // Qt reports a sheet it may not replace as a write error, which
        // would read as a full disk.
        reason = target.exists() && !target.isWritable() ? "文件是只读的，不能替换原来的文件" : saveFailureReason(file);
        return false;
    }
    return true;
}

namespace {

// A sheet written into a temporary file beside the target and moved over it
// on commit, so a failed run never leaves a half-written sheet behind.
class SavedSheet final : public SheetFile {
public:
    SavedSheet(const QString& path, const QByteArray& encoding) : file_(path), encoder_(makeEncoder(encoding)) {}

    bool open(std::string& reason) { return openSheetFile(file_, reason); }

    FileStatus write(std::string_view text) override
    {
        const QByteArray bytes = encoder_.encode(QString::fromUtf8(text.data(), qsizetype(text.size())));
        // An encoding without the sheet's characters would write "?" in
        // their place and shift every print zone: not a sheet worth keeping.
        if (encoder_.hasError())
            return FileStatus::failure("所选的编码写不出练习纸上的字符（例如“＋”“÷”和汉字），请改用 GBK 或 UTF-8");
        if (file_.write(bytes) != bytes.size()) {
            // A write the disk took only part of sets no error: it ran out of room.
            return FileStatus::failure(file_.error() == QFileDevice::NoError ? "写入文件失败：磁盘可能已满"
                                                                             : saveFailureReason(file_));
        }
        return FileStatus::success();
    }

    FileStatus commit() override
    {
        if (!file_.commit())
            return FileStatus::failure(saveFailureReason(file_));
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
    QStringEncoder encoder = makeEncoder(name);
    if (!encoder.isValid())
        return false;
    // Every sheet carries its header, footer and signs; an encoding that
    // cannot write those cannot write a sheet.
    std::string probe = headerLine(SheetKind::Question, "10", problemTypeText(ProblemType::AllFour)) +
                        headerLine(SheetKind::Answer, "10", problemTypeText(ProblemType::AllFour)) + footer(10, "", "", "");
    for (const auto operation : {Operation::Addition, Operation::Subtraction, Operation::Multiplication, Operation::Division})
        probe += signOf(operation);
    // encode() is lazy: only the conversion to bytes does the work.
    const QByteArray bytes = encoder.encode(QString::fromStdString(probe));
    return !encoder.hasError();
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

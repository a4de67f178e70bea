#include "FileRunServices.h"

#include "PathBytes.h"
#include "ProblemTypes.h"
#include "SheetLayout.h"

#include <QDir>
#include <QFileInfo>
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

const char* const kUtf8Note =
    "系统的编码写不出练习纸上的汉字和符号，练习纸改用 UTF-8 编码（带字节顺序标记）保存，记事本可以正常打开。";

SheetEncoding chooseEncoding(const QByteArray& requested, const QByteArray& system)
{
    if (!requested.isEmpty())
        return {requested, false, {}};
    if (FileRunServices::encodingAvailable(system))
        return {system, false, {}};
    return {"UTF-8", true, kUtf8Note};
}

// Whether the encoding writes UTF-8, which the engine's text is already:
// named so, or the system's on Unix, which Qt always takes for UTF-8.
bool writesUtf8(const QByteArray& name)
{
#ifdef Q_OS_WIN
    const bool systemIsUtf8 = false;
#else
    const bool systemIsUtf8 = true;
#endif
    if (name.isEmpty())
        return systemIsUtf8;
    return QStringConverter::encodingForName(name.constData()) == QStringConverter::Utf8;
}

// A sheet: UTF-8 text from the engine, encoded into a staged file.
class EncodedSheet final : public SheetFile {
public:
    EncodedSheet(std::unique_ptr<StagedFile> file, const SheetEncoding& encoding)
        : file_(std::move(file)), encoder_(makeEncoder(encoding.name)), utf8_(writesUtf8(encoding.name)),
          note_(encoding.note)
    {
        if (encoding.byteOrderMark)
            file_->write("\xEF\xBB\xBF");
    }

    FileStatus write(std::string_view text) override
    {
        // Valid UTF-8 goes out as it is, saving two conversions of the
        // whole sheet; anything else takes the encoder, as every other
        // encoding does.
        if (utf8_ && QUtf8StringView(text.data(), qsizetype(text.size())).isValidUtf8()) {
            file_->write(text.data(), qint64(text.size()));
            return file_->status();
        }
        const QByteArray bytes = encoder_.encode(QString::fromUtf8(text.data(), qsizetype(text.size())));
        // An encoding without the sheet's characters would write "?" in
        // their place and shift every print zone: not a sheet worth keeping.
        if (encoder_.hasError()) {
            file_->fail("所选的编码写不出练习纸上的字符（例如“＋”“÷”和汉字），请改用 GBK 或 UTF-8");
            return file_->status();
        }
        file_->write(bytes);
        return file_->status();
    }

    FileStatus finish() override { return file_->prepare(); }

    FileStatus commit() override
    {
        FileStatus status = file_->commit();
        if (status.ok)
            status.note = note_;
        return status;
    }

private:
    std::unique_ptr<StagedFile> file_;
    QStringEncoder encoder_;
    bool utf8_;
    std::string note_;
};

} // namespace

FileRunServices::FileRunServices(QByteArray encodingName, QByteArray systemEncoding)
    : encodingName_(std::move(encodingName)), encoding_(chooseEncoding(encodingName_, systemEncoding))
{
}

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

FileStatus FileRunServices::openFolder(const std::string& folder)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(pathFromBytes(folder)));
    if (const auto current = folder_.lock(); current && current->path() == path) {
        opened_ = current;
        return FileStatus::success();
    }
    std::string reason;
    opened_ = SheetFolder::open(path, reason);
    if (!opened_)
        return FileStatus::failure(reason);
    folder_ = opened_;
    return FileStatus::success();
}

void FileRunServices::closeFolder()
{
    opened_.reset();
}

std::unique_ptr<SheetFile> FileRunServices::createSheet(const std::string& path, std::string& reason)
{
    const QFileInfo target(QDir::fromNativeSeparators(pathFromBytes(path)));
    // The sheets of one run share their folder and its lock; the lock goes
    // with the last of them.
    std::shared_ptr<SheetFolder> folder = folder_.lock();
    if (!folder || QDir::cleanPath(target.path()) != folder->path()) {
        folder = SheetFolder::open(target.path(), reason);
        if (!folder)
            return nullptr;
        folder_ = folder;
    }
    auto file = folder->stage(target.fileName(), reason);
    if (!file)
        return nullptr;
    return std::make_unique<EncodedSheet>(std::move(file), encoding_);
}

} // namespace sumlark

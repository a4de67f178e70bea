#include "PrintSupport.h"

#include <QCoreApplication>
#include <QDir>

namespace sumlark::ui {
namespace {

constexpr char kModuleName[] = "sumlark-print";

} // namespace

QStringList PrintSupport::moduleFolders()
{
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList folders = {program.path(), QDir::cleanPath(program.filePath(QStringLiteral(SUMLARK_PRINT_MODULE_DIR)))};
    for (const QString& path : QCoreApplication::libraryPaths()) {
        if (!folders.contains(path))
            folders << path;
    }
    return folders;
}

bool PrintSupport::load(std::string& reason)
{
    if (show_)
        return true;
    QString errors;
    for (const QString& folder : moduleFolders()) {
        auto module = std::make_unique<QLibrary>(QDir(folder).filePath(QString::fromLatin1(kModuleName)));
        if (!module->load()) {
            errors = module->errorString();
            continue;
        }
        show_ = reinterpret_cast<ShowPrintPreview>(module->resolve(kShowPrintPreview));
        if (show_) {
            module_ = std::move(module);
            return true;
        }
        errors = module->errorString();
        module->unload();
    }
    reason = "找不到打印模块 " + std::string(kModuleName) + "，程序可能没有装完整。\n" + errors.toStdString();
    return false;
}

bool PrintSupport::showPreview(QWidget* parent, const PrintJob& job, std::string& reason)
{
    if (!load(reason))
        return false;
    show_(parent, job);
    return true;
}

} // namespace sumlark::ui

#include "PrintSupport.h"

#include "ProgramModule.h"

#include <QCoreApplication>

namespace sumlark::ui {
namespace {

constexpr char kModuleName[] = "sumlark-print";

} // namespace

bool PrintSupport::load(std::string& reason)
{
    if (show_)
        return true;
    // After the program's own folders, the application's library paths,
    // where a test adds the build tree's.
    QStringList failures;
    show_ = reinterpret_cast<ShowPrintPreview>(openProgramModule(
        QString::fromLatin1(kModuleName), kShowPrintPreview, QCoreApplication::libraryPaths(), failures));
    if (show_)
        return true;
    reason = "找不到打印模块 " + std::string(kModuleName) + "，程序可能没有装完整。\n" +
             failures.join(QLatin1Char('\n')).toStdString();
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

#include "WindowRunServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace sumlark::ui {

WindowRunServices::WindowRunServices(QWidget* owner) : owner_(owner) {}

bool WindowRunServices::startEditor(const std::string& path)
{
    const QString file = QString::fromStdString(path);
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("notepad"), {file});
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
#endif
}

bool WindowRunServices::showFolder(const std::string& folder)
{
#ifdef Q_OS_WIN
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
#else
    // Qt starts xdg-open and does not wait for it, so a desktop without a
    // file manager would pass in silence: its exit status is watched here,
    // and the user is given the path to go to instead.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    auto* process = new QProcess(owner_);
    const auto failed = [this, process, folder] {
        process->deleteLater();
        showMessage("无法打开文件夹", "没能用文件管理器打开练习纸所在的文件夹。文件夹是：\n" + folder);
    };
    QObject::connect(process, &QProcess::finished, process, [process, failed](int code, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && code == 0)
            process->deleteLater();
        else
            failed();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [failed](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failed();
    });
    process->start(opener, {QString::fromStdString(folder)});
    return true;
#endif
}

void WindowRunServices::showMessage(const std::string& title, const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    owner_);
    // Paths and reasons can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The run's wait cursor would otherwise hang over a box that wants a click.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

} // namespace sumlark::ui

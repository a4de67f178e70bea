#include "WindowRunServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
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
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
}

void WindowRunServices::showMessage(const std::string& title, const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                    owner_);
    // The run's wait cursor would otherwise hang over a box that wants a click.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

} // namespace sumlark::ui

#pragma once

// The main window as both window suites open it: on the offscreen platform at
// the 9-point font its twips were drawn for, Qt's own dialogs in Chinese, real
// sheets written into a folder the first run makes, seeds 1, 2, ... from the
// "clock", and the editor, the folder window and the message box recorded.

#include "MainWindow.h"
#include "QtTranslations.h"
#include "RecordingFileServices.h"
#include "TableRows.h"

#include <QtWidgets>

#include <functional>
#include <memory>

// Acts on the modal dialog of type Dialog once it is open, while whatever
// opens it runs; gives up after two seconds, so a dialog that never opens
// fails the test instead of catching a later one. A caller that expects no
// dialog stops the returned poll itself.
template <class Dialog> QPointer<QTimer> whenOpen(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act, tries = 200]() mutable {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog || --tries == 0)
            poll->deleteLater(), poll->stop();
        if (dialog)
            act(dialog);
    });
    poll->start(10);
    return poll;
}

class WindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> scratch_;
    std::unique_ptr<sumlark::testing::RecordingFileServices> services_;
    std::unique_ptr<sumlark::ui::MainWindow> window_;
    QTranslator qtTexts_;

    bool setUpApplication()
    {
        QFont font = QApplication::font();
        font.setPointSizeF(9);
        QApplication::setFont(font);
        // The printing module is built beside the program, not beside the tests.
        QCoreApplication::addLibraryPath(QStringLiteral(SUMLARK_PRINT_DIR));
        return sumlark::ui::installQtTranslations(qtTexts_);
    }
    // A new main window; the previous one takes its About window with it.
    bool openWindow()
    {
        scratch_ = std::make_unique<QTemporaryDir>();
        services_ = std::make_unique<sumlark::testing::RecordingFileServices>();
        window_ = std::make_unique<sumlark::ui::MainWindow>();
        window_->setRunServices(services_.get());
        window_->setOutputFolder(inFolder());
        window_->show();
        return QTest::qWaitForWindowActive(window_.get());
    }

    template <class T = QWidget> T* control(const QString& name) const { return window_->findChild<T*>(name); }
    QString inFolder(const QString& name = {}) const { return QDir(scratch_->filePath("文档/速算练习")).filePath(name); }
    // Triggers the menu item or clicks the button of that name.
    void press(const QString& name) const
    {
        if (auto* action = control<QAction>(name))
            action->trigger();
        else
            QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
    }
    // With SUMLARK_PICTURES set to a folder, saves the window there as the
    // program shows it, for a look by eye (README: the pictures).
    static void picture(QWidget* window, const QString& name)
    {
        const QString folder = qEnvironmentVariable("SUMLARK_PICTURES");
        QApplication::processEvents();
        if (!folder.isEmpty())
            QVERIFY(QDir().mkpath(folder) && window->grab().save(QDir(folder).filePath(name)));
    }
    // A file's bytes; a missing file's own name, so that no two compare equal.
    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QFile::ReadOnly) ? file.readAll() : "<missing " + path.toUtf8() + ">";
    }
    // Each box shown, its title and text on one line.
    QStringList messages() const
    {
        QStringList shown;
        for (const auto& [title, text] : services_->script.messages)
            shown << QString::fromStdString(title + "：" + text);
        return shown;
    }
};

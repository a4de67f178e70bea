#include "AboutWindow.h"
#include "MainWindow.h"
#include "SumlarkVersion.h"
#include "TwipsLayout.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using sumlark::ui::AboutWindow;
using sumlark::ui::MainWindow;

namespace {

int openAboutWindows()
{
    int count = 0;
    for (const QWidget* window : QApplication::topLevelWidgets())
        count += window->objectName() == QLatin1String("frmSplash") && window->isVisible() ? 1 : 0;
    return count;
}

// The offscreen platform cannot stack windows and says so on every showing
// of a tool window; everything else still reaches Qt Test.
QtMessageHandler qtTestHandler = nullptr;
void dropStackingNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message != QLatin1String("This plugin does not support raise()"))
        qtTestHandler(type, context, message);
}

} // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> main_;

    AboutWindow* openAbout()
    {
        QTest::mouseClick(main_->findChild<QPushButton*>("cmdHelp"), Qt::LeftButton);
        AboutWindow* about = main_->aboutWindow();
        return about && QTest::qWaitForWindowActive(about) ? about : nullptr;
    }

private slots:
    void initTestCase() { qtTestHandler = qInstallMessageHandler(dropStackingNotice); }
    void init()
    {
        main_ = std::make_unique<MainWindow>();
        main_->show();
    }
    void cleanup()
    {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void helpPressedTwiceKeepsOneOwnerlessWindow()
    {
        AboutWindow* first = openAbout();
        QVERIFY(first);
        QCOMPARE(openAbout(), first);
        QCOMPARE(openAboutWindows(), 1);
        QVERIFY(!first->parentWidget());
        QCOMPARE(first->windowType(), Qt::Tool);
        QVERIFY(first->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(first->minimumSize(), first->maximumSize());
        QCOMPARE(QApplication::focusWidget(), first->findChild<QWidget*>("cmdOK"));
    }

    void reopeningLoadsAfreshWithTheVersion()
    {
        const QString expected = QStringLiteral("版本 ") + QString::fromLatin1(sumlark::version::kText);
        for (int opening = 0; opening < 2; ++opening) {
            QPointer<AboutWindow> about = openAbout();
            QVERIFY(about);
            QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(), expected);
            QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!about);
        }
    }

    void textsFontsAndColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("title") << "lblCompanyProduct" << "小学Sumlark" << 18.0 << true << QColor();
        QTest::newRow("version") << "lblVersion" << "" << 12.0 << true << QColor();
        QTest::newRow("usage") << "lblWarning"
                               << "使用方法：本软件将为你随机产生二位数的加、减、乘、除法。生成数字范围及类型可以指定，本软件并"
                                  "不能完成四则混合运算的生成，只是单纯的加减乘除法。条件指定后点击【生成】即可自动生成并保存到"
                                  "文件。同时可以生成答案纸供参考。"
                               << 10.5 << false << QColor();
        QTest::newRow("output notes")
            << "lblCopyright"
            << "关于输出格式问题：因此软件是直接写到TXT文件(与软件同目录)的，所以并不能指定字体，如果觉得字体太小，可以选定生成合"
               "适的行数后，将其复制到Word等编辑软件中进行编辑后再打印输出。合适的经验是，在Word中，字体为四号，输出选5列，Word页"
               "面设置中，左右设为2厘米就可以生成5x22=110题的样式，间距大小比较适合儿童使用。"
            << 10.5 << false << QColor();
        QTest::newRow("usage terms in red") << "lblLicenseTo" << "" << 10.5 << false << QColor(255, 0, 0);
        QTest::newRow("credit in blue") << "lblCompany" << "" << 10.5 << false << QColor(0, 0, 255);
    }
    void textsFontsAndColours()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QColor, colour);
        AboutWindow* about = openAbout();
        QVERIFY(about);
        const auto* label = about->findChild<QLabel*>(name);
        QCOMPARE(label->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QVERIFY(!label->text().isEmpty());
        QVERIFY(text.isEmpty() || label->text() == text);
        QCOMPARE(label->font().families().value(0), QStringLiteral("宋体"));
        QCOMPARE(label->font().pointSizeF(), points);
        QCOMPARE(label->font().bold(), bold);
        QVERIFY(!colour.isValid() || label->palette().color(QPalette::WindowText) == colour);
        QCOMPARE(sumlark::ui::clippedTexts(about), QStringList());
    }

    void keysThatClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Return") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << true;
        QTest::newRow("letter") << int(Qt::Key_A) << true;
        QTest::newRow("arrow") << int(Qt::Key_Left) << false;
        QTest::newRow("function key") << int(Qt::Key_F1) << false;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << false;
    }
    void keysThatClose()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        QVERIFY(openAbout());
        // Where a real key goes: the focused OK button.
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        QCOMPARE(openAboutWindows(), closes ? 0 : 1);
    }

    void clicksThatClose_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("closes");
        QTest::newRow("empty part of the frame") << "Frame1" << int(Qt::LeftButton) << true;
        QTest::newRow("right button on the frame") << "Frame1" << int(Qt::RightButton) << false;
        QTest::newRow("title") << "lblCompanyProduct" << int(Qt::LeftButton) << false;
        QTest::newRow("version") << "lblVersion" << int(Qt::LeftButton) << false;
        QTest::newRow("picture") << "imgLogo" << int(Qt::LeftButton) << false;
        QTest::newRow("usage text") << "lblWarning" << int(Qt::LeftButton) << false;
        QTest::newRow("margin outside the frame") << "frmSplash" << int(Qt::LeftButton) << false;
    }
    void clicksThatClose()
    {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(bool, closes);
        AboutWindow* about = openAbout();
        QVERIFY(about);
        QWidget* widget = target == about->objectName() ? about : about->findChild<QWidget*>(target);
        // The window's top left corner and the frame's top right corner hold
        // no control; anything else is hit in its middle.
        QPoint spot = widget->rect().center();
        if (widget == about)
            spot = QPoint(3, 3);
        else if (target == QLatin1String("Frame1"))
            spot = QPoint(widget->width() - 10, 10);
        QVERIFY(!widget->childAt(spot));
        QTest::mouseClick(widget, static_cast<Qt::MouseButton>(button), {}, spot);
        QCOMPARE(openAboutWindows(), closes ? 0 : 1);
    }

    void exitClosesTheAboutWindow()
    {
        QPointer<AboutWindow> about = openAbout();
        QVERIFY(about);
        QTest::mouseClick(main_->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!about);
        QVERIFY(!main_->isVisible());
    }

    // In the program's own event loop: closing the main window while the
    // About window is open does not end it; closing the About window then does.
    void programRunsUntilTheLastWindowCloses()
    {
        QPointer<AboutWindow> about = openAbout();
        QVERIFY(about);
        bool runningAfterMainClosed = false;
        QTimer::singleShot(0, main_.get(), [&] {
            main_->close();
            QTimer::singleShot(50, about, [&] {
                runningAfterMainClosed = true;
                about->close();
            });
        });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(runningAfterMainClosed);
    }
};

QTEST_MAIN(AboutWindowTest)
#include "AboutWindowTest.moc"

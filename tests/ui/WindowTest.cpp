// Both windows on the offscreen platform: where, at 9 points, each control
// sits (the drawn window, kept like the golden sheets); that no text is cut
// at larger fonts; what a press of Create hands to the run and how the run
// ends; Enter on the buttons; when the About window opens and closes and how
// the program ends. Sheets are real files in a temporary folder; the editor
// and the message box are only recorded.

#include "AboutWindow.h"
#include "RecordingFileServices.h"
#include "MainWindow.h"
#include "SumlarkVersion.h"
#include "TableRows.h"
#include "TwipsLayout.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>

#include <memory>

namespace {

const QString kSheets[] = {"速算答题.txt", "速算答题-答案.txt"};

// Sheets in UTF-8, the encoding the command line is given too, from a fixed
// seed in place of the clock's.
using sumlark::testing::RecordingFileServices;

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingFileServices> services_;
    std::unique_ptr<sumlark::ui::MainWindow> window_;

    template <class T = QWidget> T* control(const QString& name) const { return window_->findChild<T*>(name); }
    QString sheet(int which) const { return QDir(folder_->path()).filePath(kSheets[which]); }
    sumlark::ui::AboutWindow* openAbout()
    {
        QTest::mouseClick(control<QPushButton>("cmdHelp"), Qt::LeftButton);
        auto* about = window_->aboutWindow();
        return about && QTest::qWaitForWindowActive(about) ? about : nullptr;
    }

    // Every control of both windows: none cuts its text at the font in use.
    static QStringList clippedTexts(const QWidget* window)
    {
        QStringList clipped;
        for (const QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->objectName().isEmpty() && !sumlark::ui::textFits(widget, widget->size()))
                clipped << widget->objectName();
        }
        return clipped;
    }

    // Ends the program the way it is ended for real: returns what the event
    // loop returned, or -1 when nothing ended it within a few seconds.
    static int runUntilTheProgramEnds()
    {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
        limit.start(5000);
        return QApplication::exec();
    }

private slots:
    void initTestCase()
    {
        // The twips were drawn for a 9-point interface font; at it the
        // window is the drawn size, pixel for pixel.
        QFont font = QApplication::font();
        font.setPointSizeF(9);
        QApplication::setFont(font);
    }

    void init()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        services_ = std::make_unique<RecordingFileServices>();
        services_->script.clock = 20240901;
        services_->script.useSeededRandom = true;
        // The previous test's main window takes its About window with it.
        window_ = std::make_unique<sumlark::ui::MainWindow>();
        window_->setRunServices(services_.get());
        window_->setOutputFolder(folder_->path());
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    // At 9 points, twips / 15 on every edge, relative to the control's frame
    // or to the client area; any wrong twips value moves an edge.
    void controlRectangleInPixels_data()
    {
        rows<QRect>({
            {"Frame2", {{8, 8, 241, 57}}},     {"cmbFW1", {{16, 24, 89, 20}}},    {"Label1", {{112, 32, 9, 9}}},
            {"cmbFW2", {{128, 24, 97, 20}}},   {"Frame1", {{8, 72, 241, 81}}},    {"cmbType", {{16, 24, 209, 20}}},
            {"ckCF", {{16, 48, 209, 25}}},     {"Frame4", {{8, 160, 241, 81}}},   {"cmbTS", {{16, 24, 81, 20}}},
            {"Label2", {{104, 27, 25, 17}}},   {"cmbLS", {{128, 24, 65, 20}}},    {"Label3", {{200, 27, 33, 17}}},
            {"ckXH", {{16, 56, 113, 17}}},     {"Frame3", {{8, 248, 241, 57}}},   {"opTXT", {{8, 24, 105, 17}}},
            {"opCSV", {{128, 24, 97, 17}}},    {"ckDA", {{8, 312, 129, 17}}},     {"ckOpen", {{152, 312, 97, 17}}},
            {"cmdCreate", {{8, 336, 65, 33}}}, {"cmdHelp", {{112, 336, 33, 33}}}, {"cmdExit", {{184, 336, 65, 33}}},
        });
    }
    void controlRectangleInPixels()
    {
        const auto [pixels] = row<QRect>();
        QCOMPARE(window_->layoutScale(), 1.0);
        QCOMPARE(control(QTest::currentDataTag())->geometry(), pixels);
    }

    // The menu bar sits above the client area and takes nothing from it:
    // 3915 x 5805 twips, the window exactly the two together.
    void clientAreaBelowTheMenuBar()
    {
        const QWidget* client = window_->centralWidget();
        const QWidget* menu = window_->menuBar();
        QCOMPARE(client->size(), QSize(261, 387));
        QCOMPARE(client->pos(), QPoint(0, menu->height()));
        QCOMPARE(menu->geometry(), QRect(0, 0, 261, menu->height()));
        QCOMPARE(window_->size(), QSize(261, menu->height() + 387));
        QCOMPARE(control("cmdExit")->parentWidget(), client);
    }

    void noTextClipped_data()
    {
        rows<double>({{"9 pt", {9.0}}, {"10.5 pt", {10.5}}, {"12 pt", {12.0}}, {"16 pt", {16.0}}});
    }
    void noTextClipped()
    {
        const auto [points] = row<double>();
        const QFont drawnFor = QApplication::font();
        QFont font = drawnFor;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        sumlark::ui::MainWindow window;
        sumlark::ui::AboutWindow about;
        QApplication::setFont(drawnFor);
        QCOMPARE(clippedTexts(&window), QStringList());
        QCOMPARE(clippedTexts(&about), QStringList());
        // Larger fonts scale the client area, never below the drawn size.
        QVERIFY(window.centralWidget()->width() >= 261 * points / 9 - 1);
    }

    // No title bar, no taskbar entry; the name stands out above the version
    // and the version above the rest, the notice in red, the credit in blue.
    void aboutLooks()
    {
        sumlark::ui::AboutWindow about;
        QVERIFY(about.windowFlags().testFlags(Qt::Tool | Qt::FramelessWindowHint));
        const auto label = [&about](const char* name) { return about.findChild<QLabel*>(name); };
        const auto points = [&label](const char* name) { return label(name)->font().pointSizeF(); };
        QVERIFY(points("lblCompanyProduct") > points("lblVersion") && points("lblVersion") > points("lblCopyright"));
        QVERIFY(label("lblVersion")->font().bold() && !label("lblWarning")->font().bold());
        QCOMPARE(label("lblLicenseTo")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(label("lblCompany")->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(label("lblWarning")->palette().color(QPalette::WindowText), about.palette().color(QPalette::WindowText));
    }

    // Exit, from its button or its menu, closes an open About window too and
    // ends the program.
    void exitEndsTheProgram_data()
    {
        rows<QString>({{"button", {"cmdExit"}}, {"menu", {"mnuExit"}}});
    }
    void exitEndsTheProgram()
    {
        const auto [name] = row<QString>();
        QPointer<sumlark::ui::AboutWindow> about = openAbout();
        QVERIFY(about);
        QTimer::singleShot(0, window_.get(), [this, name] {
            if (auto* action = window_->findChild<QAction*>(name))
                action->trigger();
            else
                QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
        });
        QCOMPARE(runUntilTheProgramEnds(), 0);
        QVERIFY(!window_->isVisible());
        QVERIFY(!about || !about->isVisible());
    }

    // Closing the main window leaves the program running while the About
    // window is open; it ends when that closes.
    void programEndsWhenAboutClosesLast()
    {
        QPointer<sumlark::ui::AboutWindow> about = openAbout();
        QVERIFY(about);
        bool aboutOutlivedMain = false;
        QTimer closeAbout;
        closeAbout.setSingleShot(true);
        connect(&closeAbout, &QTimer::timeout, this, [&] {
            aboutOutlivedMain = about && about->isVisible() && !window_->isVisible();
            if (about)
                about->close();
        });
        QTimer::singleShot(0, window_.get(), [&] {
            window_->close();
            closeAbout.start(100);
        });
        QCOMPARE(runUntilTheProgramEnds(), 0);
        QVERIFY(aboutOutlivedMain);
    }

    // Enter and keypad Enter press the focused button; Enter in a list's
    // edit field does nothing (createMatchesCommandLine types it there).
    void enterPressesTheFocusedButton_data()
    {
        rows<QString, int>({{"Create on Enter", {"cmdCreate", Qt::Key_Return}},
                            {"Create on keypad Enter", {"cmdCreate", Qt::Key_Enter}},
                            {"Help on Enter", {"cmdHelp", Qt::Key_Return}},
                            {"Exit on keypad Enter", {"cmdExit", Qt::Key_Enter}}});
    }
    void enterPressesTheFocusedButton()
    {
        const auto [name, key] = row<QString, int>();
        auto* button = control<QPushButton>(name);
        button->setFocus();
        QSignalSpy pressed(button, &QPushButton::clicked);
        control<QCheckBox>("ckOpen")->setChecked(false);
        QTest::keyClick(button, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(pressed.size(), 1);
        if (name == "cmdCreate")
            QCOMPARE(services_->script.messages.size(), std::size_t(1));
        if (name == "cmdHelp")
            QVERIFY(window_->aboutWindow());
        if (name == "cmdExit")
            QVERIFY(!window_->isVisible());
    }

    void focusAndTabOrderAtStart()
    {
        const QStringList order = {"cmbFW1", "opTXT",   "cmdCreate", "cmdExit", "ckDA", "cmbFW2", "cmbTS",
                                   "ckOpen", "cmbType", "cmbLS",     "cmdHelp", "ckXH", "cmbFW1"};
        QStringList visited;
        for (QWidget* focus = QApplication::focusWidget(); visited.size() < order.size();
             focus = QApplication::focusWidget()) {
            // A list's edit field stands for its list; the greyed remainder
            // switch takes no focus.
            visited << (qobject_cast<QComboBox*>(focus->parentWidget()) ? focus->parentWidget() : focus)->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(visited, order);
    }

    void remainderSwitchFollowsType_data()
    {
        rows<int, bool>({{"addition greys it", {0, false}},
                         {"subtraction greys it", {1, false}},
                         {"multiplication greys it", {2, false}},
                         {"division offers it", {3, true}},
                         {"addition and subtraction grey it", {4, false}},
                         {"multiplication and division offer it", {5, true}},
                         {"three without division grey it", {6, false}},
                         {"all four offer it", {7, true}}});
    }
    void remainderSwitchFollowsType()
    {
        const auto [type, offered] = row<int, bool>();
        auto* remainder = control<QCheckBox>("ckCF");
        // From the opposite state, so that every row sees the rule act. A tick
        // given while the switch is offered stays when a later choice greys
        // it, and is still handed over; the rule itself never ticks it.
        control<QComboBox>("cmbType")->setCurrentIndex(offered ? 0 : 3);
        if (!offered)
            QTest::mouseClick(remainder, Qt::LeftButton, {}, QPoint(8, remainder->height() / 2));
        control<QComboBox>("cmbType")->setCurrentIndex(type);
        QCOMPARE(remainder->isEnabled(), offered);
        QCOMPARE(remainder->isChecked(), !offered);
        QCOMPARE(window_->settingsFromControls().allowRemainder, !offered);
    }

    // Create writes both sheets from the list texts as typed, byte for byte
    // what the command line makes from the same seed and texts, and ends by
    // opening the sheets or with the completion box, as the switches say.
    void createMatchesCommandLine_data()
    {
        // type; count, per line, smallest and largest as typed; the switches
        // as command-line options; open when done. A typed "1" begins the item
        // "10" and must stay 1; "4x" reads as 4 a line; " 7 " keeps its blanks
        // in the footer; "120.6" stays in the header.
        rows<int, QStringList, QStringList, bool>({
            {"load-time choices untouched, both opened", {0, {}, {}, true}},
            {"decimal count, one opened", {7, {"120.6", "12", "-5", "30"}, {"--numbered", "--no-answers"}, true}},
            {"an item's start, letters, blanks; box", {2, {"1", "4x", " 7 ", "9"}, {"--numbered"}, false}},
            {"division with remainders; box", {3, {"50", "4", "1", "100"}, {"--remainder"}, false}},
        });
    }
    void createMatchesCommandLine()
    {
        const auto [type, texts, options, open] = row<int, QStringList, QStringList, bool>();
        control<QComboBox>("cmbType")->setCurrentIndex(type);
        for (int i = 0; i < texts.size(); ++i) {
            auto* list = control<QComboBox>(QStringList{"cmbTS", "cmbLS", "cmbFW1", "cmbFW2"}[i]);
            const int items = list->count();
            list->clearEditText();
            QTest::keyClicks(list, texts[i]);
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(list->count(), items);
        }
        const bool answers = !options.contains("--no-answers");
        control<QCheckBox>("ckXH")->setChecked(options.contains("--numbered"));
        control<QCheckBox>("ckCF")->setChecked(options.contains("--remainder"));
        control<QCheckBox>("ckDA")->setChecked(answers);
        control<QCheckBox>("ckOpen")->setChecked(open);
        QTest::mouseClick(control<QPushButton>("cmdCreate"), Qt::LeftButton);

        const std::vector<std::string> sheets = {sheet(0).toStdString(), sheet(1).toStdString()};
        QCOMPARE(services_->script.launches, std::vector(sheets.begin(), sheets.begin() + (open ? 1 + answers : 0)));
        std::vector<std::string> messages;
        for (const auto& [title, text] : services_->script.messages)
            messages.push_back(title + text);
        QCOMPARE(messages, std::vector<std::string>(!open, "成功文件输出完成，文件保存在： " + sheets[0]));
        QTemporaryDir out;
        QStringList arguments = {"--seed=20240901", "--encoding=UTF-8", "--out=" + out.path(),
                                 "--type=" + QString::number(type)};
        for (int i = 0; i < texts.size(); ++i)
            arguments << QStringList{"--count=", "--per-line=", "--smallest=", "--largest="}[i] + texts[i];
        QCOMPARE(QProcess::execute(SUMLARK_CLI, arguments + options), 0);
        for (const QString& name : kSheets) {
            QFile window(QDir(folder_->path()).filePath(name)), cli(QDir(out.path()).filePath(name));
            QVERIFY(window.open(QFile::ReadOnly) && cli.open(QFile::ReadOnly));
            const QByteArray bytes = window.readAll();
            QVERIFY(bytes.contains("-----题数(" + control<QComboBox>("cmbTS")->currentText().toUtf8() + ")----"));
            QCOMPARE(bytes, cli.readAll());
        }
    }

    // An installed copy's documents subfolder does not exist before its
    // first sheets; the run makes it, and the message names the sheet in it.
    void createMakesAMissingFolder()
    {
        const QString folder = QDir(folder_->path()).filePath("文档/速算练习");
        window_->setOutputFolder(folder);
        control<QCheckBox>("ckOpen")->setChecked(false);
        QTest::mouseClick(control<QPushButton>("cmdCreate"), Qt::LeftButton);
        for (const QString& name : kSheets)
            QVERIFY2(QFileInfo(QDir(folder).filePath(name)).isFile(), qPrintable(name));
        const std::string first = QDir::toNativeSeparators(QDir(folder).filePath(kSheets[0])).toStdString();
        QCOMPARE(services_->script.messages.size(), std::size_t(1));
        QCOMPARE(services_->script.messages[0].text, "文件输出完成，文件保存在： " + first);
    }

    // A folder the run cannot have shows the failure box at once, with the
    // real reason: a pipe at the lock's name is neither read nor waited for,
    // and with no home folder nothing is written at the root. (Every other
    // cause, through the same file service: CliFaultsTest.)
    void failureBoxNamesTheCause_data()
    {
        rows<bool, QString>({
            {"pipe at the lock's name", {true, "锁文件的位置上是一个命名管道，不是这个程序的锁文件：<dir>/.速算答题.lock"}},
            {"no home folder", {false, "找不到您的主文件夹"}},
        });
    }
    void failureBoxNamesTheCause()
    {
        const auto [pipe, says] = row<bool, QString>();
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(QDir(folder_->path()).filePath(".速算答题.lock")).constData(), 0666), 0);
        else
            window_->setOutputFolder(QString());
        QElapsedTimer took;
        took.start();
        QTest::mouseClick(control<QPushButton>("cmdCreate"), Qt::LeftButton);
        QVERIFY(took.elapsed() < sumlark::SheetFolder::kLockWaitMs);
        QCOMPARE(services_->script.messages.size(), std::size_t(1));
        QCOMPARE(services_->script.messages[0].title, "保存失败");
        const QString text = QString::fromStdString(services_->script.messages[0].text);
        QVERIFY2(text.contains(QString(says).replace("<dir>", folder_->path())), qPrintable(text));
        QVERIFY(!QFileInfo::exists(sheet(0)));
    }

    // One window however often Help is pressed; closed, it is gone, and the
    // next press loads it afresh.
    void aboutOpensOnceAndAfreshWithTheVersion()
    {
        for (int opening = 0; opening < 2; ++opening) {
            QPointer<sumlark::ui::AboutWindow> about = openAbout();
            QVERIFY(about && openAbout() == about && !about->parentWidget());
            QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(),
                                           [](auto* w) { return w->inherits("sumlark::ui::AboutWindow"); }),
                     1);
            QCOMPARE(QApplication::focusWidget(), about->findChild<QWidget*>("cmdOK"));
            QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(), "版本 " + QString(sumlark::version::kText));
            QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!about);
        }
    }

    // Keys go where a real key would, to the focused OK button; clicks land
    // near the top left corner of the window or of the frame, where no
    // control is, or in the middle of a control.
    void aboutClosesOn_data()
    {
        rows<int, QString, bool>({{"Escape", {Qt::Key_Escape, "", true}},
                                  {"Enter", {Qt::Key_Return, "", true}},
                                  {"Space", {Qt::Key_Space, "", true}},
                                  {"letter", {Qt::Key_A, "", true}},
                                  {"not on an arrow", {Qt::Key_Left, "", false}},
                                  {"not on a function key", {Qt::Key_F1, "", false}},
                                  {"not on Shift alone", {Qt::Key_Shift, "", false}},
                                  {"click on the empty part of the frame", {0, "Frame1", true}},
                                  {"not on a click on a label", {0, "lblVersion", false}},
                                  {"not on a click on the picture", {0, "imgLogo", false}},
                                  {"not on a click on the margin outside the frame", {0, "frmSplash", false}}});
    }
    void aboutClosesOn()
    {
        const auto [key, target, closes] = row<int, QString, bool>();
        auto* about = openAbout();
        QVERIFY(about);
        QWidget* widget = target.isEmpty()                ? QApplication::focusWidget()
                          : target == about->objectName() ? about
                                                          : about->findChild<QWidget*>(target);
        const QPoint spot = widget == about || target == "Frame1" ? QPoint(3, 3) : widget->rect().center();
        QVERIFY(key || !widget->childAt(spot));
        if (key)
            QTest::keyClick(widget, Qt::Key(key));
        else
            QTest::mouseClick(widget, Qt::LeftButton, {}, spot);
        QCOMPARE(about->isVisible(), !closes);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"

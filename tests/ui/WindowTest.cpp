// Both windows: where, at 9 points, each control sits (the drawn window, kept
// like the golden sheets); that no text is cut at larger fonts; the keyboard;
// what a press of Create writes, where, and how the run ends; when the About
// window opens and closes and how the program ends.

#include "SumlarkVersion.h"
#include "WindowFixture.h"
#include "WindowSheetFolder.h"

#include <pwd.h>
#include <unistd.h>

using sumlark::ui::AboutWindow;
using sumlark::ui::sheetFolder;

class WindowTest : public QObject, WindowFixture {
    Q_OBJECT

    // From the menu, or by Enter on the focused Help button.
    AboutWindow* openAbout(bool fromMenu = false)
    {
        control("cmdHelp")->setFocus();
        fromMenu ? press("mnuAbout") : QTest::keyClick(control("cmdHelp"), Qt::Key_Return);
        auto* about = window_->aboutWindow();
        return about && QTest::qWaitForWindowActive(about) ? about : nullptr;
    }

    // Real folders and links for where sheets go; "<tmp>" in a row stands for this folder.
    QTemporaryDir places_;
    QString place(QString path) const { return path.replace("<tmp>", places_.path()); }

private slots:
    void initTestCase()
    {
        QVERIFY(setUpApplication());
        const QDir dir(places_.path());
        QVERIFY(dir.mkpath("portable") && dir.mkpath("apps") && dir.mkpath("prefix/real/bin"));
        QVERIFY(QFile::link("/usr/bin", dir.filePath("into-usr")));
        QVERIFY(QFile::link(dir.filePath("prefix/real"), dir.filePath("prefix/link")));
    }
    void init() { QVERIFY(openWindow()); }

    // Twips / 15 on every edge, relative to the control's frame or to the
    // client area; any wrong twips value moves an edge.
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
        QCOMPARE(window_->layoutScale(), 1.0);
        QCOMPARE(control(QTest::currentDataTag())->geometry(), std::get<0>(row<QRect>()));
        QVERIFY(window_->centralWidget()->isAncestorOf(control(QTest::currentDataTag())));
        // The menu bar sits above the 3915 x 5805 twips client area and takes nothing from it.
        const int menu = window_->menuBar()->height();
        QCOMPARE(window_->centralWidget()->geometry(), QRect(0, menu, 261, 387));
        QCOMPARE(window_->size(), QSize(261, menu + 387));
    }

    void noTextClipped_data() { rows<double>({{"9 pt", {9.0}}, {"10.5 pt", {10.5}}, {"12 pt", {12.0}}, {"16 pt", {16.0}}}); }
    void noTextClipped()
    {
        const auto [points] = row<double>();
        const QFont drawnFor = QApplication::font();
        const auto restore = qScopeGuard([drawnFor] { QApplication::setFont(drawnFor); });
        QFont font = drawnFor;
        font.setPointSizeF(points);
        QApplication::setFont(font); // kept while checked: the windows follow the font the program has
        sumlark::ui::MainWindow window;
        AboutWindow about;
        QStringList clipped; // named controls whose text is cut at the font in use
        for (const QWidget* shown : {static_cast<QWidget*>(&window), static_cast<QWidget*>(&about)})
            for (const QWidget* widget : shown->findChildren<QWidget*>())
                if (!widget->objectName().isEmpty() && !sumlark::ui::textFits(widget, widget->size()))
                    clipped << widget->objectName();
        QCOMPARE(clipped, QStringList());
        picture(&window, QString("frm100-%1pt.png").arg(points));
        picture(&about, QString("frmSplash-%1pt.png").arg(points));
        // Larger fonts scale the client area, never below the drawn size.
        QVERIFY(window.centralWidget()->width() >= 261 * points / 9 - 1);
    }

    // Exit, from its button (keypad Enter on it) or its menu, closes an open
    // About window too and ends the program; the main window closed first
    // leaves the program running while the About window is open, and it ends
    // when that closes.
    void programEnds_data()
    {
        rows<QString>({{"on the Exit button", {"cmdExit"}}, {"on the Exit menu item", {"mnuExit"}},
                       {"when About closes after the main window", {""}}});
    }
    void programEnds()
    {
        const auto [exit] = row<QString>();
        QPointer<AboutWindow> about = openAbout();
        QVERIFY(about);
        bool aboutOutlivedMain = false;
        QObject scope; // the timers die with the test, whatever ended the loop
        QTimer::singleShot(0, &scope, [&] {
            if (exit == "cmdExit")
                return QTest::keyClick(control(exit), Qt::Key_Enter, Qt::KeypadModifier);
            if (!exit.isEmpty())
                return press(exit);
            window_->close();
            QTimer::singleShot(100, &scope, [&] {
                aboutOutlivedMain = about && about->isVisible() && !window_->isVisible();
                if (about)
                    about->close();
            });
        });
        QTimer::singleShot(5000, &scope, [] { QCoreApplication::exit(-1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window_->isVisible() && !(about && about->isVisible()));
        QCOMPARE(aboutOutlivedMain, exit.isEmpty());
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

    // No list holds a popup before it is opened (start-up memory); opened,
    // an edited list offers its own items.
    void listsBuildTheirPopupsWhenOpened()
    {
        QCOMPARE(window_->findChildren<QAbstractItemView*>(), QList<QAbstractItemView*>());
        auto* list = control<QComboBox>("cmbTS");
        list->showPopup();
        QVERIFY(list->view()->isVisible());
        QCOMPARE(list->view()->model()->rowCount(), list->count());
        list->hidePopup();
    }

    // Offered with division only (which types hold it is the engine's table,
    // behind every golden sheet). Each row starts from the opposite state, so
    // that it sees the rule act: a tick given while the switch is offered
    // stays when a later choice greys it, and is still handed over; the rule
    // itself never ticks it.
    void remainderSwitchFollowsType_data()
    {
        rows<int, bool>({{"addition", {0, false}}, {"division", {3, true}}, {"three without division", {6, false}},
                         {"all four", {7, true}}});
    }
    void remainderSwitchFollowsType()
    {
        const auto [type, offered] = row<int, bool>();
        auto* remainder = control<QCheckBox>("ckCF");
        control<QComboBox>("cmbType")->setCurrentIndex(offered ? 0 : 3);
        if (!offered)
            QTest::mouseClick(remainder, Qt::LeftButton, {}, QPoint(8, remainder->height() / 2));
        control<QComboBox>("cmbType")->setCurrentIndex(type);
        QCOMPARE(remainder->isEnabled(), offered);
        QCOMPARE(remainder->isChecked(), !offered);
        QCOMPARE(window_->settingsFromControls().allowRemainder, !offered);
    }

    // Create, pressed by Enter, makes the missing sheet folder and writes both
    // sheets from the list texts as typed, byte for byte what the command line
    // makes from the same seed and texts, and ends by opening the sheets or
    // with the completion box, as the switches say.
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
        const QStringList lists = {"cmbTS", "cmbLS", "cmbFW1", "cmbFW2"}, flags = {"--count=", "--per-line=",
                                                                                "--smallest=", "--largest="};
        QTemporaryDir out;
        QStringList arguments = {"--seed=1", "--encoding=UTF-8", "--out=" + out.path(), "--type=" + QString::number(type)};
        control<QComboBox>("cmbType")->setCurrentIndex(type);
        for (int i = 0; i < texts.size(); ++i) {
            auto* list = control<QComboBox>(lists[i]);
            const int items = list->count();
            list->clearEditText();
            QTest::keyClicks(list, texts[i]);
            QTest::keyClick(list, Qt::Key_Return);
            QCOMPARE(list->count(), items);
            arguments << flags[i] + texts[i];
        }
        const bool answers = !options.contains("--no-answers");
        control<QCheckBox>("ckXH")->setChecked(options.contains("--numbered"));
        control<QCheckBox>("ckCF")->setChecked(options.contains("--remainder"));
        control<QCheckBox>("ckDA")->setChecked(answers);
        control<QCheckBox>("ckOpen")->setChecked(open);
        // Enter presses the focused button: keypad Enter where the sheets open.
        control("cmdCreate")->setFocus();
        QTest::keyClick(control("cmdCreate"), open ? Qt::Key_Enter : Qt::Key_Return, open ? Qt::KeypadModifier : Qt::NoModifier);

        const std::vector<std::string> sheets = {inFolder("速算答题.txt").toStdString(),
                                                 inFolder("速算答题-答案.txt").toStdString()};
        QCOMPARE(services_->script.launches, std::vector(sheets.begin(), sheets.begin() + (open ? 1 + answers : 0)));
        QCOMPARE(messages(), open ? QStringList() : QStringList("成功：文件输出完成，文件保存在： " + inFolder("速算答题.txt")));
        QCOMPARE(QProcess::execute(SUMLARK_CLI, arguments + options), 0);
        for (const QString name : {"速算答题.txt", "速算答题-答案.txt"})
            QCOMPARE(bytesOf(inFolder(name)), bytesOf(QDir(out.path()).filePath(name)));
    }

    // With no home folder the run has nowhere to go, and says so rather
    // than write at the root. (Every other cause: CliFaultsTest.)
    void failureBoxWithoutAHomeFolder()
    {
        window_->setOutputFolder(QString());
        press("cmdCreate");
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages()[0].startsWith("保存失败：") && messages()[0].contains("找不到您的主文件夹"), qPrintable(messages()[0]));
    }

    // One window however often it is asked for, from the button or the menu,
    // with the focus on OK. Keys go where a real key would, to OK; clicks land
    // near the top left corner of the window or of the frame, where no control
    // is, or in the middle of a control. Closed, it is gone, and the next
    // press loads it afresh.
    void aboutClosesOn_data()
    {
        rows<int, QString, bool>({{"Escape", {Qt::Key_Escape, "", true}}, {"Enter", {Qt::Key_Return, "", true}},
                                  {"Space", {Qt::Key_Space, "", true}}, {"letter", {Qt::Key_A, "", true}},
                                  {"not on an arrow", {Qt::Key_Left, "", false}}, {"not on F1", {Qt::Key_F1, "", false}},
                                  {"not on Shift alone", {Qt::Key_Shift, "", false}},
                                  {"click on the empty part of the frame", {0, "Frame1", true}},
                                  {"not on a click on a label", {0, "lblVersion", false}},
                                  {"not on a click on the picture", {0, "imgLogo", false}},
                                  {"not on a click on the margin outside the frame", {0, "frmSplash", false}}});
    }
    void aboutClosesOn()
    {
        const auto [key, target, closes] = row<int, QString, bool>();
        QPointer<AboutWindow> about = openAbout();
        QVERIFY(about && openAbout(true) == about && !about->parentWidget());
        QCOMPARE(QApplication::focusWidget(), about->findChild<QWidget*>("cmdOK"));
        QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(), "版本 " + QString(sumlark::version::kText));
        picture(window_.get(), "frm100.png");
        picture(about, "frmSplash.png");
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(about.isNull(), closes);
        QVERIFY(openAbout());
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(),
                                       [](auto* w) { return w->inherits("sumlark::ui::AboutWindow"); }), 1);
    }

    // Where the window's sheets go: beside a copy that runs from a folder of
    // its own and can write there, in the documents subfolder for an installed
    // copy or one that cannot write beside itself. The system's /usr and /opt
    // only as paths.
    void sheetFolderChosen_data()
    {
        const QStringList system = {"/usr", "/opt"}, programFiles = {"C:/Program Files", "C:/Program Files (x86)"};
        rows<QString, QStringList, bool>({
            {"own writable folder", {"<tmp>/portable", system, true}},
            {"under /usr", {"/usr/bin", system, false}},
            {"under /usr/local", {"/usr/local/bin", system, false}},
            {"under /opt", {"/opt/sumlark/bin", system, false}},
            {"a root itself", {"/opt", system, false}},
            {"a link into /usr", {"<tmp>/into-usr", system, false}},
            {"dot-dot out of /usr", {"/usr/..<tmp>/portable", system, true}},
            {"root reached through a link", {"<tmp>/prefix/real/bin", {"<tmp>/prefix/link"}, false}},
            {"name only begins like a root", {"<tmp>/apps", {"<tmp>/app"}, true}},
            {"trailing slash on the root", {"<tmp>/apps", {"<tmp>/apps/"}, false}},
            {"Program Files", {"C:/Program Files/Sumlark", programFiles, false}},
            {"Program Files (x86)", {"C:/Program Files (x86)/Sumlark", programFiles, false}},
            {"folder gone", {"<tmp>/gone", system, false}},
            {"no file can be made there, even by root", {"/proc", system, false}},
        });
    }
    void sheetFolderChosen()
    {
        auto [program, roots, besideItself] = row<QString, QStringList, bool>();
        program = place(program);
        for (QString& root : roots)
            root = place(root);
        const QString documents = places_.filePath("documents");
        QCOMPARE(sheetFolder(program, documents, roots), besideItself ? program : documents + "/速算练习");
        // Only running makes the folder, and the write probe leaves nothing.
        QVERIFY(!QFileInfo::exists(documents));
        if (besideItself)
            QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    // Without HOME, or with HOME at the root, the documents folder is in the
    // home the password database records, never at the root; with no
    // documents folder an installed copy has no sheet folder at all.
    void documentsFolderOutsideTheRoot_data()
    {
        rows<std::optional<QByteArray>>({{"HOME missing", {std::nullopt}}, {"HOME empty", {""}},
                                         {"HOME the root", {"/"}}, {"HOME the root twice over", {"//"}}});
    }
    void documentsFolderOutsideTheRoot()
    {
        const auto [home] = row<std::optional<QByteArray>>();
        const QByteArray previous = qgetenv("HOME");
        home ? qputenv("HOME", *home) : qunsetenv("HOME");
        const QString documents = sumlark::ui::documentsFolder();
        qputenv("HOME", previous);
        const passwd* user = ::getpwuid(::getuid());
        QVERIFY(user);
        const QString recorded = QDir::cleanPath(QFile::decodeName(user->pw_dir));
        QCOMPARE(documents, recorded == "/" ? QString() : recorded + "/Documents");
        QCOMPARE(sheetFolder("/usr/bin", QString(), {"/usr"}), QString());
    }

    // The test program lives in the build tree, a folder of its own.
    void sheetFolderOfTheTestsBuildFolder() { QCOMPARE(sheetFolder(), QCoreApplication::applicationDirPath()); }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"

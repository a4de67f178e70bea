// Both windows on the offscreen platform: what the main window shows right
// after start, what a press of Create hands to the run and how the run ends,
// and when the About window opens and closes. Sheets are real files in a
// temporary folder; the editor and the message box are only recorded.

#include "AboutWindow.h"
#include "RecordingFileServices.h"
#include "MainWindow.h"
#include "SumlarkVersion.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

const QString kSheets[] = {"速算答题.txt", "速算答题-答案.txt"};

// Sheets in UTF-8, the encoding the command line is given too, from a fixed
// seed in place of the clock's.
using sumlark::testing::RecordingFileServices;

// A test's rows as one column of tuples, and the current row's values.
template <class... Values> void rows(std::initializer_list<std::pair<const char*, std::tuple<Values...>>> table)
{
    QTest::addColumn<std::tuple<Values...>>("row");
    for (const auto& [name, values] : table)
        QTest::newRow(name) << values;
}

template <class... Values> std::tuple<Values...> row()
{
    return *static_cast<std::tuple<Values...>*>(QTest::qData("row", qMetaTypeId<std::tuple<Values...>>()));
}

// What a control shows and how it stands: a frame's title, a caption and its
// tick, a list's items with the selected one in brackets; "(off)" when it
// takes no input.
QString describe(const QWidget* widget)
{
    QString text = widget->property(widget->inherits("QGroupBox") ? "title" : "text").toString();
    if (const auto* list = qobject_cast<const QComboBox*>(widget)) {
        for (int i = 0; i < list->count(); ++i)
            text += (i ? "|" : "") + (i == list->currentIndex() ? "[" + list->itemText(i) + "]" : list->itemText(i));
        text += list->isEditable() ? " editable" : "";
    }
    if (widget->property("checkable").toBool())
        text += widget->property("checked").toBool() ? " [x]" : " [ ]";
    return widget->isEnabled() ? text : text + " (off)";
}

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

private slots:
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

    void controlsAtStart_data()
    {
        rows<QString, QString>({
            {"Frame2", {"出数范围", ""}},
            {"cmbFW1", {"[1]|10|20|50|100|200|500 editable", "出题最小数"}},
            {"Label1", {"-", ""}},
            {"cmbFW2", {"[10]|20|50|100|200|500|1000 editable", "出题最大数（同时也是结果的最大值，乘法除外）"}},
            {"Frame1", {"题型（2位数）", ""}},
            {"cmbType",
             {"[加法(＋)]|减法(－)|乘法(×)|除法(÷)|加法、减法 混合|乘法、除法 混合|加法、减法、乘法 混合|加法、减法、"
              "乘法、除法 混合",
              "题目类型"}},
            {"ckCF", {"允许除法有余数(表示为...余数） [ ] (off)", ""}},
            {"Frame4", {"生成选项", ""}},
            {"cmbTS", {"[10]|50|100|200|300|400|500|1000 editable", "生成题数"}},
            {"Label2", {"题", ""}},
            {"cmbLS", {"3|4|[5]|6|7|8 editable", "每行题数"}},
            {"Label3", {"题/行", ""}},
            {"ckXH", {"打印题目序号 [ ]", ""}},
            {"Frame3", {"生成格式", ""}},
            {"opTXT", {"txt格式文件 [x]", "保存为txt格式"}},
            {"opCSV", {"csv格式文件 [ ] (off)", ""}},
            {"ckDA", {"同时生成答案文件 [x]", ""}},
            {"ckOpen", {"自动打开文件 [x]", ""}},
            {"cmdCreate", {"生成", "开始生成题目"}},
            {"cmdHelp", {"", "版本及帮助信息"}},
            {"cmdExit", {"结束", "退出程序"}},
        });
    }
    void controlsAtStart()
    {
        const auto [shown, toolTip] = row<QString, QString>();
        const QWidget* widget = control(QTest::currentDataTag());
        QVERIFY(widget);
        QCOMPARE(describe(widget), shown);
        QCOMPARE(widget->toolTip(), toolTip);
        if (qobject_cast<const QComboBox*>(widget) || qobject_cast<const QPushButton*>(widget))
            QCOMPARE(widget->accessibleName(), toolTip);
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
            {"load-time choices, both opened", {0, {"10", "5", "1", "10"}, {}, true}},
            {"decimal count, one opened", {7, {"120.6", "12", "-5", "30"}, {"--numbered", "--no-answers"}, true}},
            {"an item's start, letters, blanks; box", {2, {"1", "4x", " 7 ", "9"}, {"--numbered"}, false}},
            {"division with remainders; box", {3, {"50", "4", "1", "100"}, {"--remainder"}, false}},
        });
    }
    void createMatchesCommandLine()
    {
        const auto [type, texts, options, open] = row<int, QStringList, QStringList, bool>();
        control<QComboBox>("cmbType")->setCurrentIndex(type);
        for (int i = 0; i < 4; ++i) {
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
        const QStringList arguments = {"--seed=20240901",        "--encoding=UTF-8",
                                       "--out=" + out.path(),    "--type=" + QString::number(type),
                                       "--count=" + texts[0],    "--per-line=" + texts[1],
                                       "--smallest=" + texts[2], "--largest=" + texts[3]};
        QCOMPARE(QProcess::execute(SUMLARK_CLI, arguments + options), 0);
        for (const QString& name : kSheets) {
            QFile window(QDir(folder_->path()).filePath(name)), cli(QDir(out.path()).filePath(name));
            QVERIFY(window.open(QFile::ReadOnly) && cli.open(QFile::ReadOnly));
            const QByteArray bytes = window.readAll();
            QVERIFY(bytes.contains("-----题数(" + texts[0].toUtf8() + ")----"));
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

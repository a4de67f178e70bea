#include "MainWindow.h"
#include "RecordingServices.h"
#include "TwipsLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using sumlark::ui::MainWindow;

namespace {

const QStringList kTypes = {"加法(＋)", "减法(－)", "乘法(×)", "除法(÷)", "加法、减法 混合", "乘法、除法 混合",
                            "加法、减法、乘法 混合", "加法、减法、乘法、除法 混合"};
const QString kQuestionSheet = QStringLiteral("速算答题.txt");
const QString kAnswerSheet = QStringLiteral("速算答题-答案.txt");

QString shownText(const QWidget* widget)
{
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return {};
}

// The control holding the focus, whether it is the list or its edit field.
QString focusedControl()
{
    const QWidget* focus = QApplication::focusWidget();
    if (focus && qobject_cast<const QComboBox*>(focus->parentWidget()))
        focus = focus->parentWidget();
    return focus ? focus->objectName() : QString();
}

QString readSheet(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingServices> services_;
    std::unique_ptr<MainWindow> window_;

    template <class T> T* control(const QString& name) const { return window_->findChild<T*>(name); }
    QString sheet(const QString& name) const { return QDir(folder_->path()).filePath(name); }
    std::string sheetPath(const QString& name) const { return QDir::toNativeSeparators(sheet(name)).toStdString(); }
    void create() { QTest::mouseClick(control<QPushButton>("cmdCreate"), Qt::LeftButton); }
    void typeInto(const QString& list, const QString& text)
    {
        auto* combo = control<QComboBox>(list);
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, text);
        QTest::keyClick(combo, Qt::Key_Return);
    }

private slots:
    void init()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        services_ = std::make_unique<RecordingServices>();
        window_ = std::make_unique<MainWindow>();
        window_->setRunServices(services_.get());
        window_->setOutputFolder(folder_->path());
    }
    void cleanup() { window_.reset(); }

    void listsAtStart_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("selected");
        QTest::newRow("smallest") << "cmbFW1" << QStringList{"1", "10", "20", "50", "100", "200", "500"} << 0;
        QTest::newRow("largest") << "cmbFW2" << QStringList{"10", "20", "50", "100", "200", "500", "1000"} << 0;
        QTest::newRow("count") << "cmbTS" << QStringList{"10", "50", "100", "200", "300", "400", "500", "1000"} << 0;
        QTest::newRow("type, not editable") << "cmbType" << kTypes << 0;
        QTest::newRow("per line") << "cmbLS" << QStringList{"3", "4", "5", "6", "7", "8"} << 2;
    }
    void listsAtStart()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, items);
        QFETCH(int, selected);
        const auto* combo = control<QComboBox>(list);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(combo->currentIndex(), selected);
        QCOMPARE(combo->currentText(), items.at(selected));
        QCOMPARE(combo->isEditable(), list != QLatin1String("cmbType"));
        QVERIFY(!combo->completer());
        QVERIFY(!combo->isEditable() || combo->insertPolicy() == QComboBox::NoInsert);
    }

    void switchesAtStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("remainder greyed") << "ckCF" << false << false;
        QTest::newRow("numbering off") << "ckXH" << false << true;
        QTest::newRow("answers on") << "ckDA" << true << true;
        QTest::newRow("open on") << "ckOpen" << true << true;
        QTest::newRow("txt chosen") << "opTXT" << true << true;
        QTest::newRow("csv never offered") << "opCSV" << false << false;
    }
    void switchesAtStart()
    {
        QFETCH(QString, name);
        QFETCH(bool, checked);
        QFETCH(bool, enabled);
        QCOMPARE(control<QAbstractButton>(name)->isChecked(), checked);
        QCOMPARE(control<QAbstractButton>(name)->isEnabled(), enabled);
    }

    void textsAndToolTips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        const auto row = [](const char* name, const char* text, const char* tip) {
            QTest::newRow(name) << name << QString::fromUtf8(text) << QString::fromUtf8(tip);
        };
        row("Frame2", "出数范围", "");
        row("cmbFW1", "", "出题最小数");
        row("Label1", "-", "");
        row("cmbFW2", "", "出题最大数（同时也是结果的最大值，乘法除外）");
        row("Frame1", "题型（2位数）", "");
        row("cmbType", "", "题目类型");
        row("ckCF", "允许除法有余数(表示为...余数）", "");
        row("Frame4", "生成选项", "");
        row("cmbTS", "", "生成题数");
        row("Label2", "题", "");
        row("cmbLS", "", "每行题数");
        row("Label3", "题/行", "");
        row("ckXH", "打印题目序号", "");
        row("Frame3", "生成格式", "");
        row("opTXT", "txt格式文件", "保存为txt格式");
        row("opCSV", "csv格式文件", "");
        row("ckDA", "同时生成答案文件", "");
        row("ckOpen", "自动打开文件", "");
        row("cmdCreate", "生成", "开始生成题目");
        row("cmdHelp", "", "版本及帮助信息");
        row("cmdExit", "结束", "退出程序");
    }
    void textsAndToolTips()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        const auto* widget = control<QWidget>(name);
        QVERIFY(widget);
        QCOMPARE(shownText(widget), text);
        QCOMPARE(widget->toolTip(), toolTip);
        if (qobject_cast<const QComboBox*>(widget) || qobject_cast<const QPushButton*>(widget))
            QCOMPARE(widget->accessibleName(), toolTip);
    }

    void startsCentredWithFocusInSmallestList()
    {
        QCOMPARE(window_->objectName(), QStringLiteral("frm100"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("Sumlark-Tavrel"));
        QVERIFY(!control<QPushButton>("cmdHelp")->icon().isNull());
        QCOMPARE(window_->size(), sumlark::ui::TwipsLayout::toPixels(QRect(0, 0, 3915, 5805), window_->layoutScale()).size());
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QCOMPARE(focusedControl(), QStringLiteral("cmbFW1"));
        const QPoint offCentre = window_->frameGeometry().center() - window_->screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
    }

    void tabVisitsControlsInDrawnOrder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("order");
        const QStringList common = {"cmbFW1", "opTXT",  "cmdCreate", "cmdExit", "ckDA",    "cmbFW2",
                                    "cmbTS",  "ckOpen", "cmbType",   "cmbLS",   "cmdHelp", "ckXH"};
        QTest::newRow("at start: greyed remainder switch skipped") << 0 << common;
        QTest::newRow("division: remainder switch last") << 3 << (common + QStringList{"ckCF"});
    }
    void tabVisitsControlsInDrawnOrder()
    {
        QFETCH(int, type);
        QFETCH(QStringList, order);
        control<QComboBox>("cmbType")->setCurrentIndex(type);
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QStringList visited = {focusedControl()};
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusedControl();
        }
        QCOMPARE(visited, order + QStringList{"cmbFW1"});
    }

    void largerFontScalesWithoutClipping_data()
    {
        QTest::addColumn<double>("points");
        QTest::newRow("drawn size") << 9.0;
        QTest::newRow("large") << 12.0;
        QTest::newRow("very large") << 16.0;
    }
    void largerFontScalesWithoutClipping()
    {
        QFETCH(double, points);
        const QFont original = QApplication::font();
        QFont larger = original;
        larger.setPointSizeF(points);
        QApplication::setFont(larger);
        const MainWindow window;
        QApplication::setFont(original);
        QVERIFY(window.layoutScale() >= points / 9.0);
        QCOMPARE(sumlark::ui::clippedTexts(&window), QStringList());
    }

    void clippingCheckSeesASqueezedText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("check box too narrow") << "ckXH" << QSize(40, 17);
        QTest::newRow("label too low") << "Label3" << QSize(33, 5);
        QTest::newRow("list too narrow") << "cmbType" << QSize(60, 20);
        QTest::newRow("button too narrow") << "cmdExit" << QSize(12, 33);
    }
    void clippingCheckSeesASqueezedText()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        control<QWidget>(name)->resize(size);
        QCOMPARE(sumlark::ui::clippedTexts(window_.get()), QStringList{name});
    }

    void remainderSwitchFollowsType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("enabled");
        for (int type = 0; type < kTypes.size(); ++type)
            QTest::newRow(qPrintable(kTypes.at(type))) << type << (type == 3 || type == 5 || type == 7);
    }
    void remainderSwitchFollowsType()
    {
        QFETCH(int, type);
        QFETCH(bool, enabled);
        auto* types = control<QComboBox>("cmbType");
        const auto* remainder = control<QCheckBox>("ckCF");
        // Come from the opposite state so that every row sees the rule act.
        types->setCurrentIndex(enabled ? 0 : 3);
        QCOMPARE(remainder->isEnabled(), !enabled);
        types->setCurrentIndex(type);
        QCOMPARE(remainder->isEnabled(), enabled);
        QVERIFY(!remainder->isChecked());
    }

    void greyedRemainderTickIsStillHandedOver()
    {
        auto* remainder = control<QCheckBox>("ckCF");
        control<QComboBox>("cmbType")->setCurrentIndex(7);
        QTest::mouseClick(remainder, Qt::LeftButton, {}, QPoint(8, remainder->height() / 2));
        control<QComboBox>("cmbType")->setCurrentIndex(0);
        QVERIFY(!remainder->isEnabled());
        QVERIFY(remainder->isChecked());
        QVERIFY(window_->settingsFromControls().allowRemainder);
    }

    void typeListTakesNoTypedText()
    {
        auto* types = control<QComboBox>("cmbType");
        types->setFocus();
        QTest::keyClicks(types, QStringLiteral("abc9"));
        QCOMPARE(types->currentText(), kTypes.value(types->currentIndex()));
    }

    void typedListTextReachesRunUnchanged_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");
        QTest::newRow("count not in the list") << "cmbTS" << "30";
        QTest::newRow("count that begins an item, not completed") << "cmbTS" << "1";
        QTest::newRow("count in letters") << "cmbTS" << "abc";
        QTest::newRow("per line beyond the list") << "cmbLS" << "12";
        QTest::newRow("smallest with blanks") << "cmbFW1" << " 7 ";
        QTest::newRow("largest with a letter") << "cmbFW2" << "2x";
    }
    void typedListTextReachesRunUnchanged()
    {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        const int items = control<QComboBox>(list)->count();
        typeInto(list, typed);
        QCOMPARE(control<QComboBox>(list)->count(), items);
        const sumlark::WorksheetSettings settings = window_->settingsFromControls();
        const QMap<QString, std::string> handedOver = {{"cmbTS", settings.countText},
                                                       {"cmbLS", settings.perLineText},
                                                       {"cmbFW1", settings.smallestText},
                                                       {"cmbFW2", settings.largestText}};
        QCOMPARE(QString::fromStdString(handedOver.value(list)), typed);
    }

    void createWritesBothSheetsAndCompletes_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("open with answers: both sheets") << true << true << QStringList{kQuestionSheet, kAnswerSheet};
        QTest::newRow("open without answers: question sheet") << true << false << QStringList{kQuestionSheet};
        QTest::newRow("not open: completion message") << false << true << QStringList{};
        QTest::newRow("not open, no answers: completion message") << false << false << QStringList{};
    }
    void createWritesBothSheetsAndCompletes()
    {
        QFETCH(bool, open);
        QFETCH(bool, answers);
        QFETCH(QStringList, opened);
        control<QCheckBox>("ckOpen")->setChecked(open);
        control<QCheckBox>("ckDA")->setChecked(answers);
        create();
        QVERIFY(readSheet(sheet(kQuestionSheet)).startsWith("--------答*题*纸-----题数(10)----类型(加法(＋))----\r\n"));
        QVERIFY(readSheet(sheet(kAnswerSheet)).startsWith("--------答@案@纸-----题数(10)----类型(加法(＋))----\r\n"));

        std::vector<std::string> expected;
        for (const QString& name : opened)
            expected.push_back(sheetPath(name));
        QCOMPARE(services_->launches, expected);
        using Message = std::pair<std::string, std::string>;
        const std::vector<Message> done = {{"成功", "文件输出完成，文件保存在： " + sheetPath(kQuestionSheet)}};
        QCOMPARE(services_->messages, open ? std::vector<Message>{} : done);
    }

    void typedChoicesReachTheSheet()
    {
        typeInto("cmbTS", "30");
        typeInto("cmbLS", "4");
        control<QComboBox>("cmbType")->setCurrentIndex(5);
        create();
        QCOMPARE(window_->lastRun().problemsMade, 30);
        const QString text = readSheet(sheet(kQuestionSheet));
        QVERIFY(text.startsWith("--------答*题*纸-----题数(30)----类型(乘法、除法 混合)----\r\n"));
        QVERIFY(text.contains("Sumlark总共生成：30 题，题型：乘法、除法 混合 出数范围：1 到 10"));
        QCOMPARE(text.split("\r\n").at(2).count('='), 4);
    }

    void refusedSettingsShowTheEnginesMessage()
    {
        typeInto("cmbTS", "abc");
        create();
        QVERIFY(window_->lastRun().refused);
        QCOMPARE(services_->messages.size(), std::size_t(1));
        QCOMPARE(services_->messages[0].second, window_->lastRun().refusalText);
        QVERIFY(services_->launches.empty());
    }

    void windowTakesNoInputDuringRun()
    {
        QList<Qt::CursorShape> cursors;
        bool clicked = false;
        services_->duringCompletion = [&] {
            cursors << (QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor);
            if (!std::exchange(clicked, true))
                create();
        };
        create();
        QCOMPARE(services_->launches.size(), std::size_t(2));
        QCOMPARE(cursors, (QList<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor}));
        QVERIFY(!QGuiApplication::overrideCursor());
        // Once the run is over the window answers again.
        services_->duringCompletion = nullptr;
        create();
        QCOMPARE(services_->launches.size(), std::size_t(4));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"

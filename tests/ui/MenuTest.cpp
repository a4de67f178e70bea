// The menu bar's actions on the offscreen platform, with real sheet files in
// a temporary folder and the editor, the folder window and the message box
// recorded: the print preview's pages, the PDF pair's names, the choices of
// 更多出题条件 reaching the run, refusals, and class sets.

#include "MainWindow.h"
#include "ProblemConstraints.h"
#include "QtTranslations.h"
#include "RecordingFileServices.h"
#include "RunPlan.h"
#include "TableRows.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

namespace {

using sumlark::testing::RecordingFileServices;

// Acts on the modal dialog of type Dialog once it is open, while whatever
// opens it runs; gives up after two seconds, so a dialog that never opens
// fails the test instead of catching a later one.
template <class Dialog> void whenOpen(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(200);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog || --*tries == 0) {
            poll->stop();
            poll->deleteLater();
        }
        if (dialog)
            act(dialog);
    });
    poll->start(10);
}

// The pages of a PDF, counted by its page objects (Qt writes them uncompressed).
int pdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QFile::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    return bytes.startsWith("%PDF") ? int(bytes.count("/Type /Page\n")) : -1;
}

} // namespace

class MenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingFileServices> services_;
    std::unique_ptr<sumlark::ui::MainWindow> window_;
    QTranslator qtTexts_;
    QString previewTitle_;

    template <class T = QWidget> T* control(const QString& name) const { return window_->findChild<T*>(name); }
    QString inFolder(const QString& name) const { return QDir(folder_->path()).filePath(name); }
    void trigger(const char* action) { control<QAction>(QString::fromLatin1(action))->trigger(); }
    void typeInto(const char* list, const QString& text)
    {
        control<QComboBox>(QString::fromLatin1(list))->setEditText(text);
    }
    // Sets the dialog's choices and accepts it.
    void chooseMore(std::function<void(QDialog*)> choose)
    {
        whenOpen<QDialog>([choose](QDialog* dialog) {
            choose(dialog);
            dialog->accept();
        });
        trigger("mnuMoreConditions");
    }
    int pagesInPreview()
    {
        int pages = -1;
        whenOpen<QPrintPreviewDialog>([this, &pages](QPrintPreviewDialog* preview) {
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            previewTitle_ = preview->windowTitle();
            preview->reject();
        });
        trigger("mnuPrint");
        return pages;
    }
    void exportAs(const QString& name)
    {
        whenOpen<QFileDialog>([this, name](QFileDialog* dialog) {
            // Typed, as a user would: selectFile leaves a focused name field alone.
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(inFolder(name));
            static_cast<QDialog*>(dialog)->accept();
        });
        trigger("mnuExportPdf");
    }

private slots:
    void initTestCase()
    {
        // The printing module is built beside the program, not beside the tests.
        QCoreApplication::addLibraryPath(QStringLiteral(SUMLARK_PRINT_DIR));
        // As the program does at start, so that Qt's own dialogs speak Chinese.
        QVERIFY(sumlark::ui::installQtTranslations(qtTexts_));
    }

    void init()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        services_ = std::make_unique<RecordingFileServices>();
        services_->script.useSeededRandom = true; // seeds 1, 2, ... from the "clock"
        window_ = std::make_unique<sumlark::ui::MainWindow>();
        window_->setRunServices(services_.get());
        window_->setOutputFolder(folder_->path());
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void menus()
    {
        QStringList shown;
        for (QAction* menu : window_->menuBar()->actions()) {
            shown << menu->text();
            for (QAction* action : menu->menu()->actions())
                shown << (action->isSeparator() ? "-" : "  " + action->text() + " " + action->shortcut().toString());
        }
        QCOMPARE(shown, QStringList({"文件", "  打印… Ctrl+P", "  导出 PDF… ", "  打开练习纸所在文件夹 ", "-",
                                     "  退出 ", "选项", "  更多出题条件… ", "帮助", "  关于 "}));
        trigger("mnuAbout");
        QVERIFY(window_->aboutWindow());
    }

    // Question pages of every sheet, then their answer pages; 200 problems
    // five a row take two A4 pages at 14 points.
    void previewPageCount_data()
    {
        rows<QString, bool, int, int>({{"one page each", {"10", true, 1, 2}},
                                       {"no answer pages", {"10", false, 1, 1}},
                                       {"two pages each", {"200", true, 1, 4}},
                                       {"a class set", {"200", true, 3, 12}}});
    }
    void previewPageCount()
    {
        const auto [count, answers, sheets, pages] = row<QString, bool, int, int>();
        typeInto("cmbTS", count);
        control<QCheckBox>("ckDA")->setChecked(answers);
        chooseMore([sheets](QDialog* dialog) { dialog->findChild<QSpinBox*>("spnSheets")->setValue(sheets); });
        QCOMPARE(pagesInPreview(), pages);
        QVERIFY2(previewTitle_.startsWith("打印预览"), qPrintable(previewTitle_));
        // Made as Create makes them, without the editor or the box.
        QVERIFY(services_->script.launches.empty() && services_->script.messages.empty());
        QVERIFY(QFileInfo::exists(inFolder(sheets > 1 ? "速算答题-01.txt" : "速算答题.txt")));
    }

    // Paper and text sheets match: while the choices are those of the last
    // Create its sheets are printed; a changed choice makes a new run first.
    void paperFromTheLastRunWhileTheChoicesStay()
    {
        control<QCheckBox>("ckOpen")->setChecked(false);
        control<QPushButton>("cmdCreate")->click();
        QCOMPARE(window_->lastRun()->set.seed, 1u);
        QFile sheet(inFolder("速算答题.txt"));
        QVERIFY(sheet.open(QFile::ReadOnly));
        const QByteArray created = sheet.readAll();
        sheet.close();

        exportAs("同一份.pdf");
        QCOMPARE(window_->lastRun()->set.seed, 1u);
        QVERIFY(sheet.open(QFile::ReadOnly));
        QCOMPARE(sheet.readAll(), created);
        sheet.close();

        typeInto("cmbFW2", "20");
        QCOMPARE(pagesInPreview(), 2);
        QCOMPARE(window_->lastRun()->set.seed, 2u);
        QVERIFY(sheet.open(QFile::ReadOnly));
        QVERIFY(sheet.readAll().contains("20"));
        QVERIFY(services_->script.launches.empty());
    }

    void exportNames_data()
    {
        rows<QString, bool, int, QStringList>({
            {"name with .pdf", {"三年级.pdf", true, 1, {"三年级.pdf", "三年级-答案.pdf"}}},
            {"name without .pdf", {"三年级", true, 1, {"三年级.pdf", "三年级-答案.pdf"}}},
            {"no answers, no answer PDF", {"三年级", false, 1, {"三年级.pdf"}}},
            {"a class set in one pair", {"全班.pdf", true, 3, {"全班.pdf", "全班-答案.pdf"}}},
        });
    }
    void exportNames()
    {
        const auto [chosen, answers, sheets, files] = row<QString, bool, int, QStringList>();
        control<QCheckBox>("ckDA")->setChecked(answers);
        chooseMore([sheets](QDialog* dialog) { dialog->findChild<QSpinBox*>("spnSheets")->setValue(sheets); });
        exportAs(chosen);
        QStringList pdfs = QDir(folder_->path()).entryList({"*.pdf"}, QDir::Files);
        pdfs.sort();
        QStringList expected = files;
        expected.sort();
        QCOMPARE(pdfs, expected);
        for (const QString& pdf : pdfs)
            QCOMPARE(pdfPages(inFolder(pdf)), sheets); // each sheet from a new page
        QCOMPARE(services_->script.messages.size(), std::size_t(1));
        QCOMPARE(services_->script.messages[0].title, "成功");
        for (const QString& pdf : pdfs)
            QVERIFY(QString::fromStdString(services_->script.messages[0].text).contains(pdf));
    }

    // Carry, no repeats, the seed and the number of sheets reach Create; the
    // folder opens instead of an editor per sheet; the choices and the last
    // seed are there when the dialog opens again.
    void moreConditionsReachTheRun()
    {
        chooseMore([](QDialog* dialog) {
            dialog->findChild<QComboBox*>("cmbCarry")->setCurrentIndex(1);
            dialog->findChild<QCheckBox*>("ckDistinct")->setChecked(true);
            dialog->findChild<QLineEdit*>("txtSeed")->setText("42");
            dialog->findChild<QSpinBox*>("spnSheets")->setValue(2);
        });
        typeInto("cmbFW2", "100");
        control<QPushButton>("cmdCreate")->click();

        const auto& run = window_->lastRun();
        QVERIFY(run);
        QCOMPARE(run->set.seed, 42u);
        QCOMPARE(run->set.sheets.size(), std::size_t(2));
        QVERIFY(run->set.sheets[0].seed != run->set.sheets[1].seed);
        for (const sumlark::Sheet& sheet : run->set.sheets) {
            QSet<QPair<double, double>> seen;
            for (const sumlark::SheetProblem& problem : sheet.problems) {
                QVERIFY(sumlark::hasCarry(std::int64_t(problem.left), std::int64_t(problem.right)));
                seen.insert({problem.left, problem.right});
            }
            QCOMPARE(seen.size(), qsizetype(sheet.problems.size()));
        }
        for (const char* name : {"速算答题-01.txt", "速算答题-01-答案.txt", "速算答题-02.txt", "速算答题-02-答案.txt"})
            QVERIFY2(QFileInfo::exists(inFolder(name)), name);
        QVERIFY(services_->script.launches.empty());
        QCOMPARE(services_->script.foldersShown, std::vector{QDir::toNativeSeparators(folder_->path()).toStdString()});

        QString lastSeed, seedField;
        int carry = -1;
        whenOpen<QDialog>([&](QDialog* dialog) {
            lastSeed = dialog->findChild<QLabel*>("lblLastSeed")->text();
            seedField = dialog->findChild<QLineEdit*>("txtSeed")->text();
            carry = dialog->findChild<QComboBox*>("cmbCarry")->currentIndex();
            dialog->reject();
        });
        trigger("mnuMoreConditions");
        QCOMPARE(lastSeed, "上次：42");
        QCOMPARE(seedField, "42");
        QCOMPARE(carry, 1);
    }

    // What the engine cannot meet is refused with its own reason, by Create
    // and by the paper actions alike, and nothing is written.
    void refusalShown_data()
    {
        rows<QString>({{"create", {"cmdCreate"}}, {"print", {"mnuPrint"}}, {"export", {"mnuExportPdf"}}});
    }
    void refusalShown()
    {
        const auto [via] = row<QString>();
        chooseMore([](QDialog* dialog) { dialog->findChild<QComboBox*>("cmbCarry")->setCurrentIndex(1); });
        typeInto("cmbFW2", "1");
        sumlark::ProblemConstraints carry;
        carry.carry = sumlark::CarryRule::With;
        const auto plan = sumlark::planRun(window_->settingsFromControls(), carry);
        QVERIFY(!plan.plan);

        if (auto* action = control<QAction>(via))
            action->trigger();
        else
            control<QPushButton>(via)->click();
        QCOMPARE(services_->script.messages.size(), std::size_t(1));
        QCOMPARE(services_->script.messages[0].text, plan.refusal.text);
        QVERIFY(!window_->lastRun());
        QVERIFY(QDir(folder_->path()).isEmpty());
    }

    void openFolder()
    {
        const QString folder = inFolder("文档/速算练习");
        window_->setOutputFolder(folder);
        trigger("mnuOpenFolder");
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(services_->script.foldersShown, std::vector{QDir::toNativeSeparators(folder).toStdString()});
    }
};

QTEST_MAIN(MenuTest)
#include "MenuTest.moc"

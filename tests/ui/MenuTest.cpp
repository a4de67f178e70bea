// The menu bar's actions on the offscreen platform, with real sheet files in
// a temporary folder and the editor, the folder window and the message box
// recorded: the print preview's pages, the PDF pair's names, the choices of
// 更多出题条件 reaching the run, refusals, and class sets.

#include "MainWindow.h"
#include "PdfWords.h"
#include "MoreConditionsDialog.h"
#include "ProblemConstraints.h"
#include "QtTranslations.h"
#include "RecordingFileServices.h"
#include "RefusalWords.h"
#include "RunPlan.h"
#include "TableRows.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>
#include <QtWidgets>

#include <climits>
#include <functional>
#include <memory>

namespace {

using sumlark::testing::RecordingFileServices;

// Acts on the modal dialog of type Dialog once it is open, while whatever
// opens it runs; gives up after two seconds, so a dialog that never opens
// fails the test instead of catching a later one. A caller that expects no
// dialog stops the returned poll itself.
template <class Dialog> QPointer<QTimer> whenOpen(std::function<void(Dialog*)> act)
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
    return poll;
}

// "First 20..10" checks that range and sets its ends; "!First 20..10" sets
// the ends and leaves it unchecked.
void setRange(QDialog& dialog, const QString& typed)
{
    if (typed.isEmpty())
        return;
    const QString name = typed.section(' ', 0, 0).remove('!');
    const QStringList ends = typed.section(' ', 1).split("..");
    dialog.findChild<QCheckBox*>("ck" + name + "Range")->setChecked(!typed.startsWith('!'));
    dialog.findChild<QSpinBox*>("spn" + name + "Low")->setValue(ends[0].toInt());
    dialog.findChild<QSpinBox*>("spn" + name + "High")->setValue(ends[1].toInt());
}

// The pages of a PDF; none when it is not one.
int pdfPages(const QString& path)
{
    return int(sumlark::testing::readPdfPages(path).size());
}

} // namespace

class MenuTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingFileServices> services_;
    std::unique_ptr<sumlark::ui::MainWindow> window_;
    QTranslator qtTexts_;
    QString previewTitle_;
    QString previewNote_; // the line above the pages, when shown

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
            auto* note = preview->findChild<QLabel*>("lblPrintNote");
            previewNote_ = note && !note->isHidden() ? note->text() : QString();
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
    // five a row take two A4 pages at 14 points. A row that takes fewer
    // problems than asked is told in a line above the pages.
    void previewPageCount_data()
    {
        rows<QString, bool, int, int, QString, QString>(
            {{"one page each", {"10", true, 1, 2, "5", ""}},
             {"no answer pages", {"10", false, 1, 1, "5", ""}},
             {"two pages each", {"200", true, 1, 4, "5", ""}},
             {"a class set", {"200", true, 3, 12, "5", ""}},
             {"fewer a row told", {"10", true, 1, 2, "8", "每行放不下 8 题，打印时每行改为 "}}});
    }
    void previewPageCount()
    {
        const auto [count, answers, sheets, pages, perLine, note] = row<QString, bool, int, int, QString, QString>();
        typeInto("cmbTS", count);
        typeInto("cmbLS", perLine);
        control<QCheckBox>("ckDA")->setChecked(answers);
        chooseMore([sheets](QDialog* dialog) { dialog->findChild<QSpinBox*>("spnSheets")->setValue(sheets); });
        QCOMPARE(pagesInPreview(), pages);
        QVERIFY2(previewTitle_.startsWith("打印预览"), qPrintable(previewTitle_));
        QVERIFY2(note.isEmpty() ? previewNote_.isEmpty() : previewNote_.startsWith(note), qPrintable(previewNote_));
        // Made as Create makes them, without the editor or the box.
        QVERIFY(services_->script.launches.empty() && services_->script.messages.empty());
        QVERIFY(QFileInfo::exists(inFolder(sheets > 1 ? "速算答题-01.txt" : "速算答题.txt")));
    }

    // The preview lays the pages out again for the paper and margins its
    // page set-up holds; printed from there to a PDF file, every word is
    // inside the margins, the problems keep their size, every page is numbered.
    void previewFollowsPageSetup_data()
    {
        // Each paper and margin at the page's own layer: PrinterPagesTest.
        rows<QPageSize::PageSizeId, int>({{"B5, 15 mm", {QPageSize::B5, 15}}, {"Letter, 0 mm", {QPageSize::Letter, 0}}});
    }
    void previewFollowsPageSetup()
    {
        const auto [paper, marginMm] = row<QPageSize::PageSizeId, int>();
        typeInto("cmbTS", "100");
        typeInto("cmbFW1", "-20");
        const QString file = inFolder("printed.pdf");
        int pages = -1;
        whenOpen<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
            QPrinter* printer = preview->printer();
            printer->setPageSize(QPageSize(paper));
            printer->setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
            auto* pages_ = preview->findChild<QPrintPreviewWidget*>();
            pages_->updatePreview();
            pages = pages_->pageCount();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            pages_->print();
            preview->reject();
        });
        trigger("mnuPrint");
        const auto read = sumlark::testing::readPdfPages(file);
        QCOMPARE(int(read.size()), pages);
        const double margin = marginMm * 72.0 / 25.4 - 0.5;
        for (const auto& page : read) {
            bool numbered = false;
            for (const auto& line : page.lines()) {
                QString text;
                for (const auto& word : line) {
                    text += word.text;
                    QVERIFY2(word.left >= margin && word.top >= margin && word.right <= page.width - margin &&
                                 word.bottom <= page.height - margin,
                             qPrintable(word.text + " outside the margins"));
                    QVERIFY2(sumlark::testing::hasChinese(line.front().text) || word.height() >= 14.0,
                             qPrintable(word.text));
                }
                numbered = numbered || text.contains(QRegularExpression("^第\\d+页，共\\d+页$"));
            }
            QVERIFY(numbered);
        }
    }

    // Paper and text sheets match: while the choices are those of the last
    // Create its sheets are printed; a changed choice makes a new run first.
    void paperFromTheLastRunWhileTheChoicesStay()
    {
        control<QCheckBox>("ckOpen")->setChecked(false);
        control<QPushButton>("cmdCreate")->click();
        QCOMPARE(window_->lastRun()->report.seed, 1u);
        QFile sheet(inFolder("速算答题.txt"));
        QVERIFY(sheet.open(QFile::ReadOnly));
        const QByteArray created = sheet.readAll();
        sheet.close();

        exportAs("同一份.pdf");
        QCOMPARE(window_->lastRun()->report.seed, 1u);
        QVERIFY(sheet.open(QFile::ReadOnly));
        QCOMPARE(sheet.readAll(), created);
        sheet.close();

        typeInto("cmbFW2", "20");
        QCOMPARE(pagesInPreview(), 2);
        QCOMPARE(window_->lastRun()->report.seed, 2u);
        QVERIFY(sheet.open(QFile::ReadOnly));
        QVERIFY(sheet.readAll().contains("20"));
        QVERIFY(services_->script.launches.empty());
    }

    // An earlier pair is replaced only when the user says so, asked once
    // with both files named, whether ".pdf" was typed or not.
    void exportNames_data()
    {
        using Buttons = QMessageBox::StandardButton;
        rows<QString, bool, int, QStringList, QStringList, Buttons>({
            {"name with .pdf", {"三年级.pdf", true, 1, {"三年级.pdf", "三年级-答案.pdf"}, {}, Buttons::NoButton}},
            {"name without .pdf", {"三年级", true, 1, {"三年级.pdf", "三年级-答案.pdf"}, {}, Buttons::NoButton}},
            {"no answers, no answer PDF", {"三年级", false, 1, {"三年级.pdf"}, {}, Buttons::NoButton}},
            {"a class set in one pair", {"全班.pdf", true, 3, {"全班.pdf", "全班-答案.pdf"}, {}, Buttons::NoButton}},
            {"earlier pair kept on no",
             {"三年级", true, 1, {"三年级.pdf", "三年级-答案.pdf"}, {"三年级.pdf", "三年级-答案.pdf"}, Buttons::No}},
            {"earlier pair replaced on yes",
             {"三年级", true, 1, {"三年级.pdf", "三年级-答案.pdf"}, {"三年级.pdf", "三年级-答案.pdf"}, Buttons::Yes}},
            {"an earlier answer PDF alone asked about",
             {"三年级.pdf", true, 1, {"三年级.pdf", "三年级-答案.pdf"}, {"三年级-答案.pdf"}, Buttons::No}},
        });
    }
    void exportNames()
    {
        const auto [chosen, answers, sheets, files, earlier, answer] =
            row<QString, bool, int, QStringList, QStringList, QMessageBox::StandardButton>();
        control<QCheckBox>("ckDA")->setChecked(answers);
        chooseMore([sheets](QDialog* dialog) { dialog->findChild<QSpinBox*>("spnSheets")->setValue(sheets); });
        for (const QString& name : earlier) {
            QFile file(inFolder(name));
            QVERIFY(file.open(QFile::WriteOnly) && file.write("earlier") == 7);
        }
        QString asked;
        int questions = 0;
        // Asked after the file dialog closes.
        whenOpen<QFileDialog>([this, chosen, answer, &asked, &questions](QFileDialog* dialog) {
            if (answer != QMessageBox::NoButton) {
                whenOpen<QMessageBox>([answer, &asked, &questions](QMessageBox* box) {
                    asked = box->text();
                    ++questions;
                    box->button(answer)->click();
                });
            }
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(inFolder(chosen));
            static_cast<QDialog*>(dialog)->accept();
        });
        trigger("mnuExportPdf");
        QCOMPARE(questions, earlier.isEmpty() ? 0 : 1);
        for (const QString& name : earlier)
            QVERIFY2(asked.contains(QDir::toNativeSeparators(inFolder(name))), qPrintable(asked));
        if (answer == QMessageBox::No) {
            for (const QString& name : earlier)
                QCOMPARE(pdfPages(inFolder(name)), 0); // still the earlier bytes
            QVERIFY(services_->script.messages.empty());
            return;
        }
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
    // seed are there when the dialog opens again, the last seed in a field
    // of its own that a button puts into 种子.
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
        QCOMPARE(run->report.seed, 42u);
        QCOMPARE(run->sheets.size(), std::size_t(2));
        QVERIFY(run->sheets[0].seed != run->sheets[1].seed);
        for (const sumlark::Sheet& sheet : run->sheets) {
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

        QString lastSeed, seedField, filled;
        int carry = -1;
        whenOpen<QDialog>([&](QDialog* dialog) {
            auto* last = dialog->findChild<QLineEdit*>("txtLastSeed");
            lastSeed = last->isReadOnly() ? last->text() : QString();
            auto* seed = dialog->findChild<QLineEdit*>("txtSeed");
            seedField = seed->text();
            seed->clear();
            dialog->findChild<QPushButton*>("cmdUseLastSeed")->click();
            filled = seed->text();
            carry = dialog->findChild<QComboBox*>("cmbCarry")->currentIndex();
            dialog->reject();
        });
        trigger("mnuMoreConditions");
        QCOMPARE(lastSeed, "42");
        QCOMPARE(seedField, "42");
        QCOMPARE(filled, "42");
        QCOMPARE(carry, 1);
    }

    // The problem forms and the layout go into the dialog and come out of it unchanged.
    void formChoicesRoundTrip_data()
    {
        using sumlark::WholeRange;
        using enum sumlark::BlankChoice;
        rows<sumlark::ui::MoreConditions>({
            {"window defaults", {{}}},
            {"first blank, two-digit plus one-digit",
             {{.constraints = {.blank = First, .first = WholeRange{10, 99}, .second = WholeRange{1, 9}}}}},
            {"mixed, three numbers, nothing trivial",
             {{.constraints = {.blank = Mixed, .terms = 3, .result = WholeRange{0, 20}, .noTrivial = true}}}},
            {"ranges at their limits, column form",
             {{.constraints = {.first = WholeRange{-32768, 32767}, .second = WholeRange{-5, -1},
                               .result = WholeRange{INT_MIN, INT_MAX}},
               .page = {.layout = sumlark::pdf::PageLayout::Columns}}}},
        });
    }
    void formChoicesRoundTrip()
    {
        const auto [given] = row<sumlark::ui::MoreConditions>();
        const sumlark::ui::MoreConditionsDialog dialog(given, std::nullopt, window_.get());
        QVERIFY(dialog.conditions() == given);
        // One width whatever it shows: the longest last seed, three numbers.
        const sumlark::ui::MoreConditionsDialog longest(given, UINT64_MAX, window_.get());
        QCOMPARE(dialog.sizeHint().width(), longest.sizeHint().width());
        QCOMPARE(dialog.sizeHint().width(), sumlark::ui::MoreConditionsDialog({}, 1, window_.get()).sizeHint().width());
    }

    // accept() keeps the dialog open on a range whose low end is above its
    // high end, or a column form it cannot print, says why and puts the
    // focus where the fix is; anything else closes it.
    void dialogRefuses_data()
    {
        rows<int, int, QString, int, QString, QString>({
            {"first low above high", {0, 0, "First 20..10", 0, "第一个数的范围（20 到 10）前一个数大于后一个数", "spnFirstLow"}},
            {"result low above high", {0, 0, "Result 5..-5", 0, "得数的范围（5 到 -5）前一个数大于后一个数", "spnResultLow"}},
            {"unchecked range not read", {0, 0, "!Second 20..10", 0, "", ""}},
            {"column form, first blank", {1, 0, "", 1, "填空选的是“填第一个数”", "cmbLayout"}},
            {"column form, three numbers", {0, 1, "", 1, "几个数选的是“三个数”", "cmbLayout"}},
            {"column form, two numbers, result blank", {0, 0, "Result 7..7", 1, "", ""}},
            {"mixed blanks and three numbers in rows", {3, 1, "", 0, "", ""}},
        });
    }
    void dialogRefuses()
    {
        const auto [blank, terms, range, layout, says, focus] = row<int, int, QString, int, QString, QString>();
        sumlark::ui::MoreConditionsDialog dialog({}, std::nullopt, window_.get());
        dialog.show();
        dialog.findChild<QComboBox*>("cmbBlank")->setCurrentIndex(blank);
        dialog.findChild<QComboBox*>("cmbTerms")->setCurrentIndex(terms);
        dialog.findChild<QComboBox*>("cmbLayout")->setCurrentIndex(layout);
        setRange(dialog, range);

        QString told;
        const QPointer<QTimer> poll = whenOpen<QMessageBox>([&told](QMessageBox* box) {
            told = box->text();
            box->accept();
        });
        dialog.accept();
        if (poll) {
            poll->stop();
            poll->deleteLater();
        }
        QCOMPARE(dialog.result(), int(says.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QVERIFY2(says.isEmpty() ? told.isEmpty() : told.contains(says), qPrintable(told));
        if (says.isEmpty())
            return;
        QCOMPARE(dialog.focusWidget()->objectName(), focus);
        // The window and the command line give the same reason.
        if (layout == 1)
            QCOMPARE(told, QString::fromStdString(
                               sumlark::wording::refusalText(*sumlark::columnFormRefusal(dialog.conditions().constraints), sumlark::wording::DialogNaming())));
    }

    // Tab walks the dialog as it reads, top to bottom and left to right,
    // the range fields included once their box is ticked.
    void dialogTabOrderFollowsTheRows()
    {
        sumlark::ui::MoreConditionsDialog dialog({}, 7, window_.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const char* box : {"ckFirstRange", "ckSecondRange", "ckResultRange"})
            dialog.findChild<QCheckBox*>(box)->setChecked(true);
        auto* first = dialog.findChild<QWidget*>("cmbCarry");
        dialog.activateWindow();
        QApplication::setActiveWindow(&dialog);
        first->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), first);
        QStringList walked;
        for (int step = 0; step < 24; ++step) {
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            if (!walked.isEmpty() && focused == first)
                break;
            walked << (focused->objectName().isEmpty() ? QString::fromLatin1(focused->metaObject()->className())
                                                       : focused->objectName());
            // Every choice says what it does.
            QVERIFY2(focused->objectName().isEmpty() || !focused->toolTip().isEmpty(), qPrintable(walked.back()));
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QCOMPARE(walked, (QStringList{"cmbCarry", "cmbBorrow", "ckDistinct", "cmbBlank", "cmbTerms", "ckFirstRange",
                                      "spnFirstLow", "spnFirstHigh", "ckSecondRange", "spnSecondLow", "spnSecondHigh",
                                      "ckResultRange", "spnResultLow", "spnResultHigh", "ckNoTrivial", "spnSheets",
                                      "txtSeed", "txtLastSeed", "cmdUseLastSeed", "spnFontSize", "cmbPaper", "cmbLayout", "QPushButton",
                                      "QPushButton"}));
    }

    // Paper shows the sheets of the last Create while the choices would make
    // them again: a new layout only prints them differently, a new problem
    // form makes a new run, which the engine is given.
    void formChoicesReachThePaper_data()
    {
        rows<QString, bool>({{"nothing changed keeps the sheets, menu unmarked", {"", true}},
                             {"column layout keeps the sheets", {"cmbLayout", true}},
                             {"another paper keeps the sheets", {"cmbPaper", true}},
                             {"a blank draws anew", {"cmbBlank", false}},
                             {"three numbers draw anew", {"cmbTerms", false}},
                             {"a result range draws anew", {"ckResultRange", false}},
                             {"nothing trivial draws anew", {"ckNoTrivial", false}}});
    }
    void formChoicesReachThePaper()
    {
        const auto [changed, sameSheets] = row<QString, bool>();
        control<QCheckBox>("ckOpen")->setChecked(false);
        typeInto("cmbFW2", "20");
        control<QPushButton>("cmdCreate")->click();
        chooseMore([changed](QDialog* dialog) {
            if (changed.isEmpty())
                return;
            if (auto* list = dialog->findChild<QComboBox*>(changed))
                list->setCurrentIndex(1);
            else
                dialog->findChild<QCheckBox*>(changed)->setChecked(true);
        });
        // The menu shows that conditions are set; the client area stays as it is.
        QCOMPARE(control<QAction>("mnuMoreConditions")->text(),
                 changed.isEmpty() ? "更多出题条件…" : "更多出题条件…（已设置）");
        QVERIFY(pagesInPreview() > 0);
        QCOMPARE(window_->lastRun()->report.seed, sameSheets ? 1u : 2u);
        QCOMPARE(window_->lastRun()->request.constraints.asksForms(), !sameSheets);
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
        QCOMPARE(services_->script.messages[0].text,
                 sumlark::wording::refusalText(plan.refusal, sumlark::wording::DialogNaming()));
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

    // With the window's own services on a desktop without a file manager
    // (xdg-open finds nothing to open a folder with) or without xdg-open at
    // all, the folder's full path is shown in a box it can be copied from.
    void openerFailureShowsThePath_data()
    {
        rows<QString, bool, QString>({{"folder menu, no opener", {"mnuOpenFolder", false, "无法打开文件夹"}},
                                      {"folder menu, opener fails", {"mnuOpenFolder", true, "无法打开文件夹"}},
                                      {"class set, no opener", {"cmdCreate", false, "成功"}},
                                      {"class set, opener fails", {"cmdCreate", true, "无法打开文件夹"}}});
    }
    void openerFailureShowsThePath()
    {
        const auto [via, opener, title] = row<QString, bool, QString>();
        const QTemporaryDir empty;
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([path] { qputenv("PATH", path); });
        if (!opener)
            qputenv("PATH", empty.path().toUtf8());
        else if (QStandardPaths::findExecutable("xdg-open").isEmpty())
            QFAIL("xdg-open is not installed (scripts/install-deps.sh installs xdg-utils)");
        // No desktop, no applications, no browser for xdg-open to fall back on.
        for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
            qputenv(name, empty.path().toUtf8());
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "BROWSER", "DISPLAY"})
            qunsetenv(name);
        window_->setRunServices(nullptr);
        const QString folder = inFolder("速算练习");
        window_->setOutputFolder(folder);
        if (via == "cmdCreate")
            chooseMore([](QDialog* dialog) { dialog->findChild<QSpinBox*>("spnSheets")->setValue(2); });
        QString shownTitle, shownText;
        bool selectable = false;
        const auto record = [&](QMessageBox* box) {
            shownTitle = box->windowTitle();
            shownText = box->text();
            selectable = box->textInteractionFlags() & Qt::TextSelectableByMouse;
            box->accept();
        };
        whenOpen<QMessageBox>(record);
        if (auto* action = control<QAction>(via))
            action->trigger();
        else
            control<QPushButton>(via)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!shownTitle.isEmpty(), 2000);
        QCOMPARE(shownTitle, title);
        QVERIFY2(shownText.contains(QDir::toNativeSeparators(folder)), qPrintable(shownText));
        QVERIFY(selectable);
    }
};

QTEST_MAIN(MenuTest)
#include "MenuTest.moc"

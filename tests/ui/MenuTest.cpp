// The menu bar's actions: the print preview's pages, the PDF pair's names,
// the choices of 更多出题条件 reaching the run, refusals, class sets, the
// folder's path when no file manager opens it, and plans saved, chosen and
// managed.

#include "MoreConditionsDialog.h"
#include "NamesDialog.h"
#include "PdfWords.h"
#include "PlanFiles.h"
#include "PlanManager.h"
#include "RefusalWords.h"
#include "RunPlan.h"
#include "SectionDialog.h"
#include "WindowFixture.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <climits>

#include <sys/stat.h>

using sumlark::ui::MoreConditions;
using sumlark::ui::MoreConditionsDialog;
using sumlark::wording::OptionChoices;
using sumlark::SheetSection;
using sumlark::ui::SectionDialog;
using sumlark::wording::PlanEntry;
using sumlark::wording::PlanText;
using Entries = std::vector<PlanEntry>;

namespace sumlark::wording {
bool operator==(const PlanEntry& a, const PlanEntry& b) { return a.key == b.key && a.value == b.value; }
bool operator==(const PlanSection& a, const PlanSection& b) { return a.heading == b.heading && a.options == b.options; }
bool operator==(const PlanText& a, const PlanText& b) { return a.wide == b.wide && a.sections == b.sections; }
}

// A class's name as long as a page's name line takes.
const std::string kClass20 = "第一小学三年级二班（实验班）课后兴趣小组";

class MenuTest : public QObject, WindowFixture {
    Q_OBJECT

    void typeInto(const char* list, const QString& text) { control<QComboBox>(list)->setEditText(text); }
    // Sets the dialog's choices and accepts it.
    void chooseMore(std::function<void(QDialog*)> choose)
    {
        whenOpen<QDialog>([choose](QDialog* dialog) {
            choose(dialog);
            dialog->accept();
        });
        press("mnuMoreConditions");
    }
    void chooseSheets(int sheets)
    {
        chooseMore([sheets](QDialog* dialog) { dialog->findChild<QSpinBox*>("spnSheets")->setValue(sheets); });
    }
    // The file name typed, as a user would: selectFile leaves a focused name field alone.
    void exportAs(const QString& name, std::function<void()> thenAsked = {})
    {
        whenOpen<QFileDialog>([this, name, thenAsked](QFileDialog* dialog) {
            if (thenAsked)
                thenAsked();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(inFolder(name));
            static_cast<QDialog*>(dialog)->accept();
        });
        press("mnuExportPdf");
    }

    // Plans are saved under a configuration folder of the test's own.
    std::unique_ptr<QTemporaryDir> config_;
    QString savedPlan(const QString& name) const { return config_->filePath("sumlark/plans/" + name + ".json"); }
    // The 方案 menu as it opens, its items' texts, separators as "-".
    QStringList openPlanMenu()
    {
        auto* menu = window_->findChild<QMenu*>("mnuPlans");
        menu->popup(window_->mapToGlobal(QPoint(0, 0)));
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? "-" : action->text());
        picture(menu, "mnuPlans.png");
        menu->hide();
        return items;
    }
    void choosePlan(const QString& name)
    {
        openPlanMenu();
        for (QAction* action : window_->findChild<QMenu*>("mnuPlans")->actions())
            if (action->text() == name)
                return action->trigger();
        QFAIL(qPrintable("no plan " + name));
    }
    // Answers the name asked for, then the question whether to replace.
    void answerName(const QString& name, QMessageBox::StandardButton replace = QMessageBox::NoButton)
    {
        whenOpen<QInputDialog>([name, replace](QInputDialog* dialog) {
            if (replace != QMessageBox::NoButton)
                whenOpen<QMessageBox>([replace](QMessageBox* box) { box->button(replace)->click(); });
            dialog->setTextValue(name);
            dialog->accept();
        });
    }
    // The choices a plan gives; a reply fails the test.
    static OptionChoices planned(const PlanText& plan)
    {
        OptionChoices chosen;
        if (const std::string reply = applyPlan(chosen, plan); !reply.empty())
            QTest::qFail(reply.c_str(), __FILE__, __LINE__);
        return chosen;
    }
    static bool sameChoices(const OptionChoices& a, const OptionChoices& b)
    {
        return a.request() == b.request() && a.page == b.page && a.pdf == b.pdf;
    }

    // Presses 确定: the dialog closes when nothing is said, else it stays
    // open having said why (told), the focus where the fix is.
    static void acceptSays(QDialog& dialog, const QString& says, const QString& focus, QString& told)
    {
        dialog.show();
        const QPointer<QTimer> poll = whenOpen<QMessageBox>([&told](QMessageBox* box) {
            told = box->text();
            box->accept();
        });
        dialog.accept();
        delete poll.data();
        QCOMPARE(dialog.result(), int(says.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QVERIFY2(says.isEmpty() ? told.isEmpty() : told.contains(says), qPrintable(told));
        if (!says.isEmpty())
            QCOMPARE(dialog.focusWidget()->objectName(), focus);
    }

private slots:
    void initTestCase() { QVERIFY(setUpApplication()); }
    void init()
    {
        config_ = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
        QVERIFY(openWindow());
    }

    // Ctrl+P shows question pages of every sheet, then their answer pages,
    // made as Create makes them, without the editor or the box; 200 problems
    // five a row take two A4 pages at 14 points. The preview lays the pages
    // out again for the paper and margins its page set-up is given, and says
    // so when a row takes fewer problems than asked. (That the pages stay
    // inside the margins, at the page's own layer: SheetPdfTest.)
    void preview_data()
    {
        // count, answers, sheets, per line; the paper and margins set up (-1: as the preview opens); pages; note
        rows<QString, bool, int, QString, QPageSize::PageSizeId, int, int, QString>({
            {"one page each", {"10", true, 1, "5", QPageSize::A4, -1, 2, ""}},
            {"no answer pages", {"10", false, 1, "5", QPageSize::A4, -1, 1, ""}},
            {"two pages each", {"200", true, 1, "5", QPageSize::A4, -1, 4, ""}},
            {"a class set", {"200", true, 3, "5", QPageSize::A4, -1, 10, ""}}, // the answers run on: 4 pages
            {"B5 and 15 mm set up", {"10", true, 1, "8", QPageSize::B5, 15, 2, "每行放不下 8 题，打印时每行改为 6 题"}},
        });
    }
    void preview()
    {
        const auto [count, answers, sheets, perLine, paper, marginMm, pages, note] =
            row<QString, bool, int, QString, QPageSize::PageSizeId, int, int, QString>();
        typeInto("cmbTS", count);
        typeInto("cmbLS", perLine);
        control<QCheckBox>("ckDA")->setChecked(answers);
        chooseSheets(sheets);
        QString shown;
        whenOpen<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
            auto* pagesShown = preview->findChild<QPrintPreviewWidget*>();
            if (marginMm >= 0) {
                preview->printer()->setPageSize(QPageSize(paper));
                preview->printer()->setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
                pagesShown->updatePreview();
                preview->resize(900, 700);
                picture(preview, "frmPrintPreview.png");
            }
            auto* line = preview->findChild<QLabel*>("lblPrintNote");
            shown = preview->windowTitle().left(4) + " " + QString::number(pagesShown->pageCount()) + " " +
                    (line->isHidden() ? QString() : line->text());
            preview->reject();
        });
        window_->activateWindow(); // as the desktop does when the dialog closes
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(shown, QString("打印预览 %1 %2").arg(pages).arg(note));
        QVERIFY(services_->script.launches.empty() && services_->script.messages.empty());
        QVERIFY(QFileInfo::exists(inFolder(sheets > 1 ? "速算答题-03.txt" : "速算答题.txt")));
    }

    // Paper shows the sheets of the last Create while the choices would make
    // them again: a new layout or paper only prints them differently; a
    // choice of the window or of the dialog's problems makes a new run first,
    // which is given the dialog's choices whole. The menu shows that
    // conditions are set.
    void paperFromTheLastRunWhileTheChoicesStay_data()
    {
        rows<QString, bool>({{"nothing changed keeps the sheets", {"", true}},
                             {"column layout keeps the sheets", {"cmbLayout", true}},
                             {"another paper keeps the sheets", {"cmbPaper", true}},
                             {"a largest typed in the window draws anew", {"cmbFW2", false}},
                             {"carrying draws anew", {"cmbCarry", false}},
                             {"a blank draws anew", {"cmbBlank", false}},
                             {"nothing trivial draws anew", {"ckNoTrivial", false}}});
    }
    void paperFromTheLastRunWhileTheChoicesStay()
    {
        const auto [changed, sameSheets] = row<QString, bool>();
        const auto sheet = [this] { return bytesOf(inFolder("速算答题.txt")); };
        control<QCheckBox>("ckOpen")->setChecked(false);
        typeInto("cmbFW2", "20");
        press("cmdCreate");
        const QByteArray created = sheet();
        MoreConditions chosen;
        chooseMore([&](QDialog* dialog) {
            if (auto* list = changed.isEmpty() ? nullptr : dialog->findChild<QComboBox*>(changed))
                list->setCurrentIndex(1);
            else if (auto* box = changed.isEmpty() ? nullptr : dialog->findChild<QCheckBox*>(changed))
                box->setChecked(true);
            chosen = static_cast<MoreConditionsDialog*>(dialog)->conditions();
        });
        const bool inDialog = !changed.isEmpty() && changed != "cmbFW2";
        QCOMPARE(control<QAction>("mnuMoreConditions")->text(), inDialog ? "更多出题条件…（已设置）" : "更多出题条件…");
        typeInto("cmbFW2", changed == "cmbFW2" ? "30" : "20");
        exportAs("同一份.pdf");
        QCOMPARE(window_->lastRun()->report.seed, sameSheets ? 1u : 2u);
        QVERIFY(window_->lastRun()->request.constraints == chosen.constraints);
        QCOMPARE(sheet() == created, sameSheets);
        QVERIFY(QFileInfo::exists(inFolder("同一份.pdf")) && services_->script.launches.empty());
    }

    // An earlier pair is replaced only when the user says so, asked once
    // with both files named, whether ".pdf" was typed or not.
    void exportNames_data()
    {
        using Buttons = QMessageBox::StandardButton;
        const QStringList pair = {"三年级-答案.pdf", "三年级.pdf"}; // as the folder sorts them
        rows<QString, bool, int, QStringList, QStringList, Buttons>({
            {"name with .pdf", {"三年级.pdf", true, 1, pair, {}, Buttons::NoButton}},
            {"name without .pdf", {"三年级", true, 1, pair, {}, Buttons::NoButton}},
            {"no answers, no answer PDF", {"三年级", false, 1, {"三年级.pdf"}, {}, Buttons::NoButton}},
            {"a class set in one pair", {"全班.pdf", true, 3, {"全班-答案.pdf", "全班.pdf"}, {}, Buttons::NoButton}},
            {"earlier pair kept on no", {"三年级", true, 1, pair, pair, Buttons::No}},
            {"earlier pair replaced on yes", {"三年级", true, 1, pair, pair, Buttons::Yes}},
            {"an earlier answer PDF alone asked about", {"三年级.pdf", true, 1, pair, {pair[0]}, Buttons::No}},
        });
    }
    void exportNames()
    {
        const auto [chosen, answers, sheets, files, earlier, answer] =
            row<QString, bool, int, QStringList, QStringList, QMessageBox::StandardButton>();
        control<QCheckBox>("ckDA")->setChecked(answers);
        chooseSheets(sheets);
        QVERIFY(QDir().mkpath(inFolder()));
        for (const QString& name : earlier) {
            QFile file(inFolder(name));
            QVERIFY(file.open(QFile::WriteOnly) && file.write("earlier") == 7);
        }
        QStringList asked;
        exportAs(chosen, [answer, &asked] {
            if (answer != QMessageBox::NoButton) // asked after the file dialog closes
                whenOpen<QMessageBox>([answer, &asked](QMessageBox* box) {
                    asked << box->text();
                    box->button(answer)->click();
                });
        });
        QCOMPARE(asked.size(), earlier.isEmpty() ? 0 : 1);
        for (const QString& name : earlier)
            QVERIFY2(asked[0].contains(QDir::toNativeSeparators(inFolder(name))), qPrintable(asked[0]));
        const QStringList written = answer == QMessageBox::No ? QStringList() : files;
        QCOMPARE(QDir(inFolder()).entryList({"*.pdf"}, QDir::Files, QDir::Name), written.isEmpty() ? earlier : files);
        // Each sheet from a new page, the answers of a set run on; kept, the earlier bytes stay.
        for (const QString& pdf : files)
            QCOMPARE(int(sumlark::testing::readPdfPages(inFolder(pdf)).size()),
                     written.contains(pdf) ? (pdf.contains("答案") ? 1 : sheets) : 0);
        QCOMPARE(messages().size(), int(!written.isEmpty()));
        for (const QString& pdf : written)
            QVERIFY2(messages()[0].startsWith("成功：") && messages()[0].contains(pdf), qPrintable(messages()[0]));
    }

    // The seed and the number of sheets reach Create; the folder opens
    // instead of an editor per sheet; the choices and the run's seed are
    // there when the dialog opens again, the last seed in a field of its own
    // that a button puts into 种子. What the engine then cannot meet is
    // refused with its own reason, by the paper actions as by Create, and
    // the sheets stay those of the last run.
    void moreConditionsReachTheRun_data() { rows<QString>({{"print", {"mnuPrint"}}, {"export", {"mnuExportPdf"}}, {"create", {"cmdCreate"}}}); }
    void moreConditionsReachTheRun()
    {
        chooseMore([](QDialog* dialog) {
            dialog->findChild<QComboBox*>("cmbCarry")->setCurrentIndex(1);
            dialog->findChild<QLineEdit*>("txtSeed")->setText("42");
            dialog->findChild<QSpinBox*>("spnSheets")->setValue(2);
        });
        typeInto("cmbFW2", "100");
        press("cmdCreate");
        QVERIFY(QFileInfo::exists(inFolder("速算答题-02-答案.txt")) && services_->script.launches.empty());
        QCOMPARE(services_->script.foldersShown, std::vector{QDir::toNativeSeparators(inFolder()).toStdString()});
        QStringList shown;
        whenOpen<QDialog>([&shown](QDialog* dialog) {
            auto* last = dialog->findChild<QLineEdit*>("txtLastSeed");
            auto* seed = dialog->findChild<QLineEdit*>("txtSeed");
            shown << (last->isReadOnly() ? last->text() : "editable") << seed->text();
            seed->clear();
            dialog->findChild<QPushButton*>("cmdUseLastSeed")->click();
            shown << seed->text() << dialog->findChild<QComboBox*>("cmbCarry")->currentText();
            dialog->reject();
        });
        press("mnuMoreConditions");
        QCOMPARE(shown, QStringList({"42", "42", "42", "必须进位"}));

        typeInto("cmbFW2", "1");
        const auto plan = sumlark::planRun(window_->settingsFromControls(), {.carry = sumlark::CarryRule::With});
        QVERIFY(!plan.plan);
        const QByteArray sheet = bytesOf(inFolder("速算答题-01.txt"));
        press(std::get<0>(row<QString>()));
        QCOMPARE(messages(), QStringList(QString::fromStdString(std::string(sumlark::wording::kRefusalTitle) + "：" +
                                                                 refusalText(plan.refusal, sumlark::wording::DialogNaming()))));
        QVERIFY(window_->lastRun()->report.seed == 42u && bytesOf(inFolder("速算答题-01.txt")) == sheet);
        QCOMPARE(QDir(inFolder()).entryList({"*.pdf"}), QStringList());
    }

    // Names pasted into 名单 make a sheet each, in their order, a repeated
    // name twice, each pair named after its pupil with what no file name may
    // hold as "_", and the set is told as a set; 份数 shows the list's count
    // and cannot be changed while there is one, and a cleared list gives it
    // back.
    void namesMakeASheetEach()
    {
        control<QCheckBox>("ckOpen")->setChecked(false);
        QStringList shown; // 份数, whether it can be changed, the button
        const auto listNames = [&](const QString& typed) {
            chooseMore([&, typed](QDialog* dialog) {
                whenOpen<QDialog>([&, typed](QDialog* names) {
                    names->findChild<QPlainTextEdit*>("txtNames")->setPlainText(typed);
                    if (!typed.isEmpty())
                        picture(names, "frmNames.png");
                    names->accept();
                });
                dialog->findChild<QPushButton*>("cmdNames")->click();
                const auto* sheets = dialog->findChild<QSpinBox*>("spnSheets");
                shown << QString("%1 %2 %3").arg(sheets->value()).arg(sheets->isEnabled())
                             .arg(dialog->findChild<QPushButton*>("cmdNames")->text());
                dialog->findChild<QLineEdit*>("txtClass")->setText(" 三年级二班 ");
                if (!typed.isEmpty())
                    picture(dialog, "frmMoreConditionsNames.png");
            });
        };
        listNames("张三\n李/四\n\n　张三 \n王五");
        press("cmdCreate");
        QStringList pairs;
        for (const char* pupil : {"01-张三", "02-李_四", "03-张三", "04-王五"})
            pairs << QString("速算答题-%1-答案.txt").arg(pupil) << QString("速算答题-%1.txt").arg(pupil);
        QCOMPARE(QDir(inFolder()).entryList(QDir::Files, QDir::Name), pairs);
        QCOMPARE(window_->lastRun()->sheets[1].pupil, "李/四");
        QCOMPARE(window_->lastRun()->request.className, "三年级二班");
        QCOMPARE(messages(), QStringList("成功：文件输出完成，共 4 份，文件保存在： " +
                                         QDir::toNativeSeparators(inFolder())));
        listNames("");
        QCOMPARE(shown, (QStringList{"4 0 名单…（4 人）", "1 1 名单…"}));
    }

    // A list file, GBK here, fills the box with its names, one a line; one
    // that cannot be read (a real pipe, which would never end) is told with
    // the file and the reason, and the box keeps what it held.
    void namesFromAFile_data()
    {
        rows<QByteArray, QString, QString>(
            {{"GBK, Windows line ends", {"\xD5\xC5\xC8\xFD\r\n\r\n\xC0\xEE\xCB\xC4\r\n", "张三\n李四\n", ""}},
             {"a pipe", {{}, "王五\n", "原因：这不是一个普通的文件"}}});
    }
    void namesFromAFile()
    {
        const auto [bytes, boxed, told] = row<QByteArray, QString, QString>();
        const QString path = scratch_->filePath("名单.txt");
        QFile file(path);
        QVERIFY(bytes.isNull() ? ::mkfifo(QFile::encodeName(path), 0600) == 0
                               : file.open(QFile::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        sumlark::ui::NamesDialog dialog({"王五"}, window_.get());
        dialog.show();
        QCOMPARE(dialog.focusWidget(), dialog.findChild<QWidget*>("txtNames")); // ready to paste into
        QString shown;
        QPointer<QTimer> poll;
        whenOpen<QFileDialog>([&](QFileDialog* files) {
            poll = whenOpen<QMessageBox>([&shown](QMessageBox* box) { shown = box->text(), box->accept(); });
            files->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(files)->accept();
        });
        dialog.findChild<QPushButton*>("cmdReadNames")->click();
        delete poll.data();
        QCOMPARE(dialog.findChild<QPlainTextEdit*>("txtNames")->toPlainText(), boxed);
        QVERIFY2(told.isEmpty() ? shown.isEmpty() : shown.contains(path) && shown.endsWith(told), qPrintable(shown));
    }

    // The dialog shows the choices it is given and gives them back unchanged,
    // at one width whatever it shows. accept() keeps it open on a range whose
    // low end is above its high end, a column form it cannot print, or names
    // or a class no set can take, says why, in the command line's words, and
    // puts the focus where the fix is; anything else closes it, a range whose
    // box is unticked unread.
    void dialogRoundTripAndRefusals_data()
    {
        using sumlark::WholeRange;
        using enum sumlark::BlankChoice;
        const sumlark::pdf::PageStyle columns{.layout = sumlark::pdf::PageLayout::Columns, .printer = {}};
        // given; the box then unticked; what it says; where the focus goes
        rows<MoreConditions, QString, QString, QString>({
            {"window defaults", {{}, "", "", ""}},
            {"first blank, two-digit plus one-digit",
             {{.constraints = {.blank = First, .first = WholeRange{10, 99}, .second = WholeRange{1, 9}}}, "", "", ""}},
            {"mixed, three numbers, nothing trivial, in rows",
             {{.constraints = {.blank = Mixed, .terms = 3, .result = WholeRange{0, 20}, .noTrivial = true}}, "", "", ""}},
            {"ranges at their limits, result blank, column form",
             {{.constraints = {.first = WholeRange{-32768, 32767}, .second = WholeRange{-5, -1},
                               .result = WholeRange{INT_MIN, INT_MAX}},
               .page = columns},
              "", "", ""}},
            {"first low above high",
             {{.constraints = {.first = WholeRange{20, 10}}}, "", "第一个数的范围（20 到 10）前一个数大于后一个数", "spnFirstLow"}},
            {"unticked range not read", {{.constraints = {.second = WholeRange{20, 10}}}, "ckSecondRange", "", ""}},
            {"whole tens on a step", {{.constraints = {.first = WholeRange{10, 90, 10}, .second = WholeRange{1, 9}}}, "", "", ""}},
            {"carrying on a step of five",
             {{.constraints = {.carry = sumlark::CarryRule::With, .first = WholeRange{0, 90, 5}}}, "",
              "第一个数的范围（0 到 90，步长 5）和“加法要进位”不能一起用", "spnFirstStep"}},
            {"column form, first blank",
             {{.constraints = {.blank = First}, .page = columns}, "", "填空选的是“填第一个数”", "cmbLayout"}},
            {"column form, three numbers",
             {{.constraints = {.terms = 3}, .page = columns}, "", "几个数选的是“三个数”", "cmbLayout"}},
            {"column form, comparing",
             {{.constraints = {.compare = sumlark::CompareForm::Expression}, .page = columns}, "",
              "比大小选的是“算式和算式比”，竖式只排一道算式", "cmbLayout"}},
            // 份数 shows the list's count, and is given back as it was set.
            {"names, a class of 20 characters, two-sided",
             {{.sheets = 3, .names = {"张三", "李四"}, .className = kClass20, .page = {.printer = {}, .duplex = true}},
              "", "", ""}},
            {"a hundred names", {{.names = std::vector<std::string>(100, "张三")}, "", "名单上有 100 个名字", "cmdNames"}},
            {"a name of 21 characters", {{.names = {"张三", std::string(21, 'x')}}, "", "名单第 2 个名字", "cmdNames"}},
            {"a class of 21 characters", {{.className = kClass20 + "甲"}, "", "太长了，最多 20 个字", "txtClass"}},
            {"a heading and two sections after it",
             {{.heading = "一、口算", .moreSections = {{"二、竖式", {}, {}, sumlark::PageLayout::Columns}, {}}},
              "", "", ""}},
        });
    }
    void dialogRoundTripAndRefusals()
    {
        const auto [given, untick, says, focus] = row<MoreConditions, QString, QString, QString>();
        MoreConditionsDialog dialog(given, std::nullopt, window_.get());
        QVERIFY(dialog.conditions() == given);
        for (const std::uint64_t last : {std::uint64_t(1), UINT64_MAX}) // the longest last seed
            QCOMPARE(MoreConditionsDialog(given, last, window_.get()).sizeHint().width(), dialog.sizeHint().width());
        if (!untick.isEmpty())
            dialog.findChild<QCheckBox*>(untick)->setChecked(false);
        QString told;
        acceptSays(dialog, says, focus, told);
        if (!says.isEmpty() && given.page.layout == sumlark::pdf::PageLayout::Columns)
            QCOMPARE(told, QString::fromStdString(sumlark::wording::refusalText(
                               *sumlark::columnFormRefusal(given.constraints), sumlark::wording::DialogNaming())));
    }

    // The section dialog likewise: a section given back whole, refused at
    // 确定 on what 更多出题条件 refuses and on what the run would.
    void sectionDialogRoundTripAndRefusals_data()
    {
        using sumlark::WholeRange;
        const sumlark::WorksheetSettings product{.problemType = sumlark::ProblemType::Multiplication, .typeText = "乘法(×)",
                                                 .countText = "12", .perLineText = "4", .largestText = "9",
                                                 .numbered = true, .allowRemainder = true};
        rows<SheetSection, QString, QString>({
            {"a fresh section", {{}, "", ""}},
            {"everything chosen given back",
             {{"二、乘法口诀", product, {.distinct = true, .first = WholeRange{2, 9}, .noTrivial = true}}, "", ""}},
            {"column form, a blank",
             {{"", {}, {.blank = sumlark::BlankChoice::First}, sumlark::PageLayout::Columns},
              "填空选的是“填第一个数”，竖式里没有留空填数的地方", "cmbLayout"}},
            {"range reversed", {{"", {}, {.result = WholeRange{9, 1}}}, "得数的范围（9 到 1）", "spnResultLow"}},
            {"a count that is no number", {{"", {.countText = "十"}}, "生成题数", "cmbCount"}},
            {"a quotient on a step",
             {{"", {.problemType = sumlark::ProblemType::Division, .typeText = "除法(÷)"}, {.result = WholeRange{10, 90, 10}}},
              "带步长时不能出除法", "spnResultStep"}},
            {"a second number on a step beside a product first",
             {{"", {.problemType = sumlark::ProblemType::AllFour, .typeText = "加法、减法、乘法、除法 混合"},
               {.terms = 3, .second = WholeRange{10, 90, 10}}},
              "三个数的题里不能先算乘法", "spnSecondStep"}},
            {"carrying where none can", {{"", {.largestText = "1"}, {.carry = sumlark::CarryRule::With}},
                                         "进位", "cmbSmallest"}},
        });
    }
    void sectionDialogRoundTripAndRefusals()
    {
        const auto [given, says, focus] = row<SheetSection, QString, QString>();
        SectionDialog dialog(given, window_.get());
        QVERIFY(dialog.section() == given);
        dialog.show();
        picture(&dialog, "frmSection.png");
        QString told;
        acceptSays(dialog, says, focus, told);
    }

    // Tab walks the dialog as it reads, top to bottom and left to right,
    // the range fields included once their box is ticked; every choice says
    // what it does.
    void dialogTabOrderFollowsTheRows()
    {
        MoreConditionsDialog dialog({}, 7, window_.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const char* box : {"ckFirstRange", "ckSecondRange", "ckResultRange"})
            dialog.findChild<QCheckBox*>(box)->setChecked(true);
        picture(&dialog, "frmMoreConditions.png");
        auto* first = dialog.findChild<QWidget*>("cmbCarry");
        first->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), first);
        QStringList walked;
        for (QWidget* focused = first; focused && (walked.isEmpty() || focused != first) && walked.size() < 35;
             focused = QApplication::focusWidget()) {
            walked << (focused->objectName().isEmpty() ? focused->metaObject()->className() : focused->objectName());
            QVERIFY2(focused->objectName().isEmpty() || !focused->toolTip().isEmpty(), qPrintable(walked.back()));
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QCOMPARE(walked, (QStringList{"cmbCarry", "cmbBorrow", "ckDistinct", "cmbBlank", "cmbTerms", "ckFirstRange",
                                      "spnFirstLow", "spnFirstHigh", "spnFirstStep", "ckSecondRange", "spnSecondLow",
                                      "spnSecondHigh", "spnSecondStep", "ckResultRange", "spnResultLow", "spnResultHigh",
                                      "spnResultStep", "ckNoTrivial", "cmbCompare", "ckBrackets", "spnSheets",
                                      "cmdNames", "txtClass", "txtSeed", "txtLastSeed", "cmdUseLastSeed", "spnFontSize",
                                      "cmbPaper", "cmbLayout", "ckDuplex", "txtFirstHeading", "lstSections",
                                      "cmdAddSection", "QPushButton", "QPushButton"}));
    }

    // With the window's own services on a desktop without a file manager
    // (xdg-open finds nothing to open a folder with) or without xdg-open at
    // all, the folder, made first, is named in full in a box it can be copied
    // from: the folder menu's box, or a class set's completion box.
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
        if (via == "cmdCreate")
            chooseSheets(2);
        QString shown;
        whenOpen<QMessageBox>([&shown](QMessageBox* box) {
            const bool selectable = box->textInteractionFlags() & Qt::TextSelectableByMouse;
            shown = box->windowTitle() + (selectable ? "：" : "（不能选中）：") + box->text();
            box->accept();
        });
        press(via);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 2000);
        QVERIFY2(shown.startsWith(title + "：") && shown.contains(QDir::toNativeSeparators(inFolder())), qPrintable(shown));
        QVERIFY(QFileInfo(inFolder()).isDir());
    }
    // A plan holds each choice that differs from where it starts, spelt as
    // the command line spells it, and reads back as the same choices; where
    // the sheets go and whom for stays out. A sheet of sections keeps the
    // whole sheet's at the top and all that each section chooses in it.
    void planTextReadsBack_data()
    {
        const auto flat = [](const Entries& entries) { return PlanText{entries, {}}; };
        rows<PlanText, PlanText>({
            {"nothing chosen", {flat({}), flat({})}},
            {"values back where they start", {flat({{"largest", "10"}, {"terms", "2"}, {"blank", "result"}}), flat({})}},
            {"switches either way", {flat({{"numbered", ""}, {"no-answers", ""}, {"remainder", ""}, {"no-trivial", ""}}),
                                     flat({{"numbered", ""}, {"no-answers", ""}, {"remainder", ""}, {"no-trivial", ""}})}},
            {"lists by their spelling",
             {flat({{"type", "2"}, {"carry", "with"}, {"blank", "mixed"}, {"terms", "3"}}),
              flat({{"type", "mul"}, {"carry", "with"}, {"blank", "mixed"}, {"terms", "3"}})}},
            {"ranges and typed texts as typed",
             {flat({{"smallest", "007"}, {"count", "abc"}, {"first", "-5..5"}, {"result", "0..100"}}),
              flat({{"smallest", "007"}, {"count", "abc"}, {"first", "-5..5"}, {"result", "0..100"}})}},
            {"the whole sheet's",
             {flat({{"duplex", ""}, {"seed", "0"}, {"sheets", "3"}, {"class", "三年级二班"}, {"paper", "b5"}, {"font-size", "20"}, {"layout", "vertical"}, {"pdf", ""}}),
              flat({{"seed", "0"}, {"sheets", "3"}, {"class", "三年级二班"}, {"pdf", ""}, {"paper", "b5"}, {"font-size", "20"}, {"layout", "vertical"}, {"duplex", ""}})}},
            {"folder, encoding and names left out", {flat({{"out", "/tmp/x"}, {"encoding", "GBK"}, {"names", "名单.txt"}}), flat({})}},
            // What the top gives every section is spelt in each; a section's switch and layout its own.
            {"three sections",
             {{{{"seed", "1"}, {"numbered", ""}, {"largest", "20"}, {"no-answers", ""}},
               {{"一、口算", {{"count", "20"}}}, {"", {{"type", "mul"}, {"largest", "9"}, {"per-line", "4"}}},
                {"三、竖式", {{"remainder", ""}, {"layout", "vertical"}, {"result", "0..100"}}}}},
              {{{"no-answers", ""}, {"seed", "1"}},
               {{"一、口算", {{"largest", "20"}, {"count", "20"}, {"numbered", ""}}},
                {"", {{"type", "mul"}, {"largest", "9"}, {"per-line", "4"}, {"numbered", ""}}},
                {"三、竖式", {{"largest", "20"}, {"numbered", ""}, {"remainder", ""}, {"result", "0..100"}, {"layout", "vertical"}}}}}}},
        });
    }
    void planTextReadsBack()
    {
        const auto [given, spelt] = row<PlanText, PlanText>();
        const OptionChoices chosen = planned(given);
        QVERIFY(sumlark::wording::planTextOf(chosen) == spelt);
        QVERIFY(sameChoices(planned(spelt), chosen));
    }

    // 保存为方案… keeps what the window and 更多出题条件 show under a name
    // that can name a file, asking before it replaces a saved plan; the file
    // reads back as those choices, and choosing the plan after the controls
    // changed shows them again.
    void savedPlanComesBack_data()
    {
        using B = QMessageBox::StandardButton;
        rows<QString, B, QString, bool>({{"a new name", {" 周一口算 ", B::NoButton, "", true}},
                                         {"a hidden file's name", {".周一", B::NoButton, "无法保存方案：方案的名字“.周一”不能用：", false}},
                                         {"an earlier plan kept on no", {"旧的", B::No, "", false}},
                                         {"an earlier plan replaced on yes", {"旧的", B::Yes, "", true}}});
    }
    void savedPlanComesBack()
    {
        const auto [typed, replace, told, saved] = row<QString, QMessageBox::StandardButton, QString, bool>();
        const QString name = typed.trimmed();
        QVERIFY(sumlark::savePlan("旧的", {{{"count", "99"}}, {}}).ok);
        const QByteArray before = bytesOf(savedPlan(name));
        control<QComboBox>("cmbType")->setCurrentIndex(3);
        typeInto("cmbFW2", "81");
        control<QCheckBox>("ckXH")->setChecked(true);
        control<QCheckBox>("ckCF")->setChecked(true);
        chooseMore([](QDialog* dialog) {
            dialog->findChild<QComboBox*>("cmbPaper")->setCurrentIndex(2);
            dialog->findChild<QSpinBox*>("spnSheets")->setValue(3);
            dialog->findChild<QLineEdit*>("txtSeed")->setText("42");
        });
        const OptionChoices shown = window_->choicesShown();
        openPlanMenu();
        answerName(typed, replace);
        press("mnuSavePlan");
        QCOMPARE(messages().size(), int(!told.isEmpty()));
        QVERIFY2(told.isEmpty() || messages()[0].startsWith(told), qPrintable(messages().join("")));
        QCOMPARE(bytesOf(savedPlan(name)) != before, saved);
        if (!saved)
            return;
        std::string reason;
        const auto plan = sumlark::readPlanFile(savedPlan(name), reason);
        QVERIFY2(plan && plan->sections.empty() && sameChoices(planned(*plan), shown), reason.c_str());

        control<QComboBox>("cmbType")->setCurrentIndex(0);
        typeInto("cmbFW2", "5");
        control<QCheckBox>("ckXH")->setChecked(false);
        chooseMore([](QDialog* dialog) {
            dialog->findChild<QComboBox*>("cmbPaper")->setCurrentIndex(0);
            dialog->findChild<QSpinBox*>("spnSheets")->setValue(1);
            dialog->findChild<QLineEdit*>("txtSeed")->clear();
        });
        choosePlan(name);
        QVERIFY(sameChoices(window_->choicesShown(), shown));
        QCOMPARE(control<QComboBox>("cmbFW2")->currentText(), "81");
        QCOMPARE(control<QAction>("mnuMoreConditions")->text(), "更多出题条件…（已设置）");
    }

    // The menu lists the user's plans, then the ready-made ones. Choosing
    // one sets every choice it names and every other back to where it
    // starts, a sheet of sections its first in the window and the rest in
    // 分段, told beside 更多出题条件…; one whose options are wrong is refused
    // with why and leaves the choices; options only the command line takes
    // are told as left out. Saved again, a plan reads back as those choices.
    void choosingAPlan_data()
    {
        // the plan's file (none: a ready-made plan); what is told; whether the choices follow it
        rows<QString, QByteArray, QString, bool>({
            {"a ready-made plan", {"表内除法", {}, "", true}},
            {"a plan of the user's", {"试用", R"({"type": "sub", "largest": "50", "numbered": true})", "", true}},
            {"three sections", {"试用", R"({"seed": "3", "sections": [{"heading": "一、口算", "count": "5"},
                                {"type": "mul", "largest": "9"}, {"heading": "三、竖式", "layout": "vertical"}]})", "", true}},
            {"a heading alone", {"试用", R"({"sections": [{"heading": "一、口算", "count": "5"}]})", "", true}},
            {"a wrong option refused", {"试用", R"({"cuont": "5"})", "无法使用方案：方案里没有“cuont”这个选项", false}},
            {"a file that is no plan", {"试用", "[1, 2]", "无法使用方案：方案“试用”读不出来：方案要是一个", false}},
            {"command-line options told", {"试用", R"({"largest": "30", "pdf": true, "names": "/tmp/名单.txt"})",
                                           "方案：已按方案“试用”设置。方案里的 --names、--pdf 只在命令行上用", true}},
        });
    }
    void choosingAPlan()
    {
        const auto [name, json, told, follows] = row<QString, QByteArray, QString, bool>();
        QFile file(savedPlan(name));
        QVERIFY(json.isNull() || (QDir().mkpath(config_->filePath("sumlark/plans")) && file.open(QFile::WriteOnly) &&
                                  file.write(json) == json.size()));
        file.close();
        QVERIFY(sumlark::savePlan("周一口算", {{{"count", "20"}}, {}}).ok);
        const QStringList menu = openPlanMenu();
        const QStringList top = QStringList{"保存为方案…", "-", "周一口算"} + (json.isNull() ? QStringList() : QStringList{"试用"}) +
                                QStringList{"-", "10 以内加减法"};
        QCOMPARE(menu.mid(0, top.size()), top);
        QCOMPARE(menu.mid(menu.size() - 3), (QStringList{"表内除法", "-", "管理方案…"}));
        typeInto("cmbFW2", "77");
        chooseMore([](QDialog* dialog) { dialog->findChild<QComboBox*>("cmbCarry")->setCurrentIndex(1); });
        const OptionChoices before = window_->choicesShown();
        choosePlan(name);
        std::string reason;
        const auto plan = sumlark::readPlanFile(sumlark::planPath(name), reason);
        OptionChoices fromPlan;
        QVERIFY(!follows || (plan && applyPlan(fromPlan, *plan).empty()));
        fromPlan.pdf = false, fromPlan.namesFile.clear(); // the window's own
        QVERIFY(sameChoices(window_->choicesShown(), follows ? fromPlan : before));
        QCOMPARE(messages().size(), int(!told.isEmpty()));
        QVERIFY2(told.isEmpty() || messages()[0].startsWith(told), qPrintable(messages().join("")));
        const QString parts = QString("分 %1 段").arg(window_->choicesShown().moreSections.size() + 1);
        QCOMPARE(control<QAction>("mnuMoreConditions")->text().contains(parts), name == "试用" && json.contains("mul"));
        if (!follows)
            return;
        answerName("再存");
        press("mnuSavePlan");
        const auto saved = sumlark::readPlanFile(savedPlan("再存"), reason);
        OptionChoices again;
        QVERIFY(saved && applyPlan(again, *saved).empty() && sameChoices(again, fromPlan));
        QCOMPARE(saved->sections.size(), plan->sections.size());
    }

    // 分段 adds sections through the section dialog, one readable line
    // each, moves and removes them; Create writes them after the first
    // under their headings, in order, numbered through.
    void sectionsReachTheSheet()
    {
        control<QCheckBox>("ckOpen")->setChecked(false);
        control<QCheckBox>("ckXH")->setChecked(true);
        QStringList lines;
        chooseMore([&](QDialog* dialog) {
            dialog->findChild<QLineEdit*>("txtFirstHeading")->setText(" 一、口算 ");
            const auto click = [dialog](const char* button) { dialog->findChild<QPushButton*>(button)->click(); };
            for (const auto& [heading, count] : {std::pair{"二、乘法", "4"}, std::pair{"三、竖式", "3"}}) {
                whenOpen<SectionDialog>([heading, count](SectionDialog* section) {
                    section->findChild<QLineEdit*>("txtHeading")->setText(heading);
                    section->findChild<QComboBox*>("cmbType")->setCurrentIndex(count[0] == '4' ? 2 : 4);
                    section->findChild<QComboBox*>("cmbLargest")->setEditText("99");
                    section->findChild<QComboBox*>("cmbCount")->setEditText(count);
                    section->findChild<QComboBox*>("cmbLayout")->setCurrentIndex(count[0] == '3');
                    section->findChild<QCheckBox*>("ckNumbered")->setChecked(true);
                    section->accept();
                });
                click("cmdAddSection");
            }
            auto* list = dialog->findChild<QListWidget*>("lstSections");
            for (int i = 0; i < list->count(); ++i)
                lines << list->item(i)->text();
            click("cmdSectionUp"); // the one added last
            list->setCurrentRow(1);
            click("cmdRemoveSection");
            lines << list->item(0)->text() + " " + QString::number(list->count());
            picture(dialog, "frmMoreConditionsSections.png");
        });
        QCOMPARE(lines, (QStringList{"二、乘法 · 乘法(×) 1–99 · 4 题 · 横排", "三、竖式 · 加法、减法 混合 1–99 · 3 题 · 竖式",
                                     "三、竖式 · 加法、减法 混合 1–99 · 3 题 · 竖式 1"}));
        QCOMPARE(control<QAction>("mnuMoreConditions")->text(), "更多出题条件…（已设置，分 2 段）");
        press("cmdCreate");
        const QString sheet = QString::fromUtf8(bytesOf(inFolder("速算答题.txt")));
        const qsizetype first = sheet.indexOf("一、口算\r\n"), second = sheet.indexOf("三、竖式\r\n");
        QVERIFY2(first >= 0 && second > first && !sheet.contains("二、乘法"), qPrintable(sheet));
        QVERIFY2(sheet.indexOf("13) ") > second && !sheet.contains("14) "), qPrintable(sheet));
        exportAs("分段"); // every section's problems on paper too
        const auto pages = sumlark::testing::readPdfPages(inFolder("分段.pdf"));
        QVERIFY(pages.size() == 1 && std::ranges::count(pages[0].words, "13)", &sumlark::testing::PdfWord::text) == 1);
    }

    // 管理方案 renames, deletes (once the user agrees), imports a plan file
    // it can read and refuses one it cannot with why, and exports a plan's
    // bytes; the ready-made plans are not among the user's.
    void managePlans()
    {
        for (const char* name : {"甲", "乙"})
            QVERIFY(sumlark::savePlan(name, {{{"count", "20"}}, {}}).ok);
        sumlark::ui::PlanManager manager(window_.get());
        manager.show();
        auto* list = manager.findChild<QListWidget*>("lstPlans");
        const auto listed = [list] {
            QStringList names;
            for (int i = 0; i < list->count(); ++i)
                names << list->item(i)->text() + (list->currentRow() == i ? "*" : "");
            return names;
        };
        const auto click = [&manager](const char* button) { manager.findChild<QPushButton*>(button)->click(); };
        const auto fileChosen = [](const QString& path) {
            whenOpen<QFileDialog>([path](QFileDialog* dialog) {
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
                static_cast<QDialog*>(dialog)->accept();
            });
        };
        const auto answer = [](QMessageBox::StandardButton button) {
            whenOpen<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); });
        };
        list->setCurrentRow(1);
        QCOMPARE(listed(), (QStringList{"乙", "甲*"}));
        picture(&manager, "frmPlans.png");
        answerName("丙");
        click("cmdRenamePlan");
        QCOMPARE(listed(), (QStringList{"丙*", "乙"}));
        QVERIFY(!QFileInfo::exists(savedPlan("甲")) && bytesOf(savedPlan("丙")) == bytesOf(savedPlan("乙")));
        answer(QMessageBox::No);
        click("cmdDeletePlan");
        answer(QMessageBox::Yes);
        click("cmdDeletePlan");
        QCOMPARE(listed(), QStringList{"乙*"});
        QVERIFY(!QFileInfo::exists(savedPlan("丙")));

        const QString outside = scratch_->filePath("给同事.json");
        fileChosen(outside);
        click("cmdExportPlan");
        QCOMPARE(bytesOf(outside), bytesOf(savedPlan("乙")));
        const QByteArray wrong = R"({"count": 5})";
        QFile file(scratch_->filePath("坏的.json"));
        QVERIFY(file.open(QFile::WriteOnly) && file.write(wrong) == wrong.size());
        file.close();
        for (const QString& path : {file.fileName(), outside}) {
            fileChosen(path);
            click("cmdImportPlan");
        }
        QCOMPARE(listed(), (QStringList{"乙", "给同事*"}));
        QCOMPARE(messages(), QStringList("无法导入方案：" + file.fileName() + " 不是能用的方案：方案的 count 要写成字符串（加引号），开关写成 true"));
    }
};

QTEST_MAIN(MenuTest)
#include "MenuTest.moc"

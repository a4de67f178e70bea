// Saves pictures of the windows as the program shows them, so a change of
// font or style can be checked by eye: frm100.png (with its menu bar),
// frmSplash.png, frmMoreConditions.png
// and frmPrintPreview.png (the sheets of a run, eight asked for a row, in
// Qt's print preview on B5 with 15 mm margins, as its page set-up leaves it).
// Usage: sumlark_render_windows [folder] [interface font points]

#include "MainWindow.h"
#include "MoreConditionsDialog.h"
#include "QtTranslations.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtWidgets>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTexts;
    sumlark::ui::installQtTranslations(qtTexts);
    // The printing module is built beside the program, not beside this tool.
    QCoreApplication::addLibraryPath(QStringLiteral(SUMLARK_PRINT_DIR));
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (argc > 2) {
        QFont font = QApplication::font();
        font.setPointSizeF(QString::fromLocal8Bit(argv[2]).toDouble());
        QApplication::setFont(font);
    }
    bool saved = folder.mkpath(QStringLiteral("."));
    const auto save = [&](QWidget* widget, const char* name) {
        QApplication::processEvents();
        saved = widget->grab().save(folder.filePath(QString::fromLatin1(name))) && saved;
    };

    sumlark::ui::MainWindow main;
    // The preview makes a run first; its text sheets go somewhere harmless.
    const QTemporaryDir sheets;
    main.setOutputFolder(sheets.path());
    main.show();
    main.cmdHelp_Click();
    save(&main, "frm100.png");
    save(main.aboutWindow(), "frmSplash.png");
    sumlark::ui::MoreConditions conditions;
    conditions.sheets = 30;
    sumlark::ui::MoreConditionsDialog dialog(conditions, 1234567, &main);
    dialog.show();
    save(&dialog, "frmMoreConditions.png");
    dialog.hide();

    bool previewed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            preview->printer()->setPageSize(QPageSize(QPageSize::B5));
            preview->printer()->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
            preview->findChild<QPrintPreviewWidget*>()->updatePreview();
            preview->resize(900, 700);
            save(preview, "frmPrintPreview.png");
            previewed = true;
            preview->reject();
        }
    });
    poll.start(20);
    main.findChild<QComboBox*>(QStringLiteral("cmbLS"))->setEditText(QStringLiteral("8"));
    main.printSheets();
    return saved && previewed ? 0 : 1;
}

// Saves pictures of both windows as the program shows them, so a change of
// font or style can be checked by eye: frm100.png and frmSplash.png.
// Usage: sumlark_render_windows [folder] [interface font points]

#include "AboutWindow.h"
#include "MainWindow.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (argc > 2) {
        QFont font = QApplication::font();
        font.setPointSizeF(QString::fromLocal8Bit(argv[2]).toDouble());
        QApplication::setFont(font);
    }
    sumlark::ui::MainWindow main;
    main.show();
    main.cmdHelp_Click();
    QApplication::processEvents();
    const bool saved = folder.mkpath(".") && main.grab().save(folder.filePath("frm100.png"));
    return saved && main.aboutWindow()->grab().save(folder.filePath("frmSplash.png")) ? 0 : 1;
}

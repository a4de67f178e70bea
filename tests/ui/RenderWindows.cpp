// Saves pictures of both windows as the program shows them, so a change of
// font or style can be checked by eye: frm100.png and frmSplash.png.
// Usage: sumlark_render_windows [folder] [interface font points]

#include "AboutWindow.h"
#include "MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    if (argc > 2) {
        QFont font = QApplication::font();
        font.setPointSizeF(QString::fromLocal8Bit(argv[2]).toDouble());
        QApplication::setFont(font);
    }
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << '\n';
        return 1;
    }

    sumlark::ui::MainWindow main;
    main.show();
    main.cmdHelp_Click();
    QApplication::processEvents();

    bool saved = main.grab().save(QDir(folder).filePath(QStringLiteral("frm100.png")));
    saved = main.aboutWindow()->grab().save(QDir(folder).filePath(QStringLiteral("frmSplash.png"))) && saved;
    QTextStream(stdout) << "scale " << main.layoutScale() << ", pictures in " << QDir(folder).absolutePath() << '\n';
    return saved ? 0 : 1;
}

#include "AppIcons.h"
#include "MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The program speaks Chinese on every system, so Qt's own texts (the
    // message box's button, the edit boxes' context menu) should too. A
    // portable folder has them where windeployqt puts them, beside the
    // program; an installed Qt in its own folder. Without them Qt stays English.
    QTranslator qtTexts;
    for (const QString& folder : {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (qtTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"), folder)) {
            QApplication::installTranslator(&qtTexts);
            break;
        }
    }
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    frm100.show();
    return QApplication::exec();
}

#include "AppIcons.h"
#include "MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt's own words, such as the message box's button, in Chinese like the
    // rest of the program, whatever the system's language.
    QTranslator qtWords;
    if (qtWords.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtWords);
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    frm100.show();
    return QApplication::exec();
}

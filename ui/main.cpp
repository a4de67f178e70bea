#include "AppIcons.h"
#include "LeanMenuBarStyle.h"
#include "MainWindow.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(new sumlark::ui::LeanMenuBarStyle);
    QTranslator qtTexts;
    sumlark::ui::installQtTranslations(qtTexts);
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    frm100.show();
    return QApplication::exec();
}

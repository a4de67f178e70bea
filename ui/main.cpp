#include "AppIcons.h"
#include "MainWindow.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTranslator qtTexts;
    sumlark::ui::installQtTranslations(qtTexts);
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    frm100.show();
    return QApplication::exec();
}

#include "AppIcons.h"
#include "HeldSignals.h"
#include "MainWindow.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    // Before Qt starts its threads (the X11 event reader, D-Bus), so that
    // every thread holds the signals that would split a pair of sheets.
    sumlark::routeSignals();
    QApplication app(argc, argv);
    QTranslator qtTexts;
    sumlark::ui::installQtTranslations(qtTexts);
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    frm100.show();
    return QApplication::exec();
}

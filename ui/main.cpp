#include "AppIcons.h"
#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    frm100.show();
    return QApplication::exec();
}

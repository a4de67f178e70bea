// The yardstick for the window program's start-up: a bare Qt window of the
// main window's size, nothing in it. bench/startup.sh times both alike.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(261, 410);
    window.show();
    return QApplication::exec();
}

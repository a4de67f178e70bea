#include "AppIcons.h"
#include "HeldSignals.h"
#include "MainWindow.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QTranslator>

namespace {

// Fontconfig matches faces for the session's language. Outside a Chinese
// session the window's font is then a Latin face and every Chinese glyph
// comes from a second face, found as a fallback: two faces and their hinting
// metrics, 0.45 MB at each start. The window speaks Chinese, so it asks for
// the faces a Chinese session gets, unless the user named a language for
// fontconfig. Fontconfig reads the name when it matches the first font;
// once the window is built, the programs it starts (editor, file manager)
// get the session's environment back.
class ChineseFaces {
public:
    ChineseFaces()
    {
        if (set_)
            qputenv("FC_LANG", "zh-cn");
    }
    void matched()
    {
        if (set_)
            qunsetenv("FC_LANG");
        set_ = false;
    }

private:
    bool set_ = !qEnvironmentVariableIsSet("FC_LANG");
};

} // namespace

int main(int argc, char* argv[])
{
    // Before Qt starts its threads (the X11 event reader, D-Bus), so that
    // every thread holds the signals that would split a pair of sheets.
    sumlark::routeSignals();
    ChineseFaces faces;
    QApplication app(argc, argv);
    QTranslator qtTexts;
    sumlark::ui::installQtTranslations(qtTexts);
    app.setWindowIcon(sumlark::ui::programIcon());
    sumlark::ui::MainWindow frm100;
    faces.matched();
    frm100.show();
    return QApplication::exec();
}

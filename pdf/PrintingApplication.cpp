#include "PrintingApplication.h"

#include <cstdio>

namespace sumlark::pdf {

std::unique_ptr<QGuiApplication> startPrintingApplication(int& argc, char** argv)
{
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // A PDF needs fonts, not a screen: whatever platform the session names
    // (xcb without a display ends the program), the offscreen one will do.
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Qt's warnings about the platform it runs on (no runtime folder, no
    // screen) mean nothing to someone making a sheet; real faults still show.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    });
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace sumlark::pdf

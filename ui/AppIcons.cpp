#include "AppIcons.h"

namespace sumlark::ui {

QIcon programIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/sumlark-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/sumlark-32.png"), QSize(32, 32));
    return icon;
}

QIcon helpIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/help-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/help-64.png"), QSize(64, 64));
    return icon;
}

} // namespace sumlark::ui

#include "LeanMenuBarStyle.h"

#include <QIcon>

namespace sumlark::ui {

QIcon LeanMenuBarStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    // Without its icon the overflow button still opens the menus that did
    // not fit. The program has no tool bar, the icon's other user.
    if (icon == SP_ToolBarHorizontalExtensionButton)
        return {};
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace sumlark::ui

#pragma once

#include <QProxyStyle>

namespace sumlark::ui {

// The desktop's style, but for the icon of the menu bar's overflow button.
// Every QMenuBar makes that button at once and asks the style for a themed
// icon, and the icon-theme lookup behind it costs the program half a
// megabyte at start-up, a third of all the menu bar costs. The button only
// shows when the menus do not fit, and the main window's three always do.
class LeanMenuBarStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override;
};

} // namespace sumlark::ui

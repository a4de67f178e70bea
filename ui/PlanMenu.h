#pragma once

namespace sumlark::ui {

class MainWindow;

// 方案: saves the window's choices as a plan under a name, chooses one of
// the user's plans or of the ready-made ones to set the choices from, and
// opens 管理方案. The plans are listed afresh each time the menu opens, so
// that it shows what is on disk now and costs nothing at start-up.
void addPlanMenu(MainWindow* window);

} // namespace sumlark::ui

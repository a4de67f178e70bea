#pragma once

namespace sumlark::ui {

class MainWindow;

// The menu bar above the client area: 文件, 选项 and 帮助, each action wired to
// the window's handler. The actions carry object names for the tests.
void addMainMenu(MainWindow* window);

} // namespace sumlark::ui

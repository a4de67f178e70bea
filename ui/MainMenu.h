#pragma once

namespace sumlark::ui {

class MainWindow;
struct MoreConditions;

// The menu bar above the client area: 文件, 选项, 方案 and 帮助, each action wired to
// the window's handler. The actions carry object names for the tests.
void addMainMenu(MainWindow* window);

// Marks 更多出题条件… while any of its choices differs from its default,
// and tells how many sections the sheet has: the client area has no room
// to show it.
void markMoreConditions(MainWindow* window, const MoreConditions& conditions);

} // namespace sumlark::ui

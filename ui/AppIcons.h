#pragma once

#include <QIcon>

namespace sumlark::ui {

// The notebook that stands for the program: window icon and About picture.
QIcon programIcon();
// The question mark on the help button.
QIcon helpIcon();

} // namespace sumlark::ui

#pragma once

#include "SheetRun.h"

#include <QGroupBox>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace sumlark::ui {

// 分段 in 更多出题条件: the heading of the sheet's first section, whose
// choices are the main window's and the dialog's, and the sections after
// it, one readable line each ("二、竖式 · 加法(＋) 10–99 · 4 题 · 竖式"),
// added and edited through the section dialog, removed and moved.
class SectionsBox : public QGroupBox {
    Q_OBJECT
public:
    SectionsBox(const std::string& heading, std::vector<SheetSection> sections, QWidget* parent = nullptr);

    std::string heading() const;
    const std::vector<SheetSection>& sections() const { return sections_; }

private:
    // Opens the section dialog on the section at row, or on a new one after
    // the last when row is past it.
    void edit(int row);
    void remove();
    void move(int by);
    // Lists the sections, row current, and the buttons that apply to it.
    void fill(int row);
    void follow(int row);

    std::vector<SheetSection> sections_;
    QLineEdit* heading_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
};

// How the list shows a section.
QString sectionLine(const SheetSection& section, int number);

} // namespace sumlark::ui

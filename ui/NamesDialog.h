#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace sumlark::ui {

// 名单: a class's names, one a line, typed or pasted into a box or read from
// a list file (UTF-8 or GBK). Made only when its button is pressed, so that
// the window starts no slower for it.
class NamesDialog : public QDialog {
    Q_OBJECT
public:
    NamesDialog(const std::vector<std::string>& names, QWidget* parent);

    // The box's names, blank lines and the spaces around each name dropped.
    std::vector<std::string> names() const;

private:
    // Asks for a list file and puts its names into the box; a file that
    // cannot be read is told with its reason, and the box is left as it was.
    void readFile();
    // One name a line, as the box shows them.
    void showNames(const std::vector<std::string>& names);

    QPlainTextEdit* text_ = nullptr;
    QLabel* count_ = nullptr;
};

} // namespace sumlark::ui

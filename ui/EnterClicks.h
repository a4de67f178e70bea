#pragma once

#include <QObject>

class QAbstractButton;

namespace sumlark::ui {

// Enter and keypad Enter click a focused push button, as they do on Windows;
// Qt leaves that to Space outside dialogs. Only the buttons given here are
// touched, so Enter in a list's edit field still does nothing.
class EnterClicks : public QObject {
    Q_OBJECT
public:
    explicit EnterClicks(QObject* parent);
    void add(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace sumlark::ui

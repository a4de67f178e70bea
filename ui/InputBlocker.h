#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace sumlark::ui {

// While alive, shows the wait cursor and drops every mouse, key and wheel
// event meant for one window, including events sent straight to its widgets.
// A run is synchronous, but a message box during it runs a nested event loop,
// and clicks queued while the run was busy would otherwise land afterwards.
class InputBlocker : public QObject {
    Q_OBJECT
public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;

    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};

} // namespace sumlark::ui

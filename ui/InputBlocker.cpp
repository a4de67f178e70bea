#include "InputBlocker.h"

#include <QApplication>
#include <QEvent>

namespace sumlark::ui {
namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlocker::InputBlocker(QWidget* window) : window_(window)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    // Input that piled up while the run held the thread is delivered now,
    // while the filter still drops it.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (window_ && isUserInput(event->type()) && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == window_)
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace sumlark::ui

#include "EnterClicks.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace sumlark::ui {

EnterClicks::EnterClicks(QObject* parent) : QObject(parent) {}

void EnterClicks::add(QAbstractButton* button)
{
    button->installEventFilter(this);
}

bool EnterClicks::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat())
        return false;
    // A modifier makes it some other command than a press of the button.
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

} // namespace sumlark::ui

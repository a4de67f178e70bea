#include "TwipsLayout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>

namespace sumlark::ui {
namespace {

// Styles centre a single line in its box. Only the ink has to stay inside, so
// a dash in a box shorter than the font's line height still counts as whole.
bool inkFitsHeight(const QFontMetrics& metrics, const QString& text, int top, int height)
{
    if (text.trimmed().isEmpty())
        return true;
    const QRect ink = metrics.tightBoundingRect(text);
    const int baseline = top + (height - metrics.height()) / 2 + metrics.ascent();
    return baseline + ink.top() >= top && baseline + ink.bottom() < top + height;
}

bool labelFits(const QLabel* label, const QSize& box)
{
    if (label->text().isEmpty())
        return true;
    if (label->wordWrap())
        return label->heightForWidth(box.width()) <= box.height();
    return label->sizeHint().width() <= box.width()
        && inkFitsHeight(label->fontMetrics(), label->text(), 0, box.height());
}

bool pushButtonFits(const QPushButton* button, const QSize& box)
{
    const QStyle* style = button->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    if (button->text().isEmpty())
        return button->icon().isNull() || button->iconSize().height() <= box.height();
    const QFontMetrics metrics = button->fontMetrics();
    return metrics.horizontalAdvance(button->text()) + margin + 2 * frame <= box.width()
        && inkFitsHeight(metrics, button->text(), frame, box.height() - 2 * frame);
}

bool comboBoxFits(const QComboBox* combo, const QSize& box)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.rect = QRect(QPoint(0, 0), box);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.subControls = QStyle::SC_All;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const QFontMetrics metrics = combo->fontMetrics();
    for (int i = 0; i < combo->count(); ++i) {
        const QString item = combo->itemText(i);
        if (metrics.horizontalAdvance(item) > field.width() || !inkFitsHeight(metrics, item, field.top(), field.height()))
            return false;
    }
    return true;
}

} // namespace

bool textFits(const QWidget* widget, const QSize& box)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return labelFits(label, box);
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return pushButtonFits(button, box);
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget)) {
        const auto* box_button = static_cast<const QAbstractButton*>(widget);
        return box_button->sizeHint().width() <= box.width()
            && inkFitsHeight(box_button->fontMetrics(), box_button->text(), 0, box.height());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return comboBoxFits(combo, box);
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title().isEmpty() || group->minimumSizeHint().width() <= box.width();
    return true;
}

void TwipsLayout::place(QWidget* widget, int left, int top, int width, int height, Sizing sizing)
{
    items_.push_back({widget, QRect(left, top, width, height), sizing});
}

int TwipsLayout::toPixels(int twips, double scale)
{
    return static_cast<int>(std::lround(twips * scale / kTwipsPerPixel));
}

QRect TwipsLayout::toPixels(const QRect& twips, double scale)
{
    const int left = toPixels(twips.left(), scale);
    const int top = toPixels(twips.top(), scale);
    const int right = toPixels(twips.left() + twips.width(), scale);
    const int bottom = toPixels(twips.top() + twips.height(), scale);
    return QRect(left, top, right - left, bottom - top);
}

double TwipsLayout::fittingScale(double minimum) const
{
    // A step of one percent keeps the search short and the result within a
    // pixel of the tightest fit; beyond four times the drawn size nothing
    // sensible can be had.
    constexpr double kStep = 0.01;
    constexpr double kCeiling = 4.0;
    const auto allFit = [this](double scale) {
        return std::all_of(items_.begin(), items_.end(), [scale](const Item& item) {
            return !item.widget || item.sizing == Sizing::ToText
                || textFits(item.widget, toPixels(item.twips, scale).size());
        });
    };
    double scale = minimum;
    while (scale < kCeiling && !allFit(scale))
        scale += kStep;
    return scale;
}

void TwipsLayout::apply(double scale) const
{
    for (const Item& item : items_) {
        if (!item.widget)
            continue;
        QRect pixels = toPixels(item.twips, scale);
        if (item.sizing == Sizing::ToText) {
            const QSize text = item.widget->sizeHint();
            const auto* label = qobject_cast<const QLabel*>(item.widget);
            const bool keepRight = label && label->alignment().testFlag(Qt::AlignRight);
            if (keepRight)
                pixels.setLeft(pixels.right() + 1 - text.width());
            pixels.setSize(text);
        }
        item.widget->setGeometry(pixels);
    }
}

void placeNewWindow(QWidget* window)
{
    if (const QScreen* display = window->screen()) {
        // The frame is known by now on most platforms; centring it, rather
        // than the client area, is what looks centred.
        QRect placed = window->frameGeometry();
        placed.moveCenter(display->availableGeometry().center());
        window->move(placed.topLeft());
    }
    window->activateWindow();
}

} // namespace sumlark::ui

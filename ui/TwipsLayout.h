#pragma once

// The windows are drawn in twips, a fixed grid that assumed a 9-point
// interface font. Controls are placed from those numbers at one uniform scale,
// and the scale grows until every text fits its box, so a larger system font
// (or a CJK fallback font with taller lines) never cuts a text.

#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace sumlark::ui {

inline constexpr double kTwipsPerPixel = 15.0;

class TwipsLayout {
public:
    enum class Sizing {
        Fixed,
        // Takes the size of its text; a right-aligned widget keeps its right
        // edge, any other its left edge.
        ToText,
    };

    // Puts widget at a rectangle given in twips, relative to its parent.
    void place(QWidget* widget, int left, int top, int width, int height, Sizing sizing = Sizing::Fixed);

    // The smallest scale, not below minimum, at which every placed text fits.
    double fittingScale(double minimum) const;
    void apply(double scale) const;

    static int toPixels(int twips, double scale);
    // Edges are rounded, not sizes, so neighbours that touch in twips touch
    // in pixels too.
    static QRect toPixels(const QRect& twips, double scale);

private:
    struct Item {
        QPointer<QWidget> widget;
        QRect twips;
        Sizing sizing;
    };
    std::vector<Item> items_;
};

// Whether the widget's own text, laid out as the widget draws it, lies wholly
// inside a box of the given size. Widgets without text always fit.
bool textFits(const QWidget* widget, const QSize& box);

// On a window's first showing: its frame in the middle of its screen, and
// the keyboard, with or without a window manager.
void placeNewWindow(QWidget* window);

} // namespace sumlark::ui

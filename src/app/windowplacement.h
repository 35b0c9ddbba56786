#pragma once

#include <QRect>
#include <QString>

class QWidget;
class Settings;

// Where the window was and how large, kept in the settings store between runs. GUI thread only.
class WindowPlacement
{
public:
    static const QString geometryKey; // "x,y,width,height" of the normal (not maximised) window
    static const QString maximizedKey; // "true" or "false"

    // Shows `window` where it was last closed, maximised if it was; at its form's size where nothing
    // usable is stored.
    static void show(QWidget *window, const Settings &settings);
    // Keeps the normal size and place of `window` and whether it is maximised.
    static void store(const QWidget *window, Settings &settings);

    // `stored` made to fit the screen area `available`: no larger than it, no smaller than `minimum`,
    // and moved inside it when any part lies outside (a screen since removed or made smaller).
    static QRect fitted(const QRect &stored, const QRect &available, const QSize &minimum);
    // The rectangle in a stored text; an empty one when the text is not four integers.
    static QRect parse(const QString &text);
};

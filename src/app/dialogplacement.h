#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

// Puts every dialog and message box that has no parent over the program's window as it shows, rather
// than at the centre of the screen; many are made without one and must stay so. A dialog the operator
// moved, or that was placed before, stays where it is. Every dialog also comes wide enough for its title.
// GUI thread only.
class DialogPlacement : public QObject
{
    Q_OBJECT

public:
    // Watches the application's windows as long as `window` lives; once per window.
    static void install(QWidget *window);
    // Where a window of `size` goes: centred over `over`, inside the screen area `available`.
    static QRect placed(const QSize &size, const QRect &over, const QRect &available);
    // Moves `dialog` there over `window`, before it shows.
    static void placeOver(QWidget *dialog, const QWidget *window);
    // Widens `dialog`, before it shows, so that the window manager need not cut its title.
    static void widenForTitle(QWidget *dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DialogPlacement(QWidget *window);

    QPointer<QWidget> m_window;
};

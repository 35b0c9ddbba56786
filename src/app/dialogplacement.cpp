#include "dialogplacement.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include <algorithm>

DialogPlacement::DialogPlacement(QWidget *window)
    : QObject(window)
    , m_window(window)
{ }

void DialogPlacement::install(QWidget *window)
{
    qApp->installEventFilter(new DialogPlacement(window));
}

QRect DialogPlacement::placed(const QSize &size, const QRect &over, const QRect &available)
{
    QRect rect(QPoint(), size);
    rect.moveCenter(over.center());
    // Left and top last, so a dialog taller than the screen keeps its title bar on it.
    if (available.isValid()) {
        rect.moveRight(std::min(rect.right(), available.right()));
        rect.moveBottom(std::min(rect.bottom(), available.bottom()));
        rect.moveLeft(std::max(rect.left(), available.left()));
        rect.moveTop(std::max(rect.top(), available.top()));
    }
    return rect;
}

void DialogPlacement::placeOver(QWidget *dialog, const QWidget *window)
{
    // A message box settles its size only as it shows; its size hint is close to it.
    const QSize size = qobject_cast<QMessageBox *>(dialog) || !dialog->testAttribute(Qt::WA_Resized)
        ? dialog->sizeHint().expandedTo(dialog->minimumSize())
        : dialog->size();
    const QScreen *screen = window->screen();
    const QRect frame = window->frameGeometry();
    dialog->move(placed(size, frame, screen ? screen->availableGeometry() : QRect()).topLeft());
}

bool DialogPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && m_window && watched != m_window && m_window->isVisible()
        && !m_window->isMinimized()) {
        auto *dialog = qobject_cast<QDialog *>(watched);
        // Qt centres a dialog with a parent over it already; one placed before keeps its place.
        if (dialog && dialog->isWindow() && !dialog->parentWidget() && !dialog->testAttribute(Qt::WA_Moved))
            placeOver(dialog, m_window);
    }
    return QObject::eventFilter(watched, event);
}

#include "dialogplacement.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// Room for the window manager's icon and buttons beside the title.
constexpr int kTitleButtons = 110;

} // namespace

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

void DialogPlacement::widenForTitle(QWidget *dialog)
{
    // The window manager adds the program's name to the title and cuts what does not fit; its buttons take
    // the rest. A message box settles its own width later. Never narrower than it is.
    if (qobject_cast<QMessageBox *>(dialog))
        return;
    QFont bold = dialog->font();
    bold.setBold(true);
    const QString title = QGuiApplication::applicationDisplayName().isEmpty()
        ? dialog->windowTitle()
        : dialog->windowTitle() + QStringLiteral(" — ") + QGuiApplication::applicationDisplayName();
    const int wanted = QFontMetrics(bold).horizontalAdvance(title) + kTitleButtons;
    const QScreen *screen = dialog->screen();
    if (dialog->width() < wanted && (!screen || wanted < screen->availableGeometry().width())
        && wanted <= dialog->maximumWidth())
        dialog->resize(wanted, dialog->height()); // Qt centres it over its parent after this
}

bool DialogPlacement::eventFilter(QObject *watched, QEvent *event)
{
    auto *dialog = event->type() == QEvent::Show ? qobject_cast<QDialog *>(watched) : nullptr;
    if (!dialog || !dialog->isWindow())
        return QObject::eventFilter(watched, event);
    // Qt centres a dialog with a parent over it already; one placed before keeps its place.
    const bool unplaced = !dialog->parentWidget() && !dialog->testAttribute(Qt::WA_Moved);
    widenForTitle(dialog);
    if (unplaced && m_window && m_window->isVisible() && !m_window->isMinimized())
        placeOver(dialog, m_window);
    return QObject::eventFilter(watched, event);
}

#include "screenkeeper.h"

#include "app/windowplacement.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QWidget>

ScreenKeeper::ScreenKeeper(QWidget *window, int forMs, const QSize &size)
    : QObject(window)
    , m_window(window)
    , m_size(size)
{
    window->installEventFilter(this);
    QTimer::singleShot(forMs, this, &QObject::deleteLater);
}

bool ScreenKeeper::eventFilter(QObject *watched, QEvent *event)
{
    // Fitted once the layout has settled, not inside the resize it is still carrying out; a layout request
    // is where the tiles' final height lowers the window's minimum.
    if (watched == m_window && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
        && !m_pending) {
        m_pending = true;
        QTimer::singleShot(0, this, &ScreenKeeper::fit);
    }
    return false;
}

void ScreenKeeper::fit()
{
    m_pending = false;
    if (m_window->isMaximized() || m_window->isFullScreen() || !m_window->screen())
        return;
    // The window's minimum follows the tiles only once its layout is active again.
    if (m_window->layout())
        m_window->layout()->activate();
    if (m_size.isValid() && m_window->size() != m_size)
        m_window->resize(m_size.expandedTo(m_window->minimumSizeHint()));
    const QRect available = m_window->screen()->availableGeometry();
    const QRect frame = m_window->frameGeometry();
    if (available.contains(frame))
        return;
    const QRect inner = m_window->geometry();
    const QMargins borders(inner.left() - frame.left(), inner.top() - frame.top(),
        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    m_window->setGeometry(
        WindowPlacement::fitted(inner, available.marginsRemoved(borders), m_window->minimumSizeHint()));
}

#include "framelessframe.h"

#include "app/framehittest.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#ifdef Q_OS_WIN
// MinGW's standard library defines NOMINMAX already.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

FramelessFrame::FramelessFrame(QWidget *window, QWidget *titleBar)
    : QObject(window)
    , m_window(window)
    , m_titleBar(titleBar)
{
    // Hover moves over the window reach it, so the resize borders can show their cursor.
    window->setMouseTracking(true);
    window->installEventFilter(this);
}

bool FramelessFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            return press(static_cast<QMouseEvent *>(event));
        case QEvent::MouseMove:
            move(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            release(static_cast<QMouseEvent *>(event));
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool FramelessFrame::press(const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_pressWindowPos = m_window->pos();
    m_pressGlobalPos = event->globalPos();
    const FrameHit hit = frameHitTest(event->globalPos() - m_window->geometry().topLeft(), m_window->size());
    QWindow *handle = m_window->windowHandle();
    if (hit != FrameHit::None && !m_window->isMaximized() && handle
        && handle->startSystemResize(frameEdges(hit)))
        return true;
    if (event->globalPos().y() < m_window->y() + m_titleBar->height())
        m_pressOnTitleBar = true;
    return false;
}

void FramelessFrame::move(const QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        const FrameHit hit = m_window->isMaximized()
            ? FrameHit::None
            : frameHitTest(event->globalPos() - m_window->geometry().topLeft(), m_window->size());
        if (hit == FrameHit::None)
            m_window->unsetCursor();
        else
            m_window->setCursor(frameCursor(hit));
        return;
    }
    if (m_window->isMaximized())
        return;
    // A move starts only once the pointer leaves the click, so a double click still toggles maximise.
    if (m_pressOnTitleBar
        && (event->globalPos() - m_pressGlobalPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressOnTitleBar = false;
        QWindow *handle = m_window->windowHandle();
        if (!handle || !handle->startSystemMove())
            m_dragging = true;
    }
    if (m_dragging)
        m_window->move(m_pressWindowPos + (event->globalPos() - m_pressGlobalPos));
}

void FramelessFrame::release(const QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        m_pressOnTitleBar = false;
    }
}

bool FramelessFrame::nativeEvent(const QByteArray &eventType, void *message, long *result) const
{
#ifdef Q_OS_WIN
    const MSG *msg = static_cast<const MSG *>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_NCHITTEST) {
        const QPoint global(short(msg->lParam & 0xffff), short((msg->lParam >> 16) & 0xffff));
        const FrameHit hit = frameHitTest(global - m_window->geometry().topLeft(), m_window->size());
        if (hit == FrameHit::None)
            return false;
        *result = long(hit);
        return true;
    }
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    Q_UNUSED(result)
#endif
    return false;
}

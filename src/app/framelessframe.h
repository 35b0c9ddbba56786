#pragma once

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QWidget;

// Gives a frameless window the frame's behaviour: a press on its border resizes it, a drag on its title
// bar moves it, and the pointer over the border shows the resize cursor. Watches the window's own mouse
// events, which include those its children leave to it. GUI thread only.
class FramelessFrame : public QObject
{
public:
    // `window` and `titleBar` outlive the frame.
    FramelessFrame(QWidget *window, QWidget *titleBar);

    // Windows asks the window itself where its resize borders are; true when the message was answered.
    bool nativeEvent(const QByteArray &eventType, void *message, long *result) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool press(const QMouseEvent *event);
    void move(const QMouseEvent *event);
    void release(const QMouseEvent *event);

    QWidget *m_window;
    QWidget *m_titleBar;
    bool m_dragging = false; // moving the window by mouse deltas, where the platform cannot move it
    bool m_pressOnTitleBar = false; // the left button went down on the title bar and is still down
    QPoint m_pressWindowPos;
    QPoint m_pressGlobalPos;
};

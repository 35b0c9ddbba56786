#pragma once

#include "app/transientmessage.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class ElidedLabel;
class QLabel;

// The status bar's place for what just happened ("校准已完成，报告已保存在 …"): the text cut in the
// middle when the bar is short, and, for a message about a saved file, a link that opens its folder. The
// message goes after TransientMessage::kShownMs or when the next one comes. GUI thread only.
class EventMessageView : public QWidget
{
    Q_OBJECT

public:
    explicit EventMessageView(QWidget *parent = nullptr);

    // `file`, when given, is the saved file whose folder the link opens.
    void showMessage(const QString &text, const QString &file = QString());
    QString text() const;
    // The folder the link opens; empty while no link is shown.
    QString folder() const { return m_folder; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void expire();
    void openFolder();

    TransientMessage m_message;
    QElapsedTimer m_clock;
    QTimer m_timer;
    ElidedLabel *m_text;
    QLabel *m_link;
    QString m_folder;
};

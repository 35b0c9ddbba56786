#include "eventmessageview.h"

#include "widgets/elidedlabel.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

EventMessageView::EventMessageView(QWidget *parent)
    : QWidget(parent)
    , m_text(new ElidedLabel(this))
    , m_link(new QLabel(this))
{
    setObjectName(QStringLiteral("eventMessage"));
    // Takes the room the link's texts leave, never theirs: a long report path would have cut the baud rate.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_text->setObjectName(QStringLiteral("eventMessageText"));
    m_link->setObjectName(QStringLiteral("eventMessageLink"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The link right after the text it belongs to, not at the far end of a wide status bar.
    layout->addWidget(m_text);
    layout->addWidget(m_link);
    layout->addStretch(1);
    m_link->setTextFormat(Qt::RichText);
    m_link->hide();
    connect(m_link, &QLabel::linkActivated, this, &EventMessageView::openFolder);
    m_clock.start();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &EventMessageView::expire);
}

void EventMessageView::showMessage(const QString &text, const QString &file)
{
    m_message.show(text, m_clock.elapsed());
    m_text->setText(text);
    m_folder = file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
    m_link->setText(QStringLiteral("<a href=\"folder\">%1</a>").arg(tr("打开报告文件夹").toHtmlEscaped()));
    m_link->setVisible(!m_folder.isEmpty());
    m_timer.start(int(m_message.endsAt() - m_clock.elapsed()));
}

QString EventMessageView::text() const
{
    return m_text->text();
}

void EventMessageView::expire()
{
    const qint64 now = m_clock.elapsed();
    if (!m_message.textAt(now).isEmpty()) {
        m_timer.start(int(m_message.endsAt() - now));
        return;
    }
    m_message.clear();
    m_text->clear();
    m_folder.clear();
    m_link->hide();
}

void EventMessageView::openFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder));
}

void EventMessageView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_link->setText(
            QStringLiteral("<a href=\"folder\">%1</a>").arg(tr("打开报告文件夹").toHtmlEscaped()));
    QWidget::changeEvent(event);
}

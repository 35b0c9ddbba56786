#include "curvetitle.h"

#include "ttwidget.h"

#include <QDateTime>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>

CurveTitle::CurveTitle(QWidget *window, ttwidget *chart)
    : QObject(window)
    , m_window(window)
    , m_chart(chart)
{
    connect(chart, &ttwidget::shownCurveChanged, this, &CurveTitle::apply);
    window->installEventFilter(this);
}

QString CurveTitle::suffix(const QString &fileName, qint64 startMsecs)
{
    if (fileName.isEmpty())
        return QString();
    QString text = QStringLiteral(" - ") + QFileInfo(fileName).fileName();
    if (startMsecs > 0)
        text += QStringLiteral(" (")
            + QDateTime::fromMSecsSinceEpoch(startMsecs).toString(QStringLiteral("yyyy-MM-dd hh:mm"))
            + QLatin1Char(')');
    return text;
}

void CurveTitle::apply()
{
    QString title = m_window->windowTitle();
    if (!m_applied.isEmpty() && title.endsWith(m_applied))
        title.chop(m_applied.size());
    m_applied = m_chart->isOpenedCurve() ? suffix(m_chart->curveFile(), m_chart->curveInfo().startMsecs)
                                         : QString();
    m_window->setWindowTitle(title + m_applied);
}

bool CurveTitle::eventFilter(QObject *watched, QEvent *event)
{
    // A new language gives the window its plain title again; the suffix goes back on after that.
    if (watched == m_window && event->type() == QEvent::LanguageChange)
        QTimer::singleShot(0, this, [this] {
            if (!m_applied.isEmpty() && !m_window->windowTitle().endsWith(m_applied)) {
                m_applied.clear();
                apply();
            }
        });
    return QObject::eventFilter(watched, event);
}

#include "chartbuttons.h"

#include "chart/ttwidget.h"
#include "widgets/buttonstyles.h"
#include "widgets/navbutton.h"

#include <QEvent>

ChartButtons::ChartButtons(const Buttons &buttons, ttwidget *chart, bool withAmbient, QObject *parent)
    : QObject(parent)
    , m_buttons(buttons)
    , m_chart(chart)
{
    buttons.startStop->setText(tr("开始"));
    buttons.pause->setText(tr("暂停"));
    buttons.mode->setText(tr("全局"));
    buttons.ambient->setText(tr("环温"));
    buttons.ambient->setVisible(withAmbient);
    for (NavButton *button :
        {buttons.startStop, buttons.pause, buttons.horizontal, buttons.vertical, buttons.exportCurve})
        applyPlainStyle(button);
    // Unticked until the first resize shows the chart's state.
    const QPixmap unticked(QStringLiteral(":/imager/ic_checkbox_unsel.png"));
    for (NavButton *button : {buttons.mode, buttons.ambient, buttons.autoFit})
        applyCheckboxIconStyle(button, unticked);
    connect(chart, &ttwidget::pausedChanged, this, &ChartButtons::showPaused);
    // The window is resized before its layout gives the buttons their width; the tick box has to follow
    // the button itself.
    buttons.mode->installEventFilter(this);
    buttons.autoFit->installEventFilter(this);
}

void ChartButtons::togglePause()
{
    m_chart->setPaused(!m_chart->isPaused());
}

void ChartButtons::toggleMode()
{
    m_chart->setMode(
        m_chart->mode() == ttwidget::followMode ? ttwidget::wholeCurveMode : ttwidget::followMode);
    showTicks();
}

void ChartButtons::toggleAmbient()
{
    m_chart->setShowAmbient(!m_chart->showsAmbient());
    showTicks();
}

void ChartButtons::toggleAutoFit()
{
    m_chart->setAutoFit(!m_chart->isAutoFit());
    showTicks();
}

void ChartButtons::showRecordingState()
{
    m_buttons.startStop->setText(m_chart->isRecording() ? tr("停止") : tr("开始"));
    showPaused(m_chart->isPaused());
}

void ChartButtons::showPaused(bool paused)
{
    m_buttons.pause->setText(paused ? tr("继续") : tr("暂停"));
}

void ChartButtons::offerStart(bool offered)
{
    if (offered)
        applyPlainStyle(m_buttons.startStop);
    else
        applyDisabledStyle(m_buttons.startStop);
}

void ChartButtons::showTicks()
{
    const QPixmap ticked(QStringLiteral(":/imager/ic_checkbox_sel.png"));
    const QPixmap unticked(QStringLiteral(":/imager/ic_checkbox_unsel.png"));
    applyCheckboxIconStyle(m_buttons.mode, m_chart->mode() == ttwidget::wholeCurveMode ? ticked : unticked);
    applyCheckboxIconStyle(m_buttons.autoFit, m_chart->isAutoFit() ? ticked : unticked);
    applyCheckboxIconStyle(m_buttons.ambient, m_chart->showsAmbient() ? ticked : unticked);
}

bool ChartButtons::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == m_buttons.mode || watched == m_buttons.autoFit))
        showTicks();
    return QObject::eventFilter(watched, event);
}

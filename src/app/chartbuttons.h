#pragma once

#include <QObject>

class NavButton;
class ttwidget;

// The buttons under the chart: 开始/停止, 暂停/继续, the tick boxes for the whole curve, the ambient curve
// and auto-fit, and the two zooms. They show the chart's state in the language in force; the tick boxes
// follow their buttons' width, so they are redone on every resize. GUI thread only.
class ChartButtons : public QObject
{
    Q_OBJECT

public:
    struct Buttons
    {
        NavButton *startStop;
        NavButton *pause;
        NavButton *mode;
        NavButton *ambient;
        NavButton *autoFit;
        NavButton *horizontal;
        NavButton *vertical;
        NavButton *exportCurve;
    };

    // The buttons and the chart outlive this object; the ambient button shows only with a thermometer.
    ChartButtons(const Buttons &buttons, ttwidget *chart, bool withAmbient, QObject *parent);

    void togglePause();
    void toggleMode();
    void toggleAmbient();
    void toggleAutoFit();
    // Start/stop and pause captions from the chart's recording state.
    void showRecordingState();
    // 开始 is offered only when there is something to record from or a recording to stop.
    void offerStart(bool offered);
    void showTicks();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPaused(bool paused);

    Buttons m_buttons;
    ttwidget *m_chart;
};

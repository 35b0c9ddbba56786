#pragma once

#include <QObject>
#include <QString>

class QWidget;
class ttwidget;

// Adds the opened curve's file name and date to a window's title, and takes them away when a recording
// replaces the curve. The window keeps its own title otherwise, in whatever language it sets. GUI thread
// only; the window and the chart outlive this.
class CurveTitle : public QObject
{
    Q_OBJECT

public:
    CurveTitle(QWidget *window, ttwidget *chart);

    // " - name (yyyy-MM-dd hh:mm)" for a curve opened from `fileName` that started at `startMsecs` (0:
    // unknown); empty without a file.
    static QString suffix(const QString &fileName, qint64 startMsecs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    QWidget *m_window;
    ttwidget *m_chart;
    QString m_applied; // the suffix the title carries now
};

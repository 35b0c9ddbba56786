#pragma once

#include <QObject>

class ChartFileActions;
class QWidget;
class Station;

// Asks the operator, once the window is up, about each recording a crash, a kill or a power loss left
// unsaved: save it, view it on the chart (to save or drop later), or drop it. A journal that does not
// read is only told, and kept. Stops at the first recording that stays on the chart unsaved: the others
// wait for the next start. Lives with the window, and tells the operator when a recording goes on without
// its journal. GUI thread only.
class RecordingOffer : public QObject
{
    Q_OBJECT

public:
    RecordingOffer(Station *station, ChartFileActions *files, QWidget *window);

    void offer();

private:
    Station *m_station;
    ChartFileActions *m_files;
    QWidget *m_window;
};

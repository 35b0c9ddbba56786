#pragma once

#include "widgets/tempareaitem.h"

#include <QCoreApplication>
#include <QListWidgetItem>

class QListWidget;

// The read-out tiles in the window's list: current and set temperature, and the thermometer's where the
// build shows it. Each says "---" when there is no valid reading, and a reading from a controller that may
// be another one in the warning colour. GUI thread only.
class ReadingTiles
{
    Q_DECLARE_TR_FUNCTIONS(ReadingTiles)

public:
    // `unit`: 1 = Fahrenheit, 2 = Celsius.
    ReadingTiles(bool withThermometer, int unit);
    ~ReadingTiles();

    // Puts the tiles into `list`, which outlives them, sized to it as it is now.
    void setUp(QListWidget *list, int decimals);
    // Tiles as wide as the list, keeping their proportions; the list exactly as high as its tiles.
    void fitWidth();
    // Lets the list be shorter until the next fitWidth(), so a window being restored from maximised gets
    // its old size rather than one that still holds the large tiles.
    void releaseHeight();
    void retranslate();

    void showReading(double current, double set, int decimals);
    void showUnconfirmed(double current, double set, int decimals);
    void showNoReading();
    void showAmbient(double celsius);
    void showNoAmbient();

private:
    const bool m_withThermometer;
    const int m_unit;
    QListWidget *m_list = nullptr;
    float m_aspect = 0; // width / height of a tile, measured once by the set-up
    // Adopted by the list, which they leave on destruction.
    QListWidgetItem m_currentItem;
    QListWidgetItem m_setItem;
    QListWidgetItem m_thermoItem;
    TempAreaItem m_current;
    TempAreaItem m_set;
    // The thermometer's tile; without the thermometer's controls it never joins the list.
    TempAreaItem m_thermo;
};

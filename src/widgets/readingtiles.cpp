#include "readingtiles.h"

#include <QListWidget>
#include <QScroller>

ReadingTiles::ReadingTiles(bool withThermometer, int unit)
    : m_withThermometer(withThermometer)
    , m_unit(unit)
{ }

ReadingTiles::~ReadingTiles()
{
    // Releases the gesture recognizer the kinetic scrolling registered for the list.
    if (m_list)
        QScroller::ungrabGesture(m_list);
}

void ReadingTiles::setUp(QListWidget *list, int decimals)
{
    m_list = list;
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    QScroller::grabGesture(list, QScroller::LeftMouseButtonGesture);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QSize tile(list->width(), list->height() / 2);
    m_current.setFixedSize(tile);
    m_set.setFixedSize(tile);
    m_aspect = float(m_current.width()) / float(m_current.height());
    retranslate();
    m_thermo.setCaption(tr("测温仪"));

    m_currentItem.setSizeHint(m_current.size());
    list->addItem(&m_currentItem);
    list->setItemWidget(&m_currentItem, &m_current);
    m_setItem.setSizeHint(m_set.size());
    list->addItem(&m_setItem);
    list->setItemWidget(&m_setItem, &m_set);
    if (m_withThermometer) {
        m_thermo.setFixedSize(tile);
        m_thermoItem.setSizeHint(m_thermo.size());
        list->addItem(&m_thermoItem);
        list->setItemWidget(&m_thermoItem, &m_thermo);
        showNoAmbient();
    }
    m_current.UpdateTemp(100.12f, m_unit, Qt::green, false, decimals);
    m_set.UpdateTemp(100.0f, m_unit, Qt::red, false, decimals);

    // Three tiles high until the first resize brings it to exactly two.
    list->setFixedHeight(3 * m_current.height());
}

void ReadingTiles::fitWidth()
{
    if (!m_list)
        return;
    const int width = m_list->width();
    for (TempAreaItem *tile : {&m_current, &m_set, &m_thermo})
        tile->setFixedWidth(width);
    if (m_aspect == 0.0f)
        return;
    const int height = int(float(width) / m_aspect) + 1;
    for (TempAreaItem *tile : {&m_current, &m_set, &m_thermo})
        tile->setFixedHeight(height);
    m_currentItem.setSizeHint(m_current.size());
    m_setItem.setSizeHint(m_set.size());
    m_thermoItem.setSizeHint(m_thermo.size());
    m_list->setFixedHeight(m_list->count() * m_current.height() + 2);
}

void ReadingTiles::releaseHeight()
{
    if (m_list)
        m_list->setMinimumHeight(0);
}

void ReadingTiles::retranslate()
{
    m_current.setCaption(tr("当前温度值"));
    m_set.setCaption(tr("设定温度值"));
}

void ReadingTiles::showReading(double current, double set, int decimals)
{
    m_current.UpdateTemp(float(current), m_unit, Qt::green, true, decimals);
    m_set.UpdateTemp(float(set), m_unit, Qt::red, true, decimals);
}

void ReadingTiles::showUnconfirmed(double current, double set, int decimals)
{
    m_current.showUnconfirmed(float(current), m_unit, decimals);
    m_set.showUnconfirmed(float(set), m_unit, decimals);
}

void ReadingTiles::showNoReading()
{
    m_current.UpdateTemp(0.0f, m_unit, Qt::green, false, 1);
    m_set.UpdateTemp(0.0f, m_unit, Qt::red, false, 1);
}

void ReadingTiles::showAmbient(double celsius)
{
    m_thermo.UpdateTemp(float(celsius), m_unit, Qt::blue, true, 1);
}

void ReadingTiles::showNoAmbient()
{
    m_thermo.UpdateTemp(0.0f, m_unit, Qt::blue, false, 1);
}

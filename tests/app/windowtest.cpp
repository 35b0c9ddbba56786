#include "windowtest.h"

#include "app/mainwindow.h"
#include "app/rememberedlink.h"
#include "blackbodydevice.h"
#include "devicesimulator.h"
#include "settings/settings.h"
#include "station/station.h"
#include "widgets/navbutton.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QtTest>

WindowTest::WindowTest() = default;
WindowTest::~WindowTest() = default;

void WindowTest::showWindow(bool withTiles)
{
    m_modals = std::make_unique<ModalHandler>();
    m_station = std::make_unique<Station>();
    m_window = std::make_unique<MainWindow>(m_station.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    if (withTiles)
        QTRY_COMPARE(child<QListWidget>("listWidgetAreas")->count(), 2);
}

void WindowTest::closeWindow()
{
    appSettings.setValue(RememberedLink::portKey, QString());
    m_window.reset();
    m_station.reset();
    m_sim.reset();
    m_device = nullptr;
    m_modals.reset();
}

void WindowTest::openSimulator(int modelIndex, bool answering)
{
    const QString model = child<QComboBox>("comboBoxBodtype")->itemText(modelIndex);
    auto device = std::make_unique<sim::BlackbodyDevice>(sim::BlackbodyModel::find(model), 9600, 25.0);
    device->setNoise(0.0);
    device->setTimeConstant(0.0);
    m_device = device.get();
    m_sim = std::make_unique<sim::DeviceSimulator>(std::move(device));
    if (!answering)
        m_sim->faults().silence();
    QString error;
    QVERIFY2(m_sim->open(m_dir.filePath(QStringLiteral("bb")), &error), qPrintable(error));

    child<QComboBox>("comboBoxCom")->setEditText(m_sim->portName());
    child<QComboBox>("comboBoxBodtype")->setCurrentIndex(modelIndex);
    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("关闭串口"), kWaitMs);
}

void WindowTest::click(const char *name) const
{
    QTest::mouseClick(child<NavButton>(name), Qt::LeftButton);
}

bool WindowTest::statusBarShows(const QString &text) const
{
    const auto labels = m_window->statusBar()->findChildren<QLabel *>();
    return std::any_of(
        labels.begin(), labels.end(), [&text](QLabel *label) { return label->text() == text; });
}

QString WindowTest::portButton() const
{
    return child<NavButton>("pushButton_com")->text();
}

QString WindowTest::statusText() const
{
    // The run's line, then what became of its report.
    return child<QLabel>("calibrationLabel")->text() + QLatin1Char(' ')
        + child<QLabel>("eventMessageText")->text();
}

QObject *WindowTest::windowObject() const
{
    return m_window.get();
}

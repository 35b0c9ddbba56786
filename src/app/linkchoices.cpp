#include "linkchoices.h"

#include "app/rememberedlink.h"
#include "control/blackbodymodel.h"
#include "serial/portchoices.h"
#include "settings/settings.h"
#include "widgets/clickcombobox.h"

#include <QFile>

LinkChoices::LinkChoices(const Boxes &boxes)
    : m_boxes(boxes)
{ }

void LinkChoices::fill()
{
    const QVector<StablePortNames::Choice> ports = PortChoices::availablePorts();
    m_boxes.port->refill(ports);
    m_boxes.thermometerPort->refill(ports);
    for (QComboBox *box : {m_boxes.baud, m_boxes.thermometerBaud}) {
        box->addItems(PortChoices::baudTexts());
        box->setCurrentIndex(PortChoices::kDefaultBaudIndex);
    }
    QStringList models;
    for (int i = 0; i < blackbodyModelCount(); ++i)
        models << blackbodyModel(i).name;
    m_boxes.model->addItems(models);

    QStringList listedPorts;
    for (const StablePortNames::Choice &port : ports)
        listedPorts << port.path;
    const auto link = RememberedLink::restorable(appSettings, listedPorts, PortChoices::baudTexts(), models,
        [](const QString &path) { return QFile::exists(path); });
    if (link) {
        m_boxes.port->choosePath(link->port);
        m_boxes.baud->setCurrentIndex(PortChoices::baudTexts().indexOf(link->baud));
        m_boxes.model->setCurrentIndex(models.indexOf(link->model));
    }
}

void LinkChoices::show(const QString &port, QSerialPort::BaudRate baud, int modelIndex)
{
    m_boxes.port->choosePath(port);
    const int baudIndex = PortChoices::baudTexts().indexOf(QString::number(baud));
    if (baudIndex >= 0)
        m_boxes.baud->setCurrentIndex(baudIndex);
    m_boxes.model->setCurrentIndex(modelIndex);
}

#include "dccxml.h"

#include "settings/labsettings.h"

#include <QLocale>

#include <utility>

namespace {

const QString kDcc = QStringLiteral("https://ptb.de/dcc");
const QString kSi = QStringLiteral("https://ptb.de/si");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
const QString kCelsius = QStringLiteral("\\degreecelsius");
// The coverage probability every step's k is chosen for.
const QString kProbability = QStringLiteral("0.9545");

} // namespace

DccXml::DccXml(QByteArray *out)
    : m_xml(out)
{
    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(1);
}

void DccXml::startCertificate()
{
    m_xml.writeStartDocument();
    m_xml.writeNamespace(kDcc, QStringLiteral("dcc"));
    m_xml.writeNamespace(kSi, QStringLiteral("si"));
    m_xml.writeNamespace(kXsi, QStringLiteral("xsi"));
    start(QStringLiteral("digitalCalibrationCertificate"));
    m_xml.writeAttribute(QStringLiteral("schemaVersion"), QStringLiteral("3.2.0"));
    m_xml.writeAttribute(kXsi, QStringLiteral("schemaLocation"),
        QStringLiteral("https://ptb.de/dcc https://ptb.de/dcc/v3.2.0/dcc.xsd"));
}

void DccXml::finish()
{
    end();
    m_xml.writeEndDocument();
}

void DccXml::start(const QString &name, const QString &refType)
{
    m_xml.writeStartElement(kDcc, name);
    if (!refType.isEmpty())
        m_xml.writeAttribute(QStringLiteral("refType"), refType);
}

void DccXml::element(const QString &name, const QString &value)
{
    m_xml.writeTextElement(kDcc, name, value);
}

void DccXml::siElement(const QString &name, const QString &value)
{
    m_xml.writeTextElement(kSi, name, value);
}

void DccXml::text(const QString &name, const Text &text)
{
    start(name);
    content(text);
    end();
}

void DccXml::content(const Text &text)
{
    for (const auto &[lang, value] :
        {std::pair(QStringLiteral("zh"), text.zh), std::pair(QStringLiteral("en"), text.en)}) {
        start(QStringLiteral("content"));
        m_xml.writeAttribute(QStringLiteral("lang"), lang);
        m_xml.writeCharacters(value);
        end();
    }
}

void DccXml::plain(const QString &name, const QString &value)
{
    start(name);
    element(QStringLiteral("content"), value);
    end();
}

void DccXml::location(const QString &address, const QString &country)
{
    // The schema wants at least one part.
    const bool coded = LabSettings::isValidCountry(country);
    start(QStringLiteral("location"));
    if (coded)
        element(QStringLiteral("countryCode"), country);
    if (!address.trimmed().isEmpty() || !coded) {
        start(QStringLiteral("further"));
        if (address.trimmed().isEmpty())
            content({QStringLiteral("未给定"), QStringLiteral("not given")});
        else
            element(QStringLiteral("content"), address.trimmed());
        end();
    }
    end();
}

void DccXml::listQuantity(const QString &refType, const Text &name, const QStringList &values,
    const QStringList &uncertainties, const QStringList &coverages)
{
    start(QStringLiteral("quantity"), refType);
    text(QStringLiteral("name"), name);
    m_xml.writeStartElement(kSi, QStringLiteral("realListXMLList"));
    siElement(QStringLiteral("valueXMLList"), values.join(QLatin1Char(' ')));
    siElement(QStringLiteral("unitXMLList"), kCelsius);
    if (!uncertainties.isEmpty()) {
        m_xml.writeStartElement(kSi, QStringLiteral("expandedUncXMLList"));
        siElement(QStringLiteral("uncertaintyXMLList"), uncertainties.join(QLatin1Char(' ')));
        siElement(QStringLiteral("coverageFactorXMLList"), coverages.join(QLatin1Char(' ')));
        siElement(QStringLiteral("coverageProbabilityXMLList"), kProbability);
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void DccXml::real(const QString &value)
{
    m_xml.writeStartElement(kSi, QStringLiteral("real"));
    siElement(QStringLiteral("value"), value);
    siElement(QStringLiteral("unit"), kCelsius);
    m_xml.writeEndElement();
}

QString DccXml::nonEmpty(const QString &text)
{
    const QString simplified = text.simplified();
    return simplified.isEmpty() ? QStringLiteral("-") : simplified;
}

QString DccXml::decimal(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

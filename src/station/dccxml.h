#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QXmlStreamWriter>

// The shapes a Digital Calibration Certificate repeats, written through a QXmlStreamWriter: texts in Chinese
// and English, locations, D-SI lists and values in degrees Celsius, each as the schema orders its parts.
// Elements are in the DCC namespace; start() and end() pair up as the caller nests them. One document per
// instance; any thread.
class DccXml
{
public:
    // A text in the two languages every fixed text of the DCC has.
    struct Text
    {
        QString zh;
        QString en;
    };

    explicit DccXml(QByteArray *out);

    // The document, its namespaces and the root element; finish() closes them.
    void startCertificate();
    void finish();

    void start(const QString &name, const QString &refType = {});
    void end() { m_xml.writeEndElement(); }
    void element(const QString &name, const QString &value);
    // A text element with a content in each language, or one content in none (a name, an address as given).
    void text(const QString &name, const Text &text);
    void content(const Text &text);
    void plain(const QString &name, const QString &value);
    // The address as one text and the country when it is a code; "not given" when neither is.
    void location(const QString &address, const QString &country);
    // A quantity of listed values, with their expanded uncertainties (U and k, at 95.45 %) when given. Left
    // open, for metadata to follow; the caller ends it.
    void listQuantity(const QString &refType, const Text &name, const QStringList &values,
        const QStringList &uncertainties = {}, const QStringList &coverages = {});
    void real(const QString &value);

    // The schema's non-empty strings may neither be empty nor start or end with white space: "-" for none.
    static QString nonEmpty(const QString &text);
    // A decimal as D-SI takes it: a point whatever the locale, no more digits than the value needs.
    static QString decimal(double value);

private:
    void siElement(const QString &name, const QString &value);

    QXmlStreamWriter m_xml;
};

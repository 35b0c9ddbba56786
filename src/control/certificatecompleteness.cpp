#include "certificatecompleteness.h"

#include <QDate>

namespace {

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

QVector<CertificateCompleteness::Missing> CertificateCompleteness::missing(
    const CalibrationRun &run, const QString &labName)
{
    QVector<Missing> list;
    const auto need = [&list](bool given, Missing what) {
        if (!given)
            list << what;
    };
    need(!blank(labName), Missing::Lab);
    need(!blank(run.certificate.customer), Missing::Customer);
    need(!blank(run.certificate.make), Missing::ItemMake);
    need(!blank(run.certificate.model), Missing::ItemModel);
    need(!blank(run.certificate.serial), Missing::ItemSerial);
    need(!blank(run.source.make), Missing::SourceMake);
    need(!blank(run.source.model), Missing::SourceModel);
    need(!blank(run.source.serial), Missing::SourceSerial);
    need(!blank(run.source.certificate), Missing::SourceCertificate);
    need(QDate::fromString(run.source.due, Qt::ISODate).isValid(), Missing::SourceDue);
    need(!run.source.uncertainty.isEmpty(), Missing::SourceUncertainty);
    need(run.readingsPerStep > 1 || run.statedRepeatability(), Missing::Repeatability);
    return list;
}

QString CertificateCompleteness::field(Missing missing)
{
    switch (missing) {
    case Missing::Lab:
        return QStringLiteral("lab name");
    case Missing::Customer:
        return QStringLiteral("certificate.customer");
    case Missing::ItemMake:
        return QStringLiteral("certificate.make");
    case Missing::ItemModel:
        return QStringLiteral("certificate.model");
    case Missing::ItemSerial:
        return QStringLiteral("certificate.serial");
    case Missing::SourceMake:
        return QStringLiteral("source.make");
    case Missing::SourceModel:
        return QStringLiteral("source.model");
    case Missing::SourceSerial:
        return QStringLiteral("source.serial");
    case Missing::SourceCertificate:
        return QStringLiteral("source.certificate");
    case Missing::SourceDue:
        return QStringLiteral("source.due");
    case Missing::SourceUncertainty:
        return QStringLiteral("source.uncertainty");
    case Missing::Repeatability:
        return QStringLiteral("budget repeatability");
    }
    return QString();
}

QString CertificateCompleteness::text(Missing missing)
{
    switch (missing) {
    case Missing::Lab:
        return tr("实验室名称");
    case Missing::Customer:
        return tr("客户");
    case Missing::ItemMake:
        return tr("被校仪器的制造商");
    case Missing::ItemModel:
        return tr("被校仪器的型号");
    case Missing::ItemSerial:
        return tr("被校仪器的序列号");
    case Missing::SourceMake:
        return tr("辐射源的制造商");
    case Missing::SourceModel:
        return tr("辐射源的型号");
    case Missing::SourceSerial:
        return tr("辐射源的序列号");
    case Missing::SourceCertificate:
        return tr("辐射源的证书编号");
    case Missing::SourceDue:
        return tr("辐射源校准的有效期");
    case Missing::SourceUncertainty:
        return tr("辐射源的不确定度表");
    case Missing::Repeatability:
        return tr("每步一个读数时仪器重复性的声明值");
    }
    return QString();
}

QString CertificateCompleteness::fields(const QVector<Missing> &list)
{
    QStringList names;
    for (const Missing m : list)
        names << field(m);
    return names.join(QStringLiteral(", "));
}

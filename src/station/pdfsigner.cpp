#include "pdfsigner.h"

#include "station/calibrationpdf.h"
#include "station/signingkey.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

// The one file that speaks to PoDoFo: its next major version changes this API.
#include <podofo/podofo.h>
#include <set>

namespace {

using namespace PoDoFo;

// Room for the DER signature: the certificate and a chain of a few more fit in it.
constexpr size_t kSignatureRoom = 16384;

// The context of the signer's texts.
struct PdfSigner
{
    Q_DECLARE_TR_FUNCTIONS(PdfSigner)
};

PdfString pdfText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return PdfString(reinterpret_cast<const pdf_utf8 *>(utf8.constData()));
}

// The box as a one-page PDF painted with Qt, which embeds the faces the text needs.
QByteArray paintBox(const QStringList &lines, const QSizeF &size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(size, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer))
        return QByteArray();
    QFont font(CalibrationPdf::faceFor(lines.join(QLatin1Char('\n'))));
    font.setPixelSize(10);
    painter.setFont(font);
    const QRectF frame(0.5, 0.5, size.width() - 1, size.height() - 1);
    painter.setPen(QPen(Qt::darkBlue, 1));
    painter.drawRect(frame);
    painter.drawText(
        frame.adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignVCenter, lines.join(QLatin1Char('\n')));
    painter.end();
    return bytes;
}

// An incremental update writes only what changed, and the objects copied in with the box are not all
// marked so: those that needed no reference renumbered would be left out and dangle.
void markCopiedObjects(PdfMemDocument &document, const std::set<const PdfObject *> &before)
{
    for (PdfObject *object : document.GetObjects()) {
        if (before.count(object) != 0)
            continue;
        if (object->IsDictionary())
            object->GetDictionary().SetDirty(true);
        else if (object->IsArray())
            object->GetArray().SetDirty(true);
        else if (object->IsNumber())
            object->SetNumber(object->GetNumber());
        else if (object->IsReal())
            object->SetReal(object->GetReal());
    }
}

SignResult failure(const QString &error)
{
    return SignResult {QByteArray(), error};
}

} // namespace

QString signatureMeaningText(SignatureLook::Meaning meaning)
{
    switch (meaning) {
    case SignatureLook::Meaning::Approved:
        break;
    case SignatureLook::Meaning::Reviewed:
        return PdfSigner::tr("审核");
    }
    return PdfSigner::tr("批准");
}

SignResult signPdf(const QByteArray &pdf, const SigningKey &key, const SignatureLook &look)
{
    if (key.isNull())
        return failure(PdfSigner::tr("没有签名密钥"));
    const QString name = key.commonName().simplified();
    if (name.isEmpty())
        return failure(PdfSigner::tr("签名证书中没有姓名"));
    if (name != look.signatory.simplified())
        return failure(PdfSigner::tr("签名证书属于“%1”，而本证书的签发人是“%2”").arg(name, look.signatory));
    const QDateTime at = (look.at.isValid() ? look.at : QDateTime::currentDateTimeUtc()).toUTC();
    const QString meaning = signatureMeaningText(look.meaning);
    const QStringList lines {PdfSigner::tr("签名：%1").arg(name),
        PdfSigner::tr("时间：%1 UTC").arg(at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
        PdfSigner::tr("含义：%1").arg(meaning)};

    // PoDoFo narrates its work on standard error; the caller reports what matters.
    PdfError::EnableDebug(false);
    PdfError::EnableLogging(false);
    try {
        PdfMemDocument document;
        document.LoadFromBuffer(pdf.constData(), long(pdf.size()), true);
        if (document.GetPageCount() < 1)
            return failure(PdfSigner::tr("PDF 没有页面"));
        PdfPage *page = document.GetPage(document.GetPageCount() - 1);
        const PdfRect media = page->GetMediaBox();
        const QRectF place = look.box.isEmpty() ? CalibrationPdf::signatureBox() : look.box;
        const QRectF box = place.translated(media.GetLeft(), media.GetBottom());

        PdfAcroForm *form = document.GetAcroForm();
        // 3: the document holds signatures, and is to be changed only by appending.
        form->GetObject()->GetDictionary().AddKey(PdfName("SigFlags"), PdfObject(pdf_int64(3)));
        if (form->GetNeedAppearances())
            form->SetNeedAppearances(false);

        const PdfRect rect(box.x(), box.y(), box.width(), box.height());
        PdfAnnotation *widget = page->CreateAnnotation(ePdfAnnotation_Widget, rect);
        widget->SetFlags(ePdfAnnotationFlags_Print | ePdfAnnotationFlags_Locked);
        PdfSignatureField field(widget, form, &document);
        field.SetFieldName(
            pdfText(QStringLiteral("Signature-%1").arg(at.toString(QStringLiteral("yyyyMMddHHmmss")))));

        const QByteArray painted = paintBox(lines, box.size());
        if (painted.isEmpty())
            return failure(PdfSigner::tr("无法绘制签名框"));
        PdfMemDocument boxDocument;
        boxDocument.LoadFromBuffer(painted.constData(), long(painted.size()));
        const std::set<const PdfObject *> before(document.GetObjects().begin(), document.GetObjects().end());
        PdfXObject appearance(boxDocument, 0, &document);
        markCopiedObjects(document, before);
        field.SetAppearanceStream(&appearance);

        field.SetSignatureReason(pdfText(meaning));
        if (!look.location.isEmpty())
            field.SetSignatureLocation(pdfText(look.location));
        field.SetSignatureCreator(PdfName("OstrelBlackbody"));
        const QDate day = at.date();
        const QTime time = at.time();
        struct tm parts = {};
        parts.tm_year = day.year() - 1900;
        parts.tm_mon = day.month() - 1;
        parts.tm_mday = day.day();
        parts.tm_hour = time.hour();
        parts.tm_min = time.minute();
        parts.tm_sec = time.second();
        field.SetSignatureDate(PdfDate(timegm(&parts)));

        PdfRefCountedBuffer out;
        PdfOutputDevice device(&out);
        PdfSignOutputDevice signDevice(&device);
        signDevice.SetSignatureSize(kSignatureRoom);
        field.SetSignature(*signDevice.GetSignatureBeacon());
        document.WriteUpdate(&signDevice, true);
        if (!signDevice.HasSignaturePosition())
            return failure(PdfSigner::tr("PDF 中找不到签名的位置"));
        signDevice.AdjustByteRange();
        signDevice.Seek(0);
        QByteArray signedBytes;
        char chunk[65536];
        for (size_t read; (read = signDevice.ReadForSignature(chunk, sizeof chunk)) > 0;)
            signedBytes.append(chunk, int(read));
        QString error;
        const QByteArray signature = key.signDetached(signedBytes, &error);
        if (signature.isEmpty())
            return failure(error);
        if (size_t(signature.size()) > kSignatureRoom)
            return failure(PdfSigner::tr("签名过长"));
        signDevice.SetSignature(PdfData(signature.constData(), size_t(signature.size())));
        signDevice.Flush();
        return SignResult {QByteArray(out.GetBuffer(), int(device.GetLength())), QString()};
    } catch (const PdfError &e) {
        return failure(
            PdfSigner::tr("无法签署 PDF：%1").arg(QString::fromUtf8(PdfError::ErrorMessage(e.GetError()))));
    } catch (const std::exception &e) {
        // A PDF read back from disk may be anything; the library's other failures end here, not the program.
        return failure(PdfSigner::tr("无法签署 PDF：%1").arg(QString::fromUtf8(e.what())));
    }
}

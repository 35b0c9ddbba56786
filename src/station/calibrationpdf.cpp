#include "calibrationpdf.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QSet>

#include <cmath>
#include <numeric>

namespace {

constexpr int kDpi = 150;
// Of the printable height.
constexpr double kChartShare = 0.30;
// Relative column widths of the results table: set point, reference, reading, error, U, tolerance,
// verdict, outcome.
constexpr int kColumnWeights[] = {9, 10, 10, 9, 9, 9, 12, 11};
// The table rows that stay on the page of the verdict and the signatory.
constexpr int kRowsWithSignature = 2;

// Qt's PDF writer names each embedded glyph by the lowest code point its face maps to it. Faces that give
// an ideograph and its Kangxi or radical-supplement twin one glyph (Noto Sans CJK, Source Han Sans) thus
// put 日 as ⽇ and 页 as ⻚ in the text layer; faces are tried in the language's order, and the first that
// maps every character back to itself wins.
const QStringList kSimplifiedFaces {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
    QStringLiteral("Droid Sans Fallback")};
const QStringList kTraditionalFaces {QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Source Han Sans TC"),
    QStringLiteral("AR PL UMing TW"), QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback")};
// Names and places may still be Chinese in an English certificate.
const QStringList kLatinFaces
    = QStringList {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")} + kSimplifiedFaces;

QStringList preferredFaces()
{
    // The locale of the translation in force, as Qt's own catalogues carry their layout direction.
    const QLocale locale(QCoreApplication::translate(
        "CalibrationPdf", "zh_CN", "The locale name of this translation: zh_CN, zh_TW or en"));
    if (locale.language() != QLocale::Chinese)
        return kLatinFaces;
    return locale.script() == QLocale::TraditionalChineseScript ? kTraditionalFaces : kSimplifiedFaces;
}

// Whether `face` draws `c`: some faces map a character to an empty glyph (WenQuanYi Micro Hei does so
// for ℃ and ℉), and Qt takes that glyph instead of falling back to another face.
bool draws(const QRawFont &face, QChar c)
{
    quint32 glyph = 0;
    int one = 1;
    return face.glyphIndexesForChars(&c, 1, &glyph, &one) && glyph != 0
        && !face.pathForGlyph(glyph).isEmpty();
}

// How many of `characters` would not read back as themselves from `face`: missing, or sharing a glyph
// with a lower code point.
int misreadCount(const QString &face, const QSet<QChar> &characters)
{
    const QRawFont raw = QRawFont::fromFont(QFont(face));
    if (!raw.isValid())
        return characters.size();
    QString plane;
    plane.reserve(0x10000);
    for (uint c = 1; c < 0x10000; ++c) {
        if (!QChar::isSurrogate(c))
            plane.append(QChar(ushort(c)));
    }
    QVector<quint32> glyphs(plane.size());
    int count = plane.size();
    if (!raw.glyphIndexesForChars(plane.constData(), plane.size(), glyphs.data(), &count))
        return characters.size();
    QHash<quint32, QChar> lowest;
    for (int i = 0; i < count; ++i) {
        if (glyphs.at(i) != 0 && !lowest.contains(glyphs.at(i)))
            lowest.insert(glyphs.at(i), plane.at(i));
    }
    int misread = 0;
    for (const QChar c : characters) {
        quint32 glyph = 0;
        int one = 1;
        raw.glyphIndexesForChars(&c, 1, &glyph, &one);
        if (glyph == 0 || lowest.value(glyph) != c)
            ++misread;
    }
    return misread;
}

// Calls `visit` with each text of the document `d` (const or not).
template<typename Document, typename Visit>
void eachText(Document &d, Visit visit)
{
    for (auto *text : {&d.title, &d.number, &d.pageNotice, &d.pageText, &d.auditHead, &d.verdict})
        visit(*text);
    for (auto *pairs : {&d.fields, &d.sections, &d.statements}) {
        for (auto &pair : *pairs) {
            visit(pair.first);
            visit(pair.second);
        }
    }
    for (auto *list : {&d.tableHeader, &d.closing})
        for (auto &text : *list)
            visit(text);
    for (auto &row : d.tableRows)
        for (auto &text : row)
            visit(text);
}

QString documentText(const CertificateDocument &d)
{
    QString text;
    eachText(d, [&text](const QString &part) { text += part; });
    return text;
}

// `document` as `face` can show it: a unit symbol the face draws blank is spelt with the degree sign, so
// no printed value loses its unit.
CertificateDocument drawable(CertificateDocument document, const QString &face)
{
    const QRawFont raw = QRawFont::fromFont(QFont(face));
    if (!raw.isValid() || !draws(raw, QChar(0x00B0)))
        return document;
    for (const auto &[symbol, spelt] : {std::pair {QChar(0x2103), QStringLiteral("\u00B0C")},
             std::pair {QChar(0x2109), QStringLiteral("\u00B0F")}}) {
        if (!draws(raw, symbol))
            eachText(
                document, [symbol = symbol, &spelt = spelt](QString &text) { text.replace(symbol, spelt); });
    }
    return document;
}

QPageLayout pageLayout()
{
    return QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

// Lays the document out once without painting to count its pages, then again to paint them with the
// count. A null painter measures only.
class CertificateLayout
{
public:
    CertificateLayout(QPdfWriter *writer, QPainter *painter, const CertificateDocument &document,
        const QString &face, int pages)
        : m_writer(writer)
        , m_painter(painter)
        , m_document(document)
        , m_pages(pages)
        , m_page(QPoint(0, 0), pageLayout().paintRectPixels(kDpi).size())
        , m_bodyFont(face)
    { }

    // The pages used; 0 when a new page could not be started.
    int run()
    {
        m_bodyFont.setPointSizeF(9);
        // No ligatures: a reader copying a number or the audit head from the page must get its letters,
        // not an "ff" glyph that stands for two of them.
        m_bodyFont.setStyleStrategy(QFont::PreferNoShaping);
        m_smallFont = m_bodyFont;
        m_smallFont.setPointSizeF(8);
        m_titleFont = m_bodyFont;
        m_titleFont.setPointSizeF(16);
        m_titleFont.setBold(true);
        m_headingFont = m_bodyFont;
        m_headingFont.setBold(true);
        if (!startPage(false))
            return 0;
        text(m_document.title, m_titleFont, Qt::AlignHCenter);
        m_y += lineHeight(m_bodyFont) / 2;
        fields();
        for (const auto &section : m_document.sections) {
            text(section.first, m_headingFont, Qt::AlignLeft);
            text(section.second, m_bodyFont, Qt::AlignLeft);
            m_y += lineHeight(m_bodyFont) / 3;
        }
        for (const auto &statement : m_document.statements) {
            text(statement.first, m_headingFont, Qt::AlignLeft);
            text(statement.second, m_bodyFont, Qt::AlignLeft);
        }
        if (!m_document.chart.isNull()) {
            const QSize size = CalibrationPdf::chartSize();
            if (!room(size.height() + lineHeight(m_bodyFont)))
                return 0;
            m_y += lineHeight(m_bodyFont) / 2;
            if (m_painter)
                m_painter->drawPixmap(QRect(QPoint(m_page.left(), m_y), size), m_document.chart);
            m_y += size.height() + lineHeight(m_bodyFont) / 2;
        }
        // The results end the certificate: the table, its verdict and the signatory.
        if (!table())
            return 0;
        text(m_document.verdict, m_headingFont, Qt::AlignLeft);
        m_y += lineHeight(m_bodyFont);
        for (const QString &line : m_document.closing)
            text(line, m_bodyFont, Qt::AlignLeft);
        // The signature's box, at its issue or later, lands on nothing the certificate says.
        room(signatureGap());
        return m_failed ? 0 : m_pageNumber;
    }

private:
    int lineHeight(const QFont &font) const { return QFontMetrics(font, m_writer).height() * 5 / 4; }

    int footerHeight() const { return lineHeight(m_smallFont) * 2; }

    // What a certificate keeps free under its last line, above the footer, for the signature's box; none
    // for a test report.
    int signatureGap() const
    {
        if (m_document.number.isEmpty())
            return 0;
        const double marginPt = pageLayout().marginsPoints().bottom();
        const double topPt = CalibrationPdf::signatureBox().bottom() + 6; // a little above the box's top
        return qMax(0, int(std::ceil((topPt - marginPt) * kDpi / 72.0)) - footerHeight());
    }

    // Where a page's content starts, below its notice.
    int pageTop() const
    {
        return m_page.top()
            + (m_document.pageNotice.isEmpty()
                    ? 0
                    : textHeight(m_document.pageNotice, m_headingFont) + lineHeight(m_bodyFont) / 2);
    }

    // What text() takes of the page's height.
    int textHeight(const QString &value, const QFont &font) const
    {
        if (value.isEmpty())
            return 0;
        return QFontMetrics(font, m_writer)
                   .boundingRect(QRect(0, 0, m_page.width(), 100000), Qt::AlignLeft | Qt::TextWordWrap, value)
                   .height()
            + lineHeight(font) / 8;
    }

    // The verdict and the signatory, as run() lays them out after the table.
    int closingHeight() const
    {
        const int height = lineHeight(m_bodyFont) / 2 + textHeight(m_document.verdict, m_headingFont)
            + lineHeight(m_bodyFont) + signatureGap();
        return std::accumulate(m_document.closing.cbegin(), m_document.closing.cend(), height,
            [this](int sum, const QString &line) { return sum + textHeight(line, m_bodyFont); });
    }

    bool startPage(bool newPage)
    {
        if (newPage && m_painter && !m_writer->newPage())
            return false;
        ++m_pageNumber;
        m_y = m_page.top();
        // A test report says what it is not at the head of every page.
        if (!m_document.pageNotice.isEmpty()) {
            QFont notice = m_headingFont;
            const int noticeHeight = textHeight(m_document.pageNotice, notice);
            if (m_painter) {
                m_painter->setFont(notice);
                m_painter->drawText(QRect(m_page.left(), m_y, m_page.width(), noticeHeight),
                    Qt::AlignHCenter | Qt::TextWordWrap, m_document.pageNotice);
            }
            m_y += noticeHeight + lineHeight(m_bodyFont) / 2;
        }
        // The number and "page x of y" at the foot of every page.
        const int height = lineHeight(m_smallFont);
        if (m_painter) {
            m_painter->setFont(m_smallFont);
            const QRect foot(m_page.left(), m_page.bottom() - height, m_page.width(), height);
            m_painter->drawLine(foot.topLeft(), foot.topRight());
            m_painter->drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, m_document.number);
            m_painter->drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter, m_document.auditHead);
            m_painter->drawText(
                foot, Qt::AlignRight | Qt::AlignVCenter, m_document.pageText.arg(m_pageNumber).arg(m_pages));
        }
        return true;
    }

    // Starts a new page unless `height` fits on this one.
    bool room(int height)
    {
        if (m_y + height <= m_page.bottom() - footerHeight())
            return true;
        if (!startPage(true)) {
            m_failed = true;
            return false;
        }
        return true;
    }

    void text(const QString &value, const QFont &font, Qt::Alignment alignment)
    {
        if (value.isEmpty())
            return;
        const QRect bounds = QFontMetrics(font, m_writer)
                                 .boundingRect(QRect(0, 0, m_page.width(), 100000),
                                     int(alignment) | Qt::TextWordWrap, value);
        if (!room(bounds.height()))
            return;
        if (m_painter) {
            m_painter->setFont(font);
            m_painter->drawText(QRect(m_page.left(), m_y, m_page.width(), bounds.height()),
                int(alignment) | Qt::TextWordWrap, value);
        }
        m_y += bounds.height() + lineHeight(font) / 8;
    }

    void fields()
    {
        const QVector<QPair<QString, QString>> &all = m_document.fields;
        const int half = m_page.width() / 2;
        for (int i = 0; i < all.size(); i += 2) {
            int height = 0;
            for (int j = i; j < qMin(i + 2, all.size()); ++j) {
                const QString line = all.at(j).first + QStringLiteral(": ") + all.at(j).second;
                height = qMax(height,
                    QFontMetrics(m_bodyFont, m_writer)
                        .boundingRect(QRect(0, 0, half - 8, 100000), Qt::TextWordWrap, line)
                        .height());
            }
            if (!room(height))
                return;
            for (int j = i; j < qMin(i + 2, all.size()); ++j) {
                if (!m_painter)
                    continue;
                m_painter->setFont(m_bodyFont);
                m_painter->drawText(QRect(m_page.left() + (j - i) * half, m_y, half - 8, height),
                    Qt::AlignLeft | Qt::TextWordWrap,
                    all.at(j).first + QStringLiteral(": ") + all.at(j).second);
            }
            m_y += height + lineHeight(m_bodyFont) / 8;
        }
        m_y += lineHeight(m_bodyFont) / 2;
    }

    int rowHeight(const QStringList &cells, const QFont &font, const QVector<int> &left) const
    {
        int height = lineHeight(font);
        for (int i = 0; i < cells.size() && i + 1 < left.size(); ++i) {
            height = qMax(height,
                QFontMetrics(font, m_writer)
                        .boundingRect(QRect(0, 0, left.at(i + 1) - left.at(i) - 8, 100000),
                            Qt::AlignCenter | Qt::TextWordWrap, cells.at(i))
                        .height()
                    + lineHeight(font) / 3);
        }
        return height;
    }

    void row(const QStringList &cells, const QFont &font, const QVector<int> &left, int height)
    {
        if (m_painter) {
            m_painter->setFont(font);
            for (int i = 0; i + 1 < left.size(); ++i) {
                const QRect cell(left.at(i), m_y, left.at(i + 1) - left.at(i), height);
                m_painter->drawRect(cell);
                m_painter->drawText(
                    cell.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap, cells.value(i));
            }
        }
        m_y += height;
    }

    bool table()
    {
        const int total = std::accumulate(std::begin(kColumnWeights), std::end(kColumnWeights), 0);
        QVector<int> left;
        int x = m_page.left();
        for (int weight : kColumnWeights) {
            left << x;
            x += m_page.width() * weight / total;
        }
        left << m_page.left() + m_page.width();
        const int headerHeight = rowHeight(m_document.tableHeader, m_headingFont, left);
        const QVector<QStringList> &rows = m_document.tableRows;
        // The last rows, the verdict and the signatory, together; they go to a new page when they do not
        // fit on this one but would on an empty one.
        const int firstKept = qMax(0, int(rows.size()) - kRowsWithSignature);
        int keptHeight = headerHeight + closingHeight();
        for (int i = firstKept; i < rows.size(); ++i)
            keptHeight += rowHeight(rows.at(i), m_smallFont, left);
        bool header = true;
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList &cells = rows.at(i);
            const int height = rowHeight(cells, m_smallFont, left);
            const int before = m_pageNumber;
            const int emptyPage = m_page.bottom() - footerHeight() - pageTop();
            if (i == firstKept && keptHeight <= emptyPage && !room(keptHeight))
                return false;
            if (!room(height + (header ? headerHeight : 0)))
                return false;
            // A row that starts a page does so under the column names again.
            if (header || m_pageNumber != before) {
                row(m_document.tableHeader, m_headingFont, left, headerHeight);
                header = false;
            }
            row(cells, m_smallFont, left, height);
        }
        m_y += lineHeight(m_bodyFont) / 2;
        return !m_failed;
    }

    QPdfWriter *m_writer;
    QPainter *m_painter;
    const CertificateDocument &m_document;
    int m_pages;
    QRect m_page;
    int m_pageNumber = 0;
    int m_y = 0;
    bool m_failed = false;
    QFont m_bodyFont; // the face, given; the others follow it
    QFont m_smallFont;
    QFont m_titleFont;
    QFont m_headingFont;
};

} // namespace

namespace CalibrationPdf {

QSize chartSize()
{
    const QRect page = pageLayout().paintRectPixels(kDpi);
    return QSize(page.width(), int(page.height() * kChartShare));
}

QString faceFor(const QString &text)
{
    QSet<QChar> characters;
    for (const QChar c : text) {
        // Spaces have no glyph to misread; characters beyond the first plane are not mapped by Qt at all.
        if (!c.isSpace() && !c.isNonCharacter() && !c.isSurrogate() && c.unicode() >= 0x20)
            characters.insert(c);
    }
    const QStringList installed = QFontDatabase().families();
    QString best;
    int fewest = -1;
    for (const QString &face : preferredFaces()) {
        if (!installed.contains(face))
            continue;
        const int misread = misreadCount(face, characters);
        if (fewest < 0 || misread < fewest) {
            best = face;
            fewest = misread;
        }
        if (misread == 0)
            break;
    }
    // None installed: the system's default face and its fallbacks.
    return best.isEmpty() ? QFont().family() : best;
}

QRectF signatureBox()
{
    const QPageLayout layout = pageLayout();
    const QRectF page = layout.fullRectPoints();
    const double width = 220;
    const double height = 58;
    // Above the footer's two small lines, inside the right margin.
    const double bottom = layout.marginsPoints().bottom() + 30;
    // Measured upwards from the page's lower edge, as PDF does: y is the box's lower edge, bottom() its top.
    return QRectF(page.width() - layout.marginsPoints().right() - width, bottom, width, height);
}

bool write(QIODevice *device, const CertificateDocument &document)
{
    QPdfWriter writer(device);
    writer.setResolution(kDpi);
    writer.setPageLayout(pageLayout());
    writer.setTitle(document.title + QLatin1Char(' ') + document.number);
    const QString face = faceFor(documentText(document));
    const CertificateDocument shown = drawable(document, face);
    const int pages = CertificateLayout(&writer, nullptr, shown, face, 0).run();
    QPainter painter;
    if (pages == 0 || !painter.begin(&writer))
        return false;
    const bool laidOut = CertificateLayout(&writer, &painter, shown, face, pages).run() == pages;
    return painter.end() && laidOut;
}

} // namespace CalibrationPdf

#include "calibrationpdf.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <numeric>

namespace {

constexpr int kDpi = 150;
// Of the printable height.
constexpr double kChartShare = 0.30;
// Relative column widths of the results table: set point, reference, reading, error, U, tolerance,
// verdict, outcome.
constexpr int kColumnWeights[] = {9, 10, 10, 9, 9, 9, 12, 11};

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
    CertificateLayout(QPdfWriter *writer, QPainter *painter, const CertificateDocument &document, int pages)
        : m_writer(writer)
        , m_painter(painter)
        , m_document(document)
        , m_pages(pages)
        , m_page(QPoint(0, 0), pageLayout().paintRectPixels(kDpi).size())
    { }

    // The pages used; 0 when a new page could not be started.
    int run()
    {
        m_bodyFont.setPointSizeF(9);
        m_smallFont.setPointSizeF(8);
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
        if (!table())
            return 0;
        text(m_document.verdict, m_headingFont, Qt::AlignLeft);
        m_y += lineHeight(m_bodyFont) / 3;
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
            m_y += size.height();
        }
        m_y += lineHeight(m_bodyFont);
        for (const QString &line : m_document.closing)
            text(line, m_bodyFont, Qt::AlignLeft);
        return m_failed ? 0 : m_pageNumber;
    }

private:
    int lineHeight(const QFont &font) const { return QFontMetrics(font, m_writer).height() * 5 / 4; }

    int footerHeight() const { return lineHeight(m_smallFont) * 2; }

    bool startPage(bool newPage)
    {
        if (newPage && m_painter && !m_writer->newPage())
            return false;
        ++m_pageNumber;
        m_y = m_page.top();
        // The number and "page x of y" at the foot of every page.
        const int height = lineHeight(m_smallFont);
        if (m_painter) {
            m_painter->setFont(m_smallFont);
            const QRect foot(m_page.left(), m_page.bottom() - height, m_page.width(), height);
            m_painter->drawLine(foot.topLeft(), foot.topRight());
            m_painter->drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, m_document.number);
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
        bool header = true;
        for (const QStringList &cells : m_document.tableRows) {
            const int height = rowHeight(cells, m_smallFont, left);
            const int before = m_pageNumber;
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
        return true;
    }

    QPdfWriter *m_writer;
    QPainter *m_painter;
    const CertificateDocument &m_document;
    int m_pages;
    QRect m_page;
    int m_pageNumber = 0;
    int m_y = 0;
    bool m_failed = false;
    QFont m_bodyFont;
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

bool write(QIODevice *device, const CertificateDocument &document)
{
    QPdfWriter writer(device);
    writer.setResolution(kDpi);
    writer.setPageLayout(pageLayout());
    writer.setTitle(document.title + QLatin1Char(' ') + document.number);
    const int pages = CertificateLayout(&writer, nullptr, document, 0).run();
    QPainter painter;
    if (pages == 0 || !painter.begin(&writer))
        return false;
    const bool laidOut = CertificateLayout(&writer, &painter, document, pages).run() == pages;
    return painter.end() && laidOut;
}

} // namespace CalibrationPdf

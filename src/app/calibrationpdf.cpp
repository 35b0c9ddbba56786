#include "calibrationpdf.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <array>
#include <numeric>

namespace {

constexpr int kDpi = 150;
// Of the printable height.
constexpr double kChartShare = 0.42;
// Relative column widths; the outcome may read "not reached", stable_at carries a full ISO 8601 time.
constexpr std::array<int, 13> kColumnWeights {4, 9, 7, 21, 6, 7, 6, 7, 7, 5, 7, 7, 7};

QPageLayout pageLayout()
{
    return QPageLayout(
        QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

QList<QByteArrayList> tableRows(const QByteArray &csv)
{
    QList<QByteArrayList> rows;
    const QByteArrayList lines = csv.split('\n');
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (!line.isEmpty())
            rows << line.split(',');
    }
    return rows;
}

class TablePainter
{
public:
    TablePainter(QPainter *painter, const QRect &page)
        : m_painter(painter)
    {
        const int total = std::accumulate(kColumnWeights.begin(), kColumnWeights.end(), 0);
        int x = page.left();
        for (size_t i = 0; i < kColumnWeights.size(); ++i) {
            m_left[i] = x;
            x += page.width() * kColumnWeights[i] / total;
        }
        m_left.back() = x;
    }

    // Returns the top of the next row.
    int row(const QByteArrayList &fields, int top, bool bold)
    {
        QFont font = m_painter->font();
        font.setBold(bold);
        m_painter->setFont(font);
        const int height = QFontMetrics(font, m_painter->device()).height() * 3 / 2;
        for (size_t i = 0; i + 1 < m_left.size(); ++i) {
            const QRect cell(m_left[i], top, m_left[i + 1] - m_left[i], height);
            m_painter->drawRect(cell);
            m_painter->drawText(
                cell.adjusted(4, 0, -4, 0), Qt::AlignCenter, QString::fromUtf8(fields.value(int(i))));
        }
        return top + height;
    }

    int rowHeight() const { return QFontMetrics(m_painter->font(), m_painter->device()).height() * 3 / 2; }

private:
    QPainter *m_painter;
    std::array<int, kColumnWeights.size() + 1> m_left {};
};

} // namespace

namespace CalibrationPdf {

QSize chartSize()
{
    const QRect page = pageLayout().paintRectPixels(kDpi);
    return QSize(page.width(), int(page.height() * kChartShare));
}

bool write(QIODevice *device, const QString &title, const QVector<QPair<QString, QString>> &fields,
    const QPixmap &chart, const QByteArray &csv)
{
    QPdfWriter writer(device);
    writer.setResolution(kDpi);
    writer.setPageLayout(pageLayout());
    writer.setTitle(title);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    // The painter's origin is the corner of the printable area.
    const QRect page(QPoint(0, 0), pageLayout().paintRectPixels(kDpi).size());

    QFont font = painter.font();
    font.setPointSizeF(15);
    font.setBold(true);
    painter.setFont(font);
    int y = page.top();
    const int titleHeight = QFontMetrics(font, &writer).height();
    painter.drawText(QRect(page.left(), y, page.width(), titleHeight), Qt::AlignLeft, title);
    y += titleHeight * 3 / 2;

    font.setPointSizeF(9.5);
    font.setBold(false);
    painter.setFont(font);
    const int line = QFontMetrics(font, &writer).height() * 5 / 4;
    for (int i = 0; i < fields.size(); ++i) {
        const int x = page.left() + (i % 2) * page.width() / 2;
        painter.drawText(QRect(x, y, page.width() / 2, line), Qt::AlignLeft | Qt::AlignVCenter,
            fields.at(i).first + QStringLiteral(": ") + fields.at(i).second);
        if (i % 2 == 1 || i + 1 == fields.size())
            y += line;
    }
    y += line / 2;

    const QSize size = chartSize();
    painter.drawPixmap(QRect(QPoint(page.left(), y), size), chart);
    y += size.height() + line / 2;

    font.setPointSizeF(8);
    painter.setFont(font);
    TablePainter table(&painter, page);
    const QList<QByteArrayList> rows = tableRows(csv);
    if (rows.isEmpty())
        return painter.end();
    y = table.row(rows.first(), y, true);
    for (int i = 1; i < rows.size(); ++i) {
        // A row that does not fit starts a page of its own, under the column names again.
        if (y + table.rowHeight() > page.bottom()) {
            if (!writer.newPage())
                return false;
            y = table.row(rows.first(), page.top(), true);
        }
        y = table.row(rows.at(i), y, false);
    }
    return painter.end();
}

} // namespace CalibrationPdf

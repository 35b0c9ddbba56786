#include "columnspans.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <vector>

namespace {

// Far outside any plot, yet safely inside int: points beyond the edges only carry the line there.
const double kLimit = 1e8;

// Turns runs of neighbouring spanned columns into horizontal bands. Filling costs per row of each
// rectangle, so a band across many columns is far cheaper than a tall rectangle per column. The open bands
// partition the current column's rows, above and below a pivot row; the part of a band that the next
// column does not cover ends there, the rest goes on.
class Bander
{
public:
    Bander(int width, QVector<QRect> *out)
        : m_width(width)
        , m_out(out)
    { }

    // Rows [top, bottom) of column `column`; a column that does not follow the previous one starts afresh.
    void add(int column, int top, int bottom)
    {
        if (column != m_column + 1) {
            finish();
            m_pivot = top + (bottom - top) / 2;
            m_above.push_back({top, m_pivot, column});
            m_below.push_back({m_pivot, bottom, column});
        } else {
            if (m_pivot < top)
                movePivotDown(top);
            else if (m_pivot > bottom)
                movePivotUp(bottom);
            moveTop(top, column);
            moveBottom(bottom, column);
        }
        m_column = column;
    }

    void finish()
    {
        closeAll(m_above);
        closeAll(m_below);
        m_column = std::numeric_limits<int>::min();
    }

private:
    struct Band
    {
        int from; // first row
        int to; // past the last row
        int column; // first column
    };

    // The column lies wholly below the pivot: the bands above it end, and so does the part of the bands
    // below it that is above `row`, the new pivot.
    void movePivotDown(int row)
    {
        closeAll(m_above);
        while (!m_below.empty() && m_below.front().to <= row) {
            emitBand(m_below.front());
            m_below.pop_front();
        }
        if (!m_below.empty() && m_below.front().from < row)
            cut(m_below.front(), row, true);
        m_pivot = row;
    }

    // The mirror image: the column lies wholly above the pivot.
    void movePivotUp(int row)
    {
        closeAll(m_below);
        while (!m_above.empty() && m_above.front().from >= row) {
            emitBand(m_above.front());
            m_above.pop_front();
        }
        if (!m_above.empty() && m_above.front().to > row)
            cut(m_above.front(), row, false);
        m_pivot = row;
    }

    void closeAll(std::deque<Band> &bands)
    {
        for (const Band &b : bands)
            emitBand(b);
        bands.clear();
    }

    // Moves the top of the bands above the pivot to `edge`.
    void moveTop(int edge, int column)
    {
        const int top = m_above.empty() ? m_pivot : m_above.back().from;
        if (edge < top) {
            m_above.push_back({edge, top, column});
            return;
        }
        // Bands wholly above the new top end; the one it cuts loses its part above and goes on.
        while (!m_above.empty() && m_above.back().to <= edge) {
            emitBand(m_above.back());
            m_above.pop_back();
        }
        if (!m_above.empty() && m_above.back().from < edge)
            cut(m_above.back(), edge, true);
    }

    // Moves the bottom of the bands below the pivot to `edge`.
    void moveBottom(int edge, int column)
    {
        const int bottom = m_below.empty() ? m_pivot : m_below.back().to;
        if (edge > bottom) {
            m_below.push_back({bottom, edge, column});
            return;
        }
        while (!m_below.empty() && m_below.back().from >= edge) {
            emitBand(m_below.back());
            m_below.pop_back();
        }
        if (!m_below.empty() && m_below.back().to > edge)
            cut(m_below.back(), edge, false);
    }

    // Ends the part of `band` above `row` (keepBelow) or below it; the rest goes on from the same column.
    void cut(Band &band, int row, bool keepBelow)
    {
        if (keepBelow) {
            emitBand({band.from, row, band.column});
            band.from = row;
        } else {
            emitBand({row, band.to, band.column});
            band.to = row;
        }
    }

    void emitBand(const Band &b)
    {
        if (b.to > b.from)
            m_out->append(QRect(b.column, b.from, m_column - b.column + m_width, b.to - b.from));
    }

    int m_width;
    QVector<QRect> *m_out;
    int m_column = std::numeric_limits<int>::min();
    int m_pivot = 0;
    std::deque<Band> m_above; // from the pivot up: innermost first, topmost last
    std::deque<Band> m_below; // from the pivot down: innermost first, bottommost last
};

} // namespace

ColumnSpans splitIntoColumnSpans(const QVector<QPointF> &points, double penWidth)
{
    ColumnSpans out;
    const int n = points.size();
    std::vector<double> column(size_t(n), 0);
    std::vector<bool> spanned(size_t(n), false);
    const int width = std::max(1, qRound(penWidth));
    Bander bander(width, &out.spans);
    for (int begin = 0; begin < n;) {
        const double c = std::floor(points[begin].x());
        double lo = points[begin].y();
        double hi = lo;
        if (begin > 0 && column[size_t(begin - 1)] == c - 1) {
            lo = std::min(lo, points[begin - 1].y());
            hi = std::max(hi, points[begin - 1].y());
        }
        int end = begin;
        for (; end < n && std::floor(points[end].x()) == c; ++end) {
            lo = std::min(lo, points[end].y());
            hi = std::max(hi, points[end].y());
        }
        const bool span = hi - lo > penWidth;
        if (span)
            bander.add(int(qBound(-kLimit, c, kLimit)) - (width - 1) / 2,
                qFloor(qBound(-kLimit, lo - penWidth / 2, kLimit)),
                qCeil(qBound(-kLimit, hi + penWidth / 2, kLimit)));
        for (int i = begin; i < end; ++i) {
            column[size_t(i)] = c;
            spanned[size_t(i)] = span;
        }
        begin = end;
    }
    bander.finish();

    QPolygonF line;
    const auto finishLine = [&out, &line] {
        if (line.size() >= 2)
            out.lines.append(line);
        line.clear();
    };
    for (int i = 1; i < n; ++i) {
        const size_t k = size_t(i);
        // A step in from a plain column stays a stroke, so the line visibly runs into the span.
        const bool covered = spanned[k]
            && (column[k - 1] == column[k] || (column[k - 1] == column[k] - 1 && spanned[k - 1]));
        if (covered) {
            finishLine();
            continue;
        }
        if (line.isEmpty())
            line << points[i - 1];
        line << points[i];
    }
    finishLine();
    return out;
}

// Draws the program's desktop icon: a glowing blackbody cavity in its housing beside a thermometer.
//
//   bb-drawicon <hicolor-folder>   writes scalable/apps/ostrel-blackbody.svg and the 48, 128 and 256 px
//                                   PNGs under <size>x<size>/apps/
//
// One list of shapes on a 256-unit canvas feeds both the painter and the SVG text, so the sizes cannot
// drift apart from the scalable icon.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTextStream>
#include <QVector>

#include <cstdio>

namespace {

constexpr qreal kCanvas = 256;
const QString kName = QStringLiteral("ostrel-blackbody");

struct Stop
{
    qreal at;
    QColor color;
};

// Linear runs from `from` to `to`; radial is centred on `from` with radius `to.x()`.
struct Fill
{
    enum Kind { Solid, Linear, Radial } kind = Solid;
    QColor color;
    QPointF from;
    QPointF to;
    QVector<Stop> stops;
};

struct Shape
{
    enum Kind { Rect, Circle, Line } kind;
    QRectF rect; // Rect: the rectangle; Circle: the bounding square; Line: from top left to bottom right
    qreal corner = 0;
    Fill fill;
    QColor stroke = Qt::transparent;
    qreal strokeWidth = 0;
};

Fill solid(const QColor &color)
{
    return {Fill::Solid, color, {}, {}, {}};
}

Shape rect(qreal x, qreal y, qreal w, qreal h, qreal corner, const Fill &fill)
{
    return {Shape::Rect, QRectF(x, y, w, h), corner, fill};
}

Shape circle(qreal cx, qreal cy, qreal r, const Fill &fill)
{
    return {Shape::Circle, QRectF(cx - r, cy - r, 2 * r, 2 * r), 0, fill};
}

Shape ring(qreal cx, qreal cy, qreal r, const QColor &color, qreal width)
{
    Shape s = circle(cx, cy, r, solid(Qt::transparent));
    s.stroke = color;
    s.strokeWidth = width;
    return s;
}

Shape line(qreal x1, qreal y1, qreal x2, qreal y2, const QColor &color, qreal width)
{
    return {Shape::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2)), 0, solid(Qt::transparent), color, width};
}

QVector<Shape> iconShapes()
{
    const QPointF cavity(98, 138);
    const QColor glass(244, 247, 251);
    const QColor rim(154, 168, 192);
    const QColor mercury(224, 58, 47);
    QVector<Shape> shapes;
    // Tile.
    shapes << rect(12, 12, 232, 232, 52,
        {Fill::Linear, {}, {0, 12}, {0, 244}, {{0, QColor(59, 79, 120)}, {1, QColor(29, 40, 66)}}});
    // Cavity: a metal housing, its dark mouth and the glow inside with the rings of a target.
    shapes << circle(cavity.x(), cavity.y(), 78,
        {Fill::Linear, {}, {0, 60}, {0, 216}, {{0, QColor(178, 190, 210)}, {1, QColor(93, 107, 134)}}});
    shapes << circle(cavity.x(), cavity.y(), 66, solid(QColor(27, 31, 42)));
    shapes << circle(cavity.x(), cavity.y(), 56,
        {Fill::Radial, {}, cavity, {56, 0},
            {{0, QColor(255, 246, 213)}, {0.35, QColor(255, 194, 90)}, {0.75, QColor(240, 101, 31)},
                {1, QColor(163, 38, 14)}}});
    shapes << ring(cavity.x(), cavity.y(), 38, QColor(150, 40, 10, 140), 4);
    shapes << ring(cavity.x(), cavity.y(), 20, QColor(150, 40, 10, 140), 4);
    // Thermometer: the rim drawn larger under the glass, so tube and bulb share one outline.
    shapes << rect(188, 28, 40, 156, 20, solid(rim)) << circle(208, 194, 28, solid(rim));
    shapes << rect(194, 34, 28, 156, 14, solid(glass)) << circle(208, 194, 22, solid(glass));
    shapes << rect(202, 76, 12, 118, 6, solid(mercury)) << circle(208, 194, 15, solid(mercury));
    for (qreal y : {60, 88, 116, 144})
        shapes << line(196.5, y, 200, y, rim, 3);
    return shapes;
}

void paint(QPainter &p, const Shape &s)
{
    QBrush brush(s.fill.color);
    if (s.fill.kind != Fill::Solid) {
        QGradient gradient = s.fill.kind == Fill::Linear
            ? QGradient(QLinearGradient(s.fill.from, s.fill.to))
            : QGradient(QRadialGradient(s.fill.from, s.fill.to.x()));
        for (const Stop &stop : s.fill.stops)
            gradient.setColorAt(stop.at, stop.color);
        brush = QBrush(gradient);
    }
    p.setBrush(s.kind == Shape::Line ? QBrush() : brush);
    p.setPen(
        s.strokeWidth > 0 ? QPen(s.stroke, s.strokeWidth, Qt::SolidLine, Qt::RoundCap) : QPen(Qt::NoPen));
    switch (s.kind) {
    case Shape::Rect:
        p.drawRoundedRect(s.rect, s.corner, s.corner);
        break;
    case Shape::Circle:
        p.drawEllipse(s.rect);
        break;
    case Shape::Line:
        p.drawLine(s.rect.topLeft(), s.rect.bottomRight());
        break;
    }
}

QString number(qreal value)
{
    return QString::number(value, 'g', 6);
}

// `attribute`="#rrggbb" and, when not opaque, its opacity beside it.
QString colour(const QString &attribute, const QColor &color)
{
    QString text = QStringLiteral(" %1=\"%2\"").arg(attribute, color.name());
    if (color.alpha() < 255)
        text += QStringLiteral(" %1-opacity=\"%2\"").arg(attribute, number(color.alphaF()));
    return text;
}

QString svg(const QVector<Shape> &shapes)
{
    QString defs;
    QString body;
    for (int i = 0; i < shapes.size(); ++i) {
        const Shape &s = shapes.at(i);
        QString attributes;
        if (s.kind == Shape::Line || (s.fill.kind == Fill::Solid && s.fill.color.alpha() == 0)) {
            attributes = QStringLiteral(" fill=\"none\"");
        } else if (s.fill.kind == Fill::Solid) {
            attributes = colour(QStringLiteral("fill"), s.fill.color);
        } else {
            const QString id = QStringLiteral("g%1").arg(i);
            defs += s.fill.kind == Fill::Linear
                ? QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" x1=\"%2\" "
                                 "y1=\"%3\" x2=\"%4\" y2=\"%5\">")
                      .arg(id, number(s.fill.from.x()), number(s.fill.from.y()), number(s.fill.to.x()),
                          number(s.fill.to.y()))
                : QStringLiteral("<radialGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" cx=\"%2\" "
                                 "cy=\"%3\" r=\"%4\">")
                      .arg(id, number(s.fill.from.x()), number(s.fill.from.y()), number(s.fill.to.x()));
            for (const Stop &stop : s.fill.stops)
                defs += QStringLiteral("<stop offset=\"%1\"%2/>")
                            .arg(number(stop.at), colour(QStringLiteral("stop-color"), stop.color));
            defs += s.fill.kind == Fill::Linear ? QStringLiteral("</linearGradient>\n")
                                                : QStringLiteral("</radialGradient>\n");
            attributes = QStringLiteral(" fill=\"url(#%1)\"").arg(id);
        }
        if (s.strokeWidth > 0)
            attributes += colour(QStringLiteral("stroke"), s.stroke)
                + QStringLiteral(" stroke-width=\"%1\" stroke-linecap=\"round\"").arg(number(s.strokeWidth));
        switch (s.kind) {
        case Shape::Rect:
            body += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\"%6/>\n")
                        .arg(number(s.rect.x()), number(s.rect.y()), number(s.rect.width()),
                            number(s.rect.height()), number(s.corner), attributes);
            break;
        case Shape::Circle:
            body += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\"%4/>\n")
                        .arg(number(s.rect.center().x()), number(s.rect.center().y()),
                            number(s.rect.width() / 2), attributes);
            break;
        case Shape::Line:
            body += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"%5/>\n")
                        .arg(number(s.rect.left()), number(s.rect.top()), number(s.rect.right()),
                            number(s.rect.bottom()), attributes);
            break;
        }
    }
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"0 0 256 256\">\n<defs>\n%1</defs>\n%2</svg>\n")
        .arg(defs, body);
}

bool writeIcons(const QString &folder)
{
    const QVector<Shape> shapes = iconShapes();
    const QString scalable = folder + QStringLiteral("/scalable/apps");
    QFile file(scalable + QLatin1Char('/') + kName + QStringLiteral(".svg"));
    if (!QDir().mkpath(scalable) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream(&file) << svg(shapes);
    file.close();
    for (int size : {48, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / kCanvas, size / kCanvas);
        for (const Shape &s : shapes)
            paint(p, s);
        p.end();
        const QString dir = folder + QStringLiteral("/%1x%1/apps").arg(size);
        if (!QDir().mkpath(dir) || !image.save(dir + QLatin1Char('/') + kName + QStringLiteral(".png")))
            return false;
    }
    return file.error() == QFile::NoError;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2)
        return writeIcons(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
    std::fprintf(stderr, "usage: %s <hicolor-folder>\n", argv[0]);
    return 2;
}

// Draws the bundled pictures (tick boxes, zoom buttons, logo, title-bar window buttons) as PNG files.
//
//   bb-drawimages <images-folder>            writes the PNGs, the window buttons into <folder>/light
//   bb-drawimages --sheet <images-folder> <out.png>
//                                            renders the PNGs as the program shows them, enlarged
//
// Every picture is drawn in the logical pixels it is shown at and stored at a multiple of that size,
// so it stays sharp on high-density screens and is scaled down smoothly elsewhere.

#include <QApplication>
#include <QConicalGradient>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter &)>;

QImage render(int logicalSize, int scale, const Drawing &draw)
{
    QImage image(logicalSize * scale, logicalSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    draw(painter);
    return image;
}

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Tick boxes: 18 x 18 on the light blue-grey of the checkbox-icon buttons.
void drawCheckbox(QPainter &p, bool ticked)
{
    const QRectF box(2.25, 2.25, 13.5, 13.5);
    if (ticked) {
        p.setPen(QPen(QColor(24, 58, 118), 1.5));
        p.setBrush(QColor(37, 92, 178));
    } else {
        p.setPen(QPen(QColor(55, 68, 94), 1.5));
        p.setBrush(Qt::white);
    }
    p.drawRoundedRect(box, 2.5, 2.5);
    if (ticked) {
        QPainterPath tick;
        tick.moveTo(5.3, 9.2);
        tick.lineTo(7.9, 11.9);
        tick.lineTo(12.8, 6.3);
        p.strokePath(tick, roundPen(Qt::white, 2.1));
    }
}

// Magnifier with a plus or minus: 86 x 86 on a translucent popup over the chart. The white halo keeps
// the dark outline readable whatever lies behind the popup.
void drawMagnifier(QPainter &p, bool zoomIn)
{
    const QPointF centre(35, 35);
    const qreal radius = 22;
    const QColor ink(44, 56, 78);
    const QColor accent(33, 99, 191);
    const qreal angle = M_PI / 4;
    const QPointF handleStart = centre + QPointF(std::cos(angle), std::sin(angle)) * (radius + 4);
    const QPointF handleEnd(75, 75);

    const QColor halo(255, 255, 255, 170);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(halo, 14));
    p.drawLine(handleStart, handleEnd);
    p.setPen(roundPen(halo, 10));
    p.drawEllipse(centre, radius, radius);

    p.setPen(roundPen(ink, 11));
    p.drawLine(handleStart, handleEnd);
    p.setPen(roundPen(ink.lighter(140), 5));
    p.drawLine(centre + QPointF(std::cos(angle), std::sin(angle)) * (radius + 2), handleStart);

    QRadialGradient glass(centre - QPointF(8, 8), radius * 1.6);
    glass.setColorAt(0, QColor(255, 255, 255, 250));
    glass.setColorAt(1, QColor(222, 232, 246, 240));
    p.setBrush(glass);
    p.setPen(QPen(ink, 6));
    p.drawEllipse(centre, radius, radius);

    p.setPen(QPen(accent, 6, Qt::SolidLine, Qt::FlatCap));
    const qreal arm = 11;
    p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    if (zoomIn)
        p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

// Logo, up to 50 x 50 on the dark title bar: the glowing opening of a blackbody cavity inside a
// temperature scale that runs from cool blue to hot red.
void drawLogo(QPainter &p)
{
    const QPointF centre(25, 25);

    // The gradient's seam lies at the bottom, in the gap of the scale, so neither end shows it.
    QConicalGradient scale(centre, 270);
    scale.setColorAt(0.0, QColor(228, 52, 32));
    scale.setColorAt(0.125, QColor(228, 52, 32));
    scale.setColorAt(0.32, QColor(250, 140, 40));
    scale.setColorAt(0.5, QColor(252, 212, 70));
    scale.setColorAt(0.70, QColor(120, 196, 220));
    scale.setColorAt(0.875, QColor(60, 130, 235));
    scale.setColorAt(1.0, QColor(60, 130, 235));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(scale), 4.2, Qt::SolidLine, Qt::RoundCap));
    const QRectF arc(centre.x() - 21.5, centre.y() - 21.5, 43, 43);
    p.drawArc(arc, 225 * 16, -270 * 16);

    // Small ticks across the gap at the bottom, where the scale starts and ends.
    p.setPen(roundPen(QColor(205, 210, 220), 1.4));
    for (int degrees : {240, 255, 270, 285, 300}) {
        const qreal a = -degrees * M_PI / 180.0;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(centre + dir * 19.5, centre + dir * 22.5);
    }

    QRadialGradient glow(centre, 13.5, centre + QPointF(-1.5, -1.5));
    glow.setColorAt(0.0, QColor(255, 252, 236));
    glow.setColorAt(0.28, QColor(255, 214, 110));
    glow.setColorAt(0.60, QColor(244, 118, 36));
    glow.setColorAt(0.86, QColor(168, 36, 18));
    glow.setColorAt(1.0, QColor(70, 12, 10));
    p.setBrush(glow);
    p.setPen(QPen(QColor(196, 202, 214), 2.2));
    p.drawEllipse(centre, 13.5, 13.5);
}

enum class WindowButton { Min, Close, Expand, Reduce };
enum class ButtonState { Normal, Hover, Press };

// Title-bar buttons, 20 x 20 on a light grey bar. The minimise button also carries the normal image
// as its icon over the state image, so that glyph keeps one colour in every state.
void drawWindowButton(QPainter &p, WindowButton button, ButtonState state)
{
    const bool close = button == WindowButton::Close;
    QColor background = Qt::transparent;
    if (state == ButtonState::Hover)
        background = close ? QColor(226, 34, 40) : QColor(208, 213, 222);
    else if (state == ButtonState::Press)
        background = close ? QColor(158, 20, 26) : QColor(172, 180, 194);
    if (background.alpha() > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(background);
        p.drawRoundedRect(QRectF(0, 0, 20, 20), 2.5, 2.5);
    }

    const QColor ink = close && state != ButtonState::Normal ? QColor(Qt::white) : QColor(46, 50, 58);
    // Straight strokes sit on half pixels, so at 1x they cover whole pixels and stay crisp.
    p.setPen(QPen(ink, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    switch (button) {
    case WindowButton::Min:
        p.drawLine(QPointF(5.5, 10.5), QPointF(14.5, 10.5));
        break;
    case WindowButton::Expand:
        p.drawRect(QRectF(5.5, 5.5, 9, 9));
        p.drawLine(QPointF(5.5, 6.5), QPointF(14.5, 6.5)); // a heavier top edge, like a title bar
        break;
    case WindowButton::Reduce:
        p.drawRect(QRectF(4.5, 7.5, 8, 8));
        p.drawPolyline(QPolygonF({QPointF(7.5, 7.0), QPointF(7.5, 4.5), QPointF(15.5, 4.5),
            QPointF(15.5, 12.5), QPointF(13.0, 12.5)}));
        break;
    case WindowButton::Close:
        p.setPen(QPen(ink, 1.35, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 5.5), QPointF(14.5, 14.5));
        p.drawLine(QPointF(14.5, 5.5), QPointF(5.5, 14.5));
        break;
    }
}

struct Picture
{
    QString path; // relative to the images folder
    int logicalSize;
    int scale;
    Drawing draw;
};

QList<Picture> pictures()
{
    QList<Picture> list = {
        {"ic_checkbox_sel.png", 18, 2, [](QPainter &p) { drawCheckbox(p, true); }},
        {"ic_checkbox_unsel.png", 18, 2, [](QPainter &p) { drawCheckbox(p, false); }},
        {"zoomin.png", 86, 2, [](QPainter &p) { drawMagnifier(p, true); }},
        {"zoomout.png", 86, 2, [](QPainter &p) { drawMagnifier(p, false); }},
        {"TRIV-APP.png", 50, 4, drawLogo},
    };
    const std::pair<const char *, WindowButton> buttons[] = {{"min", WindowButton::Min},
        {"close", WindowButton::Close}, {"expand", WindowButton::Expand}, {"reduce", WindowButton::Reduce}};
    const std::pair<const char *, ButtonState> states[]
        = {{"normal", ButtonState::Normal}, {"hover", ButtonState::Hover}, {"press", ButtonState::Press}};
    for (const auto &[name, button] : buttons) {
        for (const auto &[stateName, state] : states) {
            const WindowButton b = button;
            const ButtonState s = state;
            list.append({QStringLiteral("light/window_%1_%2.png").arg(name, stateName), 20, 2,
                [b, s](QPainter &p) { drawWindowButton(p, b, s); }});
        }
    }
    return list;
}

int writeImages(const QString &folder)
{
    if (!QDir().mkpath(folder + QStringLiteral("/light"))) {
        std::fprintf(stderr, "cannot create %s/light\n", qPrintable(folder));
        return 1;
    }
    const QList<Picture> list = pictures();
    for (const Picture &picture : list) {
        const QString path = folder + QLatin1Char('/') + picture.path;
        if (!render(picture.logicalSize, picture.scale, picture.draw).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}

// The sheet shows each image as the program uses it (real widgets and style sheets at 1x), then
// enlarged four times without smoothing, so every pixel can be judged.
int writeSheet(const QString &folder, const QString &out)
{
    QWidget sheet;
    sheet.setAutoFillBackground(true);
    sheet.setStyleSheet(QStringLiteral("QWidget#sheet{background:white;}"));
    sheet.setObjectName(QStringLiteral("sheet"));
    auto *column = new QVBoxLayout(&sheet);

    auto image = [&](const QString &name) { return QPixmap(folder + QLatin1Char('/') + name); };

    // Tick boxes drawn the way the navigation button draws its icon.
    auto *ticks = new QLabel;
    QPixmap tickStrip(120, 30);
    tickStrip.fill(QColor(160, 177, 204));
    {
        QPainter p(&tickStrip);
        p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        p.drawPixmap(QRect(20, 6, 18, 18), image(QStringLiteral("ic_checkbox_unsel.png")));
        p.drawPixmap(QRect(70, 6, 18, 18), image(QStringLiteral("ic_checkbox_sel.png")));
    }
    ticks->setPixmap(tickStrip);
    column->addWidget(ticks);

    // Zoom popup: two buttons with 86 x 86 icons on a translucent panel over a white and a dark chart.
    auto *zoomRow = new QWidget;
    auto *zoomLayout = new QHBoxLayout(zoomRow);
    for (const char *backdrop : {"white", "rgb(40,44,52)"}) {
        auto *panel = new QWidget;
        panel->setObjectName(QStringLiteral("panel"));
        panel->setAttribute(Qt::WA_StyledBackground);
        panel->setStyleSheet(QStringLiteral("QWidget#panel{background:%1;}").arg(QLatin1String(backdrop)));
        auto *panelLayout = new QHBoxLayout(panel);
        panelLayout->setSpacing(0);
        for (const char *name : {"zoomin.png", "zoomout.png"}) {
            auto *button = new QPushButton;
            button->setIcon(QIcon(image(QLatin1String(name))));
            button->setIconSize(QSize(86, 86));
            button->setMinimumSize(100, 95);
            button->setStyleSheet(QStringLiteral("background:rgba(200,200,200,90);border:none;"));
            panelLayout->addWidget(button);
        }
        zoomLayout->addWidget(panel);
    }
    column->addWidget(zoomRow);

    // Logo on the black title bar, at its largest and at a small size.
    auto *logoBar = new QWidget;
    logoBar->setObjectName(QStringLiteral("logoBar"));
    logoBar->setAttribute(Qt::WA_StyledBackground);
    logoBar->setStyleSheet(QStringLiteral("QWidget#logoBar{background:black;}"));
    auto *logoLayout = new QHBoxLayout(logoBar);
    for (int side : {50, 32}) {
        auto *logo = new QLabel;
        logo->setPixmap(image(QStringLiteral("TRIV-APP.png")));
        logo->setScaledContents(true);
        logo->setFixedSize(side, side);
        logoLayout->addWidget(logo);
    }
    logoLayout->addStretch();
    column->addWidget(logoBar);

    // Window buttons with the title bar's own style sheets, one row per state.
    const QString buttonSheet = QStringLiteral(
        "QToolButton{border-image:url(%1/light/window_%2_normal.png);background-color:transparent;}"
        "QToolButton:hover{border-image:url(%1/light/window_%2_hover.png)}"
        "QToolButton:pressed{border-image:url(%1/light/window_%2_press.png)}");
    for (int state = 0; state < 3; ++state) {
        auto *bar = new QWidget;
        bar->setObjectName(QStringLiteral("bar"));
        bar->setAttribute(Qt::WA_StyledBackground);
        bar->setStyleSheet(QStringLiteral("QWidget#bar{background-color:rgb(240,240,240);}"));
        auto *barLayout = new QHBoxLayout(bar);
        barLayout->addStretch();
        for (const char *name : {"min", "expand", "reduce", "close"}) {
            auto *button = new QToolButton;
            button->setFixedSize(20, 20);
            button->setIconSize(QSize(24, 24));
            if (qstrcmp(name, "min") == 0)
                button->setIcon(QIcon(image(QStringLiteral("light/window_min_normal.png"))));
            button->setStyleSheet(buttonSheet.arg(folder, QLatin1String(name)));
            if (state == 1)
                button->setAttribute(Qt::WA_UnderMouse);
            if (state == 2)
                button->setDown(true);
            barLayout->addWidget(button);
        }
        column->addWidget(bar);
    }

    sheet.adjustSize();
    sheet.show();
    QApplication::processEvents();
    const QImage shot = sheet.grab().toImage();

    // Above the usage strip, the raw images enlarged.
    const QList<Picture> list = pictures();
    const int cell = 180;
    const int perRow = 6;
    const int rows = (list.size() + perRow - 1) / perRow;
    const int zoom = 4;
    QImage result(qMax(perRow * cell, shot.width() * zoom), rows * cell + shot.height() * zoom,
        QImage::Format_ARGB32_Premultiplied);
    result.fill(QColor(250, 250, 250));
    QPainter p(&result);
    for (int i = 0; i < list.size(); ++i) {
        const QRect target((i % perRow) * cell + 10, (i / perRow) * cell + 10, cell - 20, cell - 20);
        const bool lightBar = list.at(i).path.startsWith(QLatin1String("light/"));
        const QColor backdrop = lightBar                        ? QColor(240, 240, 240)
            : list.at(i).path.startsWith(QLatin1String("ic_"))  ? QColor(160, 177, 204)
            : list.at(i).path.startsWith(QLatin1String("TRIV")) ? QColor(Qt::black)
                                                                : QColor(255, 255, 255);
        p.fillRect(target, backdrop);
        p.drawImage(target, image(list.at(i).path).toImage());
    }
    p.drawImage(QRect(0, rows * cell, shot.width() * zoom, shot.height() * zoom), shot);
    p.end();
    return result.save(out) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2)
        return writeImages(QString::fromLocal8Bit(argv[1]));
    if (argc == 4 && qstrcmp(argv[1], "--sheet") == 0) {
        QApplication app(argc, argv);
        return writeSheet(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    std::fprintf(
        stderr, "usage: %s <images-folder>\n       %s --sheet <images-folder> <out.png>\n", argv[0], argv[0]);
    return 2;
}

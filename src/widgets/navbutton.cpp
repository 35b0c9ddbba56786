#include "navbutton.h"

#include <QPainter>
#include <QPainterPath>

NavButton::NavButton(QWidget *parent)
    : QPushButton(parent)
{
    setAttribute(Qt::WA_Hover);
}

void NavButton::setPadding(int left, int top, int right, int bottom)
{
    m_padding = QMargins(left, top, right, bottom);
    update();
}

void NavButton::setTextAlign(const TextAlign &align)
{
    m_textAlign = align;
    update();
}

void NavButton::setShowLine(bool show)
{
    m_showLine = show;
    update();
}

void NavButton::setLinePosition(const LinePosition &position)
{
    m_linePosition = position;
    update();
}

void NavButton::setLineWidth(int width)
{
    m_lineWidth = width;
    update();
}

void NavButton::setShowTriangle(bool show)
{
    m_showTriangle = show;
    update();
}

void NavButton::setNormalTextColor(const QColor &color)
{
    m_normalTextColor = color;
    update();
}

void NavButton::setHoverTextColor(const QColor &color)
{
    m_hoverTextColor = color;
    update();
}

void NavButton::setCheckTextColor(const QColor &color)
{
    m_checkTextColor = color;
    update();
}

void NavButton::setNormalBgColor(const QColor &color)
{
    m_normalBgColor = color;
    update();
}

void NavButton::setHoverBgColor(const QColor &color)
{
    m_hoverBgColor = color;
    update();
}

void NavButton::setCheckBgColor(const QColor &color)
{
    m_checkBgColor = color;
    update();
}

void NavButton::setShowIcon(bool show)
{
    m_showIcon = show;
    update();
}

void NavButton::setIconSpace(int space)
{
    m_iconSpace = space;
    update();
}

void NavButton::setIconNormal(const QPixmap &pixmap)
{
    m_iconNormal = pixmap;
    update();
}

void NavButton::setIconHover(const QPixmap &pixmap)
{
    m_iconHover = pixmap;
    update();
}

void NavButton::setIconCheck(const QPixmap &pixmap)
{
    m_iconCheck = pixmap;
    update();
}

// Text that fits beside the icon keeps its place; longer text (another language's caption) is set in the
// room on the far side of the icon rather than under it.
QRect NavButton::textBeside(const QRect &content, const QRect &icon) const
{
    QRect span(QPoint(), QSize(fontMetrics().horizontalAdvance(text()), content.height()));
    span.moveCenter(content.center());
    if (!(m_textAlign & TextAlign_Center) || span.right() < icon.left() || span.left() > icon.right())
        return content;
    QRect room = content;
    if (icon.center().x() > content.center().x())
        room.setRight(icon.left() - 2);
    else
        room.setLeft(icon.right() + 2);
    return room;
}

NavButton::State NavButton::visualState() const
{
    if (isDown() || isChecked())
        return State::Check;
    if (m_hovered && isEnabled())
        return State::Hover;
    return State::Normal;
}

void NavButton::enterEvent(QEvent *event)
{
    m_hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void NavButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void NavButton::paintEvent(QPaintEvent *)
{
    const State state = visualState();
    const QColor bg = state == State::Check ? m_checkBgColor
        : state == State::Hover             ? m_hoverBgColor
                                            : m_normalBgColor;
    const QColor fg = state == State::Check ? m_checkTextColor
        : state == State::Hover             ? m_hoverTextColor
                                            : m_normalTextColor;
    const QPixmap &icon = state == State::Check ? m_iconCheck
        : state == State::Hover                 ? m_iconHover
                                                : m_iconNormal;

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), bg);

    const QRect content = rect().marginsRemoved(m_padding);

    if (m_showLine && m_lineWidth > 0) {
        QRect line;
        switch (m_linePosition) {
        case LinePosition_Left:
            line = QRect(0, 0, m_lineWidth, height());
            break;
        case LinePosition_Right:
            line = QRect(width() - m_lineWidth, 0, m_lineWidth, height());
            break;
        case LinePosition_Top:
            line = QRect(0, 0, width(), m_lineWidth);
            break;
        case LinePosition_Bottom:
            line = QRect(0, height() - m_lineWidth, width(), m_lineWidth);
            break;
        }
        painter.fillRect(line, fg);
    }

    if (m_showTriangle) {
        const int side = qMax(4, height() / 4);
        const QPointF tip(width() - 2, height() / 2.0);
        QPainterPath triangle;
        triangle.moveTo(tip);
        triangle.lineTo(tip.x() - side / 2.0, tip.y() - side / 2.0);
        triangle.lineTo(tip.x() - side / 2.0, tip.y() + side / 2.0);
        triangle.closeSubpath();
        painter.fillPath(triangle, fg);
    }

    QRect textRect = content;
    if (m_showIcon && !icon.isNull()) {
        const QSize size = iconSize();
        const QRect target(m_iconSpace, (height() - size.height()) / 2, size.width(), size.height());
        painter.drawPixmap(target, icon);
        textRect = textBeside(content, target);
    }

    int flags = m_textAlign;
    if (!(flags & Qt::AlignVertical_Mask))
        flags |= Qt::AlignVCenter;
    painter.setPen(fg);
    painter.setFont(font());
    painter.drawText(textRect, flags | Qt::TextShowMnemonic, text());
}

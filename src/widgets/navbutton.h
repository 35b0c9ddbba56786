#pragma once

#include <QPixmap>
#include <QPushButton>

// Flat push button that paints its own background, text and optional icon in three colour states:
// normal, hover (pointer over it) and check (pressed down or checked).
class NavButton : public QPushButton
{
    Q_OBJECT

public:
    // Values follow Qt::Alignment, so 4 centres the text horizontally.
    enum TextAlign {
        TextAlign_Left = 0x0001,
        TextAlign_Right = 0x0002,
        TextAlign_Center = 0x0004,
        TextAlign_Top = 0x0020,
        TextAlign_Bottom = 0x0040,
    };
    Q_ENUM(TextAlign)

    enum LinePosition {
        LinePosition_Left = 0,
        LinePosition_Right = 1,
        LinePosition_Top = 2,
        LinePosition_Bottom = 3,
    };
    Q_ENUM(LinePosition)

    explicit NavButton(QWidget *parent = nullptr);

    void setPadding(int left, int top, int right, int bottom);
    void setTextAlign(const TextAlign &align);
    void setShowLine(bool show);
    void setLinePosition(const LinePosition &position);
    void setLineWidth(int width);
    void setShowTriangle(bool show);

    void setNormalTextColor(const QColor &color);
    void setHoverTextColor(const QColor &color);
    void setCheckTextColor(const QColor &color);
    void setNormalBgColor(const QColor &color);
    void setHoverBgColor(const QColor &color);
    void setCheckBgColor(const QColor &color);

    void setShowIcon(bool show);
    // Icon size shares the QAbstractButton property, so forms that set it are honoured.
    void setIconSpace(int space);
    void setIconNormal(const QPixmap &pixmap);
    void setIconHover(const QPixmap &pixmap);
    void setIconCheck(const QPixmap &pixmap);

    QMargins padding() const { return m_padding; }
    TextAlign textAlign() const { return m_textAlign; }
    bool showLine() const { return m_showLine; }
    LinePosition linePosition() const { return m_linePosition; }
    int lineWidth() const { return m_lineWidth; }
    bool showTriangle() const { return m_showTriangle; }
    QColor normalTextColor() const { return m_normalTextColor; }
    QColor hoverTextColor() const { return m_hoverTextColor; }
    QColor checkTextColor() const { return m_checkTextColor; }
    QColor normalBgColor() const { return m_normalBgColor; }
    QColor hoverBgColor() const { return m_hoverBgColor; }
    QColor checkBgColor() const { return m_checkBgColor; }
    bool showIcon() const { return m_showIcon; }
    int iconSpace() const { return m_iconSpace; }
    QPixmap iconNormal() const { return m_iconNormal; }

    enum class State { Normal, Hover, Check };
    State visualState() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRect textBeside(const QRect &content, const QRect &icon) const;

    QMargins m_padding;
    TextAlign m_textAlign = TextAlign_Center;
    bool m_showLine = false;
    LinePosition m_linePosition = LinePosition_Bottom;
    int m_lineWidth = 2;
    bool m_showTriangle = false;
    bool m_hovered = false;

    QColor m_normalTextColor = QColor(0, 0, 0);
    QColor m_hoverTextColor = QColor(0, 0, 0);
    QColor m_checkTextColor = QColor(0, 0, 0);
    QColor m_normalBgColor = QColor(160, 177, 204);
    QColor m_hoverBgColor = QColor(160, 177, 204);
    QColor m_checkBgColor = QColor(160, 177, 204);

    bool m_showIcon = false;
    int m_iconSpace = 0;
    QPixmap m_iconNormal;
    QPixmap m_iconHover;
    QPixmap m_iconCheck;
};

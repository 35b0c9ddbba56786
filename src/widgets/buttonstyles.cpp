#include "buttonstyles.h"

#include "navbutton.h"

#include <QFile>
#include <QString>

namespace {

const QColor kPanelBlue(160, 177, 204);

void applyCommon(NavButton *button, bool setLinePosition)
{
    button->setPadding(0, 0, 0, 0);
    button->setTextAlign(NavButton::TextAlign_Center);
    button->setShowLine(false);
    if (setLinePosition)
        button->setLinePosition(NavButton::LinePosition_Bottom);
    button->setLineWidth(10);
}

void setColors(NavButton *button, const QColor &normalText, const QColor &hoverText, const QColor &checkText,
    const QColor &normalBg, const QColor &hoverBg, const QColor &checkBg)
{
    button->setNormalTextColor(normalText);
    button->setHoverTextColor(hoverText);
    button->setCheckTextColor(checkText);
    button->setNormalBgColor(normalBg);
    button->setHoverBgColor(hoverBg);
    button->setCheckBgColor(checkBg);
}

} // namespace

void applyMenuStyle(NavButton *button)
{
    button->setEnabled(true);
    applyCommon(button, false);
    setColors(button, Qt::black, Qt::black, Qt::black, kPanelBlue, kPanelBlue, kPanelBlue);
}

void applyPlainStyle(NavButton *button)
{
    button->setEnabled(true);
    applyCommon(button, true);
    setColors(button, Qt::black, Qt::black, Qt::black, kPanelBlue, kPanelBlue, kPanelBlue);
}

void applyDisabledStyle(NavButton *button)
{
    button->setEnabled(false);
    applyCommon(button, true);
    const QColor text(156, 156, 156);
    const QColor bg(192, 192, 192);
    setColors(button, text, text, text, bg, bg, bg);
}

void applyActiveStyle(NavButton *button)
{
    button->setEnabled(true);
    applyCommon(button, true);
    button->setShowTriangle(false);
    setColors(
        button, Qt::white, Qt::red, Qt::black, QColor(215, 13, 24), QColor(0, 18, 124), QColor(18, 246, 104));
}

void applyCheckboxIconStyle(NavButton *button, const QPixmap &box)
{
    button->setEnabled(true);
    applyCommon(button, true);
    setColors(button, Qt::black, Qt::black, Qt::black, kPanelBlue, kPanelBlue, kPanelBlue);
    button->setShowIcon(true);
    button->setIconSize(QSize(18, 18));
    button->setIconSpace(button->width() - 20);
    button->setIconNormal(box);
    button->setIconHover(box);
    button->setIconCheck(box);
}

QString windowStyleSheet()
{
    QFile rules(QStringLiteral(":/imager/qss/light.qss"));
    const QString nav = QStringLiteral("#000000");
    return (rules.open(QIODevice::ReadOnly) ? QString::fromUtf8(rules.readAll()) : QString())
        + QStringLiteral("QWidget[flag=\"nav\"]{background:qlineargradient(spread:pad,x1:0,y1:0,x2:0,y2:1,"
                         "stop:0 %1,stop:1 %2);}")
              .arg(nav, nav)
        + QStringLiteral("QWidget[flag=\"nav\"] QWidget{background:none;border:none;}");
}

#include "windowtexts.h"

#include <QAbstractButton>
#include <QWidget>

QStringList windowTexts(const QWidget *window)
{
    QStringList lines {QStringLiteral("title\t") + window->windowTitle()};
    const QList<QAbstractButton *> buttons = window->findChildren<QAbstractButton *>();
    for (const QAbstractButton *button : buttons) {
        if (button->isVisibleTo(window) && !button->text().isEmpty())
            lines.append(button->objectName() + QLatin1Char('\t') + button->text());
    }
    return lines;
}

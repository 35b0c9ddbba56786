#include "windowplacement.h"

#include "app/screenkeeper.h"
#include "settings/settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>

const QString WindowPlacement::geometryKey = QStringLiteral("WindowGeometry");
const QString WindowPlacement::maximizedKey = QStringLiteral("WindowMaximized");

void WindowPlacement::show(QWidget *window, const Settings &settings)
{
    const QRect stored = parse(settings.value(geometryKey, QString()));
    QScreen *screen = stored.isEmpty() ? nullptr : QGuiApplication::screenAt(stored.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // The form's size where nothing is stored, kept on a screen smaller than it.
    QSize size;
    if (screen) {
        window->setGeometry(
            fitted(stored.isEmpty() ? QRect(screen->availableGeometry().topLeft(), window->size()) : stored,
                screen->availableGeometry(), window->minimumSizeHint()));
        size = window->size();
    }
    if (settings.value(maximizedKey, QString()) == QLatin1String("true"))
        window->showMaximized();
    else
        window->show();
    // The tiles are three high until the first resize makes them two; the window their minimum stretched
    // meanwhile goes back to the size it was given, or it would grow a little at every start.
    new ScreenKeeper(window, 3000, stored.isEmpty() ? QSize() : size);
}

void WindowPlacement::store(const QWidget *window, Settings &settings)
{
    const QRect normal = window->isMaximized() ? window->normalGeometry() : window->geometry();
    if (normal.isValid())
        settings.setValue(geometryKey,
            QStringLiteral("%1,%2,%3,%4")
                .arg(normal.x())
                .arg(normal.y())
                .arg(normal.width())
                .arg(normal.height()));
    settings.setValue(maximizedKey, window->isMaximized() ? QStringLiteral("true") : QStringLiteral("false"));
}

QRect WindowPlacement::fitted(const QRect &stored, const QRect &available, const QSize &minimum)
{
    const int width = std::max(std::min(stored.width(), available.width()), minimum.width());
    const int height = std::max(std::min(stored.height(), available.height()), minimum.height());
    QRect rect(stored.topLeft(), QSize(width, height));
    // Right and bottom first, so a window larger than the screen keeps its top left corner on it.
    if (rect.right() > available.right())
        rect.moveRight(available.right());
    if (rect.bottom() > available.bottom())
        rect.moveBottom(available.bottom());
    if (rect.left() < available.left())
        rect.moveLeft(available.left());
    if (rect.top() < available.top())
        rect.moveTop(available.top());
    return rect;
}

QRect WindowPlacement::parse(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return QRect();
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return QRect();
    }
    if (numbers[2] <= 0 || numbers[3] <= 0)
        return QRect();
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

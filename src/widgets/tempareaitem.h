#pragma once

#include <QColor>
#include <QWidget>

namespace Ui {
class TempAreaItem;
}

// A read-out tile: one large temperature and a small caption at the bottom right. GUI thread only.
class TempAreaItem : public QWidget
{
    Q_OBJECT

public:
    explicit TempAreaItem(QWidget *parent = nullptr);
    ~TempAreaItem() override;

    void setCaption(const QString &caption);

    // Read-back for the window and for tests.
    QString text() const;
    QString caption() const;
    int textPixelSize() const;

public slots:
    // color is a code, not the text colour: see tileStyleSheet().
    void UpdateTemp(float t, int unit, QColor color = Qt::white, bool valid = true, const int decimal = 1);
    // A reading that is not to be trusted yet: in the warning colour, with "?" after the unit.
    void showUnconfirmed(float t, int unit, int decimal);

protected:
    // The labels paint themselves; the tile draws nothing of its own.
    void paintEvent(QPaintEvent *event) override;

private:
    // A reading fitted to the tile's width.
    void showText(const QString &text, const QString &styleSheet);
    void setStyleSheetIfNew(const QString &styleSheet);

    Ui::TempAreaItem *ui = nullptr;
};

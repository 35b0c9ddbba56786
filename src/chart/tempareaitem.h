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

protected:
    // The labels paint themselves; the tile draws nothing of its own.
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::TempAreaItem *ui = nullptr;
};

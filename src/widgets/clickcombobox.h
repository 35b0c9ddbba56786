#pragma once

#include "serial/stableportnames.h"

#include <QComboBox>

// A port box: announces a left-button press before its list opens, so the owner can refill the list with
// the ports present at that moment, and takes a typed device path too.
class ClickComboBox : public QComboBox
{
    Q_OBJECT

public:
    // Where an entry keeps what its list row shows beside its name.
    static constexpr int kDetailRole = Qt::UserRole + 1;

    explicit ClickComboBox(QWidget *parent = nullptr);

    // Lists `ports` instead; a typed device path (a virtual port), never among them, stays in the box.
    void refill(const QVector<StablePortNames::Choice> &ports);
    // What to open: the shown entry's path, or the text typed into the box.
    QString chosenPath() const;
    // Shows the entry whose path is `path`, or `path` typed; false when no entry has it.
    bool choosePath(const QString &path);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

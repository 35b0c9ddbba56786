#pragma once

#include "station/uutlink.h"
#include "widgets/elidedlabel.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

// The status bar's text about the instrument under test's link: connected, connecting, no answer or the
// port gone; nothing while it is closed. One label, which the window's status bar (or any layout) adopts;
// text() gives the same words for whoever lays them out otherwise. GUI thread only.
class InstrumentStatus : public QObject
{
    Q_OBJECT

public:
    // `link` outlives the status.
    explicit InstrumentStatus(const UutLink *link, QObject *parent = nullptr);

    // The label, hidden while the link is closed; its owner is whoever adopts it.
    QLabel *label() { return m_label.data(); }
    // The words for `state` in the language in force; empty for Closed.
    static QString text(UutLink::State state);
    // The label again, from the link as it is, in the language in force.
    void refresh();

private:
    const UutLink *m_link;
    QPointer<ElidedLabel> m_label;
};

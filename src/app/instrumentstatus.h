#pragma once

#include "station/uutlink.h"
#include "widgets/statuspart.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

// The status bar's part about the instrument under test's link: connected, connecting, no answer or the
// port gone; nothing while it is closed. One part, which the window's status strip adopts, with a short
// form for a narrow bar; text() gives the full words for whoever lays them out otherwise. GUI thread only.
class InstrumentStatus : public QObject
{
    Q_OBJECT

public:
    // `link` outlives the status.
    explicit InstrumentStatus(const UutLink *link, QObject *parent = nullptr);

    // The part, hidden while the link is closed; its owner is whoever adopts it.
    StatusPart *label() { return m_label.data(); }
    // The words for `state` in the language in force, and their short form; empty for Closed.
    static QString text(UutLink::State state);
    static QString shortText(UutLink::State state);
    // The label again, from the link as it is, in the language in force.
    void refresh();

private:
    const UutLink *m_link;
    QPointer<StatusPart> m_label;
};

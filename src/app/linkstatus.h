#pragma once

#include "station/station.h"
#include "widgets/statuspart.h"

#include <QCoreApplication>

class BlackbodyLink;
class StatusStrip;

// The status bar's texts about the blackbody link: the port and baud rate opened, what the link is
// doing beyond that, and whether the source is stable. GUI thread only.
class LinkStatus
{
    Q_DECLARE_TR_FUNCTIONS(LinkStatus)

public:
    // Adds its parts to `strip`; `link` outlives them.
    LinkStatus(StatusStrip *strip, const BlackbodyLink *link);

    // The operator's opening succeeded, or the link closed.
    void showOpen();
    void showClosed();
    // Every text again, from the link as it is, in the language in force.
    void refresh();
    // After each reading: stable since when, or not yet.
    void showStability(const Station::Stability &shown);
    void clearStability();

private:
    enum class Port { NeverOpened, Open, Closed };

    const BlackbodyLink *m_link;
    Port m_port = Port::NeverOpened;
    // Cut in the middle last of all, after its caption: a port's stable name can be long.
    StatusPart m_portLabel;
    StatusPart m_baudLabel;
    StatusPart m_stabilityLabel;
    // Says when the open port's controller does not answer, may be another one, or the port is gone.
    StatusPart m_linkLabel;
};

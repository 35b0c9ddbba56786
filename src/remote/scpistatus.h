#pragma once

#include <QtGlobal>

// One client's status registers beyond the event status: SCPI-1999's OPERation and QUEStionable, each
// with its condition, the event register that latches the condition's rising bits until read, and the
// enable mask that lets events into the status byte; and the status byte's own enables. Pure.
class ScpiStatus
{
public:
    // OPERation's bits, SCPI-1999's where it names one, ours from bit 8 up.
    enum Operation : quint16 {
        Settling = 1 << 1, // the source heads for its set point and is not yet stable
        Recording = 1 << 4, // SCPI's MEASuring
        Stable = 1 << 8,
        RunActive = 1 << 14, // SCPI's PROGram running, paused or not
    };
    // QUEStionable's bits.
    enum Questionable : quint16 {
        StaleReading = 1 << 4, // SCPI's TEMPerature: no valid reading for the stale time
        LinkLost = 1 << 9, // closed while meant open, or reconnecting
        Silent = 1 << 10,
        Unconfirmed = 1 << 11,
    };
    // The status byte's bits.
    enum StatusByte : quint8 {
        ErrorQueued = 1 << 2,
        QuestionableSummary = 1 << 3,
        MessageAvailable = 1 << 4,
        EventSummary = 1 << 5,
        RequestService = 1 << 6,
        OperationSummary = 1 << 7,
    };

    struct Register
    {
        quint16 condition = 0;
        quint16 event = 0;
        quint16 enable = 0;

        // The condition now; bits that rose since the last call are latched as events.
        void update(quint16 now);
        // [:EVENt]?: read and cleared.
        quint16 takeEvent();
    };

    Register operation;
    Register questionable;
    quint8 eventEnable = 0; // *ESE
    quint8 serviceEnable = 0; // *SRE

    // *STB?: from the status registers, the error queue and the standard event status register.
    quint8 statusByte(bool errorQueued, quint8 eventStatus, bool messageAvailable) const;
    // *CLS: the event registers; the enables stay.
    void clearEvents();
    // STATus:PRESet: OPERation's and QUEStionable's enables to 0; the events stay.
    void preset();
};

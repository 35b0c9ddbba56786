#pragma once

#include "station/pdfsigner.h"

#include <QDateTime>
#include <QString>

// Whether an issued certificate's PDF was signed, and if not, why: what the audit trail states for each
// issue. A plain value; any thread.
struct IssueSignature
{
    enum class State {
        NotCertificate, // a test report, which nobody signs
        NoKey, // no signing key is configured
        Unattended, // a headless or SCPI run: nobody can type the key's password
        Declined, // the signatory chose to issue it unsigned
        Signed,
    };

    State state = State::NoKey;
    QString signatory; // the signing certificate's name, when signed
    SignatureLook::Meaning meaning = SignatureLook::Meaning::Approved;
    QDateTime at; // UTC, when signed

    bool isSigned() const { return state == State::Signed; }
    // "signed", "unsigned: no key", "unsigned: unattended"…: untranslated, for the audit trail.
    QString auditText() const;
};

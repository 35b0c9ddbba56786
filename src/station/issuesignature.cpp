#include "issuesignature.h"

QString IssueSignature::auditText() const
{
    switch (state) {
    case State::NotCertificate:
        return QStringLiteral("unsigned: test report");
    case State::NoKey:
        return QStringLiteral("unsigned: no key");
    case State::Unattended:
        return QStringLiteral("unsigned: unattended");
    case State::Declined:
        return QStringLiteral("unsigned: declined");
    case State::Signed:
        break;
    }
    return QStringLiteral("signed: %1 (%2)")
        .arg(signatory,
            meaning == SignatureLook::Meaning::Reviewed ? QStringLiteral("reviewed")
                                                        : QStringLiteral("approved"));
}

#pragma once

#include <QCoreApplication>
#include <QString>

// Whether a save reached the disk whole, and if not, why, in words for the operator (translated in the
// "SaveResult" context). A default-constructed result is a failure without a reason.
class SaveResult
{
    Q_DECLARE_TR_FUNCTIONS(SaveResult)

public:
    static SaveResult success();
    static SaveResult failure(const QString &reason);
    // The system's error number `errorNumber` (errno), told the way the operator understands it.
    static SaveResult systemError(int errorNumber);
    // The name leads to a device, a pipe, a folder, nowhere, or round in a loop of links.
    static SaveResult notRegularFile();
    // The writer gave up on its own, with no system error behind it.
    static SaveResult writerFailed();

    bool ok() const { return m_ok; }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    QString reason() const { return m_reason; }
    // What the operator is shown for a failed save of `fileName`: the file and the reason. Empty on success.
    QString message(const QString &fileName) const;

private:
    bool m_ok = false;
    QString m_reason;
};

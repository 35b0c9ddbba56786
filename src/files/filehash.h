#pragma once

#include <QString>

// The SHA-256 of the file `path`, in lower-case hex, as the audit trail records report files; empty when
// it cannot be read. Reads in blocks; any thread.
QString fileSha256(const QString &path);

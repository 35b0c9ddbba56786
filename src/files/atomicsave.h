#pragma once

#include "saveresult.h"

#include <QString>

#include <functional>

class QIODevice;

// Writes beside the target of `fileName` (see saveTarget()) and renames over it once `write` has returned
// true and every byte is on disk, so neither a failure nor a killed process ever leaves a cut file under
// the chosen name: on failure the old file stays as it was and nothing is left beside it. `write` gets a
// device whose first error sticks, so bytes it did not check still count. The new file keeps the old
// one's permissions; `ownerOnly` makes it readable by the user alone (0600) from its creation, before any
// byte is in it, for files that hold secrets. Any thread; blocks.
[[nodiscard]] SaveResult saveAtomically(
    const QString &fileName, const std::function<bool(QIODevice *)> &write, bool ownerOnly = false);

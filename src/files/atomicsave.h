#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes beside the target of `fileName` (see saveTarget()) and renames over it once `write` has
// succeeded and the bytes are on disk, so neither a failure nor a killed process ever leaves a truncated
// file under the chosen name. False, with the reason on the debug output, when anything fails.
bool saveAtomically(const QString &fileName, const std::function<bool(QIODevice *)> &write);

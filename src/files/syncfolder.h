#pragma once

#include <QString>

// Puts `folder`'s own entries on disk, so a name just made or changed in it survives a power cut. Best
// effort: a folder that cannot be opened is left as it is. POSIX only.
void syncFolder(const QString &folder);

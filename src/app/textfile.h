#pragma once

#include <QString>

// Whole contents of a (resource) text file decoded as UTF-8, or an empty string when it cannot be opened.
QString readTextFile(const QString &path);

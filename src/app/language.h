#pragma once

#include <QString>

// The interface languages, named as the "Language" setting stores them.
namespace Language {
const QString simplifiedChinese = QStringLiteral("Simplified Chinese");
const QString traditionalChinese = QStringLiteral("Tr Chinese");
const QString english = QStringLiteral("English");

// Our translation file for a stored value, with its leading slash; any value but the two Chinese ones
// (compared exactly) is English.
QString translationFile(const QString &language);
// Base name of Qt's own translation catalogue for the same language.
QString qtCatalogue(const QString &language);

// Replaces the installed translators, ours from `dir` and Qt's from `qtDir`, by those of `language`.
// A file that cannot be loaded is skipped silently, so the texts fall back to their sources (ours
// Simplified Chinese, Qt's English). Afterwards at most one translator of each kind is installed,
// however often this runs. Returns whether ours was loaded. GUI thread only.
bool install(const QString &language, const QString &dir, const QString &qtDir);
} // namespace Language

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The interface languages, named as the "Language" setting stores them.
namespace Language {
const QString simplifiedChinese = QStringLiteral("Simplified Chinese");
const QString traditionalChinese = QStringLiteral("Tr Chinese");
const QString english = QStringLiteral("English");

// Our translation file for a stored value, with its leading slash; any value but the two Chinese ones
// (compared exactly) is English.
QString translationFile(const QString &language);
// The bundled manual's page in that language, with the same fallback to English.
QUrl manualPage(const QString &language);
// Base name of Qt's own translation catalogue for the same language.
QString qtCatalogue(const QString &language);

// Where our translation files are looked for, in this order: beside the executable in `exeDir`, as the
// build tree has them, then in the data folder an installation puts them in, found relative to it.
QStringList translationDirs(const QString &exeDir);

// Replaces the installed translators, ours from the first of `dirs` that holds a loadable file and Qt's
// from `qtDir`, by those of `language`. A file that cannot be loaded is skipped silently, so the texts fall
// back to their sources (ours Simplified Chinese, Qt's English). Afterwards at most one translator of each
// kind is installed, however often this runs. Returns whether ours was loaded. GUI thread only.
bool install(const QString &language, const QStringList &dirs, const QString &qtDir);
} // namespace Language

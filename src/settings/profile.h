#pragma once

#include <QString>

// Where a profile keeps its files. The default profile (an empty name) keeps config.xml and its data
// where the program always has, so an upgrade moves nothing; a named profile keeps its own below
// "profiles/<name>" in both folders. What must be unique across a user's stations (the certificate
// counter) lives in the user's data folder, above the profiles. The folders are named after the
// application, so call these before the application is renamed.
namespace Profile {

// A name that is one safe folder name on every system: a letter or digit, then up to 63 letters,
// digits, '_', '-' or '.', and none of Windows' device names. "default" names the default profile.
bool isValidName(const QString &name);
// The profile a valid name means: empty for "default".
QString normalized(const QString &name);

QString configDir(const QString &profile);
QString dataDir(const QString &profile);
QString userDataDir();

} // namespace Profile

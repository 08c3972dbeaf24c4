#pragma once
// Path joining, the per-user data folder, sheet names as file names, one file under two names,
// detached program start.

#include <QString>

// first + separator + second; no separator when first ends with "\" or "/"; a backslash when
// first holds one anywhere, else "/". second is appended unchanged.
QString joinPath(const QString& first, const QString& second);
// The "USERPROFILE" environment variable; a null string when it is not set.
QString userProfileFolder();
// The per-user data folder of the toolbox. On Windows below the user profile; elsewhere the
// platform's per-user data folder (XDG data home) with "DuZozodKiv" inside it.
QString localDataFolder();
// A sheet name made into a file name (without extension).
QString sanitizeFileName(const QString& text);
// Both paths name one existing file (the same file reached through links counts as one).
bool isSameExistingFile(const QString& first, const QString& second);
// Starts the program detached; always true.
bool launchProgram(const QString& path);

#pragma once
// File-name parts of a path exactly as the user gave it; '/' is the separator.
#include <QString>

// Everything after the last '/' (the whole path when there is none).
QString ExtractFileName(const QString& path);

// The extension of the last path component, its period included ("memo.txt"
// gives ".txt", "memo." gives "."); empty when that component has no period,
// even if a directory name has one ("old.docs/memo").
QString ExtractFileExt(const QString& path);

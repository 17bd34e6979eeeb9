#pragma once

#include <QByteArray>
#include <QString>

namespace quintaro {

// The INI content with one key set to `value`: every other byte stays as it was; a missing
// section or key is added; section and key names match without regard to case, as on Windows.
QByteArray iniWithValue(const QByteArray& content, const QString& section, const QString& key, const QString& value);

// Writes one integer key into the INI file at `path`, creating the file when missing.
// Raises a RunError naming the file and the kind of failure when that fails.
void writeIniInteger(const QString& path, const QString& section, const QString& key, int value);

} // namespace quintaro

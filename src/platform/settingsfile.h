#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSettings>

// The settings file's layout: the INI text that QSettings itself reads and writes
// (sections, the same escaping of key and value characters), so files written before
// stay readable and stay compatible both ways. QSettings is given it as a format of its
// own because its built-in writer commits a file whose last bytes could not be written
// (a full disk): this one flushes and checks, so a failed save keeps the old file and
// is reported as an access error.
namespace SettingsFile {

// The format to open the program's settings with (registered on first use).
QSettings::Format format();

// The text of a settings map: one section per first key part ("[General]" for keys
// without one), keys sorted within it.
QByteArray serialise(const QSettings::SettingsMap &map);

// The settings map of a text. Lines that are neither a section, a key with a value
// nor a comment are skipped, so one damaged line costs only itself.
QSettings::SettingsMap parse(QByteArrayView text);

}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSettings>

// The settings file's layout: the INI text that QSettings itself reads and writes
// (sections, the same escaping of key and value characters), so files written before
// stay readable and stay compatible both ways.
namespace SettingsFile {

// The text of a settings map: one section per first key part ("[General]" for keys
// without one), keys sorted within it.
QByteArray serialise(const QSettings::SettingsMap &map);

// The settings map of a text. Lines that are neither a section, a key with a value
// nor a comment are skipped, so one damaged line costs only itself.
QSettings::SettingsMap parse(QByteArrayView text);

}

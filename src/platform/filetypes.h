#pragma once

#include <QString>

// Registers page documents (.vxf) and templates (.vxt) with the desktop: a
// freedesktop MIME package and a .desktop entry in the user's data folder, written at
// every start and never outside that folder. Returns false with the reason in *error.
bool RegisterFileTypes(const QString &executablePath, QString *error = nullptr);

// The pieces RegisterFileTypes() writes, for tests and the installer.
namespace FileTypes {
// $XDG_DATA_HOME, or ~/.local/share.
QString userDataFolder();
QByteArray mimePackage();
QByteArray desktopEntry(const QString &executablePath);
}

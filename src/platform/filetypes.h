#pragma once

#include <QString>

// Registers page documents (.vxf) and templates (.vxt) with the desktop for this user: a
// freedesktop MIME package, a desktop entry that starts this executable and their icons,
// written into the user's data folder and never outside it. When an installed package
// already provides the same file types in a system data folder, nothing is written, and
// a copy this program wrote earlier is removed so that the package's entry is the one
// the desktop uses. After a change the desktop's caches are refreshed by tools started
// in the background, never waited for. Returns false with the reason in *error.
bool RegisterFileTypes(const QString &executablePath, QString *error = nullptr);

// The pieces RegisterFileTypes() writes and looks for, for tests.
namespace FileTypes {
// The name of the desktop entry, MIME package, metadata and application icon.
QString desktopId();
// $XDG_DATA_HOME, or ~/.local/share.
QString userDataFolder();
// The system data folder ($XDG_DATA_DIRS) where an installed package provides these file
// types (the same MIME package, and the desktop entry); empty when there is none.
QString packageFolder();
QByteArray mimePackage();
// The installed desktop entry, made to start the given executable.
QByteArray desktopEntry(const QString &executablePath);
}

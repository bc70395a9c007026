#pragma once

#include <QString>
#include <QStringList>

class Settings;

// Reading link addresses out of the browser's bookmark file and out of internet
// shortcut (".url") files.
namespace Bookmarks {

// Appends the address after every HREF=" marker of the line (the marker in any
// letter case). An address ends at the next double quote; without one, at the next
// blank; without either it is empty. Empty addresses are appended too.
void appendAddresses(const QString &line, QStringList &addresses);

// Appends the addresses of every line of the file in file order. False, with the
// reason in *error, when the file does not exist or cannot be read.
bool readFile(const QString &path, QStringList &addresses, QString *error = nullptr);

// Where the browser keeps its bookmark file. The browser's own settings are not ours
// to read on every platform, so the three values live in the program's settings
// store under the keys below; whoever installs the browser side (or the user) puts
// them there.
struct Location
{
    QString fileLocation;     // full path of the bookmark file
    QString currentUser;      // browser profile name
    QString installDirectory; // browser installation folder

    static QString fileLocationKey() { return QStringLiteral("Netscape/Bookmark List/File Location"); }
    static QString currentUserKey() { return QStringLiteral("Netscape/Biff/CurrentUser"); }
    static QString installDirectoryKey() { return QStringLiteral("Netscape/Main/Install Directory"); }

    static Location read(const Settings &settings);

    // The file location when set; else the installation folder (cut before the word
    // "Communicator") + "Users/" + profile + "/bookmark.htm"; empty when neither the
    // folder nor the profile is known.
    QString bookmarkFile() const;
};

// The "URL" value of the "InternetShortcut" section (names in any letter case);
// empty when the file or the value is missing.
QString readInternetShortcut(const QString &path);
// The same value from the lines of such a file.
QString internetShortcutUrl(const QStringList &lines);

}

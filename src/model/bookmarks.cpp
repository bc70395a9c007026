#include "bookmarks.h"

#include "model/routines.h"
#include "platform/settings.h"
#include "platform/textfile.h"

#include <QFileInfo>

namespace Bookmarks {

void appendAddresses(const QString &line, QStringList &addresses)
{
    static const QString marker = QStringLiteral("HREF=\"");
    // Positions move forward through the line rather than cutting it, so a long
    // one-line file is read in linear time.
    int from = 1;
    while (from <= line.size()) {
        // A negative start lets the letters match in either case.
        const int at = Routines::WildcardPos(line, marker, -from);
        if (at == 0)
            break;
        const qsizetype begin = at - 1 + marker.size();
        qsizetype end = line.indexOf(u'"', begin);
        if (end < 0)
            end = line.indexOf(u' ', begin);
        if (end < 0) {
            // Nothing ends the address; with no quote left no marker can follow either.
            addresses.append(QString());
            break;
        }
        addresses.append(line.mid(begin, end - begin));
        from = int(end) + 2;
    }
}

bool readFile(const QString &path, QStringList &addresses, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("File not found: %1").arg(path);
        return false;
    }
    QStringList lines;
    if (!TextFile::readLines(path, lines, error))
        return false;
    for (const QString &line : std::as_const(lines))
        appendAddresses(line, addresses);
    return true;
}

Location Location::read(const Settings &settings)
{
    return {settings.readString(fileLocationKey()), settings.readString(currentUserKey()),
            settings.readString(installDirectoryKey())};
}

QString Location::bookmarkFile() const
{
    if (!fileLocation.isEmpty())
        return fileLocation;
    if (installDirectory.isEmpty() && currentUser.isEmpty())
        return QString();
    QString folder = installDirectory;
    const qsizetype word = folder.indexOf(QStringLiteral("Communicator"));
    if (word >= 0)
        folder.truncate(word);
    return folder + QStringLiteral("Users/") + currentUser + QStringLiteral("/bookmark.htm");
}

QString readInternetShortcut(const QString &path)
{
    QStringList lines;
    if (!TextFile::readLines(path, lines))
        return QString();
    return internetShortcutUrl(lines);
}

QString internetShortcutUrl(const QStringList &lines)
{
    bool inSection = false;
    for (const QString &raw : std::as_const(lines)) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(QStringLiteral("[InternetShortcut]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed().compare(QStringLiteral("URL"), Qt::CaseInsensitive) != 0)
            continue;
        return line.mid(equals + 1).trimmed();
    }
    return QString();
}

}

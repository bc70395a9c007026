#include "desktopshell.h"

#include "shellopen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

bool DesktopShell::open(const QString &fileOrAddress)
{
    const QUrl url = urlForShell(fileOrAddress);
    return url.isValid() && QDesktopServices::openUrl(url);
}

QString DesktopShell::favoritesFolder() const
{
    const QString favorites = QDir::home().filePath(QStringLiteral("Favorites"));
    if (QFileInfo(favorites).isDir())
        return favorites;
    return QDir::homePath();
}

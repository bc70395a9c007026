#include "testdatafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString buildDataFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("VENDRIX_BUILD_DATA");
#ifdef VENDRIX_BUILD_DATA_DIR
    if (fromEnvironment.isEmpty())
        return QStringLiteral(VENDRIX_BUILD_DATA_DIR);
#endif
    return fromEnvironment;
}

TestDataFolder::TestDataFolder()
    : mFolder(mDir.path())
{
    mValid = mDir.isValid() && mFolder.seed(buildDataFolder());
}

QString TestDataFolder::writeFile(const QString &relativePath, const QByteArray &content) const
{
    const QString path = mFolder.path() + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

#include "programfolder.h"

#include "installpaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString withSlash(QString path)
{
    path = QDir::fromNativeSeparators(path);
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool isWritableFolder(const QString &dir)
{
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

// Copies a shipped file without waiting for the disk (a first start must not wait for
// it), through a temporary name so that the file never appears half written. A file
// that appeared meanwhile is kept.
bool copyShippedFile(const QString &from, const QString &to, QStringList *copied)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    const QString part = to + QStringLiteral(".part");
    // Made anew, never opened through whatever lies at its name.
    QFile::remove(part);
    QFile target(part);
    const bool written = target.open(QIODevice::WriteOnly | QIODevice::NewOnly) && target.write(bytes) == bytes.size()
        && target.flush();
    target.close();
    // A link to nothing where the file belongs is no user's file; renaming onto it would
    // write through it.
    if (written && QFileInfo(to).isSymLink() && !QFileInfo::exists(to))
        QFile::remove(to);
    if (!written || !QFile::rename(part, to)) {
        QFile::remove(part);
        return written && QFileInfo::exists(to);
    }
    if (copied)
        copied->append(to);
    return true;
}

}

ProgramFolder::ProgramFolder(const QString &path)
    : mPath(withSlash(path))
{
}

ProgramFolder ProgramFolder::resolve(const QString &dataDirOption, const QString &executableDir)
{
    if (!dataDirOption.isEmpty())
        return ProgramFolder(QDir(dataDirOption).absolutePath());
    const QString fromEnvironment = qEnvironmentVariable("VENDRIX_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return ProgramFolder(QDir(fromEnvironment).absolutePath());
    // Only a folder that says so on purpose is used for portable use: the build tree
    // and an installation hold the shipped files too, but pages kept there would be
    // lost with the next clean build or refused by a read-only installation.
    if (QFileInfo::exists(QDir(executableDir).filePath(portableMarker())) && isWritableFolder(executableDir))
        return ProgramFolder(executableDir);
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return ProgramFolder(appData.isEmpty() ? QDir::home().filePath(QStringLiteral(".vendrix")) : appData);
}

QString ProgramFolder::installedDataFolder(const QString &executableDir)
{
    const QString shared = QDir(executableDir).filePath(QStringLiteral(VENDRIX_BIN_TO_DATA));
    if (QFileInfo::exists(QDir(shared).filePath(QStringLiteral("Themes.dat"))))
        return QDir(shared).absolutePath();
    return QDir(executableDir).absolutePath();
}

QString ProgramFolder::privateLibrary(const QString &executableDir, const QString &name)
{
    const QDir dir(executableDir);
    if (QFileInfo::exists(dir.filePath(QStringLiteral("lib%1.so").arg(name))))
        return dir.filePath(name);
    return dir.filePath(QStringLiteral(VENDRIX_BIN_TO_PRIVATE_LIB "/") + name);
}

bool ProgramFolder::seed(const QString &installedDataDir, QString *error, QStringList *copied, Part part) const
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    const bool forTheWindow = part != Part::TheRest;
    const bool theRest = part != Part::ForTheWindow;
    const QDir source(installedDataDir);
    const bool sameFolder = QDir(source.absolutePath()) == QDir(mPath);
    // Copies what the folder lacks of a shipped file or tree.
    auto copy = [&](const QString &name) {
        if (sameFolder)
            return true;
        const QString from = source.filePath(name);
        QStringList files;
        if (QFileInfo(from).isDir()) {
            QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files.append(it.next());
        } else if (QFileInfo::exists(from)) {
            files.append(from);
        }
        for (const QString &file : std::as_const(files)) {
            const QString to = mPath + source.relativeFilePath(file);
            if (QFileInfo::exists(to))
                continue;
            if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !copyShippedFile(file, to, copied))
                return fail(QStringLiteral("Cannot copy %1 to %2.").arg(file, to));
        }
        return true;
    };

    if (forTheWindow) {
        if (!QDir().mkpath(mPath))
            return fail(QStringLiteral("Cannot create the folder %1.").arg(mPath));
        if (!copy(QStringLiteral("Themes.dat")) || !copy(QStringLiteral("Tips.txt")))
            return false;
    }
    if (theRest) {
        static const char *const folders[] = {"VendrixFiles", "Templates", "Upload", "Upload/images",
                                              "Upload/backgrounds", "Palettes", "help"};
        for (const char *folder : folders) {
            const QString dir = mPath + QLatin1StringView(folder);
            if (!QDir().mkpath(dir))
                return fail(QStringLiteral("Cannot create the folder %1.").arg(dir));
        }
        static const char *const shipped[] = {"Fields.ini", "Palettes", "help", "Templates", "Upload/images",
                                              "Upload/backgrounds"};
        for (const char *name : shipped) {
            if (!copy(QLatin1StringView(name)))
                return false;
        }
    }
    return true;
}

void ProgramFolder::flushToDisk(const QStringList &files)
{
    for (const QString &path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            ::fdatasync(file.handle());
    }
}

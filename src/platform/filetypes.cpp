#include "filetypes.h"

#include "boundedread.h"
#include "safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Empty when the file cannot be read; a pipe or a device is not waited for.
QByteArray readInstalled(const QString &path)
{
    QByteArray bytes;
    BoundedRead::readFile(path, bytes, nullptr, BoundedRead::dataFileLimit);
    return bytes;
}

QString resource(const QString &name)
{
    return QStringLiteral(":/filetypes/") + name;
}

// The files of the registration, relative to a data folder, with the name of the
// built-in copy of each; the desktop entry's copy is made for the executable.
struct Piece
{
    enum Kind { MimePackage, DesktopEntry, Icon };
    Kind kind;
    QString path;
    QString name;
};

QList<Piece> pieces()
{
    const QString id = FileTypes::desktopId();
    const QString page = QStringLiteral("application-x-vendrix-page.svg");
    const QString templ = QStringLiteral("application-x-vendrix-template.svg");
    return {
        {Piece::MimePackage, QStringLiteral("mime/packages/"), id + QStringLiteral(".xml")},
        {Piece::DesktopEntry, QStringLiteral("applications/"), id + QStringLiteral(".desktop")},
        {Piece::Icon, QStringLiteral("icons/hicolor/scalable/apps/"), id + QStringLiteral(".svg")},
        {Piece::Icon, QStringLiteral("icons/hicolor/scalable/mimetypes/"), page},
        {Piece::Icon, QStringLiteral("icons/hicolor/scalable/mimetypes/"), templ},
    };
}

QString filePath(const QDir &dataFolder, const Piece &piece)
{
    return dataFolder.filePath(piece.path + piece.name);
}

QString filePath(const QDir &dataFolder, Piece::Kind kind)
{
    for (const Piece &piece : pieces()) {
        if (piece.kind == kind)
            return filePath(dataFolder, piece);
    }
    return QString();
}

// The Exec key quotes the program path and escapes what the desktop entry format reserves.
QString quotedExec(const QString &path)
{
    QString escaped;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return u'"' + escaped + u'"';
}

QByteArray withoutExecLine(const QByteArray &entry)
{
    QByteArray rest;
    for (const QByteArray &line : entry.split('\n')) {
        if (!line.startsWith("Exec="))
            rest += line + '\n';
    }
    return rest;
}

// What this program writes, whatever executable the entry was made for.
bool isOurCopy(const Piece &piece, const QByteArray &content)
{
    if (piece.kind == Piece::DesktopEntry)
        return withoutExecLine(content) == withoutExecLine(FileTypes::desktopEntry(QString()));
    return content == readAll(resource(piece.name));
}

// Rewrites the file only when its content differs, so a start with nothing to change
// touches nothing and refreshes no desktop cache.
bool writeIfChanged(const QString &path, const QByteArray &content, bool *changed, QString *error)
{
    if (QFileInfo(path).isFile() && readInstalled(path) == content)
        return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QString reason;
    if (SafeWrite::replaceFile(path, content, &reason, SafeWrite::Owner::Program) != SafeWrite::Result::Written) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, reason);
        return false;
    }
    *changed = true;
    return true;
}

// The desktop's caches are rebuilt in the background, where the tools are installed: a
// missing or failing tool leaves the registration files in place, and nobody waits for it.
void refreshInBackground(const QString &program, const QString &folder)
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return;
    QProcess process;
    process.setProgram(executable);
    process.setArguments({folder});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

}

namespace FileTypes {

QString desktopId()
{
    return QStringLiteral("com.zandorell.Vendrix");
}

QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString packageFolder()
{
    const QString user = QDir(userDataFolder()).absolutePath();
    const QByteArray mime = mimePackage();
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (dir.absolutePath() == user)
            continue;
        if (readAll(filePath(dir, Piece::MimePackage)) == mime && QFileInfo::exists(filePath(dir, Piece::DesktopEntry)))
            return dir.absolutePath();
    }
    return QString();
}

QByteArray mimePackage()
{
    return readAll(resource(desktopId() + QStringLiteral(".xml")));
}

QByteArray desktopEntry(const QString &executablePath)
{
    QByteArray entry;
    const QByteArray installed = readAll(resource(desktopId() + QStringLiteral(".desktop")));
    for (const QByteArray &line : installed.split('\n')) {
        if (line.startsWith("Exec="))
            entry += "Exec=" + quotedExec(QFileInfo(executablePath).absoluteFilePath()).toUtf8() + " %f\n";
        else if (!line.isEmpty())
            entry += line + '\n';
    }
    return entry;
}

}

bool RegisterFileTypes(const QString &executablePath, QString *error)
{
    const QString dataHome = FileTypes::userDataFolder();
    if (dataHome.isEmpty()) {
        if (error)
            *error = QStringLiteral("The user's data folder is unknown.");
        return false;
    }
    const QDir home(dataHome);
    const bool packaged = !FileTypes::packageFolder().isEmpty();
    QString reason;
    bool mimeChanged = false;
    bool desktopChanged = false;
    bool ok = true;
    for (const Piece &piece : pieces()) {
        const QString path = filePath(home, piece);
        bool changed = false;
        if (packaged) {
            // Only a copy of ours goes: a file the user changed stays.
            if (QFileInfo(path).isFile() && isOurCopy(piece, readInstalled(path)))
                changed = QFile::remove(path);
        } else {
            const QByteArray content = piece.kind == Piece::DesktopEntry ? FileTypes::desktopEntry(executablePath)
                                                                          : readAll(resource(piece.name));
            ok = writeIfChanged(path, content, &changed, &reason);
        }
        mimeChanged = mimeChanged || (changed && piece.kind == Piece::MimePackage);
        desktopChanged = desktopChanged || (changed && piece.kind == Piece::DesktopEntry);
        if (!ok)
            break;
    }
    if (mimeChanged)
        refreshInBackground(QStringLiteral("update-mime-database"), home.filePath(QStringLiteral("mime")));
    if (desktopChanged)
        refreshInBackground(QStringLiteral("update-desktop-database"), home.filePath(QStringLiteral("applications")));
    if (!ok && error)
        *error = reason;
    return ok;
}

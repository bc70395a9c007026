#include "safewrite.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <system_error>

namespace SafeWrite {

namespace {

bool holdsExactly(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() != bytes.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

QString reasonOf(const QIODevice *device)
{
    const QString reason = device->errorString();
    // QIODevice's own placeholder says nothing about the cause.
    return reason.isEmpty() || reason == u"Unknown error" ? QStringLiteral("Cannot write the data.") : reason;
}

Result fail(Result result, QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return result;
}

Result replaceThroughLink(const QString &path, const Producer &produce, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, every write reaches the file system at once and its error with it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(Result::CannotCreate, error, file.errorString());
    if (!produce(&file, error)) {
        file.cancelWriting();
        return Result::WriteFailed;
    }
    if (!file.commit())
        return fail(Result::WriteFailed, error, reasonOf(&file));
    return Result::Written;
}

#ifdef Q_OS_UNIX

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

mode_t newFileMode()
{
    // The process's umask can only be read by setting it; it is read once, before any
    // other thread could create a file.
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

// The temporary file is made beside the path (never at the end of a link) with
// O_EXCL, its mode set on the open file, and it takes the path's place by rename, which
// replaces a link instead of following it.
Result replaceOwn(const QString &path, const Producer &produce, QString *error, bool privateFile)
{
    const QFileInfo info(path);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return fail(Result::CannotCreate, error, file.errorString());
    mode_t mode = privateFile ? mode_t(0600) : newFileMode();
    struct stat existing;
    if (!privateFile && ::lstat(QFile::encodeName(path).constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        mode = existing.st_mode & 0777;
    if (::fchmod(file.handle(), mode) != 0)
        return fail(Result::WriteFailed, error, systemReason(errno));
    if (!produce(&file, error))
        return Result::WriteFailed;
    if (::fsync(file.handle()) != 0)
        return fail(Result::WriteFailed, error, systemReason(errno));
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return fail(Result::WriteFailed, error, systemReason(errno));
    file.setAutoRemove(false);
    return Result::Written;
}

#endif

}

bool writeAll(QIODevice *device, const QByteArray &bytes, QString *error)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device->write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            if (error)
                *error = reasonOf(device);
            return false;
        }
        done += n;
    }
    // A file device keeps the tail in its buffer, where a write error stays hidden
    // until the file is closed; flushing brings it out while the caller can still act.
    // A flush that got part of the buffer out reports no reason; the next attempt meets
    // the error itself and names it.
    if (auto *file = qobject_cast<QFileDevice *>(device)) {
        if (!file->flush() && !file->flush()) {
            if (error)
                *error = reasonOf(device);
            return false;
        }
    }
    return true;
}

Result replaceFile(const QString &path, const QByteArray &bytes, QString *error, Owner owner)
{
    return replaceFile(path, [&bytes](QIODevice *device, QString *reason) { return writeAll(device, bytes, reason); }, error,
                       owner);
}

Result replaceFile(const QString &path, const Producer &produce, QString *error, Owner owner)
{
#ifdef Q_OS_UNIX
    if (owner != Owner::User)
        return replaceOwn(path, produce, error, owner == Owner::ProgramPrivate);
#else
    Q_UNUSED(owner);
#endif
    return replaceThroughLink(path, produce, error);
}

Result replaceCopy(const QString &path, const QByteArray &bytes, QString *error)
{
    if (holdsExactly(path, bytes))
        return Result::Written;
    const QFileInfo target(path);
    // A name of its own beside the target, created anew (never an existing file or a
    // link someone planted there), with the permissions a new file gets.
    QFile file;
    for (int attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
        file.setFileName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                         + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    }
    if (!file.isOpen()) {
        if (error)
            *error = file.errorString();
        return Result::CannotCreate;
    }
    bool written = writeAll(&file, bytes, error);
    file.close();
    if (written && file.error() != QFileDevice::NoError) {
        if (error)
            *error = reasonOf(&file);
        written = false;
    }
    std::error_code renamed;
    if (written)
        std::filesystem::rename(QFile::encodeName(file.fileName()).toStdString(), QFile::encodeName(path).toStdString(), renamed);
    if (!written || renamed) {
        if (written && error)
            *error = QString::fromStdString(renamed.message());
        file.remove();
        return Result::WriteFailed;
    }
    return Result::Written;
}

}

#include "filelock.h"

#include <QFile>
#include <QFileInfo>

FileLock::FileLock(const QString &lockFile)
    : mFileName(lockFile), mLock(lockFile)
{
    mLock.setStaleLockTime(0);
}

bool FileLock::tryLock(std::chrono::milliseconds timeout)
{
    mError.clear();
    // The lock file is opened to see whose it is: a link there would be followed (to a
    // pipe that never answers, to a device without end), so it goes first.
    const QFileInfo planted(mFileName);
    if (planted.isSymLink() || (planted.exists() && !planted.isFile()))
        QFile::remove(mFileName);
    if (mLock.tryLock(int(timeout.count())))
        return true;
    switch (mLock.error()) {
    case QLockFile::LockFailedError:
        mError = QStringLiteral("Another program is using it (lock file %1); try again when it is done.").arg(mFileName);
        break;
    case QLockFile::PermissionError:
        mError = QStringLiteral("The lock file %1 cannot be created: permission denied.").arg(mFileName);
        break;
    default:
        mError = QStringLiteral("The lock file %1 cannot be created.").arg(mFileName);
        break;
    }
    return false;
}

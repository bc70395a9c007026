#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>

// A lock between programs, kept in a lock file beside what it guards (QLockFile). A
// lock whose program has ended is taken over at once, however old; one that a running
// program holds is waited for. Whatever else lies at the lock file's path (a link, a
// pipe) is removed rather than followed or read.
class FileLock
{
public:
    explicit FileLock(const QString &lockFile);
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Waits at most timeout (0: not at all); false with the reason in errorString().
    bool tryLock(std::chrono::milliseconds timeout);
    void unlock() { mLock.unlock(); }
    bool isLocked() const { return mLock.isLocked(); }
    QString errorString() const { return mError; }

private:
    QString mFileName;
    QLockFile mLock;
    QString mError;
};

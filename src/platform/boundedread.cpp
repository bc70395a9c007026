#include "boundedread.h"

#include <QFileInfo>

#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace BoundedRead {

namespace {

Result fail(Result result, QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return result;
}

QString notAFile(bool folder)
{
    return folder ? QStringLiteral("It is a folder, not a file.") : QStringLiteral("It is a pipe, a socket or a device, not a file.");
}

QString tooLarge(qint64 limit)
{
    return QStringLiteral("The file is larger than %1 MB.").arg(limit / (1024 * 1024));
}

}

Result readAll(QIODevice *device, QByteArray &bytes, QString *error, qint64 limit)
{
    bytes.clear();
    if (!device->isReadable())
        return fail(Result::ReadFailed, error, QStringLiteral("The device is not open for reading."));
    // The size is only a hint: files change under the reader, and devices such as
    // /dev/zero or a pipe report none.
    const qint64 expected = device->isSequential() ? 0 : device->size() - device->pos();
    if (expected > limit)
        return fail(Result::TooLarge, error, tooLarge(limit));
    // One byte more than expected, so the usual case reads to its end in one go and
    // sees the end of file on the next read without growing the buffer.
    qint64 capacity = expected > 0 ? expected + 1 : 64 * 1024;
    qint64 size = 0;
    bytes.resize(qsizetype(capacity));
    for (;;) {
        if (size == capacity) {
            if (capacity > limit)
                break;
            capacity = qMin(capacity * 2, limit + 1);
            bytes.resize(qsizetype(capacity));
        }
        const qint64 n = device->read(bytes.data() + size, capacity - size);
        if (n < 0) {
            bytes.clear();
            return fail(Result::ReadFailed, error, device->errorString());
        }
        if (n == 0 && (!device->isSequential() || !device->waitForReadyRead(-1)))
            break;
        size += n;
    }
    if (size > limit) {
        bytes.clear();
        return fail(Result::TooLarge, error, tooLarge(limit));
    }
    bytes.truncate(qsizetype(size));
    return Result::Read;
}

namespace {

Result openForReading(QFile &file, QString *error)
{
#ifdef Q_OS_UNIX
    // Opened without waiting (a pipe would wait for a writer), looked at, and only then
    // read as a file.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(Result::CannotOpen, error, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status;
    if (::fstat(fd, &status) != 0) {
        const int reason = errno;
        ::close(fd);
        return fail(Result::CannotOpen, error, QString::fromLocal8Bit(std::strerror(reason)));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return fail(Result::NotAFile, error, notAFile(S_ISDIR(status.st_mode)));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(Result::CannotOpen, error, file.errorString());
    }
#else
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile())
        return fail(Result::NotAFile, error, notAFile(info.isDir()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(Result::CannotOpen, error, file.errorString());
#endif
    return Result::Read;
}

}

bool openRegularFile(QFile &file, QString *error)
{
    return openForReading(file, error) == Result::Read;
}

Result readFile(const QString &path, QByteArray &bytes, QString *error, qint64 limit)
{
    bytes.clear();
    QFile file(path);
    if (const Result opened = openForReading(file, error); opened != Result::Read)
        return opened;
    return readAll(&file, bytes, error, limit);
}

namespace {

// Large enough that a file is read in few calls, small enough to stay in the cache
// between a read and the parsing of what it brought, and to come from the heap
// rather than from pages mapped afresh for every file.
constexpr qsizetype kWindowBlock = 64 * 1024;

}

FileWindow::FileWindow(qint64 limit)
    : mLimit(limit)
{
}

Result FileWindow::open(const QString &path, QString *error)
{
    mFile.setFileName(path);
    if (const Result opened = openForReading(mFile, error); opened != Result::Read)
        return opened;
    mExpected = mFile.size();
    if (mExpected > mLimit)
        return fail(Result::TooLarge, error, tooLarge(mLimit));
    return Result::Read;
}

Result FileWindow::fill(qsizetype count, QString *error)
{
    if (available() >= count)
        return Result::Read;
    if (count > mLimit)
        return fail(Result::TooLarge, error, tooLarge(mLimit));
    const qsizetype kept = available();
    if (mStart > 0 && kept > 0)
        std::memmove(mBuffer.data(), mBuffer.constData() + mStart, size_t(kept));
    mStart = 0;
    mEnd = kept;
    // A piece larger than a block is only asked for when the file is known to hold it.
    const qsizetype capacity = qMax(kWindowBlock, count);
    if (mBuffer.size() < capacity)
        mBuffer.resize(capacity);
    while (mEnd < count) {
        const qint64 n = mFile.read(mBuffer.data() + mEnd, mBuffer.size() - mEnd);
        if (n < 0)
            return fail(Result::ReadFailed, error, mFile.errorString());
        if (n == 0)
            break;
        mEnd += qsizetype(n);
        mRead += n;
        if (mRead > mLimit)
            return fail(Result::TooLarge, error, tooLarge(mLimit));
    }
    return Result::Read;
}

}

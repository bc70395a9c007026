#include "boundedread.h"

#include <QFile>

namespace BoundedRead {

namespace {

Result fail(Result result, QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return result;
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

Result readFile(const QString &path, QByteArray &bytes, QString *error, qint64 limit)
{
    bytes.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(Result::CannotOpen, error, file.errorString());
    return readAll(&file, bytes, error, limit);
}

}

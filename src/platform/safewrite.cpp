#include "safewrite.h"

#include <QFileDevice>
#include <QSaveFile>

namespace SafeWrite {

namespace {

QString reasonOf(const QIODevice *device)
{
    const QString reason = device->errorString();
    // QIODevice's own placeholder says nothing about the cause.
    return reason.isEmpty() || reason == u"Unknown error" ? QStringLiteral("Cannot write the data.") : reason;
}

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

Result replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, every write reaches the file system at once and its error with it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return Result::CannotCreate;
    }
    if (!writeAll(&file, bytes, error)) {
        file.cancelWriting();
        return Result::WriteFailed;
    }
    if (!file.commit()) {
        if (error)
            *error = reasonOf(&file);
        return Result::WriteFailed;
    }
    return Result::Written;
}

}

#pragma once

#include <QIODevice>

// A device that accepts the first `limit` bytes and then refuses every write, to
// prove that write errors reach the caller.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit)
        : mLimit(limit)
    {
        open(QIODevice::WriteOnly);
    }

    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 room = mLimit - written.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 n = qMin(room, size);
        written.append(data, n);
        if (n < size)
            setErrorString(QStringLiteral("No space left on device"));
        return n;
    }

private:
    qint64 mLimit;
};

#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reading a whole input into memory without trusting its size: a file cut short while
// it is read gives the bytes that were there, and a device that never ends (/dev/zero,
// a pipe) or a file larger than the limit is refused instead of filling memory.
namespace BoundedRead {

// Far above the largest page document or text file the program makes.
constexpr qint64 defaultLimit = qint64(256) * 1024 * 1024;

enum class Result {
    Read,
    CannotOpen,
    TooLarge,
    ReadFailed,
};

// Reads the rest of an open device into bytes. On failure *error holds the reason.
Result readAll(QIODevice *device, QByteArray &bytes, QString *error = nullptr, qint64 limit = defaultLimit);

// Opens the file and reads it as above.
Result readFile(const QString &path, QByteArray &bytes, QString *error = nullptr, qint64 limit = defaultLimit);

}

#pragma once

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

// Reading a whole input into memory without trusting its size: a file cut short while
// it is read gives the bytes that were there, and a device that never ends (/dev/zero,
// a pipe) or a file larger than the limit is refused instead of filling memory.
namespace BoundedRead {

// Far above the largest page document or text file the program makes.
constexpr qint64 defaultLimit = qint64(256) * 1024 * 1024;
// For the files of the program folder and the ones like them (Themes.dat, Fields.ini,
// tips, palettes, bookmark files, the settings): far above what they ever hold, so
// that a runaway file costs little memory before it is refused.
constexpr qint64 dataFileLimit = qint64(16) * 1024 * 1024;

enum class Result {
    Read,
    CannotOpen,
    NotAFile, // a folder, a pipe, a socket or a device
    TooLarge,
    ReadFailed,
};

// Reads the rest of an open device into bytes. On failure *error holds the reason.
Result readAll(QIODevice *device, QByteArray &bytes, QString *error = nullptr, qint64 limit = defaultLimit);

// Opens the file and reads it as above. Anything but a regular file (or a link to one)
// is refused before it is read, so a pipe or a device never blocks the reader.
Result readFile(const QString &path, QByteArray &bytes, QString *error = nullptr, qint64 limit = defaultLimit);

// Opens a regular file (or a link to one) for reading; anything else is refused
// without waiting for it (a pipe without a writer). False with the reason in *error.
bool openRegularFile(QFile &file, QString *error = nullptr);

}

#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

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

// A regular file read front to back through one buffer that holds only what its
// reader has not consumed yet: memory follows the largest piece asked for at once, not
// the file's size, and the buffer is reused block after block while it is warm.
class FileWindow
{
public:
    explicit FileWindow(qint64 limit = defaultLimit);

    // Opens the file as readFile() does, refusing anything but a regular file and a
    // file larger than the limit; nothing is read yet.
    Result open(const QString &path, QString *error = nullptr);

    // The unread bytes in the buffer; valid until the next fill().
    const char *data() const { return mBuffer.constData() + mStart; }
    qsizetype available() const { return mEnd - mStart; }
    // The bytes still to come by the file's size when it was opened: what is buffered
    // and what the file has beyond it.
    qint64 left() const { return available() + qMax<qint64>(0, mExpected - mRead); }
    // Marks count buffered bytes as read.
    void consume(qsizetype count) { mStart += count; }

    // Reads until at least count bytes are buffered, or the file ends (available() then
    // tells how many there are). A read error or a file grown beyond the limit gives
    // ReadFailed or TooLarge with the reason in *error.
    Result fill(qsizetype count, QString *error = nullptr);

private:
    QFile mFile;
    QByteArray mBuffer;
    qint64 mLimit;
    qint64 mExpected = 0; // the file's size when opened
    qint64 mRead = 0;     // bytes read from the file so far
    qsizetype mStart = 0; // the unread bytes are mBuffer[mStart, mEnd)
    qsizetype mEnd = 0;
};

}

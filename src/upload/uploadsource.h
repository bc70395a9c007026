#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

#include <memory>

class ChunkHasher;

// A local file as a transport reads it for sending: every byte read is also hashed
// (SHA-256), in a thread of its own so that hashing and sending go on side by side and
// the file is read only once. What it holds at any time is a few chunks, whatever the
// file's size.
class UploadSource : public QIODevice
{
    Q_OBJECT

public:
    explicit UploadSource(const QString &path, QObject *parent = nullptr);
    ~UploadSource() override;

    QString path() const { return mFile.fileName(); }

    // Opens the file for reading from byte offset on; the bytes before it are read and
    // hashed first, so that the digest is that of the whole file. False with the reason
    // in *error.
    bool openAt(qint64 offset, QString *error);
    // Bytes read (the bytes before the offset included).
    qint64 bytesRead() const { return mRead; }
    // The digest of the whole file: what was not read yet is read and hashed first.
    // Empty when the file cannot be read to its end. Closes the source.
    QByteArray finish();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool readAhead(qint64 until);

    QFile mFile;
    std::unique_ptr<ChunkHasher> mHasher;
    qint64 mRead = 0;
    bool mReadFailed = false;
};

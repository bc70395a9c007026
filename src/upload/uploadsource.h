#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>

#include <memory>

class FileHasher;

// A local file as a transport reads it for sending, hashed (SHA-256) alongside in a
// thread of its own, so that the file is read once for both: the bytes read through
// this device are hashed from a copy, and the ones a connection sends straight from the
// file (handle(), then skip()) are read by the hash itself, from the page cache the
// sending filled. Memory stays a few chunks, whatever the file's size. Reads may come
// from any one thread at a time.
class UploadSource : public QIODevice
{
    Q_OBJECT

public:
    explicit UploadSource(const QString &path, QObject *parent = nullptr);
    ~UploadSource() override;

    QString path() const { return mFile.fileName(); }

    // Opens the file for reading from byte offset on; the bytes before it are hashed
    // too, so that the digest is that of the whole file. False with the reason in
    // *error.
    bool openAt(qint64 offset, QString *error);
    // Bytes read or skipped (the bytes before the offset included): where the next
    // byte to send lies in the file. After finish(), the whole file's.
    qint64 bytesRead() const { return mRead; }
    // The open file's descriptor, for sending straight from the file: what was sent
    // so is then passed over with skip(). -1 when closed.
    int handle() const { return mFile.handle(); }
    qint64 fileSize() const { return mFile.size(); }
    // The digest of the whole file, once the hash has reached its end. Empty when the
    // file cannot be read to its end. Closes the source.
    QByteArray finish();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 skipData(qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile mFile;
    std::unique_ptr<FileHasher> mHasher;
    qint64 mRead = 0;
    bool mReadFailed = false;
};

#include "uploadsource.h"

#include "platform/boundedread.h"
#include "upload/sha256.h"

#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

// Reads the file from its start and hashes it in a thread of its own, through one
// buffer used over and over, as far as the sender allows: it stays close behind or
// ahead of what is sent, so that on a disk each byte is read from the disk once, and a
// slow network never turns the hash into a pass of its own before the transfer.
class FileHasher
{
public:
    FileHasher(const QFile &file, qint64 allowed)
        : mAllowed(allowed)
#ifdef Q_OS_UNIX
        , mDescriptor(file.handle())
#else
        , mOwn(file.fileName())
#endif
        , mThread([this] { run(); })
    {
    }

    ~FileHasher()
    {
        {
            const std::lock_guard lock(mMutex);
            mStopped = true;
        }
        mMoved.notify_one();
        if (mThread.joinable())
            mThread.join();
    }

    // The hash may read up to this offset.
    void allow(qint64 until)
    {
        {
            const std::lock_guard lock(mMutex);
            mAllowed = until;
        }
        mMoved.notify_one();
    }

    // Lets the hash run to the end of the file and waits for it: the digest, or empty
    // when the file could not be read to its end; *hashed: the bytes hashed.
    QByteArray finish(qint64 *hashed)
    {
        allow(std::numeric_limits<qint64>::max());
        if (mThread.joinable())
            mThread.join();
        *hashed = mHashed;
        return mDigest;
    }

    // Enough for the hash to keep up with a fast sender without waiting for it.
    static constexpr qint64 lead = 8 * 1024 * 1024;

private:
    static constexpr qint64 bufferSize = 256 * 1024;

    qint64 readAt(char *data, qint64 offset)
    {
#ifdef Q_OS_UNIX
        // The sender's descriptor, at offsets of its own: the position the sender reads
        // from is not moved.
        ssize_t count = 0;
        do
            count = ::pread(mDescriptor, data, size_t(bufferSize), off_t(offset));
        while (count < 0 && errno == EINTR);
        return count;
#else
        if (!mOwn.isOpen() && !BoundedRead::openRegularFile(mOwn))
            return -1;
        return mOwn.seek(offset) ? mOwn.read(data, bufferSize) : -1;
#endif
    }

    void run()
    {
        QByteArray buffer(bufferSize, Qt::Uninitialized);
        qint64 position = 0;
        for (;;) {
            {
                std::unique_lock lock(mMutex);
                mMoved.wait(lock, [&] { return mStopped || position < mAllowed; });
                if (mStopped)
                    return;
            }
            const qint64 count = readAt(buffer.data(), position);
            if (count < 0)
                return;
            if (count == 0) {
                mDigest = mHash.result();
                return;
            }
            mHash.addData(QByteArrayView(buffer.constData(), count));
            position += count;
            mHashed = position;
        }
    }

    std::mutex mMutex;
    std::condition_variable mMoved;
    qint64 mAllowed;
    bool mStopped = false;
#ifdef Q_OS_UNIX
    int mDescriptor;
#else
    QFile mOwn;
#endif
    Sha256 mHash;
    qint64 mHashed = 0;
    QByteArray mDigest;
    std::thread mThread; // last: starts when everything it uses is there
};

UploadSource::UploadSource(const QString &path, QObject *parent)
    : QIODevice(parent), mFile(path)
{
}

// The hash goes first: it may be reading through the file's descriptor.
UploadSource::~UploadSource()
{
    mHasher.reset();
}

bool UploadSource::openAt(qint64 offset, QString *error)
{
    // A pipe or a device in the list would hold the run (and the window) for ever.
    if (!BoundedRead::openRegularFile(mFile, error))
        return false;
    if (offset > mFile.size() || !mFile.seek(offset)) {
        if (error)
            *error = QStringLiteral("the file is shorter than the %1 bytes already sent").arg(offset);
        mFile.close();
        return false;
    }
    mRead = offset;
    mHasher = std::make_unique<FileHasher>(mFile, offset + FileHasher::lead);
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void UploadSource::advance(qint64 count)
{
    mRead += count;
    mHasher->allow(mRead + FileHasher::lead);
}

qint64 UploadSource::readData(char *data, qint64 maxSize)
{
    const qint64 count = mFile.read(data, maxSize);
    if (count < 0) {
        mReadFailed = true;
        setErrorString(mFile.errorString());
        return -1;
    }
    if (count > 0)
        advance(count);
    return count;
}

qint64 UploadSource::skipData(qint64 maxSize)
{
    if (!mFile.seek(mRead + maxSize)) {
        mReadFailed = true;
        setErrorString(mFile.errorString());
        return -1;
    }
    advance(maxSize);
    return maxSize;
}

QByteArray UploadSource::finish()
{
    if (!mHasher)
        return QByteArray();
    qint64 hashed = 0;
    const QByteArray digest = mHasher->finish(&hashed);
    mHasher.reset();
    if (!digest.isEmpty())
        mRead = qMax(mRead, hashed);
    close();
    mFile.close();
    return mReadFailed ? QByteArray() : digest;
}

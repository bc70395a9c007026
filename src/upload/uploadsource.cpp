#include "uploadsource.h"

#include "platform/boundedread.h"
#include "upload/sha256.h"

#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

// Hashes the file from its start in a thread of its own. Bytes the sender read are
// handed over in a few buffers of its own that are used over and over (a sender faster
// than the hash waits for a free one); bytes the system sent straight from the file,
// the part before a resumed transfer's offset and, at the end, the rest, it reads
// itself through one more buffer. Either way it follows the sender closely, so that on
// a disk each byte is read from the disk once and a slow network never turns the hash
// into a pass of its own before the transfer.
class FileHasher
{
public:
    FileHasher(const QFile &file, qint64 readable)
        : mReadable(readable)
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
        mWork.notify_one();
        if (mThread.joinable())
            mThread.join();
    }

    // The sender read these bytes, which lie at offset in the file.
    void push(qint64 offset, const char *data, qint64 size)
    {
        while (size > 0) {
            std::size_t slot = 0;
            {
                std::unique_lock lock(mMutex);
                mRoom.wait(lock, [this] { return mFilled < slotCount || mEnded; });
                if (mEnded)
                    return;
                slot = (mFirst + mFilled) % slotCount;
            }
            // The hashing thread does not look at a slot until it is counted as filled.
            const qint64 part = qMin(size, bufferSize);
            mSlots[slot].offset = offset;
            mSlots[slot].bytes.resize(part);
            std::memcpy(mSlots[slot].bytes.data(), data, size_t(part));
            {
                const std::lock_guard lock(mMutex);
                ++mFilled;
            }
            mWork.notify_one();
            offset += part;
            data += part;
            size -= part;
        }
    }

    // The hash may read the file itself up to this offset (where no handed-over bytes
    // come first).
    void allowReading(qint64 until)
    {
        {
            const std::lock_guard lock(mMutex);
            mReadable = qMax(mReadable, until);
        }
        mWork.notify_one();
    }

    // Lets the hash run to the end of the file and waits for it: the digest, or empty
    // when the file could not be read to its end; *hashed: the bytes hashed.
    QByteArray finish(qint64 *hashed)
    {
        allowReading(std::numeric_limits<qint64>::max());
        if (mThread.joinable())
            mThread.join();
        *hashed = mHashed;
        return mDigest;
    }

private:
    static constexpr qint64 bufferSize = 256 * 1024;
    // 4 MiB: on a busy machine the hashing thread may wait several milliseconds for a
    // processor, and the sender should not wait with it.
    static constexpr std::size_t slotCount = 16;

    struct Slot
    {
        qint64 offset = 0;
        QByteArray bytes;
    };

    qint64 readAt(char *data, qint64 offset, qint64 size)
    {
#ifdef Q_OS_UNIX
        // The sender's descriptor, at offsets of its own: the position the sender reads
        // from is not moved.
        ssize_t count = 0;
        do
            count = ::pread(mDescriptor, data, size_t(size), off_t(offset));
        while (count < 0 && errno == EINTR);
        return count;
#else
        if (!mOwn.isOpen() && !BoundedRead::openRegularFile(mOwn))
            return -1;
        return mOwn.seek(offset) ? mOwn.read(data, size) : -1;
#endif
    }

    void run()
    {
        hashAll();
        // A hash that ended early (the file cut short or unreadable) takes nothing more.
        {
            const std::lock_guard lock(mMutex);
            mEnded = true;
        }
        mRoom.notify_all();
    }

    void hashAll()
    {
        QByteArray buffer(bufferSize, Qt::Uninitialized);
        qint64 position = 0;
        for (;;) {
            const Slot *slot = nullptr;
            qint64 readable = 0;
            {
                std::unique_lock lock(mMutex);
                mWork.wait(lock, [&] { return mStopped || mFilled > 0 || position < mReadable; });
                if (mStopped)
                    return;
                if (mFilled > 0 && mSlots[mFirst].offset == position)
                    slot = &mSlots[mFirst];
                else
                    readable = qMin(mReadable, mFilled > 0 ? mSlots[mFirst].offset : mReadable) - position;
            }
            if (slot) {
                mHash.addData(slot->bytes);
                position += slot->bytes.size();
                {
                    const std::lock_guard lock(mMutex);
                    mFirst = (mFirst + 1) % slotCount;
                    --mFilled;
                }
                mRoom.notify_one();
            } else if (readable > 0) {
                const qint64 count = readAt(buffer.data(), position, qMin(bufferSize, readable));
                if (count < 0)
                    return;
                if (count == 0) {
                    // The end of the file, unless it was cut short after the sender
                    // read further.
                    const std::lock_guard lock(mMutex);
                    if (mFilled == 0)
                        mDigest = mHash.result();
                    return;
                }
                mHash.addData(QByteArrayView(buffer.constData(), count));
                position += count;
            } else {
                // Handed-over bytes that do not follow what was hashed: the file changed
                // under the sender. Nothing whole can come of it.
                return;
            }
            mHashed = position;
        }
    }

    std::mutex mMutex;
    std::condition_variable mWork;
    std::condition_variable mRoom;
    Slot mSlots[slotCount];
    std::size_t mFirst = 0;
    std::size_t mFilled = 0;
    qint64 mReadable;
    bool mStopped = false;
    bool mEnded = false;
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
    mHasher = std::make_unique<FileHasher>(mFile, offset);
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 UploadSource::readData(char *data, qint64 maxSize)
{
    const qint64 count = mFile.read(data, maxSize);
    if (count < 0) {
        mReadFailed = true;
        setErrorString(mFile.errorString());
        return -1;
    }
    if (count > 0) {
        mHasher->push(mRead, data, count);
        mRead += count;
    }
    return count;
}

qint64 UploadSource::skipData(qint64 maxSize)
{
    if (!mFile.seek(mRead + maxSize)) {
        mReadFailed = true;
        setErrorString(mFile.errorString());
        return -1;
    }
    mRead += maxSize;
    mHasher->allowReading(mRead);
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

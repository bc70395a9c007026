#include "uploadsource.h"

#include "platform/boundedread.h"
#include "upload/sha256.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

// Hashes the bytes it is given in a thread of its own, from a few buffers of its own
// that are used over and over: a reader faster than the hash waits for a free one, so
// memory stays bounded and nothing is allocated per chunk.
class ChunkHasher
{
public:
    ChunkHasher()
        : mThread([this] { run(); })
    {
    }

    ~ChunkHasher() { finish(); }

    void push(const char *data, qint64 size)
    {
        while (size > 0) {
            std::size_t slot = 0;
            {
                std::unique_lock lock(mMutex);
                mRoom.wait(lock, [this] { return mFilled < slotCount; });
                slot = (mFirst + mFilled) % slotCount;
            }
            // The hashing thread does not look at a slot until it is counted as filled.
            const qint64 part = qMin(size, bufferSize);
            mBuffers[slot].resize(part);
            std::memcpy(mBuffers[slot].data(), data, size_t(part));
            {
                const std::lock_guard lock(mMutex);
                ++mFilled;
            }
            mWork.notify_one();
            data += part;
            size -= part;
        }
    }

    QByteArray finish()
    {
        if (mThread.joinable()) {
            {
                const std::lock_guard lock(mMutex);
                mDone = true;
            }
            mWork.notify_one();
            mThread.join();
            mDigest = mHash.result();
        }
        return mDigest;
    }

    static constexpr qint64 bufferSize = 256 * 1024;

private:
    // 4 MiB: on a busy machine the hashing thread may wait several milliseconds for a
    // processor, and the sender should not wait with it.
    static constexpr std::size_t slotCount = 16;

    void run()
    {
        for (;;) {
            std::size_t slot = 0;
            {
                std::unique_lock lock(mMutex);
                mWork.wait(lock, [this] { return mFilled > 0 || mDone; });
                if (mFilled == 0)
                    return;
                slot = mFirst;
            }
            mHash.addData(mBuffers[slot]);
            {
                const std::lock_guard lock(mMutex);
                mFirst = (mFirst + 1) % slotCount;
                --mFilled;
            }
            mRoom.notify_one();
        }
    }

    std::mutex mMutex;
    std::condition_variable mWork;
    std::condition_variable mRoom;
    QByteArray mBuffers[slotCount];
    std::size_t mFirst = 0;
    std::size_t mFilled = 0;
    bool mDone = false;
    Sha256 mHash;
    QByteArray mDigest;
    std::thread mThread; // last: starts when everything it uses is there
};

namespace {

constexpr qint64 chunkSize = 256 * 1024;

}

UploadSource::UploadSource(const QString &path, QObject *parent)
    : QIODevice(parent), mFile(path)
{
}

UploadSource::~UploadSource() = default;

bool UploadSource::openAt(qint64 offset, QString *error)
{
    // A pipe or a device in the list would hold the run (and the window) for ever.
    if (!BoundedRead::openRegularFile(mFile, error))
        return false;
    mHasher = std::make_unique<ChunkHasher>();
    if (!readAhead(offset)) {
        if (error)
            *error = mFile.errorString();
        mFile.close();
        return false;
    }
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool UploadSource::readAhead(qint64 until)
{
    QByteArray chunk;
    while (mRead < until) {
        chunk.resize(qMin(chunkSize, until - mRead));
        const qint64 count = mFile.read(chunk.data(), chunk.size());
        if (count <= 0)
            return false;
        mRead += count;
        mHasher->push(chunk.constData(), count);
    }
    return true;
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
        mRead += count;
        mHasher->push(data, count);
    }
    return count;
}

QByteArray UploadSource::finish()
{
    if (!mHasher)
        return QByteArray();
    bool whole = !mReadFailed;
    QByteArray chunk;
    while (whole) {
        chunk.resize(chunkSize);
        const qint64 count = mFile.read(chunk.data(), chunk.size());
        if (count < 0)
            whole = false;
        if (count <= 0)
            break;
        mRead += count;
        mHasher->push(chunk.constData(), count);
    }
    const QByteArray digest = mHasher->finish();
    mHasher.reset();
    close();
    mFile.close();
    return whole ? digest : QByteArray();
}

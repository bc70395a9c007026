#pragma once

#include <QList>

#include <chrono>

// Tells when a transfer has moved less than a minimum number of bytes per second,
// averaged over a whole window of time: a peer that takes a few bytes now and then
// never lets an idle limit run out, but cannot hold a transfer longer than the window
// either. Fed with the time and the bytes moved so far; it reads no clock itself.
class LowSpeedLimit
{
public:
    static constexpr qint64 defaultBytesPerSecond = 1024;

    explicit LowSpeedLimit(std::chrono::milliseconds window, qint64 bytesPerSecond = defaultBytesPerSecond);

    // How often the caller should look (record()): a small part of the window, so that
    // a slow transfer is caught soon after the window has passed.
    std::chrono::milliseconds checkInterval() const;

    // The transfer starts (again) at this time with this many bytes moved.
    void start(qint64 milliseconds, qint64 bytes);
    // Notes the bytes moved so far; true when less than the minimum rate moved over
    // the last window (and at least one whole window has passed since start()).
    bool tooSlow(qint64 milliseconds, qint64 bytes);

private:
    struct Sample
    {
        qint64 milliseconds;
        qint64 bytes;
    };

    qint64 mWindow;
    qint64 mBytesPerSecond;
    QList<Sample> mSamples;
};

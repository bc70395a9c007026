#include "lowspeedlimit.h"

#include <algorithm>

LowSpeedLimit::LowSpeedLimit(std::chrono::milliseconds window, qint64 bytesPerSecond)
    : mWindow(std::max<qint64>(window.count(), 1)), mBytesPerSecond(bytesPerSecond)
{
}

std::chrono::milliseconds LowSpeedLimit::checkInterval() const
{
    return std::chrono::milliseconds(std::max<qint64>(mWindow / 8, 10));
}

void LowSpeedLimit::start(qint64 milliseconds, qint64 bytes)
{
    mSamples = {{milliseconds, bytes}};
}

bool LowSpeedLimit::tooSlow(qint64 milliseconds, qint64 bytes)
{
    if (mSamples.isEmpty()) {
        start(milliseconds, bytes);
        return false;
    }
    mSamples.append({milliseconds, bytes});
    // The newest sample at least one window old is where the window starts; the older
    // ones are no longer needed.
    qsizetype base = -1;
    for (qsizetype i = 0; i < mSamples.size(); ++i) {
        if (milliseconds - mSamples.at(i).milliseconds >= mWindow)
            base = i;
    }
    if (base < 0)
        return false;
    mSamples.remove(0, base);
    const Sample &from = mSamples.first();
    const qint64 elapsed = milliseconds - from.milliseconds;
    return (bytes - from.bytes) * 1000 < mBytesPerSecond * elapsed;
}

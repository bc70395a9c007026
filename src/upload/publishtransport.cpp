#include "publishtransport.h"

bool PublishTransport::begin(Operation operation, const QString &busyMessage)
{
    if (!mOperation) {
        mOperation = operation;
        return true;
    }
    QMetaObject::invokeMethod(
        this,
        [this, generation = mGeneration, operation, busyMessage] {
            if (generation == mGeneration)
                emit finished(operation, TransportResult::failure(TransportResult::Status::Failed, busyMessage));
        },
        Qt::QueuedConnection);
    return false;
}

void PublishTransport::finish(const TransportResult &result)
{
    const Operation operation = *mOperation;
    mOperation.reset();
    emit finished(operation, result);
}

void PublishTransport::dropOperation()
{
    ++mGeneration;
    mOperation.reset();
}

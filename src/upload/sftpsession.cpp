#include "sftpsession.h"

#include "upload/sftpworker.h"

#include <QHostInfo>
#include <QThread>

namespace {

QString notReady() { return QStringLiteral("SFTP session not ready"); }
QString notConnected() { return QStringLiteral("SFTP session not connected"); }

}

SftpSession::SftpSession(QObject *parent)
    : QObject(parent), mCutter(std::make_shared<SocketCutter>())
{
    qRegisterMetaType<SftpResult>();
    mThread = new QThread;
    mThread->setObjectName(QStringLiteral("sftp"));
    mWorker = new SftpWorker(mCutter);
    mWorker->moveToThread(mThread);
    connect(mThread, &QThread::finished, mWorker, &QObject::deleteLater);
    connect(mWorker, &SftpWorker::finished, this, &SftpSession::workerFinished);
    connect(mWorker, &SftpWorker::progressed, this, &SftpSession::workerProgress);
    mThread->start();

    mIdleTimer.setSingleShot(true);
    connect(&mIdleTimer, &QTimer::timeout, this, &SftpSession::timedOut);
    connect(&mSpeedTimer, &QTimer::timeout, this, &SftpSession::checkSpeed);
}

SftpSession::~SftpSession()
{
    cut();
    mThread->quit();
    // Cutting the socket frees a worker blocked on the server. Should it be blocked on
    // something else (an SSH agent that hangs), the thread ends on its own later.
    if (mThread->wait(5000)) {
        delete mThread;
    } else {
        connect(mThread, &QThread::finished, mThread, &QObject::deleteLater);
    }
}

template<typename Job>
void SftpSession::post(Job job)
{
    QMetaObject::invokeMethod(mWorker, [worker = mWorker, job = std::move(job)] { job(*worker); }, Qt::QueuedConnection);
}

void SftpSession::begin(SftpRequest request)
{
    if (isBusy())
        throw SftpException(notReady());
    if (request != SftpRequest::Connect && request != SftpRequest::Quit && !mConnected)
        throw SftpException(notConnected());
    mRequest = request;
    mError = SftpError::None;
    mErrorString.clear();
    if (IdleTimeout.count() > 0)
        mIdleTimer.start(IdleTimeout);
}

void SftpSession::connectToHost(const SftpLogin &login)
{
    if (mConnected && !isBusy())
        cut();
    begin(SftpRequest::Connect);
    mLogin = login;
    mServerKey = {};
    mExpectedKey.clear();
    mHome.clear();
    QHostAddress literal;
    if (literal.setAddress(login.host)) {
        QHostInfo info;
        info.setAddresses({literal});
        QMetaObject::invokeMethod(this, [this, info] { lookedUp(info); }, Qt::QueuedConnection);
        return;
    }
    mLookupId = QHostInfo::lookupHost(login.host, this, &SftpSession::lookedUp);
}

void SftpSession::lookedUp(const QHostInfo &info)
{
    mLookupId = -1;
    if (mRequest != SftpRequest::Connect)
        return;
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        finish(SftpError::HostNotFound, QStringLiteral("Host not found: %1").arg(mLogin.host));
        return;
    }
    if (mLogin.port == 0) {
        finish(SftpError::ConnectionFailed, QStringLiteral("The port must be a number from 1 to 65535"));
        return;
    }
    post([generation = mGeneration, addresses = info.addresses(), login = mLogin,
          timeout = IdleTimeout.count() > 0 ? IdleTimeout : std::chrono::milliseconds(std::chrono::hours(1))](SftpWorker &worker) {
        worker.connectToHost(generation, addresses, login, timeout);
    });
}

void SftpSession::makeDir(const QString &path)
{
    begin(SftpRequest::MakeDir);
    post([generation = mGeneration, path = path.toUtf8()](SftpWorker &worker) { worker.makeDir(generation, path); });
}

void SftpSession::stat(const QString &path)
{
    begin(SftpRequest::Stat);
    mRemoteFile = {};
    post([generation = mGeneration, path = path.toUtf8()](SftpWorker &worker) { worker.stat(generation, path); });
}

void SftpSession::list(const QString &path)
{
    begin(SftpRequest::List);
    mNames.clear();
    post([generation = mGeneration, path = path.toUtf8()](SftpWorker &worker) { worker.list(generation, path); });
}

void SftpSession::put(QIODevice *source, const QString &remotePath, qint64 offset)
{
    begin(SftpRequest::Put);
    mBytesSent = offset;
    mSource = std::make_shared<SharedSource>(source);
    if (IdleTimeout.count() > 0) {
        mClock.start();
        mLowSpeed.emplace(IdleTimeout);
        mLowSpeed->start(0, offset);
        mSpeedTimer.start(mLowSpeed->checkInterval());
    }
    post([generation = mGeneration, source = mSource, path = remotePath.toUtf8(), offset](SftpWorker &worker) {
        worker.put(generation, *source, path, offset);
    });
}

void SftpSession::rename(const QString &from, const QString &to)
{
    begin(SftpRequest::Rename);
    post([generation = mGeneration, from = from.toUtf8(), to = to.toUtf8()](SftpWorker &worker) { worker.rename(generation, from, to); });
}

void SftpSession::remove(const QString &path)
{
    begin(SftpRequest::Remove);
    post([generation = mGeneration, path = path.toUtf8()](SftpWorker &worker) { worker.remove(generation, path); });
}

void SftpSession::quit()
{
    begin(SftpRequest::Quit);
    post([generation = mGeneration](SftpWorker &worker) { worker.quit(generation); });
}

void SftpSession::abort()
{
    cut();
    mIdleTimer.stop();
    mSpeedTimer.stop();
    mRequest = SftpRequest::None;
}

void SftpSession::cut()
{
    releaseSource();
    if (mLookupId >= 0) {
        QHostInfo::abortHostLookup(mLookupId);
        mLookupId = -1;
    }
    mCutter->cut(mGeneration);
    ++mGeneration;
    mConnected = false;
    post([](SftpWorker &worker) { worker.drop(); });
}

void SftpSession::workerFinished(quint64 generation, const SftpResult &result)
{
    if (generation != mGeneration || mRequest == SftpRequest::None)
        return;
    switch (mRequest) {
    case SftpRequest::Connect:
        mServerKey = result.serverKey;
        mExpectedKey = result.expectedKey;
        mHome = result.home;
        mConnected = result.error == SftpError::None;
        break;
    case SftpRequest::Stat:
        mRemoteFile = result.remoteFile;
        break;
    case SftpRequest::List:
        mNames = result.names;
        break;
    case SftpRequest::Put:
        if (result.error == SftpError::None)
            mBytesSent = result.bytes;
        break;
    case SftpRequest::Quit:
        mConnected = false;
        break;
    default:
        break;
    }
    // After these the connection cannot be used any more.
    if (result.error == SftpError::ConnectionLost || result.error == SftpError::TimedOut)
        cut();
    finish(result.error, result.message);
}

void SftpSession::workerProgress(quint64 generation, qint64 bytes)
{
    if (generation != mGeneration || mRequest != SftpRequest::Put)
        return;
    mBytesSent = bytes;
    if (IdleTimeout.count() > 0)
        mIdleTimer.start(IdleTimeout);
    emit progress(bytes);
}

void SftpSession::releaseSource()
{
    if (mSource)
        mSource->release();
    mSource.reset();
}

void SftpSession::finish(SftpError error, const QString &message)
{
    releaseSource();
    mIdleTimer.stop();
    mSpeedTimer.stop();
    const SftpRequest request = mRequest;
    mRequest = SftpRequest::None;
    mError = error;
    mErrorString = message;
    emit done(request, error);
}

void SftpSession::timedOut()
{
    if (!isBusy())
        return;
    cut();
    finish(SftpError::TimedOut, QStringLiteral("The server did not answer for %1 seconds").arg(IdleTimeout.count() / 1000.0));
}

void SftpSession::checkSpeed()
{
    if (!isBusy() || !mLowSpeed || !mLowSpeed->tooSlow(mClock.elapsed(), mBytesSent))
        return;
    cut();
    finish(SftpError::TimedOut, QStringLiteral("The server took less than %1 bytes a second for %2 seconds")
                                    .arg(LowSpeedLimit::defaultBytesPerSecond)
                                    .arg(IdleTimeout.count() / 1000.0));
}

#include "ftpclient.h"

#include "upload/ftpdataconnection.h"

#include <QHostInfo>
#include <QSslSocket>

#include <algorithm>

namespace {

QString notReadyText() { return QStringLiteral("FTP component not ready"); }

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

}

TFtpClient::TFtpClient(QObject *parent)
    : QObject(parent)
{
    mIdleTimer.setSingleShot(true);
    connect(&mIdleTimer, &QTimer::timeout, this, [this] { guarded(true, [this] { timedOut(); }); });
    connect(&mSpeedTimer, &QTimer::timeout, this, [this] { guarded(true, [this] { checkSpeed(); }); });
}

TFtpClient::~TFtpClient()
{
    releaseSockets();
}

bool TFtpClient::IsConnected() const
{
    return mControl && mControl->state() != QAbstractSocket::UnconnectedState;
}

void TFtpClient::StartConnect()
{
    checkReady(true, false);
    QList<Step> steps{Step::Connect, Step::Features, Step::User, Step::Pass};
    // Nothing but the greeting and AUTH go out before TLS is up, and the data
    // connections are protected as soon as the login allows it.
    mSecureSession = Security == ftpSecurityTLS;
    if (mSecureSession) {
        steps.insert(1, Step::AuthTls);
        steps.append({Step::ProtectionBuffer, Step::Protection});
    }
    begin(rqConnect, steps, {UserName, PassWord});
}

void TFtpClient::StartChangeDir()
{
    checkReady(false, true);
    if (HostDirName.isEmpty())
        throw FtpException(QStringLiteral("HostDirName emtpy"));
    startSingle(rqChangeDir, QStringLiteral("CWD ") + HostDirName, {200, 250, 257}, {HostDirName});
}

void TFtpClient::StartPrintDir()
{
    checkReady(false, true);
    startSingle(rqPrintDir, QStringLiteral("PWD"), {250, 257});
}

void TFtpClient::StartSetType()
{
    checkReady(false, true);
    startSingle(rqSetType, Binary ? QStringLiteral("TYPE I") : QStringLiteral("TYPE A"), {200});
}

void TFtpClient::StartMakeDir()
{
    checkReady(false, true);
    startSingle(rqMakeDir, QStringLiteral("MKD ") + HostFileName, {257}, {HostFileName});
}

void TFtpClient::StartPut()
{
    checkReady(false, false);
    if (!mConnected)
        throw FtpException(QStringLiteral("STOR/APPE: not connected"));
    if (LocalFileName.isEmpty())
        throw FtpException(QStringLiteral("LocalFileName empty"));
    if (RestartOffset > 0)
        begin(rqPut, {Step::DataPort, Step::Restart, Step::Store}, {HostFileName});
    else
        begin(rqPut, {Step::DataPort, Step::Store}, {HostFileName});
}

void TFtpClient::StartSize()
{
    checkReady(false, true);
    checkFileName(HostFileName);
    mRemoteSize = -1;
    startSingle(rqSize, QStringLiteral("SIZE ") + HostFileName, {213}, {HostFileName}, ReplyHandler::Size);
}

void TFtpClient::StartRename()
{
    checkReady(false, true);
    checkFileName(HostFileName);
    checkFileName(RenameTo);
    begin(rqRename, {Step::RenameFrom, Step::RenameTo}, {HostFileName, RenameTo});
}

void TFtpClient::StartDelete()
{
    checkReady(false, true);
    checkFileName(HostFileName);
    startSingle(rqDelete, QStringLiteral("DELE ") + HostFileName, {250, 200}, {HostFileName});
}

void TFtpClient::StartList()
{
    checkReady(false, true);
    mListing.clear();
    begin(rqList, {Step::DataPort, Step::List}, {ListCommand});
}

void TFtpClient::StartMlst()
{
    checkReady(false, true);
    checkFileName(HostFileName);
    mFacts.clear();
    startSingle(rqMlst, QStringLiteral("MLST ") + HostFileName, {250}, {HostFileName}, ReplyHandler::Mlst);
}

void TFtpClient::StartQuit()
{
    checkReady(false, true);
    startSingle(rqQuit, QStringLiteral("QUIT"), {221});
}

void TFtpClient::AbortConnection()
{
    const TFtpState before = mState;
    releaseSockets();
    mState = TFtpState::Ready;
    if (before != TFtpState::Ready)
        post(false, [this] { emit OnStateChange(); });
}

void TFtpClient::checkReady(bool startsWithConnect, bool needsConnection) const
{
    if (startsWithConnect && mConnected)
        throw FtpException(QStringLiteral("FTP component already connected"));
    if (mRequestActive || (mState != TFtpState::Ready && mState != TFtpState::BetweenSteps))
        throw FtpException(notReadyText());
    if (needsConnection && !mConnected)
        throw FtpException(QStringLiteral("FTP component not connected"));
}

void TFtpClient::checkFileName(const QString &name) const
{
    if (name.isEmpty())
        throw FtpException(QStringLiteral("HostFileName empty"));
}

void TFtpClient::startSingle(TFtpRequest request, const QString &command, QList<int> expected, const QStringList &arguments,
                             ReplyHandler handler)
{
    mSingleCommand = command;
    mSingleExpected = std::move(expected);
    mSingleHandler = handler;
    begin(request, {Step::Single}, arguments);
}

void TFtpClient::begin(TFtpRequest request, QList<Step> steps, const QStringList &arguments)
{
    mRequest = request;
    if (steps.first() != Step::Single) {
        mErrorMessage.clear();
        mLastResponse.clear();
    }
    mRequestResult = 0;
    mRequestError.clear();
    mPendingSteps = std::move(steps);
    mUnsafeArguments = std::any_of(arguments.cbegin(), arguments.cend(), hasLineBreak);
    mRequestActive = true;
    touch();
    // The first step runs from the event loop, so that nothing the request reports
    // (state, command trace, completion) reaches a handler inside the starting call.
    post(true, [this] { kick(); });
}

void TFtpClient::kick()
{
    // A line break inside an argument would end the command early and let the rest of
    // the argument reach the server as a command of its own.
    if (mUnsafeArguments) {
        failStep(501, 501, QStringLiteral("501 Line break in a command argument"));
        return;
    }
    runNextStep();
}

void TFtpClient::runNextStep()
{
    if (mPendingSteps.isEmpty()) {
        complete(0);
        return;
    }
    mLastStep = mPendingSteps.takeFirst();
    switch (mLastStep) {
    case Step::Single:
        sendCommand(mSingleCommand, mSingleExpected, mSingleHandler, mRequest == rqQuit);
        break;
    case Step::Connect:
        lookUp();
        break;
    case Step::AuthTls:
        sendCommand(QStringLiteral("AUTH TLS"), {234}, ReplyHandler::AuthTls);
        break;
    case Step::Features:
        mFeatures.clear();
        sendCommand(QStringLiteral("FEAT"), {211}, ReplyHandler::Features);
        break;
    case Step::Utf8:
        sendCommand(QStringLiteral("OPTS UTF8 ON"), {}, ReplyHandler::AnyReply);
        break;
    case Step::ProtectionBuffer:
        sendCommand(QStringLiteral("PBSZ 0"), {200}, ReplyHandler::Generic);
        break;
    case Step::Protection:
        sendCommand(QStringLiteral("PROT P"), {200}, ReplyHandler::Generic);
        break;
    case Step::User:
        sendUser();
        break;
    case Step::Pass:
        sendPass();
        break;
    case Step::DataPort:
        openDataPort();
        break;
    case Step::Restart:
        sendCommand(QStringLiteral("REST %1").arg(RestartOffset), {350}, ReplyHandler::Generic);
        break;
    case Step::Store:
        startStore();
        break;
    case Step::List:
        startList();
        break;
    case Step::RenameFrom:
        sendCommand(QStringLiteral("RNFR ") + HostFileName, {350}, ReplyHandler::Generic);
        break;
    case Step::RenameTo:
        sendCommand(QStringLiteral("RNTO ") + RenameTo, {250, 200}, ReplyHandler::Generic);
        break;
    }
}

void TFtpClient::stepDone(int result)
{
    if (result != 0 || mPendingSteps.isEmpty()) {
        complete(result);
        return;
    }
    const quint64 generation = mGeneration;
    setState(TFtpState::BetweenSteps);
    if (alive(generation))
        runNextStep();
}

void TFtpClient::complete(int error)
{
    if (!mRequestActive)
        return;
    mRequestActive = false;
    mIdleTimer.stop();
    mPendingSteps.clear();
    mReplyHandler = ReplyHandler::None;
    mCloseAfterReply = false;
    dropData();
    const TFtpRequest request = mRequest;
    post(false, [this, request, error] { emit OnRequestDone(request, quint16(error)); });
    setState(TFtpState::Ready);
}

void TFtpClient::failStep(int status, int error, const QString &message, bool traced)
{
    setError(message);
    mStatusCode = status;
    mRequestResult = status;
    if (traced) {
        const quint64 generation = mGeneration;
        trace(QStringLiteral("! ") + message);
        if (!alive(generation))
            return;
    }
    complete(error);
}

std::chrono::milliseconds TFtpClient::requestLimit() const
{
    std::chrono::milliseconds limit = IdleTimeout;
    if (mRequest == rqQuit && QuitTimeout.count() > 0 && (limit.count() <= 0 || QuitTimeout < limit))
        limit = QuitTimeout;
    return limit;
}

// Anything that shows the request is still moving (a reply, a lookup or connect
// finishing, data taken by the network) starts its idle time again; but a reply that
// has begun must be whole within the limit however often its bytes come.
void TFtpClient::touch()
{
    if (!mRequestActive)
        return;
    std::chrono::milliseconds limit = requestLimit();
    if (limit.count() <= 0) {
        mIdleTimer.stop();
        return;
    }
    if (mReplyStarted.isValid())
        limit = std::clamp(limit - std::chrono::milliseconds(mReplyStarted.elapsed()), std::chrono::milliseconds(0), limit);
    mIdleTimer.start(limit);
}

// A server that stops answering, or stops taking data, would otherwise hold the
// request for ever. Nothing said on the connection afterwards can be trusted to
// belong to the next request, so the connection goes with it.
void TFtpClient::timedOut()
{
    if (!mRequestActive)
        return;
    const quint64 generation = mGeneration;
    const qint64 limit = requestLimit().count();
    if (mReplyStarted.isValid() && mReplyStarted.elapsed() >= limit)
        trace(QStringLiteral("! Reply not complete %1 ms after its first byte: request timed out").arg(mReplyStarted.elapsed()));
    else
        trace(QStringLiteral("! No reply or progress for %1 ms: request timed out").arg(mIdleTimer.interval()));
    if (alive(generation))
        giveUp(WinsockErrors::WSAETIMEDOUT, WinsockErrors::failureText(WinsockErrors::WSAETIMEDOUT));
}

// As curl's low-speed limit: a data connection that the server
// reads a few bytes at a time never goes idle, but cannot hold the store either.
void TFtpClient::checkSpeed()
{
    if (!mRequestActive || !mData || !mLowSpeed) {
        mSpeedTimer.stop();
        return;
    }
    const qint64 moved = mByteCount - mData->pendingBytes();
    // Once the whole file is with the network, waiting for the server is the idle
    // limit's business.
    if (mEndOfFile && moved == mByteCount) {
        mSpeedTimer.stop();
        return;
    }
    if (!mLowSpeed->tooSlow(mStartTick.elapsed(), moved))
        return;
    const quint64 generation = mGeneration;
    trace(QStringLiteral("! Less than %1 bytes a second sent over %2 ms: request timed out")
              .arg(LowSpeedLimit::defaultBytesPerSecond)
              .arg(requestLimit().count()));
    if (alive(generation))
        giveUp(WinsockErrors::WSAETIMEDOUT, WinsockErrors::failureText(WinsockErrors::WSAETIMEDOUT));
}

void TFtpClient::giveUp(int error, const QString &message)
{
    const quint64 generation = mGeneration;
    const bool wasConnected = mConnected;
    closeConnections();
    setError(message);
    mStatusCode = 500;
    mRequestResult = error;
    if (wasConnected) {
        emit OnSessionClosed(quint16(error));
        if (!alive(generation))
            return;
    }
    complete(error);
}

void TFtpClient::closeConnections()
{
    if (mLookupId >= 0) {
        QHostInfo::abortHostLookup(mLookupId);
        mLookupId = -1;
    }
    dropData();
    if (mControl) {
        mControl->disconnect(this);
        mControl->abort();
        mControl->deleteLater();
        mControl = nullptr;
    }
    mConnected = false;
    mClosingControl = false;
    mAwaitingTls = false;
    mReader.clear();
    resetReply();
}

void TFtpClient::releaseSockets()
{
    ++mGeneration;
    mIdleTimer.stop();
    closeConnections();
    mPendingSteps.clear();
    mRequestActive = false;
    mReplyHandler = ReplyHandler::None;
    mCloseAfterReply = false;
}

void TFtpClient::setState(TFtpState state)
{
    if (mState == state)
        return;
    mState = state;
    emit OnStateChange();
}

void TFtpClient::setError(const QString &text)
{
    if (mErrorMessage.isEmpty())
        mErrorMessage = text;
    if (mRequestError.isEmpty())
        mRequestError = text;
}

void TFtpClient::trace(QString text)
{
    emit OnDisplay(text);
}

void TFtpClient::post(bool fromSocket, std::function<void()> work)
{
    const quint64 generation = mGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, generation, fromSocket, work = std::move(work)] {
            if (alive(generation))
                guarded(fromSocket, work);
        },
        Qt::QueuedConnection);
}

void TFtpClient::guarded(bool fromSocket, const std::function<void()> &work)
{
    try {
        work();
    } catch (const std::exception &e) {
        bool canAbort = fromSocket;
        try {
            emit OnBgException(QString::fromUtf8(e.what()), canAbort);
        } catch (const std::exception &) {
            canAbort = true;
        }
        if (canAbort)
            AbortConnection();
    }
}

#include "ftpclient.h"

#include "platform/boundedread.h"
#include "platform/cp1252.h"
#include "upload/certificatefingerprint.h"
#include "upload/ftpdataconnection.h"

#include <QHostInfo>
#include <QRegularExpression>
#include <QSslSocket>

#include <algorithm>

namespace {

// Progress is reported per block of 1514 bytes, as callers know it. The file is read and
// handed to the socket a chunk of whole blocks at a time, and a new chunk is queued as
// soon as less than one chunk waits to be sent, so the network never waits for the
// event loop and no more than two chunks are held whatever the file's size.
constexpr qint64 blockSize = 1514;
constexpr qint64 chunkSize = blockSize * 173; // about 256 KiB

QString notReadyText() { return QStringLiteral("FTP component not ready"); }

// The port property holds a number or the service name "ftp".
quint16 portNumber(const QString &port)
{
    const QString text = port.trimmed();
    if (text.isEmpty())
        throw SocketException(QStringLiteral("Connect: No Port Specified"));
    bool ok = false;
    const uint number = text.toUInt(&ok);
    if (ok && number > 0 && number < 65536)
        return quint16(number);
    if (text.compare(u"ftp", Qt::CaseInsensitive) == 0)
        return 21;
    throw SocketException(QStringLiteral("Connect: Cannot convert port '%1'").arg(port));
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

bool isTlsError(QAbstractSocket::SocketError error)
{
    return error == QAbstractSocket::SslHandshakeFailedError || error == QAbstractSocket::SslInternalError
        || error == QAbstractSocket::SslInvalidUserDataError;
}

// "229 Entering Extended Passive Mode (|||6446|)": the port, or 0.
quint16 extendedPassivePort(const QString &line)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\(([!-~])\1\1(\d{1,5})\1\))"));
    const QRegularExpressionMatch match = pattern.match(line);
    const uint port = match.hasMatch() ? match.captured(2).toUInt() : 0;
    return port < 65536 ? quint16(port) : 0;
}

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)": false when the reply names no
// address and port.
bool passiveAddress(const QString &line, QHostAddress *address, quint16 *port)
{
    static const QRegularExpression pattern(QStringLiteral(R"((\d{1,3}),(\d{1,3}),(\d{1,3}),(\d{1,3}),(\d{1,3}),(\d{1,3}))"));
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return false;
    uint n[6];
    for (int i = 0; i < 6; ++i) {
        n[i] = match.captured(i + 1).toUInt();
        if (n[i] > 255)
            return false;
    }
    *address = QHostAddress((n[0] << 24) | (n[1] << 16) | (n[2] << 8) | n[3]);
    *port = quint16(n[4] << 8 | n[5]);
    return *port != 0;
}

// A listing's lines as the user would read them, without line ends or empty lines.
QStringList listingLines(const QByteArray &bytes)
{
    QStringList lines;
    const QList<QByteArray> raw = bytes.split('\n');
    for (QByteArray line : raw) {
        while (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(decodeReplyText(line));
    }
    return lines;
}

QString tlsRefusedText(int code, const QString &line)
{
    return QStringLiteral("%1 The server does not offer FTP over TLS (it answered AUTH TLS with \"%2\"). "
                          "Encryption can be turned off in the server profile, at your own risk: the password "
                          "and the files then cross the network readable by anyone on the way.")
        .arg(code)
        .arg(line);
}

QString certificateRefusal(const QList<QSslError> &errors, const QString &fingerprint)
{
    QStringList reasons;
    for (const QSslError &error : errors)
        reasons.append(error.errorString());
    reasons.removeDuplicates();
    return QStringLiteral("500 The server's certificate is not trusted (%1). SHA-256 fingerprint: %2")
        .arg(reasons.join(QStringLiteral("; ")), fingerprint);
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
    if (Security == ftpSecurityTLS) {
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

void TFtpClient::lookUp()
{
    const quint64 generation = mGeneration;
    setState(TFtpState::LookingUp);
    if (alive(generation))
        mLookupId = QHostInfo::lookupHost(HostName, this, &TFtpClient::lookedUp);
}

void TFtpClient::lookedUp(const QHostInfo &info)
{
    if (info.lookupId() != mLookupId || mState != TFtpState::LookingUp)
        return;
    mLookupId = -1;
    touch();
    guarded(true, [this, &info] {
        const QList<QHostAddress> addresses = info.addresses();
        if (info.error() != QHostInfo::NoError || addresses.isEmpty()) {
            const int error = info.error() == QHostInfo::NoError ? 11004 : WinsockErrors::fromHostInfoError(info.error());
            failStep(500, error, WinsockErrors::failureText(error));
            return;
        }
        // Active data connections are announced with PORT, which only speaks IPv4.
        QHostAddress address = addresses.first();
        for (const QHostAddress &candidate : addresses) {
            if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                address = candidate;
                break;
            }
        }
        quint16 port = 0;
        try {
            port = portNumber(Port);
        } catch (const SocketException &e) {
            failStep(500, 500, QStringLiteral("500 SocketException: ") + e.message());
            return;
        }
        mControl = new QSslSocket(this);
        connect(mControl, &QSslSocket::connected, this, [this] { guarded(true, [this] { controlConnected(); }); });
        connect(mControl, &QSslSocket::errorOccurred, this, [this] { guarded(true, [this] { controlError(); }); });
        connect(mControl, &QSslSocket::readyRead, this, [this] { guarded(true, [this] { controlReadyRead(); }); });
        connect(mControl, &QSslSocket::disconnected, this, [this] { guarded(true, [this] { controlClosed(); }); });
        connect(mControl, &QSslSocket::sslErrors, this, [this] { guarded(true, [this] { controlSslErrors(); }); });
        connect(mControl, &QSslSocket::encrypted, this, [this] {
            guarded(true, [this] {
                touch();
                mAwaitingTls = false;
                mTlsActive = true;
                stepDone(0);
            });
        });
        mReader.clear();
        resetReply();
        mUtf8 = false;
        mTlsActive = false;
        mAwaitingTls = false;
        mRefusedCertificate.clear();
        mReader.setAcceptLF(Options.testFlag(ftpAcceptLF));
        mControlError = 0;
        mClosingControl = false;
        const quint64 generation = mGeneration;
        setState(TFtpState::WaitingGreeting);
        if (alive(generation))
            mControl->connectToHost(address, port);
    });
}

void TFtpClient::controlConnected()
{
    mConnected = true;
    touch();
}

void TFtpClient::controlError()
{
    if (!mControl)
        return;
    const QAbstractSocket::SocketError socketError = mControl->error();
    const int error = WinsockErrors::fromSocketError(socketError);
    if (!mConnected) {
        if (mState != TFtpState::WaitingGreeting)
            return;
        mControl->disconnect(this);
        mControl->abort();
        mControl->deleteLater();
        mControl = nullptr;
        failStep(500, error, WinsockErrors::failureText(error));
        return;
    }
    if (isTlsError(socketError) && mRequestActive && mRequestResult == 0) {
        setError(QStringLiteral("500 TLS handshake failed: ") + mControl->errorString());
        mStatusCode = 500;
        mRequestResult = 500;
    }
    // An orderly close by the server is no error of the session.
    mControlError = socketError == QAbstractSocket::RemoteHostClosedError ? 0 : error;
    if (mControl->state() == QAbstractSocket::UnconnectedState)
        controlClosed();
}

void TFtpClient::controlReadyRead()
{
    const quint64 generation = mGeneration;
    QSslSocket *socket = mControl;
    while (alive(generation) && socket && mControl == socket && !mClosingControl && socket->bytesAvailable() > 0) {
        const int room = mReader.freeSpace();
        if (room <= 0) {
            // A reply line that does not fit the receive buffer cannot be read: the
            // connection is given up, and the request it belongs to has failed.
            if (mRequestActive && mRequestResult == 0) {
                setError(QStringLiteral("500 Reply line too long"));
                mRequestResult = 500;
            }
            closeControl();
            return;
        }
        if (!mReplyStarted.isValid())
            mReplyStarted.start();
        touch();
        const QList<QByteArray> lines = mReader.append(socket->read(room));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const bool final = FtpReplyLine::parse(lines[i]).final;
            if (!countReplyLine(lines[i], final))
                return;
            handleLine(lines[i]);
            if (!alive(generation) || mControl != socket || mClosingControl)
                return;
            // The next reply's time starts with its own first byte.
            if (final)
                touch();
            if (!mAwaitingTls)
                continue;
            // The server speaks no more clear text after accepting AUTH TLS: anything
            // else that came with the reply would be taken as said inside TLS.
            if (i + 1 < lines.size() || mReader.pendingBytes() > 0 || socket->bytesAvailable() > 0) {
                setError(QStringLiteral("500 Unexpected data after AUTH TLS"));
                mStatusCode = 500;
                mRequestResult = 500;
                mClosingControl = true;
                socket->abort();
            }
            return;
        }
        if (mReader.pendingBytes() > 0 && !mReplyStarted.isValid()) {
            mReplyStarted.start();
            touch();
        }
    }
}

// Counts a line into the reply it belongs to; false when that makes the reply too long,
// and the connection has been given up. A final line ends the reply.
bool TFtpClient::countReplyLine(const QByteArray &raw, bool final)
{
    if (!mReplyStarted.isValid())
        mReplyStarted.start();
    ++mReplyLines;
    mReplyBytes += raw.size() + 1;
    if (mReplyLines > maximumReplyLines || mReplyBytes > maximumReplyBytes) {
        const QString message = mReplyLines > maximumReplyLines
            ? QStringLiteral("500 The server's reply is too long (more than %1 lines)").arg(maximumReplyLines)
            : QStringLiteral("500 The server's reply is too long (more than %1 bytes)").arg(maximumReplyBytes);
        const quint64 generation = mGeneration;
        trace(QStringLiteral("! ") + message);
        if (alive(generation))
            giveUp(500, message);
        return false;
    }
    if (final)
        resetReply();
    return true;
}

void TFtpClient::resetReply()
{
    mReplyStarted.invalidate();
    mReplyLines = 0;
    mReplyBytes = 0;
}

void TFtpClient::closeControl()
{
    if (!mControl)
        return;
    mClosingControl = true;
    mControl->disconnectFromHost();
}

void TFtpClient::controlClosed()
{
    if (!mConnected || !mControl)
        return;
    mConnected = false;
    const bool byUs = mClosingControl;
    const int error = byUs ? 0 : mControlError;
    mClosingControl = false;
    mControl->disconnect(this);
    mControl->deleteLater();
    mControl = nullptr;
    mReader.clear();
    resetReply();

    const quint64 generation = mGeneration;
    setState(TFtpState::NotConnected);
    if (!alive(generation))
        return;
    setState(TFtpState::BetweenSteps);
    if (!alive(generation))
        return;
    emit OnSessionClosed(quint16(error));
    if (!alive(generation))
        return;
    if (!mRequestActive) {
        setState(TFtpState::Ready);
        return;
    }
    // Losing the connection in the middle of any request but QUIT is a failure, even
    // when every reply so far was a good one.
    if (!byUs && mRequest != rqQuit && mRequestResult == 0) {
        if (error != 0) {
            setError(WinsockErrors::failureText(error));
            mRequestResult = error;
        } else {
            setError(QStringLiteral("421 Connection closed by the server"));
            mRequestResult = 421;
        }
    }
    complete(mRequestResult);
}

void TFtpClient::handleLine(const QByteArray &raw)
{
    const QString line = decodeReplyText(raw);
    mLastResponse = line;
    const quint64 generation = mGeneration;
    emit OnResponse();
    if (!alive(generation))
        return;
    const FtpReplyLine reply = FtpReplyLine::parse(raw);
    switch (mState) {
    case TFtpState::WaitingGreeting:
        trace(QStringLiteral("< ") + line);
        if (!alive(generation) || !reply.final)
            return;
        mStatusCode = reply.code;
        if (reply.code == 220) {
            setState(TFtpState::Connected);
            if (!alive(generation))
                return;
            emit OnSessionConnected(0);
            if (alive(generation))
                stepDone(0);
        } else {
            setError(line);
            mRequestResult = reply.code;
            closeControl();
        }
        return;
    case TFtpState::WaitingReply:
        switch (mReplyHandler) {
        case ReplyHandler::Generic:
        case ReplyHandler::AnyReply:
            genericReply(line, reply);
            return;
        case ReplyHandler::Features:
            featuresReply(line, reply);
            return;
        case ReplyHandler::AuthTls:
            authReply(line, reply);
            return;
        case ReplyHandler::Passive:
            passiveReply(line, reply);
            return;
        case ReplyHandler::Store:
            storeReply(line, reply);
            return;
        case ReplyHandler::Size:
            sizeReply(line, reply);
            return;
        case ReplyHandler::Mlst:
            mlstReply(line, reply);
            return;
        case ReplyHandler::None:
            trace(QStringLiteral("< ") + line);
            return;
        }
        return;
    default:
        trace(QStringLiteral("< ") + line);
        return;
    }
}

void TFtpClient::sendCommand(QString command, QList<int> expected, ReplyHandler handler, bool closeAfterReply)
{
    const quint64 generation = mGeneration;
    emit OnCommand(command);
    if (!alive(generation))
        return;
    if (!mConnected || !mControl) {
        failStep(500, 10057, WinsockErrors::failureText(10057));
        return;
    }
    mExpected = std::move(expected);
    mReplyHandler = handler;
    mCloseAfterReply = closeAfterReply;
    setState(TFtpState::WaitingReply);
    if (!alive(generation))
        return;
    // Without UTF8 among the server's features, names and credentials go out in
    // Windows-1252, and one that it cannot carry is not sent at all rather than sent
    // mangled (a file stored under another name, a login that fails for no reason).
    if (!mUtf8 && !Cp1252::canEncode(command)) {
        const qsizetype blank = command.indexOf(u' ');
        const QString verb = command.left(blank);
        const QString what = verb == u"PASS" ? QStringLiteral("The password") : u'"' + command.mid(blank + 1) + u'"';
        failStep(501, 501, QStringLiteral("501 %1 cannot be sent: it has characters outside Windows-1252, and the server does not announce UTF-8").arg(what));
        return;
    }
    const QByteArray bytes = (mUtf8 ? command.toUtf8() : Cp1252::encode(command)) + "\r\n";
    trace(QStringLiteral("> ") + command);
    if (!alive(generation) || !mControl)
        return;
    mControl->write(bytes);
}

void TFtpClient::genericReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final)
        return;
    finishSingle(line, reply);
}

void TFtpClient::sizeReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final)
        return;
    if (reply.code == 213) {
        bool ok = false;
        const qint64 size = line.mid(4).trimmed().toLongLong(&ok);
        if (!ok || size < 0) {
            mReplyHandler = ReplyHandler::None;
            failStep(500, 500, QStringLiteral("500 Unreadable SIZE reply: ") + line);
            return;
        }
        mRemoteSize = size;
    }
    finishSingle(line, reply);
}

void TFtpClient::mlstReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation))
        return;
    // The facts come on the one line of the reply that starts with a blank.
    if (!reply.final) {
        if (line.startsWith(u' '))
            mFacts = line.mid(1);
        return;
    }
    finishSingle(line, reply);
}

void TFtpClient::finishSingle(const QString &line, const FtpReplyLine &reply)
{
    mStatusCode = reply.code;
    int result = 0;
    if (mReplyHandler != ReplyHandler::AnyReply && !mExpected.contains(reply.code)) {
        result = reply.code;
        setError(line);
    }
    mRequestResult = result;
    mReplyHandler = ReplyHandler::None;
    if (mCloseAfterReply) {
        // QUIT: the completion follows from the close, whatever the reply said.
        mCloseAfterReply = false;
        closeControl();
        return;
    }
    if (mLastStep == Step::User && reply.code == 230)
        mPendingSteps.removeAll(Step::Pass);
    stepDone(result);
}

void TFtpClient::featuresReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation))
        return;
    // Features are listed one to a line, each line starting with a blank.
    if (!reply.final) {
        if (line.startsWith(u' '))
            mFeatures.append(line.trimmed().section(u' ', 0, 0).toUpper());
        return;
    }
    mStatusCode = reply.code;
    mReplyHandler = ReplyHandler::None;
    // A server that does not know FEAT has no features to offer; that is no failure.
    if (reply.code == 211 && mFeatures.contains(QStringLiteral("UTF8"))) {
        mUtf8 = true;
        mPendingSteps.prepend(Step::Utf8);
    }
    stepDone(0);
}

void TFtpClient::authReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final)
        return;
    mStatusCode = reply.code;
    mReplyHandler = ReplyHandler::None;
    if (reply.code != 234) {
        // A profile set to TLS never goes on in clear text; the user has to know why
        // and what the way out costs.
        failStep(reply.code, reply.code, tlsRefusedText(reply.code, line));
        return;
    }
    startTls();
}

QSslConfiguration TFtpClient::tlsConfiguration() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // The session is kept so that every data connection can resume it: servers take
    // that as proof that the data connection comes from the same client.
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    return configuration;
}

void TFtpClient::startTls()
{
    if (!mControl)
        return;
    mAwaitingTls = true;
    mControl->setSslConfiguration(tlsConfiguration());
    mControl->setPeerVerifyName(HostName);
    mControl->startClientEncryption();
}

void TFtpClient::controlSslErrors()
{
    if (!mControl)
        return;
    const QString fingerprint = CertificateFingerprint::of(mControl->peerCertificate());
    if (!fingerprint.isEmpty() && fingerprint == CertificateFingerprint::normalized(TrustedCertificate)) {
        mControl->ignoreSslErrors();
        return;
    }
    // The socket ends the handshake and closes; the request fails with this text.
    mRefusedCertificate = fingerprint;
    if (mRequestResult == 0) {
        setError(certificateRefusal(mControl->sslHandshakeErrors(), fingerprint));
        mStatusCode = 500;
        mRequestResult = 500;
    }
}

void TFtpClient::sendUser()
{
    if (UserName.isEmpty()) {
        failStep(500, 500, QStringLiteral("UserName emtpy"));
        return;
    }
    sendCommand(QStringLiteral("USER ") + UserName, {331, 230}, ReplyHandler::Generic);
}

void TFtpClient::sendPass()
{
    if (PassWord.isEmpty()) {
        failStep(500, 500, QStringLiteral("Password emtpy"));
        return;
    }
    sendCommand(QStringLiteral("PASS ") + PassWord, {230}, ReplyHandler::Generic);
}

void TFtpClient::openDataPort()
{
    dropData();
    mPreliminary = mAccepted = mFinal = mClosed = mEndOfFile = mSendingStarted = mDataClosing = false;
    mReceiving = mRequest == rqList;
    mCloseError = 0;
    mByteCount = 0;
    mStartTick.invalidate();
    if (!mControl) {
        failStep(500, 10057, WinsockErrors::failureText(10057));
        return;
    }
    if (Passive) {
        mTriedPasv = false;
        sendCommand(QStringLiteral("EPSV"), {229}, ReplyHandler::Passive);
        return;
    }
    bool ipv4 = false;
    const quint32 local = mControl->localAddress().toIPv4Address(&ipv4);
    if (!ipv4) {
        failStep(500, 10047, WinsockErrors::failureText(10047));
        return;
    }
    // The data port listens only on the address the server is told, not on every
    // interface of the machine, and takes only the server's connection.
    mData = newDataConnection();
    int error = 0;
    const quint16 port = mData->listen(QHostAddress(local), mControl->peerAddress(), &error);
    if (port == 0) {
        failStep(500, error, WinsockErrors::failureText(error));
        return;
    }
    bool peerIpv4 = false;
    const quint32 peer = mControl->peerAddress().toIPv4Address(&peerIpv4);
    QString command;
    if (peerIpv4 && peer == 0x7F000001u) {
        command = QString::asprintf("PORT 127,0,0,1,%d,%d", port >> 8, port & 0xFF);
    } else {
        command = QString::asprintf("PORT %u,%u,%u,%u,%d,%d", local >> 24, (local >> 16) & 0xFF, (local >> 8) & 0xFF,
                                    local & 0xFF, port >> 8, port & 0xFF);
    }
    sendCommand(command, {200}, ReplyHandler::Generic);
}

// EPSV first; PASV when the server refuses it. The data connection always goes to the
// address the control connection reached: a server must not be able to send the
// client, with the file, to a third host.
void TFtpClient::passiveReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final || !mControl)
        return;
    mStatusCode = reply.code;
    mReplyHandler = ReplyHandler::None;
    const QHostAddress server = mControl->peerAddress();
    quint16 port = 0;
    if (!mTriedPasv) {
        if (reply.code == 229)
            port = extendedPassivePort(line);
        if (port == 0) {
            mTriedPasv = true;
            sendCommand(QStringLiteral("PASV"), {227}, ReplyHandler::Passive);
            return;
        }
    } else {
        QHostAddress named;
        if (reply.code != 227) {
            failStep(reply.code, reply.code, line);
            return;
        }
        if (!passiveAddress(line, &named, &port)) {
            failStep(500, 500, QStringLiteral("500 Unreadable passive mode reply: ") + line);
            return;
        }
        if (!named.isEqual(server, QHostAddress::TolerantConversion)) {
            trace(QStringLiteral("! PASV named %1; the data connection goes to the server's address %2")
                      .arg(named.toString(), server.toString()));
            if (!alive(generation))
                return;
        }
    }
    mData = newDataConnection();
    mPassiveConnecting = true;
    mData->connectTo(server, port);
}

FtpDataConnection *TFtpClient::newDataConnection()
{
    std::optional<FtpDataConnection::Tls> tls;
    if (mTlsActive && mControl)
        tls = FtpDataConnection::Tls{mControl->sslConfiguration(), HostName, mControl->peerCertificate()};
    auto *data = new FtpDataConnection(std::move(tls), this);
    data->setReceiving(mReceiving);
    connect(data, &FtpDataConnection::strangerRefused, this, [this](const QString &address) {
        guarded(true, [this, &address] { trace(QStringLiteral("! Data connection from %1 refused").arg(address)); });
    });
    connect(data, &FtpDataConnection::established, this, [this] { guarded(true, [this] { dataEstablished(); }); });
    connect(data, &FtpDataConnection::ready, this, [this] { guarded(true, [this] { dataReady(); }); });
    connect(data, &FtpDataConnection::progressed, this, [this] { guarded(true, [this] { dataWritten(); }); });
    connect(data, &FtpDataConnection::received, this, [this] { guarded(true, [this] { dataReceived(); }); });
    connect(data, &FtpDataConnection::failed, this, [this](int error, const QString &message) {
        guarded(true, [this, error, &message] { dataFailed(error, message); });
    });
    connect(data, &FtpDataConnection::closed, this, [this](int error) { guarded(true, [this, error] { dataClosed(error); }); });
    return data;
}

void TFtpClient::startStore()
{
    const quint64 generation = mGeneration;
    bool cancel = false;
    emit OnReadyToTransmit(cancel);
    if (!alive(generation))
        return;
    if (cancel) {
        failStep(426, 426, QStringLiteral("426 Transmit cancelled by application"), true);
        return;
    }
    if (SourceDevice) {
        mSource = SourceDevice;
    } else {
        mFile.setFileName(LocalFileName);
        // A pipe or a device in the list would hold the store (and the window) for ever.
        if (!BoundedRead::openRegularFile(mFile) || (RestartOffset > 0 && !mFile.seek(RestartOffset))) {
            mFile.close();
            failStep(426, 426, QStringLiteral("426 Unable to open local file ") + LocalFileName, true);
            return;
        }
        mSource = &mFile;
    }
    sendCommand(QStringLiteral("STOR ") + HostFileName, {125, 150}, ReplyHandler::Store);
}

void TFtpClient::startList()
{
    mReceived.clear();
    sendCommand(ListCommand, {125, 150}, ReplyHandler::Store);
}

void TFtpClient::storeReply(const QString &line, const FtpReplyLine &reply)
{
    const quint64 generation = mGeneration;
    trace(QStringLiteral("< ") + line);
    if (!alive(generation) || !reply.final)
        return;
    mStatusCode = reply.code;
    if (!mPreliminary) {
        if (reply.code == 125 || reply.code == 150) {
            mPreliminary = true;
            mExpected = {226, 250};
            maybeStartSending();
            return;
        }
        setError(line);
        mRequestResult = reply.code;
        complete(reply.code);
        return;
    }
    if (reply.code == 226 || reply.code == 250) {
        mFinal = true;
        maybeFinishStore();
        return;
    }
    setError(line);
    mRequestResult = reply.code;
    dropData();
    trace(QStringLiteral("! STOR Failed"));
    if (alive(generation))
        complete(reply.code);
}

void TFtpClient::dataEstablished()
{
    touch();
    if (!mPassiveConnecting)
        return;
    // The passive connection is up: now the server may be told what it carries.
    mPassiveConnecting = false;
    stepDone(0);
}

void TFtpClient::dataReady()
{
    touch();
    mAccepted = true;
    if (mReceiving && !mStartTick.isValid())
        mStartTick.start();
    maybeStartSending();
}

void TFtpClient::dataFailed(int error, const QString &message)
{
    if (mPassiveConnecting) {
        mPassiveConnecting = false;
        failStep(500, error, message);
        return;
    }
    endData(error, message);
}

void TFtpClient::maybeStartSending()
{
    if (!mPreliminary || !mAccepted || mSendingStarted || mReceiving)
        return;
    mSendingStarted = true;
    post(true, [this] {
        mStartTick.start();
        if (const std::chrono::milliseconds limit = requestLimit(); limit.count() > 0) {
            mLowSpeed.emplace(limit);
            mLowSpeed->start(0, 0);
            mSpeedTimer.start(mLowSpeed->checkInterval());
        }
        sendNextBlock();
    });
}

void TFtpClient::dataWritten()
{
    touch();
    if (mData && mSendingStarted && mData->pendingBytes() < chunkSize)
        sendNextBlock();
}

void TFtpClient::sendNextBlock()
{
    const quint64 generation = mGeneration;
    auto progress = [&](qint64 count) {
        bool abort = false;
        emit OnProgress(count, abort);
        if (!alive(generation) || !mData)
            return false;
        if (abort) {
            trace(QStringLiteral("! Abort requested"));
            if (alive(generation))
                endData(426, QStringLiteral("426 Operation aborted."));
            return false;
        }
        return true;
    };
    while (mData && !mEndOfFile && !mDataClosing && mData->pendingBytes() < chunkSize) {
        if (!progress(mByteCount))
            return;
        mChunk.resize(chunkSize);
        const qint64 count = mSource ? mSource->read(mChunk.data(), chunkSize) : -1;
        if (count < 0) {
            trace(QStringLiteral("! Error reading file"));
            if (alive(generation))
                endData(426, QStringLiteral("426 Error reading file ") + LocalFileName);
            return;
        }
        if (count == 0) {
            mEndOfFile = true;
            mDataClosing = true;
            mData->finish();
            return;
        }
        for (qint64 offset = blockSize; offset < count; offset += blockSize) {
            if (!progress(mByteCount + offset))
                return;
        }
        mByteCount += count;
        if (!mData->write(mChunk.constData(), count)) {
            const int error = mData->socketError();
            trace(QStringLiteral("! Error #%1 sending data").arg(error));
            if (alive(generation))
                endData(error, WinsockErrors::failureText(error));
            return;
        }
    }
}

// The file did not reach the server whole. The server may see only the data
// connection close and report success, so the failure is kept here.
void TFtpClient::endData(int error, const QString &message)
{
    if (mCloseError == 0)
        mCloseError = error;
    setError(message);
    mDataClosing = true;
    if (!mData)
        return;
    dropData();
    mClosed = true;
    maybeFinishStore();
}

void TFtpClient::dataReceived()
{
    touch();
    if (!mData)
        return;
    mReceived += mData->takeReceived();
    if (mReceived.size() > maximumListingBytes)
        endData(500, QStringLiteral("500 The listing is longer than %1 bytes").arg(maximumListingBytes));
}

void TFtpClient::dataClosed(int error)
{
    if (!mData)
        return;
    // The server ends a listing by closing the data connection.
    if (mReceiving) {
        mReceived += mData->takeReceived();
        mEndOfFile = error == 0;
    }
    if (!mEndOfFile && mCloseError == 0) {
        // The server closed the data connection before the whole file was sent.
        mCloseError = error != 0 ? error : int(WinsockErrors::WSAECONNRESET);
        setError(WinsockErrors::failureText(mCloseError));
    }
    dropData();
    mClosed = true;
    maybeFinishStore();
}

void TFtpClient::maybeFinishStore()
{
    if (!mFinal || !mClosed)
        return;
    if (mReceiving) {
        mByteCount = mReceived.size();
        if (mCloseError == 0)
            mListing = listingLines(mReceived);
        mReceived.clear();
    }
    const qint64 milliseconds = mStartTick.isValid() ? mStartTick.elapsed() : 0;
    QString text = QStringLiteral("! %1 bytes received/sent in %2 seconds").arg(mByteCount).arg(milliseconds / 1000);
    if (milliseconds != 0)
        text += QStringLiteral(" (%1 Bytes/sec)").arg(mByteCount * 1000 / milliseconds);
    const quint64 generation = mGeneration;
    trace(text);
    if (alive(generation))
        complete(mCloseError);
}

void TFtpClient::dropData()
{
    mPassiveConnecting = false;
    mSpeedTimer.stop();
    mLowSpeed.reset();
    if (mData) {
        mData->disconnect(this);
        mData->abort();
        mData->deleteLater();
        mData = nullptr;
    }
    mFile.close();
    mSource = nullptr;
    mChunk = QByteArray();
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

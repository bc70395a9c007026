#include "ftpclient.h"

#include "platform/cp1252.h"
#include "upload/certificatefingerprint.h"

#include <QHostInfo>
#include <QSslSocket>

namespace {

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

bool isTlsError(QAbstractSocket::SocketError error)
{
    return error == QAbstractSocket::SslHandshakeFailedError || error == QAbstractSocket::SslInternalError
        || error == QAbstractSocket::SslInvalidUserDataError;
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
        if (mSecureSession) {
            auto *secure = new QSslSocket(this);
            connect(secure, &QSslSocket::sslErrors, this, [this] { guarded(true, [this] { controlSslErrors(); }); });
            connect(secure, &QSslSocket::encrypted, this, [this] {
                guarded(true, [this] {
                    touch();
                    mAwaitingTls = false;
                    mTlsActive = true;
                    stepDone(0);
                });
            });
            mControl = secure;
        } else {
            mControl = new QTcpSocket(this);
        }
        connect(mControl, &QTcpSocket::connected, this, [this] { guarded(true, [this] { controlConnected(); }); });
        connect(mControl, &QTcpSocket::errorOccurred, this, [this] { guarded(true, [this] { controlError(); }); });
        connect(mControl, &QTcpSocket::readyRead, this, [this] { guarded(true, [this] { controlReadyRead(); }); });
        connect(mControl, &QTcpSocket::disconnected, this, [this] { guarded(true, [this] { controlClosed(); }); });
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
    QTcpSocket *socket = mControl;
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

QSslSocket *TFtpClient::secureControl() const
{
    return qobject_cast<QSslSocket *>(mControl);
}

void TFtpClient::startTls()
{
    QSslSocket *secure = secureControl();
    if (!secure)
        return;
    mAwaitingTls = true;
    secure->setSslConfiguration(tlsConfiguration());
    secure->setPeerVerifyName(HostName);
    secure->startClientEncryption();
}

void TFtpClient::controlSslErrors()
{
    QSslSocket *secure = secureControl();
    if (!secure)
        return;
    const QString fingerprint = CertificateFingerprint::of(secure->peerCertificate());
    if (!fingerprint.isEmpty() && fingerprint == CertificateFingerprint::normalized(TrustedCertificate)) {
        secure->ignoreSslErrors();
        return;
    }
    // The socket ends the handshake and closes; the request fails with this text.
    mRefusedCertificate = fingerprint;
    if (mRequestResult == 0) {
        setError(certificateRefusal(secure->sslHandshakeErrors(), fingerprint));
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

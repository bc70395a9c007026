#include "ftpdataconnection.h"

#include "upload/ftperrors.h"

#include <QSslSocket>
#include <QTcpServer>

#include <QSocketNotifier>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <csignal>
#include <ctime>
#include <sys/sendfile.h>
#endif

namespace {

// Hands out accepted connections as QSslSocket, so that a secured session can start
// TLS on them.
class SslListener : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QSslSocket(this);
        if (socket->setSocketDescriptor(handle))
            addPendingConnection(socket);
        else
            delete socket;
    }
};

QTcpSocket *newSocket(bool secure, QObject *parent)
{
    if (secure)
        return new QSslSocket(parent);
    return new QTcpSocket(parent);
}

bool isTlsError(QAbstractSocket::SocketError error)
{
    return error == QAbstractSocket::SslHandshakeFailedError || error == QAbstractSocket::SslInternalError
        || error == QAbstractSocket::SslInvalidUserDataError;
}

}

FtpDataConnection::FtpDataConnection(std::optional<Tls> tls, QObject *parent)
    : QObject(parent), mTls(std::move(tls))
{
}

FtpDataConnection::~FtpDataConnection()
{
    stopWaitingWritable();
    closeLinger();
    if (mSocket) {
        mSocket->disconnect(this);
        mSocket->abort();
    }
}

quint16 FtpDataConnection::listen(const QHostAddress &local, const QHostAddress &peer, int *error)
{
    mPeer = peer;
    mListener = mTls ? new SslListener(this) : new QTcpServer(this);
    connect(mListener, &QTcpServer::newConnection, this, &FtpDataConnection::accept);
    if (!mListener->listen(local, 0)) {
        *error = WinsockErrors::fromSocketError(mListener->serverError());
        return 0;
    }
    return mListener->serverPort();
}

void FtpDataConnection::connectTo(const QHostAddress &address, quint16 port)
{
    QTcpSocket *socket = newSocket(mTls.has_value(), this);
    mSocket = socket;
    connect(socket, &QTcpSocket::connected, this, [this, socket] { adopt(socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, &FtpDataConnection::socketFailed);
    socket->connectToHost(address, port);
}

void FtpDataConnection::accept()
{
    while (mListener && mListener->hasPendingConnections()) {
        QTcpSocket *socket = mListener->nextPendingConnection();
        if (!socket)
            continue;
        // Only the server may open the data connection: anyone else who reached the
        // port first would be handed the file.
        if (mSocket || !socket->peerAddress().isEqual(mPeer, QHostAddress::TolerantConversion)) {
            const QString stranger = socket->peerAddress().toString();
            socket->abort();
            socket->deleteLater();
            emit strangerRefused(stranger);
            continue;
        }
        mSocket = socket;
        mListener->close();
        connect(socket, &QTcpSocket::errorOccurred, this, &FtpDataConnection::socketFailed);
        adopt(socket);
    }
}

QSslSocket *FtpDataConnection::secureSocket() const
{
    return mTls ? qobject_cast<QSslSocket *>(mSocket.data()) : nullptr;
}

void FtpDataConnection::adopt(QTcpSocket *socket)
{
    mEstablished = true;
    connect(socket, &QTcpSocket::bytesWritten, this, &FtpDataConnection::written);
    connect(socket, &QTcpSocket::disconnected, this, &FtpDataConnection::socketClosed);
    if (mReceiving)
        connect(socket, &QTcpSocket::readyRead, this, &FtpDataConnection::readIncoming);
    if (!socket->socketOption(QAbstractSocket::SendBufferSizeSocketOption).isValid()) {
        mError = WinsockErrors::WSAENOBUFS;
        emit failed(mError, QStringLiteral("winsock.getsockopt(SO_SNDBUF) failed"));
        return;
    }
    QPointer<FtpDataConnection> self(this);
    emit established();
    if (!self || !mSocket)
        return;
    if (!mTls) {
        emit ready();
        return;
    }
    // A secured session's sockets are TLS sockets (listen(), connectTo()): the data
    // never goes out unprotected because of the socket's type.
    QSslSocket *secure = secureSocket();
    connect(secure, &QSslSocket::encryptedBytesWritten, this, &FtpDataConnection::written);
    connect(secure, &QSslSocket::encrypted, this, &FtpDataConnection::ready);
    connect(secure, &QSslSocket::sslErrors, this, &FtpDataConnection::sslErrors);
    secure->setSslConfiguration(mTls->configuration);
    secure->setPeerVerifyName(mTls->peerName);
    secure->startClientEncryption();
}

void FtpDataConnection::sslErrors()
{
    // The control connection's certificate was accepted (verified or trusted by the
    // user); the same certificate is accepted here, and no other.
    QSslSocket *secure = secureSocket();
    if (secure && !mTls->certificate.isNull() && secure->peerCertificate() == mTls->certificate)
        secure->ignoreSslErrors();
}

void FtpDataConnection::socketFailed()
{
    if (!mSocket)
        return;
    const QAbstractSocket::SocketError socketError = mSocket->error();
    if (mEstablished && socketError == QAbstractSocket::RemoteHostClosedError) {
        // A server that ends a listing under TLS sends its closing alert and then waits
        // for the connection to close; the socket does not answer the alert, so it is
        // closed here once the last bytes are read. Otherwise the disconnected signal
        // reports the end.
        if (mReceiving && mTls && mSocket->state() == QAbstractSocket::ConnectedState) {
            QPointer<FtpDataConnection> self(this);
            readIncoming();
            if (self && mSocket)
                mSocket->disconnectFromHost();
        }
        return;
    }
    const bool tls = isTlsError(socketError);
    const int error = tls ? 500 : WinsockErrors::fromSocketError(socketError);
    if (mError == 0)
        mError = error;
    const QString message = tls ? QStringLiteral("500 TLS on the data connection failed: ") + mSocket->errorString()
                                : WinsockErrors::failureText(error);
    if (!mEstablished || tls)
        emit failed(error, message);
}

qint64 FtpDataConnection::pendingBytes() const
{
    if (!mSocket)
        return 0;
    const QSslSocket *secure = secureSocket();
    return mSocket->bytesToWrite() + (secure ? secure->encryptedBytesToWrite() : 0);
}

bool FtpDataConnection::write(const char *data, qint64 size)
{
    if (!mSocket)
        return false;
    if (mSocket->write(data, size) == size)
        return true;
    if (mError == 0)
        mError = WinsockErrors::fromSocketError(mSocket->error());
    return false;
}

#ifdef Q_OS_LINUX
namespace {

// A peer that has gone makes sendfile() raise SIGPIPE, which would end the program; the
// signal is held back for the call and, when it was this call's, taken away unseen.
// The failure itself comes back as EPIPE.
ssize_t sendFileQuietly(int socket, int file, off_t *offset, size_t count)
{
    sigset_t pipe;
    sigset_t previous;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    ssize_t sent = 0;
    do
        sent = ::sendfile(socket, file, offset, count);
    while (sent < 0 && errno == EINTR);
    const int error = errno;
    if (sent < 0 && error == EPIPE && !alreadyPending) {
        const timespec none{};
        while (sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return sent;
}

}
#endif

FtpDataConnection::SendResult FtpDataConnection::sendFile(int descriptor, qint64 offset, qint64 maxSize, qint64 *sent)
{
    *sent = 0;
#ifdef Q_OS_LINUX
    if (mTls || !mSocket || mSocket->state() != QAbstractSocket::ConnectedState || mSocket->bytesToWrite() > 0 || descriptor < 0)
        return SendResult::Unsupported;
    off_t position = off_t(offset);
    const ssize_t count = sendFileQuietly(int(mSocket->socketDescriptor()), descriptor, &position, size_t(maxSize));
    if (count > 0) {
        *sent = count;
        waitWritable();
        return SendResult::Sent;
    }
    if (count == 0)
        return SendResult::EndOfFile;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
        waitWritable();
        return SendResult::Blocked;
    }
    if (errno == EPIPE || errno == ECONNRESET) {
        if (mError == 0)
            mError = WinsockErrors::WSAECONNRESET;
        return SendResult::Failed;
    }
    // A file system that cannot hand its pages to the network, or a file that cannot
    // be read: reading and writing tells which, as it would without this.
    return SendResult::Unsupported;
#else
    Q_UNUSED(descriptor);
    Q_UNUSED(offset);
    Q_UNUSED(maxSize);
    return SendResult::Unsupported;
#endif
}

// The socket's own write notifier sleeps while its buffer is empty, which it always is
// when the system sends from the file; this one wakes the sender instead.
void FtpDataConnection::waitWritable()
{
    if (!mWritableNotifier) {
        mWritableNotifier = new QSocketNotifier(mSocket->socketDescriptor(), QSocketNotifier::Write, this);
        connect(mWritableNotifier, &QSocketNotifier::activated, this, [this] {
            mWritableNotifier->setEnabled(false);
            emit progressed();
        });
    }
    mWritableNotifier->setEnabled(true);
}

// Before the socket closes its descriptor, which the notifier watches.
void FtpDataConnection::stopWaitingWritable()
{
    delete mWritableNotifier;
    mWritableNotifier = nullptr;
}

void FtpDataConnection::written()
{

    if (mFinishing && mSocket && pendingBytes() == 0)
        halfClose();
    emit progressed();
}

void FtpDataConnection::finish()
{
    if (!mSocket)
        return;
    stopWaitingWritable();
    if (!mTls) {
        mSocket->disconnectFromHost();
        return;
    }
    mFinishing = true;
    if (pendingBytes() == 0)
        halfClose();
}

// Under TLS the server may still send on the data connection (session tickets, its
// reply to the closing alert), and closing a socket with unread input makes the system
// reset the connection, which throws away what was not yet delivered, the closing
// alert included; servers then count the upload as failed. So the socket lingers: a
// second descriptor keeps it open while the TLS layer sends its closing alert and lets
// go, then only the sending half is closed and the input is read and dropped until the
// server closes its side. The idle limit of the request covers a server that never
// does.
void FtpDataConnection::halfClose()
{
    mFinishing = false;
#ifdef Q_OS_UNIX
    mLinger = ::dup(int(mSocket->socketDescriptor()));
#endif
    mSocket->disconnectFromHost();
}

void FtpDataConnection::readIncoming()
{
    if (!mSocket)
        return;
    mReceived += mSocket->readAll();
    emit received();
}

QByteArray FtpDataConnection::takeReceived()
{
    return std::exchange(mReceived, QByteArray());
}

void FtpDataConnection::socketClosed()
{
    stopWaitingWritable();
    if (mClosed)
        return;
    // The last bytes may come together with the close.
    if (mReceiving && mSocket && mSocket->bytesAvailable() > 0) {
        QPointer<FtpDataConnection> self(this);
        readIncoming();
        if (!self)
            return;
    }
#ifdef Q_OS_UNIX
    if (mLinger >= 0 && !mLingerNotifier) {
        ::shutdown(mLinger, SHUT_WR);
        mLingerNotifier = new QSocketNotifier(mLinger, QSocketNotifier::Read, this);
        connect(mLingerNotifier, &QSocketNotifier::activated, this, &FtpDataConnection::drainLinger);
        return;
    }
#endif
    mClosed = true;
    emit closed(mError);
}

void FtpDataConnection::drainLinger()
{
#ifdef Q_OS_UNIX
    char scratch[4096];
    const ssize_t count = ::recv(mLinger, scratch, sizeof scratch, MSG_DONTWAIT);
    if (count > 0 || (count < 0 && (errno == EAGAIN || errno == EINTR)))
        return;
    closeLinger();
    mClosed = true;
    emit closed(mError);
#endif
}

void FtpDataConnection::closeLinger()
{
    delete mLingerNotifier;
    mLingerNotifier = nullptr;
#ifdef Q_OS_UNIX
    if (mLinger >= 0)
        ::close(mLinger);
#endif
    mLinger = -1;
}

void FtpDataConnection::abort()
{
    stopWaitingWritable();
    closeLinger();
    if (mListener) {
        mListener->disconnect(this);
        mListener->close();
    }
    if (mSocket) {
        mSocket->disconnect(this);
        mSocket->abort();
    }
}

int FtpDataConnection::socketError() const
{
    return mError;
}

QByteArray FtpDataConnection::sessionTicket() const
{
    const QSslSocket *secure = secureSocket();
    return secure ? secure->sslConfiguration().sessionTicket() : QByteArray();
}

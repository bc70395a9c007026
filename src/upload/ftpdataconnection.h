#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>

#include <optional>

class QSocketNotifier;
class QSslSocket;
class QTcpServer;
class QTcpSocket;

// The data connection of one transfer: opened actively (the server connects to a port
// this side listens on) or passively (this side connects to the port the server
// names), then, for a secured session, encrypted with TLS. The signals are emitted
// from socket events only, never inside a call into this class.
class FtpDataConnection : public QObject
{
    Q_OBJECT

public:
    // How the data connection is secured: the control connection's configuration,
    // which carries its TLS session so that the server sees the data connection
    // resume it, and the control connection's certificate, the only one accepted
    // when the usual verification fails (it was trusted there).
    struct Tls
    {
        QSslConfiguration configuration;
        QString peerName;
        QSslCertificate certificate;
    };

    explicit FtpDataConnection(std::optional<Tls> tls, QObject *parent = nullptr);
    ~FtpDataConnection() override;

    // Active mode: listens on the local address for one connection from the peer
    // address; any other caller is closed at once (reported by strangerRefused) and
    // the wait goes on. The port, or 0 with the Windows Sockets error in *error.
    quint16 listen(const QHostAddress &local, const QHostAddress &peer, int *error);
    // Passive mode.
    void connectTo(const QHostAddress &address, quint16 port);

    // A connection that receives (a listing): what the peer sends is kept for
    // takeReceived() and announced by received(). Set before the connection is made.
    void setReceiving(bool receiving) { mReceiving = receiving; }
    QByteArray takeReceived();

    enum class SendResult {
        Sent,        // *sent bytes went to the network; progressed() follows when it takes more
        Blocked,     // the network takes nothing now; progressed() follows when it can
        EndOfFile,   // nothing is left from the offset on
        Failed,      // socketError() tells why
        Unsupported, // this connection or file cannot send so: write() instead
    };
    // Plain connections (Linux): the system sends up to maxSize bytes of the open file
    // from offset on straight from the file, with no copy through this process.
    SendResult sendFile(int descriptor, qint64 offset, qint64 maxSize, qint64 *sent);

    // Bytes handed to write() that the network has not taken yet.
    qint64 pendingBytes() const;
    // False when the socket refused the bytes; socketError() tells why.
    bool write(const char *data, qint64 size);
    // Closes once everything written has been sent.
    void finish();
    // Drops the connection at once; no signal follows.
    void abort();
    int socketError() const;
    // The TLS session after the handshake, for the next data connection; empty when
    // there is none.
    QByteArray sessionTicket() const;

signals:
    void strangerRefused(const QString &address);
    void established();  // connected; for TLS, the handshake has started
    void ready();        // data can be written
    void progressed();   // the network took data
    void received();     // data arrived (receiving connections only)
    // The connection could not be made, or TLS failed: error number and text.
    void failed(int error, const QString &message);
    void closed(int error); // after established(); 0 for an orderly close

private:
    void adopt(QTcpSocket *socket);
    QSslSocket *secureSocket() const;
    void written();
    void halfClose();
    void socketClosed();
    void drainLinger();
    void closeLinger();
    void accept();
    void readIncoming();
    void sslErrors();
    void socketFailed();
    void waitWritable();
    void stopWaitingWritable();

    std::optional<Tls> mTls;
    QHostAddress mPeer;
    QTcpServer *mListener = nullptr;
    // A TLS socket only for a secured session (mTls): plain transfers never load the
    // TLS backend.
    QPointer<QTcpSocket> mSocket;
    bool mEstablished = false;
    bool mClosed = false;
    bool mFinishing = false;
    bool mReceiving = false;
    QByteArray mReceived;
    int mLinger = -1;
    QSocketNotifier *mLingerNotifier = nullptr;
    QSocketNotifier *mWritableNotifier = nullptr;
    int mError = 0;
};

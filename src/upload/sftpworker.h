#pragma once

#include "upload/sftpsession.h"

#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>

#include <chrono>

struct ssh_session_struct;
struct sftp_session_struct;

// Lets the session's thread shut the worker's socket down while libssh blocks on it,
// and never touch a socket that libssh has closed meanwhile (its number may already
// belong to another file).
class SocketCutter
{
public:
    // The worker's new socket of this generation; shut down at once when that
    // generation has been cut already.
    void arm(int socket, quint64 generation);
    // The socket is about to be closed.
    void disarm();
    // Shuts down the socket of this generation or an older one, and any such socket
    // armed later.
    void cut(quint64 generation);
    bool isCut(quint64 generation) const;

private:
    mutable QMutex mMutex;
    int mSocket = -1;
    quint64 mSocketGeneration = 0;
    quint64 mCutUpTo = 0;
};

// The device a put reads, shared with the session's thread, which may release it at
// any time (an abort): once release() has returned, the worker never touches it again.
class SharedSource
{
public:
    explicit SharedSource(QIODevice *device) : mDevice(device) {}
    // Up to size bytes; 0 at the end; -1 with the reason when reading fails or the
    // device has been released.
    qint64 read(char *data, qint64 size, QString &error);
    void release();

private:
    QMutex mMutex;
    QIODevice *mDevice;
};

struct SftpResult
{
    SftpError error = SftpError::None;
    QString message;
    HostKey serverKey;
    QString expectedKey;
    QString home;
    SftpRemoteFile remoteFile;
    QStringList names;
    qint64 bytes = 0;
};

// The blocking half of SftpSession, living in the session's worker thread. Each call
// does one whole request and reports it with finished() (or nothing once its generation
// has been cut).
class SftpWorker : public QObject
{
    Q_OBJECT

public:
    explicit SftpWorker(std::shared_ptr<SocketCutter> cutter);
    ~SftpWorker() override;

    void connectToHost(quint64 generation, const QList<QHostAddress> &addresses, const SftpLogin &login,
                       std::chrono::milliseconds timeout);
    void makeDir(quint64 generation, const QByteArray &path);
    void stat(quint64 generation, const QByteArray &path);
    void list(quint64 generation, const QByteArray &path);
    void put(quint64 generation, SharedSource &source, const QByteArray &remotePath, qint64 offset);
    void rename(quint64 generation, const QByteArray &from, const QByteArray &to);
    void remove(quint64 generation, const QByteArray &path);
    void quit(quint64 generation);
    // Frees the connection without a word to the server (it has been cut).
    void drop();

signals:
    void finished(quint64 generation, const SftpResult &result);
    void progressed(quint64 generation, qint64 bytes);

private:
    SftpResult open(quint64 generation, const QList<QHostAddress> &addresses, const SftpLogin &login,
                    std::chrono::milliseconds timeout);
    SftpResult checkHostKey(const SftpLogin &login);
    SftpResult authenticate(const SftpLogin &login);
    SftpResult startSftp();
    SftpResult send(quint64 generation, SharedSource &source, const QByteArray &remotePath, qint64 offset);
    SftpResult posixRename(const QByteArray &from, const QByteArray &to);
    // The result of a failed SFTP call: the server's status, or the connection's loss.
    SftpResult sftpFailure(const QString &what) const;
    SftpResult connectionFailure(const QString &what) const;
    void report(quint64 generation, const SftpResult &result);
    bool connected(quint64 generation, SftpResult &result) const;

    std::shared_ptr<SocketCutter> mCutter;
    ssh_session_struct *mSsh = nullptr;
    sftp_session_struct *mSftp = nullptr;
    quint64 mGeneration = 0;
    std::chrono::milliseconds mTimeout{0};
};

Q_DECLARE_METATYPE(SftpResult)

#pragma once

#include "model/errors.h"
#include "upload/hostkeyfingerprint.h"
#include "upload/lowspeedlimit.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class QHostInfo;
class QIODevice;
class QThread;
class SftpWorker;
class SharedSource;
class SocketCutter;
struct SftpResult;

// A request the session refuses to start ("SFTP session not ready", ...).
class SftpException : public VendrixError
{
public:
    using VendrixError::VendrixError;
};

enum class SftpRequest : quint8 { None, Connect, MakeDir, Stat, List, Put, Rename, Remove, Quit };

enum class SftpError : quint8 {
    None,
    HostNotFound,
    ConnectionFailed,     // refused, unreachable, or the key exchange failed
    TimedOut,             // the time limit passed without an answer or progress
    ConnectionLost,       // the server closed the connection or broke the protocol
    HostKeyUnknown,       // neither the profile nor known_hosts knows the server's key
    HostKeyChanged,       // the server's key differs from the one trusted
    KeyFileUnreadable,
    PassphraseNeeded,     // the key file is encrypted and no passphrase was given
    AuthenticationFailed, // every way of logging in was refused (or a wrong passphrase)
    NoSuchFile,
    PermissionDenied,
    Failure,              // any other refusal of the server
    LocalFile,            // the source of a put cannot be read
};

// What a session logs in with.
struct SftpLogin
{
    QString host;
    quint16 port = 22;
    QString user;
    QString password;     // tried when not empty
    QString keyFile;      // a private key file; tried first when named
    QString passphrase;   // of the key file; asked from the user, never stored
    bool useAgent = true; // the user's SSH agent (SSH_AUTH_SOCK), tried after the key file
    // The fingerprint the profile trusts ("SHA256:..."); when set, the server must show
    // exactly this key, whatever known_hosts says.
    QString trustedHostKey;
    // Consulted when the profile trusts no key; empty: the user's ~/.ssh/known_hosts.
    QString knownHostsFile;
};

// What stat() found.
struct SftpRemoteFile
{
    bool exists = false;
    bool isDirectory = false;
    qint64 size = -1;
};

// An SFTP session over libssh. libssh's calls block, so they run in one worker thread
// of the session's own; every request returns at once and ends later with done(),
// exactly once, from the event loop of the thread that owns the session (never inside
// the call that started it). One request runs at a time: starting another while one
// runs, or anything but connect and quit without a connection, throws SftpException.
//
// Every request is bounded: when IdleTimeout passes without an answer or any progress
// of a put (or a put moves less than 1 KiB a second over that long), the connection is
// cut and the request ends with SftpError::TimedOut. abort() cuts it at once. Cutting
// shuts the socket down under libssh, so the worker never stays blocked on a server
// that stopped answering.
//
// Remote paths are UTF-8; a relative path is taken from the login folder.
class SftpSession : public QObject
{
    Q_OBJECT

public:
    explicit SftpSession(QObject *parent = nullptr);
    ~SftpSession() override;

    std::chrono::milliseconds IdleTimeout = std::chrono::seconds(30);

    // Looks the host up, connects, checks the host key (see SftpLogin) and logs in:
    // with the key file, the agent, then the password, as far as the server offers
    // each. A host key that is not trusted ends it with HostKeyUnknown or HostKeyChanged
    // and serverHostKey() tells the key; the connection is closed then.
    void connectToHost(const SftpLogin &login);
    void makeDir(const QString &path);
    // Ends with NoSuchFile when nothing is there; remoteFile() tells what is.
    void stat(const QString &path);
    // The names in the folder (without "." and ".."); names() tells them.
    void list(const QString &path);
    // Sends source, from its current position to its end, into remotePath from byte
    // offset on (the file is created, or truncated when offset is 0), many write
    // requests in flight at once. The worker reads source; it must stay untouched until
    // done() or abort(). progress() and bytesSent() tell the bytes of the file the
    // server has taken, counted from the file's start.
    void put(QIODevice *source, const QString &remotePath, qint64 offset = 0);
    // Moves from onto to, replacing to in one step where the server can
    // (posix-rename@openssh.com); elsewhere to is removed first.
    void rename(const QString &from, const QString &to);
    void remove(const QString &path);
    void quit();
    // Drops the connection at once; the running request ends without done().
    void abort();

    bool isBusy() const { return mRequest != SftpRequest::None; }
    bool isConnected() const { return mConnected; }
    SftpRequest request() const { return mRequest; }
    SftpError error() const { return mError; }
    // Why the last request failed, in words for the user; empty after success.
    QString errorString() const { return mErrorString; }

    // The key the server showed at the last connect (also when it was refused).
    HostKey serverHostKey() const { return mServerKey; }
    // With HostKeyChanged: the fingerprint that was expected instead.
    QString expectedHostKey() const { return mExpectedKey; }
    // The login folder, as the server names it.
    QString homeDirectory() const { return mHome; }
    SftpRemoteFile remoteFile() const { return mRemoteFile; }
    QStringList names() const { return mNames; }
    qint64 bytesSent() const { return mBytesSent; }

signals:
    void done(SftpRequest request, SftpError error);
    void progress(qint64 bytes);

private:
    void begin(SftpRequest request);
    void lookedUp(const QHostInfo &info);
    void workerFinished(quint64 generation, const SftpResult &result);
    void workerProgress(quint64 generation, qint64 bytes);
    void finish(SftpError error, const QString &message);
    void timedOut();
    void checkSpeed();
    void cut();
    void releaseSource();
    template<typename Job>
    void post(Job job);

    QThread *mThread = nullptr;
    SftpWorker *mWorker = nullptr;
    std::shared_ptr<SocketCutter> mCutter;
    // Bumped by every cut: what the worker reports for an older generation is dropped.
    quint64 mGeneration = 1;

    SftpRequest mRequest = SftpRequest::None;
    SftpError mError = SftpError::None;
    QString mErrorString;
    bool mConnected = false;
    SftpLogin mLogin;
    int mLookupId = -1;
    HostKey mServerKey;
    QString mExpectedKey;
    QString mHome;
    SftpRemoteFile mRemoteFile;
    QStringList mNames;
    std::shared_ptr<SharedSource> mSource;
    qint64 mBytesSent = 0;

    QTimer mIdleTimer;
    QTimer mSpeedTimer;
    QElapsedTimer mClock;
    std::optional<LowSpeedLimit> mLowSpeed;
};

Q_DECLARE_METATYPE(SftpRequest)
Q_DECLARE_METATYPE(SftpError)

#pragma once

#include <QFlags>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// A server identity (TLS certificate, SSH host key) that failed verification and that
// the user may decide to trust for the profile.
struct UntrustedIdentity
{
    enum class Kind : quint8 { Certificate, HostKey };

    Kind kind = Kind::Certificate;
    // The fingerprint to store in the profile when the user trusts it.
    QString fingerprint;
    // The question put to the user, complete (what failed, the fingerprint to compare,
    // what Yes does).
    QString question;
};

// What one operation of a transport came to.
struct TransportResult
{
    enum class Status : quint8 {
        Ok,
        // The server answered no: a refused login, a missing permission, a name it does
        // not take. The session goes on.
        Refused,
        // The file or folder named does not exist. The session goes on.
        NotFound,
        // The server does not offer the operation at all. The session goes on.
        Unsupported,
        // The session is over or unusable: lookup, connection, TLS or SSH failure, a
        // time limit, a lost connection, a local file that cannot be read.
        Failed,
    };

    Status status = Status::Ok;
    // For the user, shown after "Error ": the server's own reply where there is one
    // ("530 Login incorrect."), else the transport's text ("500 Host not found
    // (Winsock error #11001)"). Empty on success.
    QString message;
    // remoteSize: the size on the server. store: the length the file should have now,
    // the offset plus the bytes taken from the source and sent. -1 otherwise.
    qint64 size = -1;
    // list: the names in the folder.
    QStringList names;
    // connect: set when the session failed on an identity the user may trust.
    std::optional<UntrustedIdentity> untrusted;

    bool ok() const { return status == Status::Ok; }
    static TransportResult success() { return {}; }
    static TransportResult failure(Status status, const QString &message)
    {
        TransportResult result;
        result.status = status;
        result.message = message;
        return result;
    }
};

// The protocol under a publishing run: one session with one server, one operation at a
// time. The run (UploadRun) knows nothing of the protocol: it asks for these operations
// and reads their results; everything protocol-specific (commands, replies, error
// texts, time limits, encryption) stays behind this interface.
//
// The contract every implementation keeps:
// - Every operation returns at once and ends with exactly one finished() signal, posted
//   to the event loop of the thread that owns the transport: never emitted inside the
//   call that started the operation, and never more than once. An implementation that
//   does its work in a worker thread posts its results back to this object's thread.
// - One operation at a time. Starting another while one runs is the caller's error: it
//   ends (later, through finished()) with Status::Failed and the transport's text.
// - Errors are results, never exceptions. A result other than Ok carries a message
//   fit for the user. Failed means the session is gone (isConnected() false afterwards);
//   the other statuses leave the session usable for the next operation.
// - Every operation is bounded in time by the limit the transport was made with
//   (the profile's), including a server that stops answering or trickles.
// - abort() ends everything at once, sending nothing more; no finished() follows for the
//   operation that was running. The object may be destroyed at any time, also while
//   an operation runs; nothing is emitted afterwards.
// - Names given to the operations are bare file names in the current folder, except
//   enterFolder() and makeFolder(), which take the profile's folder as the user wrote it.
class PublishTransport : public QObject
{
    Q_OBJECT

public:
    enum class Operation : quint8 { Connect, EnterFolder, MakeFolder, List, Store, RemoteSize, Rename, Remove, Quit };
    Q_ENUM(Operation)

    // What the server offers, known once connectToServer() has succeeded. An operation
    // whose capability is missing may still be tried; it then ends with Unsupported.
    enum class Capability : quint8 {
        Rename = 0x1,     // rename() replaces an existing file
        Resume = 0x2,     // store() with an offset continues a file
        RemoteSize = 0x4, // remoteSize() tells a file's exact size
    };
    Q_DECLARE_FLAGS(Capabilities, Capability)

    using QObject::QObject;

    // The server's host name as the profile gives it, for the status texts.
    virtual QString hostName() const = 0;
    virtual Capabilities capabilities() const = 0;
    // True from connectToServer() until the session ends (quit, failure, abort).
    virtual bool isConnected() const = 0;
    // True while an operation runs.
    bool isBusy() const { return mOperation.has_value(); }

    // Looks the host up, connects, secures the session as the profile says, logs in.
    // A server identity that fails verification ends it with Failed and `untrusted`
    // set.
    virtual void connectToServer() = 0;
    // Makes folder the current folder (relative to the login folder); an empty folder
    // stays in the login folder (and checks that the session answers). NotFound when
    // the folder does not exist. Afterwards files are transferred byte for byte.
    virtual void enterFolder(const QString &folder) = 0;
    // Makes the folder (its parent must exist).
    virtual void makeFolder(const QString &folder) = 0;
    // The names in the current folder, hidden ones (".name") included where the server
    // shows them.
    virtual void list() = 0;
    // Sends source, from its current position to its end, into the file remoteName. With
    // offset 0 the file is replaced; with an offset it is continued from that byte (the
    // caller positions source there; needs Capability::Resume). progress() reports the
    // bytes sent so far, counted from the file's first byte; the result's size is offset
    // plus the bytes read from source. The source is read in this object's thread or in
    // the transport's worker; it must not be touched until finished().
    virtual void store(QIODevice *source, const QString &remoteName, qint64 offset) = 0;
    virtual void remoteSize(const QString &remoteName) = 0;
    // Renames from into to, replacing a file named to.
    virtual void rename(const QString &from, const QString &to) = 0;
    virtual void remove(const QString &remoteName) = 0;
    // Ends the session politely; Ok also when the server does not answer in time (the
    // connection is dropped then).
    virtual void quit() = 0;
    virtual void abort() = 0;

signals:
    void finished(PublishTransport::Operation operation, const TransportResult &result);
    // Bytes of the file being stored that have been sent, counted from its first byte.
    void progress(qint64 bytes);
    // The protocol dialogue, one line at a time, for a verbose console; secrets (a
    // password) are already hidden.
    void trace(const QString &line);

protected:
    // Makes operation the running one. While another runs, the new one ends from the
    // event loop with Failed and busyMessage (unless abort() comes first), and this
    // returns false.
    bool begin(Operation operation, const QString &busyMessage);
    // Ends the running operation with result.
    void finish(const TransportResult &result);
    // Forgets the running operation; results posted for it are dropped.
    void dropOperation();

    std::optional<Operation> mOperation;
    // Bumped by abort(): a result posted before it is dropped.
    quint64 mGeneration = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PublishTransport::Capabilities)
Q_DECLARE_METATYPE(TransportResult)

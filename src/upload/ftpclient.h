#pragma once

#include "upload/ftperrors.h"
#include "upload/ftpreplyreader.h"
#include "upload/lowspeedlimit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFlags>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

class FtpDataConnection;
class QHostInfo;
class QIODevice;
class QSslSocket;
class QTcpSocket;

enum TFtpRequest : quint8 {
    rqNone,
    rqConnect,
    rqChangeDir,
    rqPrintDir,
    rqSetType,
    rqMakeDir,
    rqPut,
    rqQuit,
    rqSize,   // SIZE HostFileName: RemoteSize()
    rqRename, // RNFR HostFileName, RNTO RenameTo
    rqDelete, // DELE HostFileName
    rqList,   // NLST or LIST (ListCommand) over a data connection: Listing()
    rqMlst,   // MLST HostFileName: Facts()
};

// How the local file of a store is shared while it is read. Files on this platform
// have no sharing modes; the property is kept so profiles and callers stay portable.
enum TFtpShareMode : quint8 { ftpShareCompat, ftpShareExclusive, ftpShareDenyWrite, ftpShareDenyRead, ftpShareDenyNone };

enum TFtpOption : quint8 { ftpAcceptLF = 0x1 };

// ftpSecurityTLS: explicit FTP over TLS (AUTH TLS after the greeting, every data
// connection encrypted). A client set to TLS never falls back to clear text.
enum TFtpSecurity : quint8 { ftpSecurityNone, ftpSecurityTLS };
Q_DECLARE_FLAGS(TFtpOptions, TFtpOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFtpOptions)

enum class TFtpState : quint8 {
    NotConnected,
    Ready,
    BetweenSteps, // ready inside a sequence request
    LookingUp,
    Connected,    // greeting accepted
    Aborting,
    WaitingGreeting,
    WaitingReply,
};

// An asynchronous FTP client (active or passive data connections, optionally explicit
// FTP over TLS) on the event loop of the thread that owns it. Every Start... call either throws FtpException with the reason it is
// refused, or returns at once; the request's end is reported later by OnRequestDone,
// exactly once, from the event loop (never inside the call that started it). No signal
// is emitted inside any call of this class.
// Its definitions lie along its seams: the requests and their state machine in
// ftpclient.cpp, the control connection (commands, replies, TLS, login) in
// ftpclientcontrol.cpp, the data connections and transfers in ftpclientdata.cpp.
class TFtpClient : public QObject
{
    Q_OBJECT

public:
    explicit TFtpClient(QObject *parent = nullptr);
    ~TFtpClient() override;

    QString HostName;
    QString Port = QStringLiteral("ftp"); // a number or "ftp"
    QString UserName;
    QString PassWord;
    QString HostDirName;
    QString HostFileName;
    QString LocalFileName;
    // The new name of a rename.
    QString RenameTo;
    // A store that continues a file the server holds part of: "REST n" goes before the
    // STOR, and the local file is sent from byte n on.
    qint64 RestartOffset = 0;
    // Where a store reads from instead of opening LocalFileName (which then only names
    // the file in messages). It is read from its current position on; the caller keeps
    // it open and owns it.
    QIODevice *SourceDevice = nullptr;
    // The listing command and its argument, e.g. "NLST -a" or "LIST name".
    QString ListCommand = QStringLiteral("NLST");
    bool Binary = true;
    TFtpShareMode ShareMode = ftpShareExclusive;
    TFtpOptions Options = ftpAcceptLF;
    int Timeout = 15;  // bounds blocking waits, which this client does not have
    bool Passive = false;
    TFtpSecurity Security = ftpSecurityNone;
    // SHA-256 fingerprint of a server certificate trusted although it fails verification.
    QString TrustedCertificate;
    // A request that goes this long without a reply or any progress of its data
    // connection ends with error 10060 and the connection is dropped. The same limit
    // bounds every reply from its first byte to its last, and a store whose data
    // connection moves less than 1 KiB a second over that long fails the same way, so
    // a server that trickles cannot hold a request either. Zero: no limit.
    std::chrono::milliseconds IdleTimeout = std::chrono::seconds(30);
    // QUIT waits at most this long (or IdleTimeout when that is shorter).
    std::chrono::milliseconds QuitTimeout = std::chrono::seconds(10);
    bool MultiThreaded = false;
    bool DisplayFileFlag = false;

    // A reply longer than this (its lines with their line ends) drops the connection.
    static constexpr int maximumReplyLines = 1000;
    static constexpr qint64 maximumReplyBytes = 64 * 1024;

    // Text of the first failure since the last sequence request (connect, put) started.
    QString ErrorMessage() const { return mErrorMessage; }
    // Text of the failure of the current or last request alone (ErrorMessage() may
    // still hold an earlier request's).
    QString RequestErrorMessage() const { return mRequestError; }
    TFtpState State() const { return mState; }
    TFtpRequest RequestType() const { return mRequest; }
    int StatusCode() const { return mStatusCode; }
    QString LastResponse() const { return mLastResponse; }
    // Bytes of the current or last store sent so far.
    qint64 ByteCount() const { return mByteCount; }
    // The SHA-256 fingerprint of the server certificate that made the last connect
    // fail verification (see TrustedCertificate); empty when that was not the failure.
    QString RefusedCertificate() const { return mRefusedCertificate; }
    // Names and credentials go out as UTF-8 (the server announced UTF8), else as
    // Windows-1252.
    bool Utf8() const { return mUtf8; }
    // The first word of each feature the server listed in reply to FEAT ("SIZE",
    // "MLST", "REST", "UTF8"), upper case.
    QStringList Features() const { return mFeatures; }
    // The size SIZE reported; -1 before.
    qint64 RemoteSize() const { return mRemoteSize; }
    // The lines of the last listing (rqList), without their line ends.
    QStringList Listing() const { return mListing; }
    // The facts line of the last MLST ("size=12;type=file; name"), without its leading blank.
    QString Facts() const { return mFacts; }
    // A listing larger than this fails rather than filling the memory.
    static constexpr qint64 maximumListingBytes = 4 * 1024 * 1024;

    void StartConnect();
    void StartChangeDir();
    void StartPrintDir();
    void StartSetType();
    void StartMakeDir();
    void StartPut();
    void StartQuit();
    void StartSize();
    void StartRename();
    void StartDelete();
    void StartList();
    void StartMlst();

    // True while the control connection is open or opening.
    bool IsConnected() const;

    // Drops both connections at once without sending anything; a running request ends
    // without a completion.
    void AbortConnection();

signals:
    void OnRequestDone(TFtpRequest RqType, quint16 Error);
    void OnProgress(qint64 Count, bool &Abort);
    void OnDisplay(QString &Msg);
    void OnCommand(QString &Cmd);
    void OnResponse();
    void OnSessionConnected(quint16 Error);
    void OnSessionClosed(quint16 Error);
    void OnStateChange();
    void OnReadyToTransmit(bool &bCancel);
    // A handler connected to one of the other signals threw. Setting CanAbort drops the
    // connection (it starts set when the exception left a socket event, since the
    // transfer under it cannot be trusted any more).
    void OnBgException(const QString &Message, bool &CanAbort);

private:
    enum class Step : quint8 {
        Single,
        Connect,
        AuthTls,
        Features,
        Utf8,
        User,
        Pass,
        ProtectionBuffer,
        Protection,
        DataPort,
        Restart,
        Store,
        List,
        RenameFrom,
        RenameTo,
    };
    enum class ReplyHandler : quint8 { None, Generic, AnyReply, Features, AuthTls, Passive, Store, Size, Mlst };

    void checkReady(bool startsWithConnect, bool needsConnection) const;
    void begin(TFtpRequest request, QList<Step> steps, const QStringList &arguments);
    void checkFileName(const QString &name) const;
    void startSingle(TFtpRequest request, const QString &command, QList<int> expected, const QStringList &arguments = {},
                     ReplyHandler handler = ReplyHandler::Generic);
    void kick();
    void runNextStep();
    void stepDone(int result);
    void complete(int error);
    void failStep(int status, int error, const QString &message, bool traced = false);
    std::chrono::milliseconds requestLimit() const;
    void touch();
    void timedOut();
    void checkSpeed();
    // Drops both connections and ends the request with this error and text.
    void giveUp(int error, const QString &message);
    bool countReplyLine(const QByteArray &raw, bool final);
    void resetReply();

    void lookUp();
    void lookedUp(const QHostInfo &info);
    void sendCommand(QString command, QList<int> expected, ReplyHandler handler, bool closeAfterReply = false);
    void sendUser();
    void sendPass();
    void openDataPort();
    void startStore();
    void startList();
    void sizeReply(const QString &line, const FtpReplyLine &reply);
    void mlstReply(const QString &line, const FtpReplyLine &reply);
    // A final reply that ends a single-command request: the result from the expected
    // codes, the failing line kept as the error.
    void finishSingle(const QString &line, const FtpReplyLine &reply);
    void startTls();
    void controlSslErrors();
    QSslSocket *secureControl() const;
    QSslConfiguration tlsConfiguration() const;
    void featuresReply(const QString &line, const FtpReplyLine &reply);
    void authReply(const QString &line, const FtpReplyLine &reply);
    void passiveReply(const QString &line, const FtpReplyLine &reply);
    FtpDataConnection *newDataConnection();

    void controlConnected();
    void controlError();
    void controlReadyRead();
    void controlClosed();
    void closeControl();
    void handleLine(const QByteArray &raw);
    void genericReply(const QString &line, const FtpReplyLine &reply);
    void storeReply(const QString &line, const FtpReplyLine &reply);

    void dataEstablished();
    void dataReady();
    void dataReceived();
    void dataFailed(int error, const QString &message);
    void maybeStartSending();
    void sendNextBlock();
    void dataWritten();
    void dataClosed(int error);
    void endData(int error, const QString &message);
    void maybeFinishStore();
    void dropData();

    void setState(TFtpState state);
    void setError(const QString &text);
    void trace(QString text);
    void post(bool fromSocket, std::function<void()> work);
    bool alive(quint64 generation) const { return generation == mGeneration; }
    void guarded(bool fromSocket, const std::function<void()> &work);
    // Drops a running lookup and both connections at once, sending nothing.
    void closeConnections();
    void releaseSockets();

    TFtpState mState = TFtpState::Ready;
    TFtpRequest mRequest = rqNone;
    QString mErrorMessage;
    QString mRequestError;
    QString mLastResponse;
    int mStatusCode = 0;
    int mRequestResult = 0;
    bool mRequestActive = false;
    bool mUnsafeArguments = false;
    QList<Step> mPendingSteps;
    Step mLastStep = Step::Single;
    QString mSingleCommand;
    QList<int> mSingleExpected;
    ReplyHandler mSingleHandler = ReplyHandler::Generic;
    QList<int> mExpected;
    ReplyHandler mReplyHandler = ReplyHandler::None;
    bool mCloseAfterReply = false;
    // Bumped by every abort: work posted before it is dropped when it arrives.
    quint64 mGeneration = 0;
    QTimer mIdleTimer;
    // The reply being received: when its first byte came (invalid between replies),
    // its lines and bytes so far.
    QElapsedTimer mReplyStarted;
    int mReplyLines = 0;
    qint64 mReplyBytes = 0;

    int mLookupId = -1;
    // A TLS socket only for a profile that asks for TLS: a plain session never loads
    // the TLS backend, its library or the system's certificates.
    QTcpSocket *mControl = nullptr;
    bool mSecureSession = false; // the connection being made asks for TLS
    bool mConnected = false;
    bool mClosingControl = false;
    int mControlError = 0;
    FtpReplyReader mReader;
    bool mUtf8 = false;
    bool mTlsActive = false;
    bool mAwaitingTls = false;
    QString mRefusedCertificate;
    QStringList mFeatures;
    bool mTriedPasv = false;
    bool mPassiveConnecting = false;

    FtpDataConnection *mData = nullptr;
    // The transfer on the data connection receives a listing instead of sending a file.
    bool mReceiving = false;
    QByteArray mReceived;
    QStringList mListing;
    qint64 mRemoteSize = -1;
    QString mFacts;
    QFile mFile;
    QIODevice *mSource = nullptr;
    QByteArray mChunk;
    qint64 mByteCount = 0;
    bool mPreliminary = false;
    bool mAccepted = false;
    bool mFinal = false;
    bool mClosed = false;
    bool mEndOfFile = false;
    bool mSendingStarted = false;
    // The system sends the file straight from its descriptor, until it says it cannot.
    bool mSendsFromFile = false;
    qint64 mNextReport = 0; // the next block to report progress for, when sending from the file
    bool mDataClosing = false;
    int mCloseError = 0; // why the data connection ended early, 0 when it ended normally
    QElapsedTimer mStartTick;
    QTimer mSpeedTimer;
    std::optional<LowSpeedLimit> mLowSpeed;
};

Q_DECLARE_METATYPE(TFtpRequest)

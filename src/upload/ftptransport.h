#pragma once

#include "upload/ftpclient.h"
#include "upload/publishtransport.h"

struct ServerProfile;

// Publishing over FTP or explicit FTP over TLS, through one TFtpClient. Each operation
// is one request of the client, or a few in a row where FTP needs them (CWD then
// TYPE I; SIZE, else MLST, else LIST of the file; NLST -a, else NLST).
class FtpTransport : public PublishTransport
{
    Q_OBJECT

public:
    explicit FtpTransport(const ServerProfile &profile, QObject *parent = nullptr);
    ~FtpTransport() override;

    // The client under the transport, for tests and traces.
    TFtpClient &client() { return mFtp; }

    QString hostName() const override { return mFtp.HostName; }
    Capabilities capabilities() const override;
    bool isConnected() const override { return mFtp.IsConnected(); }

    void connectToServer() override;
    void enterFolder(const QString &folder) override;
    void makeFolder(const QString &folder) override;
    void list() override;
    void store(QIODevice *source, const QString &remoteName, qint64 offset) override;
    void remoteSize(const QString &remoteName) override;
    void rename(const QString &from, const QString &to) override;
    void remove(const QString &remoteName) override;
    void quit() override;
    void abort() override;

    // The question asked about a server certificate that fails verification.
    static QString trustQuestion(const QString &errorMessage);
    // The size in one line of a LIST reply (Unix "ls -l" or Windows "dir" form); -1
    // when the line has none.
    static qint64 sizeInListing(const QString &line);
    // The size fact of an MLST facts line ("size=12;type=file; name"); -1 without one.
    static qint64 sizeInFacts(const QString &facts);

private:
    // The client requests of one operation, each started when the one before it is done.
    enum class Step : quint8 {
        Connect,
        ChangeDir,
        PrintDir,
        SetType,
        MakeDir,
        ListHidden,
        ListPlain,
        Store,
        Size,
        Mlst,
        ListFile,
        Rename,
        Delete,
        Quit,
    };

    bool begin(Operation operation);
    void run(Step step);
    void requestDone(TFtpRequest request, quint16 error);
    void stepFailed(quint16 error);
    void finish(TransportResult result);
    TransportResult failure(quint16 error) const;
    void sizeFound(qint64 size);

    TFtpClient mFtp;
    Step mStep = Step::Connect;
    qint64 mOffset = 0;
    static constexpr qint64 progressStep = 256 * 1024;
    qint64 mProgressSent = 0;
};

#pragma once

#include "upload/publishtransport.h"
#include "upload/sftpsession.h"

#include <functional>

struct ServerProfile;
class PassphrasePrompt;

// Publishing over SFTP, through one SftpSession. SFTP has no current folder: the
// transport keeps the folder entered and names every file below it; a folder that does
// not begin with "/" is taken from the login folder.
class SftpTransport : public PublishTransport
{
    Q_OBJECT

public:
    // prompt: asks for the passphrase of an encrypted key file (the wizard); without one
    // such a login fails with a hint to load the key into an SSH agent.
    explicit SftpTransport(const ServerProfile &profile, PassphrasePrompt *prompt = nullptr, QObject *parent = nullptr);
    ~SftpTransport() override;

    SftpSession &session() { return mSession; }

    QString hostName() const override { return mLogin.host; }
    Capabilities capabilities() const override;
    bool isConnected() const override { return mSession.isConnected(); }

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

    // The question asked about a host key that neither the profile nor known_hosts knows.
    static QString trustQuestion(const QString &where, const HostKey &key);
    // Said after a changed host key, and after an unknown one on the command line.
    static QString changedKeyAdvice();

private:
    bool begin(Operation operation);
    // Starts the session's request for the operation; a refusal of the session ends the
    // operation from the event loop.
    void start(Operation operation, const QString &command, const std::function<void()> &request);
    void sessionDone(SftpRequest request, SftpError error);
    // Asks for the key file's passphrase and logs in again with it; false when the user
    // declines.
    bool askPassphrase();
    TransportResult failure(SftpError error) const;
    QString path(const QString &name) const;
    QString where() const;

    SftpSession mSession;
    SftpLogin mLogin;
    PassphrasePrompt *mPrompt;
    QString mFolder;
    QString mEntering;
    int mPassphraseQuestions = 0;
};

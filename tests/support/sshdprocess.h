#pragma once

#include "upload/sftpsession.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's OpenSSH sshd, run in the foreground on 127.0.0.1 and a free port with its
// own host key, configuration and authorized keys in a temporary folder. It takes the
// user who runs the test (root included), logs in with the key userKeyFile() and
// serves SFTP with loginFolder() as the folder a login starts in. The server ends, with
// every connection it serves, when this object is destroyed.
//
// With a password, password logins are taken as well: sshd then runs in a mount
// namespace of its own in which a shadow file of the test's making holds the user's
// password, so no account of the machine is touched. That needs root and a machine
// that lets it make mount namespaces (many containers do not); start() fails where
// they are missing (canUsePasswords() tries it beforehand).
class SshdProcess
{
public:
    SshdProcess();
    ~SshdProcess();
    SshdProcess(const SshdProcess &) = delete;
    SshdProcess &operator=(const SshdProcess &) = delete;

    static QString executable() { return QStringLiteral("/usr/sbin/sshd"); }
    static bool isInstalled();
    static bool canUsePasswords();

    // The login of userKeyFile() with this server's host key trusted, no agent asked.
    SftpLogin login() const;

    // baseFolder: where the server's folder is made (a tmpfs such as /dev/shm for
    // benchmarks); the system's temporary folder when empty. False with the reason
    // (and the server's own words) in errorString() when the server does not answer
    // within ten seconds.
    bool start(const QString &password = QString(), const QString &baseFolder = QString());
    // Stops the server and starts it again on the same port with a new host key.
    bool restartWithNewHostKey();
    // Freezes every connection the server serves (SIGSTOP): they stop answering
    // without closing; new connections are still accepted.
    void freezeConnections();
    void stop();

    quint16 port() const { return mPort; }
    QString user() const;
    QString loginFolder() const { return mFolder->filePath(QStringLiteral("login")); }
    QString userKeyFile() const { return mFolder->filePath(QStringLiteral("user_key")); }
    QString hostKeyType() const { return QStringLiteral("ssh-ed25519"); }
    // As `ssh-keygen -l -E sha256` prints it.
    QString hostKeyFingerprint() const { return mFingerprint; }
    // The line a known_hosts file holds for this server.
    QString knownHostsLine() const;
    QString errorString() const { return mError; }

    // Lets the public key of this key file log in too.
    bool authorizeKey(const QString &keyFile);

    // Makes a key with ssh-keygen (ed25519); false when that fails.
    static bool makeKey(const QString &file, const QString &passphrase = QString());

private:
    bool launch();
    bool makeHostKey();
    QList<qint64> connectionProcesses() const;

    std::unique_ptr<QTemporaryDir> mFolder;
    QProcess mProcess;
    quint16 mPort = 0;
    QString mPassword;
    QString mFingerprint;
    QString mError;
};

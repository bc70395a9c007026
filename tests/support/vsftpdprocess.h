#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Debian's vsftpd, run in the foreground on 127.0.0.1 and a free port with a
// configuration written here: anonymous login (any password) with uploads into
// uploadFolder(), running as the user who starts it (root or not). With a certificate
// (a PEM file with its key) it takes explicit FTP over TLS only, and with its default
// rule that every data connection must resume the control connection's TLS session.
// The server ends when this object is destroyed. Its files live in a new folder below
// parentFolder (the system's temporary folder when empty), and it logs every transfer.
class VsftpdProcess
{
public:
    explicit VsftpdProcess(const QString &parentFolder = QString());
    ~VsftpdProcess();
    VsftpdProcess(const VsftpdProcess &) = delete;
    VsftpdProcess &operator=(const VsftpdProcess &) = delete;

    static QString executable() { return QStringLiteral("/usr/sbin/vsftpd"); }
    static bool isInstalled();

    // False with the reason (and the server's own words) in errorString() when the
    // server does not answer within ten seconds. extraConfig: more lines for its
    // configuration ("anon_max_rate=100000\n").
    bool start(const QString &certificate = QString(), const QString &extraConfig = QString());
    quint16 port() const { return mPort; }
    QString uploadFolder() const { return mFolder.filePath(QStringLiteral("root/pub")); }
    // The names of the files the server has stored so far, in order, as its log tells.
    QStringList storedFiles() const;
    QString errorString() const { return mError; }
    void stop();

private:
    QTemporaryDir mFolder;
    QProcess mProcess;
    quint16 mPort = 0;
    QString mError;
};

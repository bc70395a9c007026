#pragma once

#include <QProcess>
#include <QString>

// A real FTP server (the ftpserver.py script beside this file, on Debian's pyftpdlib)
// serving one folder to one user on 127.0.0.1. The server ends when this object is
// destroyed, and by itself after its lifetime in any case.
class FtpServerProcess
{
public:
    FtpServerProcess() = default;
    ~FtpServerProcess();
    FtpServerProcess(const FtpServerProcess &) = delete;
    FtpServerProcess &operator=(const FtpServerProcess &) = delete;

    // False with the reason in errorString() when the server does not come up within
    // ten seconds (no /usr/bin/python3, no pyftpdlib, ...). With a certificate (a PEM
    // file with its key) the server accepts only explicit FTP over TLS.
    bool start(const QString &root, const QString &user, const QString &password, const QString &certificate = QString(),
               int lifetimeSeconds = 300);
    quint16 port() const { return mPort; }
    // Set before start(): the data connections show this certificate (a PEM file with
    // its key) instead of the login's, as a server that another host stands in for.
    QString dataCertificate;
    QString errorString() const { return mError; }
    void stop();

    static QString python() { return QStringLiteral("/usr/bin/python3"); }
    // Writes a new self-signed certificate for 127.0.0.1 with its key into one PEM
    // file; false when that fails.
    static bool makeCertificate(const QString &pemFile);

private:
    QProcess mProcess;
    quint16 mPort = 0;
    QString mError;
};

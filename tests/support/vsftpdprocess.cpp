#include "vsftpdprocess.h"

#include "endprocess.h"
#include "loopbackserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

VsftpdProcess::VsftpdProcess(const QString &parentFolder)
    : mFolder((parentFolder.isEmpty() ? QDir::tempPath() : parentFolder) + QStringLiteral("/vsftpd-XXXXXX"))
{
}

VsftpdProcess::~VsftpdProcess()
{
    stop();
    // Files the server stored under Windows-1252 names are not valid UTF-8, so
    // QDir cannot name them and QTemporaryDir would leave the folder behind:
    // remove it by its bytes instead.
    std::error_code ignored;
    std::filesystem::remove_all(QFile::encodeName(mFolder.path()).toStdString(), ignored);
}

bool VsftpdProcess::isInstalled()
{
    return QFileInfo(executable()).isExecutable();
}

QStringList VsftpdProcess::storedFiles() const
{
    QFile log(mFolder.filePath(QStringLiteral("vsftpd.log")));
    QStringList names;
    if (!log.open(QIODevice::ReadOnly))
        return names;
    // ... OK UPLOAD: Client "127.0.0.1", "/pub/name", 3000 bytes, 2.93Kbyte/sec
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.contains("OK UPLOAD:"))
            names.append(QString::fromUtf8(line.split('"').value(3)).section(u'/', -1));
    }
    return names;
}

bool VsftpdProcess::start(const QString &certificate, const QString &extraConfig)
{
    const QString root = mFolder.filePath(QStringLiteral("root"));
    const QString empty = mFolder.filePath(QStringLiteral("empty"));
    if (!mFolder.isValid() || !QDir().mkpath(uploadFolder()) || !QDir().mkpath(empty)) {
        mError = QStringLiteral("cannot make the server's folders");
        return false;
    }
    mPort = LoopbackServer::freePort();
    // run_as_launching_user keeps the whole server in the user who starts it, which
    // works alike for root (CI) and for a developer; the server is reachable from
    // this machine only.
    QString config = QStringLiteral("listen=YES\n"
                                    "listen_ipv6=NO\n"
                                    "listen_address=127.0.0.1\n"
                                    "listen_port=%1\n"
                                    "background=NO\n"
                                    "run_as_launching_user=YES\n"
                                    "seccomp_sandbox=NO\n"
                                    "anonymous_enable=YES\n"
                                    "no_anon_password=NO\n"
                                    "local_enable=NO\n"
                                    "write_enable=YES\n"
                                    "anon_upload_enable=YES\n"
                                    "anon_umask=022\n"
                                    "anon_root=%2\n"
                                    "secure_chroot_dir=%3\n"
                                    "xferlog_enable=YES\n"
                                    "vsftpd_log_file=%4\n"
                                    "pasv_enable=YES\n"
                                    "anon_other_write_enable=YES\n")
                         .arg(mPort)
                         .arg(root, empty, mFolder.filePath(QStringLiteral("vsftpd.log")));
    if (!certificate.isEmpty()) {
        config += QStringLiteral("ssl_enable=YES\n"
                                 "allow_anon_ssl=YES\n"
                                 "force_anon_logins_ssl=YES\n"
                                 "force_anon_data_ssl=YES\n"
                                 "ssl_ciphers=HIGH\n"
                                 "rsa_cert_file=%1\n")
                      .arg(certificate);
    }
    config += extraConfig;
    const QString configFile = mFolder.filePath(QStringLiteral("vsftpd.conf"));
    QFile file(configFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0 || !file.flush()) {
        mError = QStringLiteral("cannot write %1").arg(configFile);
        return false;
    }
    file.close();
    // vsftpd refuses a configuration file that others could change.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    mProcess.setProcessChannelMode(QProcess::MergedChannels);
    mProcess.start(executable(), {configFile});
    mError = LoopbackServer::awaitGreeting(mProcess, mPort, "220", QStringLiteral("vsftpd"));
    if (mError.isEmpty())
        return true;
    stop();
    return false;
}

void VsftpdProcess::stop()
{
    endProcess(mProcess);
}

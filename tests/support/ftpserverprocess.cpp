#include "ftpserverprocess.h"

#include <QDeadlineTimer>
#include <QFileInfo>

FtpServerProcess::~FtpServerProcess()
{
    stop();
}

namespace {
// The scripts lie beside this file; the build names the folder, since __FILE__ may
// be relative to a build directory that is not the current one.
QString script(const char *name)
{
    return QStringLiteral(VENDRIX_TEST_SUPPORT_DIR "/") + QLatin1StringView(name);
}
}

bool FtpServerProcess::makeCertificate(const QString &pemFile)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(python(), {script("makecertificate.py"), pemFile});
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool FtpServerProcess::start(const QString &root, const QString &user, const QString &password, const QString &certificate,
                             int lifetimeSeconds)
{
    QStringList arguments{script("ftpserver.py"), QStringLiteral("--root"), root, QStringLiteral("--user"), user,
                          QStringLiteral("--password"), password, QStringLiteral("--lifetime"), QString::number(lifetimeSeconds)};
    if (!certificate.isEmpty())
        arguments << QStringLiteral("--certificate") << certificate;
    if (!dataCertificate.isEmpty())
        arguments << QStringLiteral("--data-certificate") << dataCertificate;
    mProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mProcess.start(python(), arguments);
    if (!mProcess.waitForStarted(5000)) {
        mError = QStringLiteral("cannot start %1: %2").arg(python(), mProcess.errorString());
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!mProcess.canReadLine() && !deadline.hasExpired() && mProcess.state() == QProcess::Running)
        mProcess.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    bool ok = false;
    const uint port = mProcess.canReadLine() ? mProcess.readLine().trimmed().toUInt(&ok) : 0;
    if (!ok || port == 0 || port > 65535) {
        mError = QStringLiteral("the FTP server script did not report its port");
        stop();
        return false;
    }
    mPort = quint16(port);
    return true;
}

void FtpServerProcess::stop()
{
    if (mProcess.state() == QProcess::NotRunning)
        return;
    mProcess.closeWriteChannel();
    if (!mProcess.waitForFinished(3000)) {
        mProcess.kill();
        mProcess.waitForFinished(3000);
    }
}

#include "ftpserverprocess.h"

#include <QDeadlineTimer>
#include <QFileInfo>

FtpServerProcess::~FtpServerProcess()
{
    stop();
}

bool FtpServerProcess::start(const QString &root, const QString &user, const QString &password, int lifetimeSeconds)
{
    const QString script = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/ftpserver.py");
    mProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mProcess.start(python(), {script, QStringLiteral("--root"), root, QStringLiteral("--user"), user,
                              QStringLiteral("--password"), password, QStringLiteral("--lifetime"),
                              QString::number(lifetimeSeconds)});
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

#include "benchregistry.h"

#include "ftpserverprocess.h"
#include "upload/ftpclient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr qint64 fileSize = 64 * 1024 * 1024;

// Starts one request and waits for its completion; the error, or -1 after two minutes.
int runRequest(TFtpClient &ftp, void (TFtpClient::*request)())
{
    QEventLoop loop;
    int result = -1;
    const QMetaObject::Connection done = QObject::connect(&ftp, &TFtpClient::OnRequestDone, &loop, [&](TFtpRequest, quint16 error) {
        result = error;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    try {
        (ftp.*request)();
        loop.exec();
    } catch (const FtpException &) {
    }
    QObject::disconnect(done);
    return result;
}

double megabytesPerSecond(qint64 bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? (bytes / (1024.0 * 1024.0)) / (nanoseconds / 1e9) : 0.0;
}

void uploadThroughput(QTextStream &out)
{
    QTemporaryDir local;
    QTemporaryDir remote;
    const QString source = local.filePath(QStringLiteral("payload.bin"));
    {
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly)) {
            out << "cannot write " << source << '\n';
            return;
        }
        QByteArray block(1024 * 1024, Qt::Uninitialized);
        quint32 x = 12345;
        for (qint64 written = 0; written < fileSize; written += block.size()) {
            for (char &c : block) {
                x = x * 1103515245u + 12345u;
                c = char(x >> 24);
            }
            file.write(block);
        }
    }
    FtpServerProcess server;
    if (!server.start(remote.path(), QStringLiteral("bench"), QStringLiteral("bench"), 600)) {
        out << "no local FTP server: " << server.errorString() << '\n';
        return;
    }

    TFtpClient ftp;
    ftp.HostName = QStringLiteral("127.0.0.1");
    ftp.Port = QString::number(server.port());
    ftp.UserName = QStringLiteral("bench");
    ftp.PassWord = QStringLiteral("bench");
    ftp.LocalFileName = source;
    ftp.HostFileName = QStringLiteral("client.bin");
    if (runRequest(ftp, &TFtpClient::StartConnect) != 0 || runRequest(ftp, &TFtpClient::StartSetType) != 0) {
        out << "cannot log in: " << ftp.ErrorMessage() << '\n';
        return;
    }
    QElapsedTimer timer;
    timer.start();
    const int stored = runRequest(ftp, &TFtpClient::StartPut);
    const qint64 clientNs = timer.nsecsElapsed();
    runRequest(ftp, &TFtpClient::StartQuit);
    const qint64 received = QFileInfo(remote.filePath(QStringLiteral("client.bin"))).size();
    if (stored != 0 || received != fileSize) {
        out << "upload failed (" << stored << ", " << received << " bytes stored): " << ftp.ErrorMessage() << '\n';
        return;
    }
    const double client = megabytesPerSecond(fileSize, clientNs);
    out << QStringLiteral("FTP client: 64 MB in %1 s, %2 MB/s (blocks of 1514 bytes)\n").arg(clientNs / 1e9, 0, 'f', 2).arg(client, 0, 'f', 1);

    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) {
        out << "curl is not installed: no comparison\n";
        return;
    }
    // Active mode as well, so both clients use the same kind of data connection.
    QProcess process;
    timer.restart();
    process.start(curl, {QStringLiteral("-sS"), QStringLiteral("-P"), QStringLiteral("127.0.0.1"), QStringLiteral("-u"),
                         QStringLiteral("bench:bench"), QStringLiteral("-T"), source,
                         QStringLiteral("ftp://127.0.0.1:%1/curl.bin").arg(server.port())});
    const bool finished = process.waitForFinished(120000);
    const qint64 curlNs = timer.nsecsElapsed();
    if (!finished || process.exitCode() != 0
        || QFileInfo(remote.filePath(QStringLiteral("curl.bin"))).size() != fileSize) {
        out << "curl upload failed: " << process.readAllStandardError() << '\n';
        return;
    }
    const double reference = megabytesPerSecond(fileSize, curlNs);
    out << QStringLiteral("curl: 64 MB in %1 s, %2 MB/s (includes its start-up and login)\n").arg(curlNs / 1e9, 0, 'f', 2).arg(reference, 0, 'f', 1);
    out << QStringLiteral("FTP client / curl: %1\n").arg(client / reference, 0, 'f', 2);
}

}

VENDRIX_BENCH("upload: 64 MB to a local FTP server", uploadThroughput)

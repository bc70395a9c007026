#include "benchregistry.h"
#include "payload.h"

#include "sshdprocess.h"
#include "upload/sftpsession.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

// Files on both ends live in memory (tmpfs), so the disk is not what is measured.
QString memoryFolder()
{
    return QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

bool runRequest(SftpSession &session, const std::function<void()> &start)
{
    QEventLoop loop;
    SftpError error = SftpError::Failure;
    const QMetaObject::Connection done = QObject::connect(&session, &SftpSession::done, &loop, [&](SftpRequest, SftpError e) {
        error = e;
        loop.quit();
    });
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    start();
    loop.exec();
    QObject::disconnect(done);
    return error == SftpError::None;
}

// One session of the program storing the file: connect, log in, put, quit.
double sessionSeconds(const SshdProcess &server, const QString &source, QTextStream &out)
{
    SftpLogin login;
    login.host = QStringLiteral("127.0.0.1");
    login.port = server.port();
    login.user = server.user();
    login.keyFile = server.userKeyFile();
    login.useAgent = false;
    login.trustedHostKey = server.hostKeyFingerprint();
    SftpSession session;
    QFile file(source);
    QElapsedTimer timer;
    timer.start();
    const bool ok = file.open(QIODevice::ReadOnly) && runRequest(session, [&] { session.connectToHost(login); })
        && runRequest(session, [&] { session.put(&file, QStringLiteral("session.bin")); })
        && runRequest(session, [&] { session.quit(); });
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!ok || QFileInfo(server.loginFolder() + QStringLiteral("/session.bin")).size() != QFileInfo(source).size()) {
        out << "  session upload failed: " << session.errorString() << '\n';
        return -1;
    }
    return seconds;
}

// The same by OpenSSH's sftp in batch mode, its whole process.
double sftpSeconds(const SshdProcess &server, const QString &sftp, const QString &batch, const QString &source, QTextStream &out)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(sftp, {QStringLiteral("-q"), QStringLiteral("-b"), batch, QStringLiteral("-i"), server.userKeyFile(), QStringLiteral("-P"),
                         QString::number(server.port()), QStringLiteral("-o"), QStringLiteral("StrictHostKeyChecking=no"), QStringLiteral("-o"),
                         QStringLiteral("UserKnownHostsFile=/dev/null"), QStringLiteral("-o"), QStringLiteral("BatchMode=yes"),
                         server.user() + QStringLiteral("@127.0.0.1")});
    const bool finished = process.waitForFinished(300000);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!finished || process.exitCode() != 0
        || QFileInfo(server.loginFolder() + QStringLiteral("/sftp.bin")).size() != QFileInfo(source).size()) {
        out << "  sftp upload failed: " << process.readAllStandardError() << '\n';
        return -1;
    }
    return seconds;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// Throughput of the program's SFTP session against `sftp -b` on the same server, in
// turns so that both see the same load; medians of five and the ratio of each pair.
void sftpThroughput(QTextStream &out)
{
    const QString sftp = QStandardPaths::findExecutable(QStringLiteral("sftp"));
    if (!SshdProcess::isInstalled() || sftp.isEmpty()) {
        out << "sshd or sftp is not installed\n";
        return;
    }
    SshdProcess server;
    if (!server.start(QString(), memoryFolder())) {
        out << "cannot start sshd: " << server.errorString() << '\n';
        return;
    }
    QTemporaryDir local(memoryFolder() + QStringLiteral("/vendrix-bench-XXXXXX"));
    const qint64 size = 256 * mebibyte;
    const QString source = writePayload(local.filePath(QStringLiteral("payload.bin")), size);
    const QString batch = local.filePath(QStringLiteral("batch"));
    QFile batchFile(batch);
    if (source.isEmpty() || !batchFile.open(QIODevice::WriteOnly)
        || batchFile.write(QStringLiteral("put %1 sftp.bin\n").arg(source).toUtf8()) < 0) {
        out << "cannot write the payload\n";
        return;
    }
    batchFile.close();
    QList<double> ours, theirs, ratios;
    for (int run = 0; run < 5; ++run) {
        const double a = sessionSeconds(server, source, out);
        const double b = sftpSeconds(server, sftp, batch, source, out);
        if (a <= 0 || b <= 0)
            return;
        ours << a;
        theirs << b;
        ratios << b / a;
        QFile::remove(server.loginFolder() + QStringLiteral("/session.bin"));
        QFile::remove(server.loginFolder() + QStringLiteral("/sftp.bin"));
    }
    out << QStringLiteral("  256 MiB over SFTP to sshd on 127.0.0.1 (files in %1), medians of 5 in turns: session %2 MiB/s, "
                          "sftp -b %3 MiB/s; throughput session/sftp %4 (pairs from %5 to %6)\n")
               .arg(memoryFolder())
               .arg(size / mebibyte / median(ours), 0, 'f', 1)
               .arg(size / mebibyte / median(theirs), 0, 'f', 1)
               .arg(median(ratios), 0, 'f', 2)
               .arg(*std::min_element(ratios.cbegin(), ratios.cend()), 0, 'f', 2)
               .arg(*std::max_element(ratios.cbegin(), ratios.cend()), 0, 'f', 2);
}

}

VENDRIX_BENCH("sftp: 256 MiB to a local sshd, against sftp -b", sftpThroughput)

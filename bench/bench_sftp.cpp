#include "benchregistry.h"
#include "payload.h"

#include "sshdprocess.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "upload/sftpsession.h"

#include <QCoreApplication>
#include <QDir>
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
    const SftpLogin login = server.login();
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

// The program's whole --publish of a page whose picture is the payload, as a user runs
// it (page check, upload copy, login, transfer), its whole process.
class PublishCommand
{
public:
    PublishCommand(const SshdProcess &server, const QString &folder) : mServer(server), mFolder(folder) {}

    // The page document and the profile; the payload is to be written to picture().
    bool prepare(QTextStream &out)
    {
        TPagelette page;
        page.NewPage();
        page.Page().Items(1).ImageBlock().FileName = QStringLiteral("big.jpg");
        QDir().mkpath(mFolder + QStringLiteral("/data/Upload/images"));
        if (Documents::SaveDocument(document(), page) != Documents::SaveResult::Saved) {
            out << "cannot save the page document\n";
            return false;
        }
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(executable(), {QStringLiteral("--set-profile"), QStringLiteral("Bench"), QStringLiteral("--sftp"), QStringLiteral("--host"),
                                     QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QString::number(mServer.port()),
                                     QStringLiteral("--user"), mServer.user(), QStringLiteral("--key-file"), mServer.userKeyFile(),
                                     QStringLiteral("--trust-host-key"), mServer.hostKeyFingerprint()});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            out << "cannot make the profile: " << process.readAllStandardError() << '\n';
            return false;
        }
        return true;
    }

    QString picture() const { return mFolder + QStringLiteral("/data/Upload/images/big.jpg"); }

    double seconds(QTextStream &out) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        QElapsedTimer timer;
        timer.start();
        // The picture is noise, not a JPEG: the page check's complaint is no reason to stop.
        // Every turn sends the same picture again, which only --all does.
        process.start(executable(), {QStringLiteral("--publish"), document(), QStringLiteral("--profile"), QStringLiteral("Bench"),
                                     QStringLiteral("--data-dir"), mFolder + QStringLiteral("/data"), QStringLiteral("--force"),
                                     QStringLiteral("--all")});
        const bool finished = process.waitForFinished(300000);
        const double elapsed = timer.nsecsElapsed() / 1e9;
        const QString stored = mServer.loginFolder() + QStringLiteral("/big.jpg");
        const bool ok = finished && process.exitCode() == 0 && QFileInfo(stored).size() == QFileInfo(picture()).size();
        QFile::remove(stored);
        if (!ok) {
            out << "  --publish failed: " << process.readAllStandardError() << '\n';
            return -1;
        }
        return elapsed;
    }

private:
    QString document() const { return mFolder + QStringLiteral("/page.vxf"); }
    static QString executable() { return QCoreApplication::applicationDirPath() + QStringLiteral("/vendrix"); }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), mFolder + QStringLiteral("/home"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), mFolder + QStringLiteral("/home/config"));
        environment.remove(QStringLiteral("SSH_AUTH_SOCK"));
        return environment;
    }

    const SshdProcess &mServer;
    QString mFolder;
};

QString figures(const QString &name, qint64 size, const QList<double> &seconds, const QList<double> &ratios)
{
    return QStringLiteral("  %1 %2 MiB/s; throughput against sftp -b %3 (pairs from %4 to %5)\n")
        .arg(name, -22)
        .arg(size / mebibyte / median(seconds), 6, 'f', 1)
        .arg(median(ratios), 0, 'f', 2)
        .arg(*std::min_element(ratios.cbegin(), ratios.cend()), 0, 'f', 2)
        .arg(*std::max_element(ratios.cbegin(), ratios.cend()), 0, 'f', 2);
}

// Throughput of the program's SFTP session and of its whole --publish against
// `sftp -b` on the same server, in turns so that all see the same load; medians of
// five and the ratio of each turn's pair.
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
    PublishCommand publish(server, local.path());
    const qint64 size = 256 * mebibyte;
    if (!publish.prepare(out))
        return;
    const QString source = writePayload(publish.picture(), size);
    const QString batch = local.filePath(QStringLiteral("batch"));
    QFile batchFile(batch);
    if (source.isEmpty() || !batchFile.open(QIODevice::WriteOnly)
        || batchFile.write(QStringLiteral("put %1 sftp.bin\n").arg(source).toUtf8()) < 0) {
        out << "cannot write the payload\n";
        return;
    }
    batchFile.close();
    QList<double> session, command, reference, sessionRatios, commandRatios;
    for (int run = 0; run < 5; ++run) {
        const double a = sessionSeconds(server, source, out);
        const double b = publish.seconds(out);
        const double c = sftpSeconds(server, sftp, batch, source, out);
        if (a <= 0 || b <= 0 || c <= 0)
            return;
        session << a;
        command << b;
        reference << c;
        sessionRatios << c / a;
        commandRatios << c / b;
        QFile::remove(server.loginFolder() + QStringLiteral("/session.bin"));
        QFile::remove(server.loginFolder() + QStringLiteral("/sftp.bin"));
    }
    out << QStringLiteral("  256 MiB over SFTP to sshd on 127.0.0.1 (files in %1), medians of 5 in turns; sftp -b %2 MiB/s\n")
               .arg(memoryFolder())
               .arg(size / mebibyte / median(reference), 0, 'f', 1)
        << figures(QStringLiteral("session:"), size, session, sessionRatios)
        << figures(QStringLiteral("whole --publish:"), size, command, commandRatios);
}

}

VENDRIX_BENCH("sftp: 256 MiB to a local sshd, against sftp -b", sftpThroughput)

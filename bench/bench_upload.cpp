#include "benchregistry.h"

#include "ftpserverprocess.h"
#include "vsftpdprocess.h"
#include "upload/certificatefingerprint.h"
#include "upload/ftpclient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSslCertificate>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <ctime>
#include <sys/resource.h>

namespace {

constexpr qint64 mebibyte = 1024 * 1024;

// One server to store into: where it listens, how to log in, where the stored file
// lands on disk.
struct Target
{
    QString name;
    quint16 port = 0;
    QString user;
    QString password;
    QString remoteDir; // prefix of the remote file name
    QString folder;    // the folder on disk behind remoteDir
    bool passive = false;
    bool tls = false;
};

struct Servers
{
    QTemporaryDir local;
    QTemporaryDir remote;
    QString certificate;
    QString fingerprint;
    FtpServerProcess pyftpdlib;
    VsftpdProcess vsftpd;
    VsftpdProcess vsftpdTls;
    QList<Target> targets;
};

struct Figures
{
    double seconds = 0;    // wall time
    double cpuSeconds = 0; // user + system time of the client
    bool ok = false;
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// The process's resident set: "VmRSS" or its peak "VmHWM", in KiB.
qint64 memoryKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Starts the peak resident set afresh (Linux), so that it tells what one upload needed.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

QString writePayload(const QTemporaryDir &dir, qint64 size)
{
    const QString path = dir.filePath(QStringLiteral("payload-%1.bin").arg(size / mebibyte));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray block(mebibyte, Qt::Uninitialized);
    quint64 x = 0x9E3779B97F4A7C15ull;
    for (qint64 written = 0; written < size; written += block.size()) {
        auto *words = reinterpret_cast<quint64 *>(block.data());
        for (qsizetype i = 0; i < block.size() / 8; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            words[i] = x;
        }
        if (file.write(block) != block.size())
            return QString();
    }
    return path;
}

// Starts one request and waits for its completion; the error, or -1 after five minutes.
int runRequest(TFtpClient &ftp, void (TFtpClient::*request)())
{
    QEventLoop loop;
    int result = -1;
    const QMetaObject::Connection done = QObject::connect(&ftp, &TFtpClient::OnRequestDone, &loop, [&](TFtpRequest, quint16 error) {
        result = error;
        loop.quit();
    });
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    try {
        (ftp.*request)();
        loop.exec();
    } catch (const FtpException &) {
    }
    QObject::disconnect(done);
    return result;
}

// One session of the program's client storing the file, timed from connect to the end
// of QUIT.
Figures clientUpload(const Servers &servers, const Target &target, const QString &source, const QString &remoteName, QTextStream &out)
{
    TFtpClient ftp;
    ftp.HostName = QStringLiteral("127.0.0.1");
    ftp.Port = QString::number(target.port);
    ftp.UserName = target.user;
    ftp.PassWord = target.password;
    ftp.Passive = target.passive;
    ftp.Security = target.tls ? ftpSecurityTLS : ftpSecurityNone;
    ftp.TrustedCertificate = servers.fingerprint;
    ftp.LocalFileName = source;
    ftp.HostFileName = target.remoteDir + remoteName;
    Figures figures;
    QElapsedTimer timer;
    const double cpu = processCpuSeconds();
    timer.start();
    if (runRequest(ftp, &TFtpClient::StartConnect) != 0 || runRequest(ftp, &TFtpClient::StartSetType) != 0) {
        out << "  client cannot log in: " << ftp.ErrorMessage() << '\n';
        return figures;
    }
    const int stored = runRequest(ftp, &TFtpClient::StartPut);
    runRequest(ftp, &TFtpClient::StartQuit);
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.cpuSeconds = processCpuSeconds() - cpu;
    figures.ok = stored == 0 && QFileInfo(target.folder + u'/' + remoteName).size() == QFileInfo(source).size();
    if (!figures.ok)
        out << "  client upload failed (" << stored << "): " << ftp.ErrorMessage() << '\n';
    return figures;
}

// The same store by curl, timed from its start (so its start-up and login count too).
Figures curlUpload(const Servers &servers, const Target &target, const QString &curl, const QString &source,
                   const QString &remoteName, QTextStream &out)
{
    QStringList arguments{QStringLiteral("-sS"), QStringLiteral("-u"), target.user + u':' + target.password, QStringLiteral("-T"), source};
    if (!target.passive)
        arguments << QStringLiteral("-P") << QStringLiteral("127.0.0.1");
    if (target.tls)
        arguments << QStringLiteral("--ssl-reqd") << QStringLiteral("--cacert") << servers.certificate;
    arguments << QStringLiteral("ftp://127.0.0.1:%1/%2%3").arg(target.port).arg(target.remoteDir, remoteName);
    QProcess process;
    QElapsedTimer timer;
    const double cpu = childrenCpuSeconds();
    timer.start();
    process.start(curl, arguments);
    const bool finished = process.waitForFinished(300000);
    Figures figures;
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.cpuSeconds = childrenCpuSeconds() - cpu;
    figures.ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        && QFileInfo(target.folder + u'/' + remoteName).size() == QFileInfo(source).size();
    if (!figures.ok)
        out << "  curl upload failed: " << process.readAllStandardError() << '\n';
    return figures;
}

double rate(qint64 bytes, double seconds)
{
    return seconds > 0 ? bytes / double(mebibyte) / seconds : 0.0;
}

// vsftpd in all three modes (the comparison that says most, since the server is fast
// enough not to be the limit), and pyftpdlib, on which the tests run, in clear text.
// (curl's TLS data connections fail against pyftpdlib, so TLS is measured on vsftpd.)
bool startServers(Servers &servers, QTextStream &out)
{
    servers.certificate = servers.local.filePath(QStringLiteral("server.pem"));
    if (!FtpServerProcess::makeCertificate(servers.certificate)) {
        out << "cannot make a certificate (python3-openssl)\n";
        return false;
    }
    servers.fingerprint = CertificateFingerprint::of(QSslCertificate::fromPath(servers.certificate).value(0));
    if (VsftpdProcess::isInstalled() && servers.vsftpd.start() && servers.vsftpdTls.start(servers.certificate)) {
        const QString user = QStringLiteral("anonymous");
        const QString password = QStringLiteral("bench");
        const QString dir = QStringLiteral("pub/");
        servers.targets.append({QStringLiteral("vsftpd, active"), servers.vsftpd.port(), user, password, dir,
                                servers.vsftpd.uploadFolder(), false, false});
        servers.targets.append({QStringLiteral("vsftpd, passive"), servers.vsftpd.port(), user, password, dir,
                                servers.vsftpd.uploadFolder(), true, false});
        servers.targets.append({QStringLiteral("vsftpd, TLS passive"), servers.vsftpdTls.port(), user, password, dir,
                                servers.vsftpdTls.uploadFolder(), true, true});
    } else {
        out << "no vsftpd: " << servers.vsftpd.errorString() << servers.vsftpdTls.errorString() << '\n';
    }
    if (servers.pyftpdlib.start(servers.remote.path(), QStringLiteral("bench"), QStringLiteral("bench"), QString(), 1800)) {
        servers.targets.append({QStringLiteral("pyftpdlib, active"), servers.pyftpdlib.port(), QStringLiteral("bench"),
                                QStringLiteral("bench"), QString(), servers.remote.path(), false, false});
        servers.targets.append({QStringLiteral("pyftpdlib, passive"), servers.pyftpdlib.port(), QStringLiteral("bench"),
                                QStringLiteral("bench"), QString(), servers.remote.path(), true, false});
    } else {
        out << "no pyftpdlib: " << servers.pyftpdlib.errorString() << '\n';
    }
    return !servers.targets.isEmpty();
}

// Throughput and CPU time of the program's client and of curl against the same server
// in the same run, best of three each, taken in turns so both see the same load.
void uploadThroughput(QTextStream &out)
{
    Servers servers;
    if (!startServers(servers, out))
        return;
    const qint64 size = 64 * mebibyte;
    const QString source = writePayload(servers.local, size);
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (source.isEmpty()) {
        out << "cannot write the payload\n";
        return;
    }
    if (curl.isEmpty())
        out << "curl is not installed: no comparison\n";
    out << "64 MiB on 127.0.0.1, best of 3, each a whole session from connect to QUIT (curl: its whole process)\n";
    for (const Target &mode : std::as_const(servers.targets)) {
        Figures client{1e300, 1e300, false};
        Figures reference{1e300, 1e300, false};
        for (int run = 0; run < 3; ++run) {
            const Figures c = clientUpload(servers, mode, source, QStringLiteral("client.bin"), out);
            if (!c.ok)
                return;
            client = {qMin(client.seconds, c.seconds), qMin(client.cpuSeconds, c.cpuSeconds), true};
            if (curl.isEmpty())
                continue;
            const Figures r = curlUpload(servers, mode, curl, source, QStringLiteral("curl.bin"), out);
            if (!r.ok)
                return;
            reference = {qMin(reference.seconds, r.seconds), qMin(reference.cpuSeconds, r.cpuSeconds), true};
        }
        out << QStringLiteral("  %1: client %2 MiB/s, CPU %3 s").arg(mode.name, -19).arg(rate(size, client.seconds), 6, 'f', 1).arg(client.cpuSeconds, 0, 'f', 3);
        if (reference.ok) {
            out << QStringLiteral("; curl %1 MiB/s, CPU %2 s; throughput client/curl %3, CPU client/curl %4")
                       .arg(rate(size, reference.seconds), 6, 'f', 1)
                       .arg(reference.cpuSeconds, 0, 'f', 3)
                       .arg(reference.seconds / client.seconds, 0, 'f', 2)
                       .arg(client.cpuSeconds / reference.cpuSeconds, 0, 'f', 2);
        }
        out << '\n';
        out.flush();
    }
}

// The client's peak resident set while it stores a file, for two file sizes: what the
// upload holds does not grow with the file.
void uploadMemory(QTextStream &out)
{
    Servers servers;
    if (!startServers(servers, out))
        return;
    for (const qint64 size : {64 * mebibyte, 512 * mebibyte}) {
        const QString source = writePayload(servers.local, size);
        if (source.isEmpty()) {
            out << "cannot write the payload\n";
            return;
        }
        out << size / mebibyte << " MiB:";
        for (const Target &mode : std::as_const(servers.targets)) {
            if (!mode.name.startsWith(u'v'))
                continue;
            Bench::releaseFreeMemory();
            const qint64 before = memoryKiB("VmRSS");
            resetPeakMemory();
            if (!clientUpload(servers, mode, source, QStringLiteral("memory.bin"), out).ok)
                return;
            out << QStringLiteral(" %1 peak %2 MiB (%3 MiB above the start);")
                       .arg(mode.name)
                       .arg(memoryKiB("VmHWM") / 1024.0, 0, 'f', 1)
                       .arg((memoryKiB("VmHWM") - before) / 1024.0, 0, 'f', 1);
            QFile::remove(mode.folder + QStringLiteral("/memory.bin"));
        }
        out << '\n';
        out.flush();
        QFile::remove(source);
    }
}

}

VENDRIX_BENCH("upload: 64 MiB to a local FTP server, against curl", uploadThroughput)
VENDRIX_BENCH("upload: peak memory for 64 MiB and 512 MiB", uploadMemory)

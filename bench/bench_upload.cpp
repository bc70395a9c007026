#include "benchregistry.h"
#include "payload.h"

#include "ftpserverprocess.h"
#include "vsftpdprocess.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "platform/programfolder.h"
#include "upload/certificatefingerprint.h"
#include "upload/ftpclient.h"

#include <QCoreApplication>
#include <QDir>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSslCertificate>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
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
    return writePayload(dir.filePath(QStringLiteral("payload-%1.bin").arg(size / mebibyte)), size);
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

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

// Memory-backed storage where there is some, so that neither side waits for a disk.
QString scratchParent()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
}

// The program as a user runs it from the command line, in a home folder of its own.
struct Publisher
{
    QTemporaryDir home{scratchParent() + QStringLiteral("/vendrix-publish-XXXXXX")};
    QString dataDir;
    QString document;
    QString picture;

    Figures run(const QStringList &arguments, const QByteArray &input = QByteArray(), QString *output = nullptr) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        const double cpu = childrenCpuSeconds();
        timer.start();
        process.start(QStringLiteral(VENDRIX_EXECUTABLE), arguments);
        process.write(input);
        process.closeWriteChannel();
        const bool finished = process.waitForFinished(300000);
        Figures figures;
        figures.seconds = timer.nsecsElapsed() / 1e9;
        figures.cpuSeconds = childrenCpuSeconds() - cpu;
        figures.ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (output)
            *output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        return figures;
    }

    // A page showing one picture of the given size, ready to publish (with --force: the
    // picture is noise, which the page check rightly does not take for a picture).
    bool prepare(qint64 pictureSize)
    {
        dataDir = home.filePath(QStringLiteral("data"));
        const ProgramFolder folder(dataDir);
        if (!home.isValid() || !folder.seed(ProgramFolder::installedDataFolder(QCoreApplication::applicationDirPath()))
            || !QDir().mkpath(folder.imagesFolder()))
            return false;
        QTemporaryDir payloadDir(home.filePath(QStringLiteral("payload-XXXXXX")));
        const QString payload = writePayload(payloadDir, pictureSize);
        picture = folder.imagesFolder() + QStringLiteral("photo.jpg");
        if (payload.isEmpty() || !QFile::rename(payload, picture))
            return false;
        TPagelette page;
        page.NewPage();
        page.Page().Items(0).PagePropertiesBlock().PageTitle = QStringLiteral("Pictures");
        page.Page().Items(1).ImageBlock().FileName = QStringLiteral("photo.jpg");
        page.Page().Items(1).ImageBlock().Alt = QStringLiteral("A photo");
        page.Page().Items(2).LinkBlock().LinkURL = QStringLiteral("http://example.com/");
        document = home.filePath(QStringLiteral("Pictures.vxf"));
        return Documents::SaveDocument(document, page) == Documents::SaveResult::Saved;
    }

    bool setProfile(const Target &target, const QString &fingerprint) const
    {
        QStringList arguments{"--set-profile", target.name, "--host", "127.0.0.1", "--port", QString::number(target.port), "--user",
                              target.user, "--password-stdin", "--dir", target.remoteDir, target.passive ? "--passive" : "--active",
                              target.tls ? "--tls" : "--no-tls"};
        if (target.tls)
            arguments << QStringLiteral("--trust-certificate") << fingerprint;
        return run(arguments, target.password.toUtf8()).ok;
    }

    QStringList publish(const Target &target) const
    {
        return {"--publish", document, "--profile", target.name, "--data-dir", dataDir, "--force"};
    }
};

// The whole publishing command (start-up, page check, upload copy, hashing, temporary
// name, size check, rename, record) against curl storing the same picture on the same
// server, in pairs taken in turns so that both see the same load. Then a publish with
// nothing changed, which should send nothing.
void publishThroughput(QTextStream &out)
{
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (!VsftpdProcess::isInstalled() || curl.isEmpty()) {
        out << "needs vsftpd and curl\n";
        return;
    }
    Servers servers;
    VsftpdProcess plain(scratchParent());
    VsftpdProcess secured(scratchParent());
    servers.certificate = servers.local.filePath(QStringLiteral("server.pem"));
    if (!FtpServerProcess::makeCertificate(servers.certificate) || !plain.start() || !secured.start(servers.certificate)) {
        out << "cannot start vsftpd: " << plain.errorString() << secured.errorString() << '\n';
        return;
    }
    servers.fingerprint = CertificateFingerprint::of(QSslCertificate::fromPath(servers.certificate).value(0));
    const QString user = QStringLiteral("anonymous");
    const QString password = QStringLiteral("bench");
    const QList<Target> targets{
        {QStringLiteral("active"), plain.port(), user, password, QStringLiteral("pub/"), plain.uploadFolder(), false, false},
        {QStringLiteral("passive"), plain.port(), user, password, QStringLiteral("pub/"), plain.uploadFolder(), true, false},
        {QStringLiteral("TLS passive"), secured.port(), user, password, QStringLiteral("pub/"), secured.uploadFolder(), true, true},
    };
    const qint64 size = 256 * mebibyte;
    Publisher publisher;
    if (!publisher.prepare(size)) {
        out << "cannot prepare the page and its picture\n";
        return;
    }
    constexpr int pairs = 5;
    out << "256 MiB picture, files in memory (" << scratchParent() << "), vsftpd on 127.0.0.1; median of " << pairs
        << " pairs, each a whole process (--publish --all: every file sent, hashed and checked)\n";
    for (const Target &target : targets) {
        if (!publisher.setProfile(target, servers.fingerprint)) {
            out << "  cannot make the profile " << target.name << '\n';
            return;
        }
        QList<double> own, reference, ratios, cpuRatios;
        for (int pair = 0; pair < pairs; ++pair) {
            QString output;
            const Figures p = publisher.run(publisher.publish(target) << QStringLiteral("--all"), QByteArray(), &output);
            const Figures c = curlUpload(servers, target, curl, publisher.picture, QStringLiteral("curl.bin"), out);
            if (!p.ok || QFileInfo(target.folder + QStringLiteral("/photo.jpg")).size() != size || !c.ok) {
                out << "  " << target.name << ": the publish failed: " << output << '\n';
                return;
            }
            // Each side stores a new file, as a first publish of the picture would: a
            // file replaced on the server costs the server its release, outside the
            // client's doing.
            QFile::remove(target.folder + QStringLiteral("/curl.bin"));
            QFile::remove(target.folder + QStringLiteral("/photo.jpg"));
            own.append(p.seconds);
            reference.append(c.seconds);
            ratios.append(c.seconds / p.seconds);
            cpuRatios.append(p.cpuSeconds / c.cpuSeconds);
        }
        out << QStringLiteral("  %1: --publish %2 s (%3 MiB/s), curl %4 s (%5 MiB/s); speed publish/curl %6 (%7..%8), CPU publish/curl %9\n")
                   .arg(target.name, -11)
                   .arg(median(own), 0, 'f', 3)
                   .arg(rate(size, median(own)), 0, 'f', 0)
                   .arg(median(reference), 0, 'f', 3)
                   .arg(rate(size, median(reference)), 0, 'f', 0)
                   .arg(median(ratios), 0, 'f', 2)
                   .arg(*std::min_element(ratios.cbegin(), ratios.cend()), 0, 'f', 2)
                   .arg(*std::max_element(ratios.cbegin(), ratios.cend()), 0, 'f', 2)
                   .arg(median(cpuRatios), 0, 'f', 2);
        out.flush();
    }

    const Target &target = targets.first();
    QList<double> again;
    QString summary;
    for (int run = 0; run < pairs; ++run) {
        QString output;
        const Figures p = publisher.run(publisher.publish(target) << QStringLiteral("--verbose"), QByteArray(), &output);
        if (!p.ok) {
            out << "  the publish with nothing changed failed\n";
            return;
        }
        again.append(p.seconds);
        const QStringList lines = output.split(u'\n');
        for (const QString &line : lines) {
            if (line.contains(QStringLiteral(" sent (")) && line.contains(QStringLiteral(" unchanged, in ")))
                summary = line;
        }
    }
    out << QStringLiteral("  nothing changed (active): median %1 s; its summary: %2\n").arg(median(again), 0, 'f', 3).arg(summary);
}

}

VENDRIX_BENCH("publish: the whole --publish of a 256 MiB picture, against curl", publishThroughput)
VENDRIX_BENCH("upload: 64 MiB to a local FTP server, against curl", uploadThroughput)
VENDRIX_BENCH("upload: peak memory for 64 MiB and 512 MiB", uploadMemory)

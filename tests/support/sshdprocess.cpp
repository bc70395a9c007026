#include "sshdprocess.h"

#include "endprocess.h"
#include "loopbackserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <crypt.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size() && file.flush();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString run(const QString &program, const QStringList &arguments, bool *ok)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    *ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromLocal8Bit(process.readAll()).trimmed();
}

qint64 parentOf(qint64 pid)
{
    // /proc/PID/stat: "pid (name) state ppid ...", the name may hold blanks and brackets.
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
}

}

SshdProcess::SshdProcess() = default;

SshdProcess::~SshdProcess()
{
    stop();
}

bool SshdProcess::isInstalled()
{
    return QFileInfo(executable()).isExecutable() && QFileInfo(QStringLiteral("/usr/bin/ssh-keygen")).isExecutable();
}

bool SshdProcess::canUsePasswords()
{
    // Being root is not enough: containers commonly refuse new mount namespaces or
    // the change of propagation, so the bind mount that launch() makes is tried once.
    static const bool usable = [] {
        if (::geteuid() != 0 || !QFileInfo(QStringLiteral("/usr/bin/unshare")).isExecutable())
            return false;
        bool ok = false;
        run(QStringLiteral("/usr/bin/unshare"),
            {QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"), QStringLiteral("--"),
             QStringLiteral("/bin/sh"), QStringLiteral("-c"), QStringLiteral("mount --bind /etc/shadow /etc/shadow")},
            &ok);
        return ok;
    }();
    return usable;
}

QString SshdProcess::user() const
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

SftpLogin SshdProcess::login() const
{
    SftpLogin login;
    login.host = QStringLiteral("127.0.0.1");
    login.port = port();
    login.user = user();
    login.keyFile = userKeyFile();
    login.useAgent = false;
    login.trustedHostKey = hostKeyFingerprint();
    return login;
}

QString SshdProcess::knownHostsLine() const
{
    const QList<QByteArray> key = readFile(mFolder->filePath(QStringLiteral("host_key.pub"))).trimmed().split(' ');
    if (key.size() < 2)
        return QString();
    return QStringLiteral("[127.0.0.1]:%1 %2 %3").arg(mPort).arg(QString::fromLatin1(key.at(0)), QString::fromLatin1(key.at(1)));
}

bool SshdProcess::makeKey(const QString &file, const QString &passphrase)
{
    QFile::remove(file);
    QFile::remove(file + QStringLiteral(".pub"));
    bool ok = false;
    run(QStringLiteral("/usr/bin/ssh-keygen"), {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"), QStringLiteral("-N"),
                                                passphrase, QStringLiteral("-C"), QStringLiteral("vendrix-test"), QStringLiteral("-f"), file},
        &ok);
    return ok;
}

bool SshdProcess::authorizeKey(const QString &keyFile)
{
    const QString authorized = mFolder->filePath(QStringLiteral("authorized_keys"));
    return writeFile(authorized, readFile(authorized) + readFile(keyFile + QStringLiteral(".pub")));
}

bool SshdProcess::makeHostKey()
{
    const QString key = mFolder->filePath(QStringLiteral("host_key"));
    if (!makeKey(key))
        return false;
    bool ok = false;
    const QString listing = run(QStringLiteral("/usr/bin/ssh-keygen"), {QStringLiteral("-l"), QStringLiteral("-E"), QStringLiteral("sha256"),
                                                                        QStringLiteral("-f"), key + QStringLiteral(".pub")},
                                &ok);
    // "256 SHA256:... comment (ED25519)"
    const QStringList fields = listing.split(u' ');
    mFingerprint = ok && fields.size() > 1 ? fields.at(1) : QString();
    return !mFingerprint.isEmpty();
}

bool SshdProcess::start(const QString &password, const QString &baseFolder)
{
    mPassword = password;
    const QString base = baseFolder.isEmpty() ? QDir::tempPath() : baseFolder;
    mFolder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/vendrix-sshd-XXXXXX"));
    const QString userKey = userKeyFile();
    if (!mFolder->isValid() || !QDir().mkpath(loginFolder()) || !makeKey(userKey) || !makeHostKey()
        || !writeFile(mFolder->filePath(QStringLiteral("authorized_keys")), readFile(userKey + QStringLiteral(".pub")))) {
        mError = QStringLiteral("cannot make the server's folder, keys or authorized keys");
        return false;
    }
    // sshd running as root wants its privilege separation folder, which the system's
    // service would make.
    if (::geteuid() == 0 && !QDir().mkpath(QStringLiteral("/run/sshd"))) {
        mError = QStringLiteral("cannot make /run/sshd");
        return false;
    }
    if (!password.isEmpty()) {
        const QByteArray hash = ::crypt(password.toUtf8().constData(), "$6$vendrixtest$");
        const QByteArray shadow = user().toLocal8Bit() + ':' + hash + ":19000:0:99999:7:::\n";
        if (!writeFile(mFolder->filePath(QStringLiteral("shadow")), shadow)) {
            mError = QStringLiteral("cannot write the shadow file");
            return false;
        }
    }
    mPort = LoopbackServer::freePort();
    const QString config = QStringLiteral("Port %1\n"
                                          "ListenAddress 127.0.0.1\n"
                                          "HostKey %2\n"
                                          "PidFile none\n"
                                          "AuthorizedKeysFile %3\n"
                                          "PermitRootLogin yes\n"
                                          "PubkeyAuthentication yes\n"
                                          "PasswordAuthentication %4\n"
                                          "KbdInteractiveAuthentication no\n"
                                          "UsePAM no\n"
                                          "StrictModes no\n"
                                          "MaxStartups 100\n"
                                          "Subsystem sftp internal-sftp -d %5\n")
                               .arg(mPort)
                               .arg(mFolder->filePath(QStringLiteral("host_key")), mFolder->filePath(QStringLiteral("authorized_keys")),
                                    password.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes"), loginFolder());
    if (!writeFile(mFolder->filePath(QStringLiteral("sshd_config")), config.toUtf8())) {
        mError = QStringLiteral("cannot write sshd_config");
        return false;
    }
    return launch();
}

bool SshdProcess::launch()
{
    const QString config = mFolder->filePath(QStringLiteral("sshd_config"));
    mProcess.setProcessChannelMode(QProcess::MergedChannels);
    if (mPassword.isEmpty()) {
        mProcess.start(executable(), {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"), config});
    } else {
        // The bind mount lives and dies with the namespace; "exec" keeps sshd the process
        // that this object started.
        mProcess.start(QStringLiteral("/usr/bin/unshare"),
                       {QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"), QStringLiteral("--"),
                        QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                        QStringLiteral("mount --bind \"$0\" /etc/shadow && exec \"$1\" -D -e -f \"$2\""),
                        mFolder->filePath(QStringLiteral("shadow")), executable(), config});
    }
    mError = LoopbackServer::awaitGreeting(mProcess, mPort, "SSH-2.0", QStringLiteral("sshd"));
    if (mError.isEmpty())
        return true;
    stop();
    return false;
}

bool SshdProcess::restartWithNewHostKey()
{
    stop();
    if (!makeHostKey()) {
        mError = QStringLiteral("cannot make a new host key");
        return false;
    }
    return launch();
}

QList<qint64> SshdProcess::connectionProcesses() const
{
    QList<qint64> found;
    if (mProcess.state() == QProcess::NotRunning)
        return found;
    QList<qint64> parents{mProcess.processId()};
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    // Each connection is a child of the listener, with children of its own.
    for (int depth = 0; depth < 4 && !parents.isEmpty(); ++depth) {
        QList<qint64> children;
        for (const QString &entry : entries) {
            bool number = false;
            const qint64 pid = entry.toLongLong(&number);
            if (number && parents.contains(parentOf(pid)))
                children.append(pid);
        }
        found += children;
        parents = children;
    }
    return found;
}

void SshdProcess::freezeConnections()
{
    const QList<qint64> processes = connectionProcesses();
    for (const qint64 pid : processes)
        ::kill(pid_t(pid), SIGSTOP);
}

void SshdProcess::stop()
{
    if (mProcess.state() == QProcess::NotRunning)
        return;
    // Connections outlive the listener; frozen ones too must go.
    const QList<qint64> processes = connectionProcesses();
    for (const qint64 pid : processes)
        ::kill(pid_t(pid), SIGKILL);
    endProcess(mProcess);
}

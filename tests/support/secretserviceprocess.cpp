#include "secretserviceprocess.h"

#include "endprocess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

#include <sys/prctl.h>

namespace {

const char busConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// The bus and the keyring go with the test, also when it crashes or is killed.
void endWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

}

SecretServiceProcess::~SecretServiceProcess()
{
    stop();
}

bool SecretServiceProcess::fail(const QString &reason)
{
    mError = reason;
    stop();
    return false;
}

void SecretServiceProcess::stop()
{
    endProcess(mKeyring);
    endProcess(mBus);
}

bool SecretServiceProcess::start()
{
    for (const char *program : {"dbus-daemon", "dbus-send", "gnome-keyring-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1StringView(program)).isEmpty())
            return fail(QStringLiteral("%1 is not installed").arg(QLatin1StringView(program)));
    }
    if (!mFolder.isValid())
        return fail(QStringLiteral("no temporary folder"));
    const QString home = mFolder.filePath(QStringLiteral("home"));
    const QString runtime = mFolder.filePath(QStringLiteral("run"));
    if (!QDir().mkpath(home) || !QDir().mkpath(runtime)
        || !QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return fail(QStringLiteral("cannot make the keyring's home"));
    QFile config(mFolder.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly)
        || config.write(QString::fromLatin1(busConfig).arg(mFolder.filePath(QStringLiteral("bus"))).toUtf8()) < 0)
        return fail(QStringLiteral("cannot write the bus configuration"));
    config.close();

    endWithParent(mBus);
    mBus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                                               QStringLiteral("--config-file=") + config.fileName()});
    QDeadlineTimer deadline(10000);
    while (!mBus.canReadLine() && mBus.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    mAddress = QString::fromUtf8(mBus.readLine()).trimmed();
    if (mAddress.isEmpty())
        return fail(QStringLiteral("dbus-daemon did not start: ") + QString::fromUtf8(mBus.readAllStandardError()));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), mAddress);
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    mKeyring.setProcessEnvironment(environment);
    mKeyring.setProcessChannelMode(QProcess::MergedChannels);
    endWithParent(mKeyring);
    // --unlock reads the login keyring's password from standard input, creating the
    // keyring with it when there is none.
    mKeyring.start(QStringLiteral("gnome-keyring-daemon"),
                   {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
    if (!mKeyring.waitForStarted(5000))
        return fail(QStringLiteral("gnome-keyring-daemon did not start: ") + mKeyring.errorString());
    // Written out here: the waits below run no event loop that would do it.
    mKeyring.write("vendrix-tests");
    mKeyring.waitForBytesWritten(3000);
    mKeyring.closeWriteChannel();
    while (!keyringOwnsItsName()) {
        if (deadline.hasExpired() || mKeyring.state() == QProcess::NotRunning)
            return fail(QStringLiteral("gnome-keyring-daemon did not take the Secret Service's name: ")
                        + QString::fromUtf8(mKeyring.readAll()));
        QThread::msleep(100);
    }
    return true;
}

bool SecretServiceProcess::keyringOwnsItsName()
{
    QProcess ask;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), mAddress);
    ask.setProcessEnvironment(environment);
    ask.start(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                            QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                            QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                                            QStringLiteral("string:org.freedesktop.secrets")});
    if (!ask.waitForFinished(3000)) {
        ask.kill();
        ask.waitForFinished();
        return false;
    }
    return ask.readAllStandardOutput().contains("boolean true");
}

#include "desktopkeychain.h"

#include "appinfo.h"

#include <qt6keychain/keychain.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QTimer>

#include <optional>

namespace {

Keychain::Status statusOf(QKeychain::Error error)
{
    switch (error) {
    case QKeychain::NoError:
        return Keychain::Status::Done;
    case QKeychain::EntryNotFound:
        return Keychain::Status::NotFound;
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        return Keychain::Status::Refused;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return Keychain::Status::Unavailable;
    // The session has a keychain (see sessionKeychain()): a call it did not answer in
    // D-Bus's own time limit ("Timeout was reached") is a failure, not a missing keychain.
    case QKeychain::OtherError:
    case QKeychain::CouldNotDeleteEntry:
        break;
    }
    return Keychain::Status::Failed;
}

// Empty when the session bus has a keychain on it, running or started on demand (the
// Secret Service, or KWallet); else why not. QtKeychain's own errors do not tell a
// missing keychain from one that failed.
QString sessionKeychain()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return QStringLiteral("no session bus: %1").arg(bus.lastError().message());
    const QStringList services{QStringLiteral("org.freedesktop.secrets"), QStringLiteral("org.kde.kwalletd5"),
                               QStringLiteral("org.kde.kwalletd6")};
    for (const QString &service : services) {
        if (bus.interface()->isServiceRegistered(service))
            return QString();
    }
    const QDBusReply<QStringList> startable = bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("ListActivatableNames")));
    if (startable.isValid()) {
        for (const QString &service : services) {
            if (startable.value().contains(service))
                return QString();
        }
    }
    return QStringLiteral("no Secret Service on the session bus");
}

// Starts the job and waits for it. The job deletes itself once it has finished, also
// when that is after the time limit, when nobody waits for it any more.
Keychain::Result runJob(QKeychain::Job *job, const QString &key, std::chrono::milliseconds timeLimit)
{
    std::optional<Keychain::Result> result;
    QEventLoop loop;
    job->setAutoDelete(true);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&result, &loop](QKeychain::Job *done) {
        Keychain::Result finished;
        finished.status = statusOf(done->error());
        finished.error = done->errorString();
        if (const auto *reader = qobject_cast<QKeychain::ReadPasswordJob *>(done); reader && finished.ok())
            finished.secret = reader->textData();
        result = finished;
        loop.quit();
    });
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(timeLimit);
    job->start();
    if (!result)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (result)
        return *result;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeLimit).count();
    return {Keychain::Status::TimedOut, QString(),
            QStringLiteral("waited %1 seconds; is it locked, with an unlock prompt waiting?").arg(seconds)};
}

}

QString DesktopKeychain::defaultService()
{
    return AppInfo::settingsApplicationName();
}

DesktopKeychain::DesktopKeychain(QString service, std::chrono::milliseconds timeLimit)
    : mService(std::move(service)), mTimeLimit(timeLimit)
{
}

std::optional<Keychain::Result> DesktopKeychain::missing()
{
    if (!mMissing)
        mMissing = sessionKeychain();
    if (mMissing->isEmpty())
        return std::nullopt;
    return Result{Status::Unavailable, QString(), *mMissing};
}

Keychain::Result DesktopKeychain::read(const QString &key)
{
    if (const auto none = missing())
        return *none;
    return runJob(new QKeychain::ReadPasswordJob(mService), key, mTimeLimit);
}

Keychain::Result DesktopKeychain::write(const QString &key, const QString &secret)
{
    if (const auto none = missing())
        return *none;
    auto *job = new QKeychain::WritePasswordJob(mService);
    job->setTextData(secret);
    return runJob(job, key, mTimeLimit);
}

Keychain::Result DesktopKeychain::remove(const QString &key)
{
    if (const auto none = missing())
        return *none;
    Result result = runJob(new QKeychain::DeletePasswordJob(mService), key, mTimeLimit);
    if (result.status == Status::NotFound)
        result.status = Status::Done;
    return result;
}

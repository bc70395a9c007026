#include "desktopkeychain.h"

#include "appinfo.h"

#include <qt6keychain/keychain.h>

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
    // What a session without a usable bus or Secret Service gives ("Cannot autolaunch
    // D-Bus without X11 $DISPLAY", "The name org.freedesktop.secrets was not provided
    // by any .service files"); it is never a refusal by the user.
    case QKeychain::OtherError:
        return Keychain::Status::Unavailable;
    case QKeychain::CouldNotDeleteEntry:
        break;
    }
    return Keychain::Status::Failed;
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

Keychain::Result DesktopKeychain::read(const QString &key)
{
    return runJob(new QKeychain::ReadPasswordJob(mService), key, mTimeLimit);
}

Keychain::Result DesktopKeychain::write(const QString &key, const QString &secret)
{
    auto *job = new QKeychain::WritePasswordJob(mService);
    job->setTextData(secret);
    return runJob(job, key, mTimeLimit);
}

Keychain::Result DesktopKeychain::remove(const QString &key)
{
    Result result = runJob(new QKeychain::DeletePasswordJob(mService), key, mTimeLimit);
    if (result.status == Status::NotFound)
        result.status = Status::Done;
    return result;
}

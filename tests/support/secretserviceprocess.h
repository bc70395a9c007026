#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Secret Service of the test's own: a private D-Bus session bus (no service files,
// so nothing is started on demand) and Debian's gnome-keyring-daemon on it, with its
// login keyring created and unlocked in a temporary home. Both end when this object is
// destroyed, or with the process that started them. Programs use it when their
// DBUS_SESSION_BUS_ADDRESS is busAddress().
//
// A process that itself talks to the Secret Service on this bus must not outlive the
// bus: its connection to its session bus ends the process (SIGTERM) when the bus goes
// away. Such a process keeps this object until it ends (see removeFolder()).
class SecretServiceProcess
{
public:
    SecretServiceProcess() = default;
    ~SecretServiceProcess();
    SecretServiceProcess(const SecretServiceProcess &) = delete;
    SecretServiceProcess &operator=(const SecretServiceProcess &) = delete;

    // False with the reason in errorString() when a program is missing or the keyring
    // does not take its bus name within ten seconds.
    bool start();
    void stop();
    // Removes the temporary home now, leaving the bus and the keyring running (on what
    // they hold in memory) until the process ends.
    void removeFolder() { mFolder.remove(); }

    QString busAddress() const { return mAddress; }
    // The keyring daemon's process: tests stop it (SIGSTOP) to make it silent.
    qint64 keyringProcessId() const { return mKeyring.processId(); }
    QString errorString() const { return mError; }

private:
    bool fail(const QString &reason);
    bool keyringOwnsItsName();

    QTemporaryDir mFolder;
    QProcess mBus;
    QProcess mKeyring;
    QString mAddress;
    QString mError;
};

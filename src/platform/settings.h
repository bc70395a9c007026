#pragma once

#include "boundedread.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <chrono>
#include <functional>
#include <optional>

// The program's settings store. Keys follow the names of the original registry layout:
// "Position/WindowState", "TipDay", "Profiles/<name>/Host" ... All values are text;
// numbers are written as decimal text and read back with a default when missing or
// not a number. The store's file is readable and writable by its owner only (and the
// folder of the user's store too), since it holds the server passwords.
//
// Several programs may share the file. Changes are kept until sync() (or update()),
// which takes an inter-process lock, reads the file as it is then, makes the changes
// on that and replaces the file, so that no other program's change is lost. The file
// is always replaced by a new one, never written through a link.
class Settings
{
public:
    // The current user's settings (organisation "Zandorell Software", application "HTML Vendrix5").
    Settings();
    // Settings kept in one INI file; tests use this with a temporary folder.
    explicit Settings(const QString &iniFile);
    // Writes what is pending (see sync()).
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    // The file is read no further than this; a larger one is refused as unreadable.
    static constexpr qint64 maximumFileSize = BoundedRead::dataFileLimit;

    QString readString(const QString &key, const QString &defaultValue = QString()) const;
    int readInteger(const QString &key, int defaultValue) const;
    bool contains(const QString &key) const;
    void writeString(const QString &key, const QString &value);
    void writeInteger(const QString &key, int value);
    void remove(const QString &key);            // a value, or a group with everything below it
    QStringList childGroups(const QString &group) const;
    QStringList childKeys(const QString &group) const;

    // Writes pending changes onto the file as other programs left it, and reads what
    // they changed; false (with the reason in errorString()) when the file cannot be
    // read or written or its lock cannot be had. Changes that could not be written stay
    // pending.
    bool sync();

    // A read-modify-write: change runs on the file's contents read afresh under the
    // lock, and what it changed is written before the lock is let go. When change
    // returns false its changes are dropped and nothing is written. False when change
    // did or when sync() would fail. Inside change, a nested update() or sync() only
    // runs its part.
    bool update(const std::function<bool()> &change);

    // Empty when the last read or write succeeded.
    QString errorString() const { return mError; }

    // File behind the store, for messages and tests.
    QString fileName() const { return mFile; }

    // How long sync() and update() wait for another program to let go of the file.
    void setLockTimeout(std::chrono::milliseconds timeout) { mLockTimeout = timeout; }

private:
    struct Change
    {
        QString key;
        std::optional<QString> value; // none: remove the key and all below it
    };

    bool read(QMap<QString, QVariant> &values);
    void apply(const Change &change);
    bool write();
    void setValue(const QString &key, std::optional<QString> value);

    QString mFile;
    bool mOwnFolder = false;
    QMap<QString, QVariant> mValues; // as last read, with the pending changes made
    QList<Change> mPending;
    QString mError;
    int mUpdating = 0;
    std::chrono::milliseconds mLockTimeout{5000};
};

// Every value name with its default, declared once.
namespace SettingsKeys {
inline QString windowState() { return QStringLiteral("Position/WindowState"); }
inline QString top() { return QStringLiteral("Position/Top"); }
inline QString left() { return QStringLiteral("Position/Left"); }
inline QString height() { return QStringLiteral("Position/Height"); }
inline QString width() { return QStringLiteral("Position/Width"); }
inline QString paneWidth() { return QStringLiteral("Position/PaneWidth"); }
inline QString tipDay() { return QStringLiteral("TipDay"); }
constexpr int tipDayDefault = 1;
inline QString profilesGroup() { return QStringLiteral("Profiles"); }
}

#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

// The program's settings store. Keys follow the names of the original registry layout:
// "Position/WindowState", "TipDay", "Profiles/<name>/Host" ... All values are text;
// numbers are written as decimal text and read back with a default when missing or
// not a number. The store's file is readable and writable by its owner only (and the
// folder of the user's store too), since it holds the server passwords.
class Settings
{
public:
    // The current user's settings (organisation "Zandorell Software", application "HTML Vendrix5").
    Settings();
    // Settings kept in one INI file; tests use this with a temporary folder.
    explicit Settings(const QString &iniFile);
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    QString readString(const QString &key, const QString &defaultValue = QString()) const;
    int readInteger(const QString &key, int defaultValue) const;
    bool contains(const QString &key) const;
    void writeString(const QString &key, const QString &value);
    void writeInteger(const QString &key, int value);
    void remove(const QString &key);            // a value, or a group with everything below it
    QStringList childGroups(const QString &group) const;
    QStringList childKeys(const QString &group) const;

    // Writes pending changes; false (with the reason in errorString()) when the store cannot be written.
    bool sync();
    QString errorString() const;

    // File behind the store, for messages and tests.
    QString fileName() const;

private:
    std::unique_ptr<QSettings> mSettings;
    bool mOwnFolder = false;
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

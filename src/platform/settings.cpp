#include "settings.h"

#include "appinfo.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

// The store holds the server passwords, scrambled only: the file (and the program's own
// settings folder) are kept for the owner alone, also when an older version left them
// readable to others. The folder is closed first, so the moment a new file is created
// with the default mode it cannot be reached by anyone else. A folder that the caller
// chose for an INI file may be shared (a temporary folder) and is left as it is.
void restrictToOwner(const QString &fileName, bool ownFolder)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (ownFolder && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (QFileInfo::exists(fileName))
        QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner);
}

}

Settings::Settings()
    : mSettings(std::make_unique<QSettings>(SettingsFile::format(), QSettings::UserScope, AppInfo::organisationName(),
                                            AppInfo::settingsApplicationName())),
      mOwnFolder(true)
{
    restrictToOwner(mSettings->fileName(), mOwnFolder);
}

Settings::Settings(const QString &iniFile)
    : mSettings(std::make_unique<QSettings>(iniFile, SettingsFile::format()))
{
    restrictToOwner(mSettings->fileName(), mOwnFolder);
}

Settings::~Settings()
{
    sync();
}

QString Settings::readString(const QString &key, const QString &defaultValue) const
{
    return mSettings->value(key, defaultValue).toString();
}

int Settings::readInteger(const QString &key, int defaultValue) const
{
    if (!mSettings->contains(key))
        return defaultValue;
    bool ok = false;
    const int value = mSettings->value(key).toString().trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool Settings::contains(const QString &key) const
{
    return mSettings->contains(key);
}

void Settings::writeString(const QString &key, const QString &value)
{
    mSettings->setValue(key, value);
}

void Settings::writeInteger(const QString &key, int value)
{
    mSettings->setValue(key, QString::number(value));
}

void Settings::remove(const QString &key)
{
    mSettings->remove(key);
}

QStringList Settings::childGroups(const QString &group) const
{
    mSettings->beginGroup(group);
    const QStringList groups = mSettings->childGroups();
    mSettings->endGroup();
    return groups;
}

QStringList Settings::childKeys(const QString &group) const
{
    mSettings->beginGroup(group);
    const QStringList keys = mSettings->childKeys();
    mSettings->endGroup();
    return keys;
}

bool Settings::sync()
{
    mSettings->sync();
    restrictToOwner(mSettings->fileName(), mOwnFolder);
    return mSettings->status() == QSettings::NoError;
}

QString Settings::errorString() const
{
    switch (mSettings->status()) {
    case QSettings::NoError:
        return QString();
    case QSettings::AccessError:
        return QStringLiteral("Cannot write the settings file %1.").arg(mSettings->fileName());
    case QSettings::FormatError:
        return QStringLiteral("The settings file %1 is damaged.").arg(mSettings->fileName());
    }
    return QString();
}

QString Settings::fileName() const
{
    return mSettings->fileName();
}

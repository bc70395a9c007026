#include "settings.h"

#include "appinfo.h"

#include <QSettings>

Settings::Settings()
    : mSettings(std::make_unique<QSettings>(AppInfo::organisationName(), AppInfo::settingsApplicationName()))
{
}

Settings::Settings(const QString &iniFile)
    : mSettings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

Settings::~Settings() = default;

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

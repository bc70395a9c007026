#include "settings.h"

#include "appinfo.h"
#include "boundedread.h"
#include "filelock.h"
#include "safewrite.h"
#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString userSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + AppInfo::organisationName() + u'/'
        + AppInfo::settingsApplicationName() + QStringLiteral(".conf");
}

// "a//b/" and "/a/b" are the key "a/b".
QString normalisedKey(const QString &key)
{
    return key.split(u'/', Qt::SkipEmptyParts).join(u'/');
}

QString groupPrefix(const QString &group)
{
    const QString normalised = normalisedKey(group);
    return normalised.isEmpty() ? normalised : normalised + u'/';
}

// The program's own settings folder is kept for the owner alone, also when an older
// version left it open to others; its mode is set on the folder itself, never through
// a link. A folder the caller chose for an INI file may be shared and is left as it is.
void restrictFolderToOwner(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fchmod(fd, 0700);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

}

Settings::Settings()
    : mFile(userSettingsFile()), mOwnFolder(true)
{
    const QString folder = QFileInfo(mFile).absolutePath();
    if (QDir().mkpath(folder))
        restrictFolderToOwner(folder);
    read(mValues);
}

Settings::Settings(const QString &iniFile)
    : mFile(iniFile)
{
    read(mValues);
}

Settings::~Settings()
{
    if (!mPending.isEmpty())
        sync();
}

QString Settings::readString(const QString &key, const QString &defaultValue) const
{
    const auto found = mValues.constFind(normalisedKey(key));
    return found == mValues.cend() ? defaultValue : found->toString();
}

int Settings::readInteger(const QString &key, int defaultValue) const
{
    if (!contains(key))
        return defaultValue;
    bool ok = false;
    const int value = readString(key).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool Settings::contains(const QString &key) const
{
    return mValues.contains(normalisedKey(key));
}

void Settings::writeString(const QString &key, const QString &value)
{
    setValue(key, value);
}

void Settings::writeInteger(const QString &key, int value)
{
    setValue(key, QString::number(value));
}

void Settings::remove(const QString &key)
{
    setValue(key, std::nullopt);
}

void Settings::setValue(const QString &key, std::optional<QString> value)
{
    const Change change{normalisedKey(key), std::move(value)};
    apply(change);
    mPending.append(change);
}

void Settings::apply(const Change &change)
{
    if (change.value) {
        mValues.insert(change.key, *change.value);
        return;
    }
    const QString below = groupPrefix(change.key);
    for (auto it = mValues.begin(); it != mValues.end();) {
        if (it.key() == change.key || it.key().startsWith(below))
            it = mValues.erase(it);
        else
            ++it;
    }
}

QStringList Settings::childGroups(const QString &group) const
{
    const QString prefix = groupPrefix(group);
    QStringList groups;
    for (auto it = mValues.lowerBound(prefix); it != mValues.cend() && it.key().startsWith(prefix); ++it) {
        const qsizetype slash = it.key().indexOf(u'/', prefix.size());
        if (slash < 0)
            continue;
        const QString name = it.key().mid(prefix.size(), slash - prefix.size());
        if (groups.isEmpty() || groups.last() != name)
            groups.append(name);
    }
    return groups;
}

QStringList Settings::childKeys(const QString &group) const
{
    const QString prefix = groupPrefix(group);
    QStringList keys;
    for (auto it = mValues.lowerBound(prefix); it != mValues.cend() && it.key().startsWith(prefix); ++it) {
        if (it.key().indexOf(u'/', prefix.size()) < 0)
            keys.append(it.key().mid(prefix.size()));
    }
    return keys;
}

bool Settings::sync()
{
    if (mUpdating > 0)
        return true;
    if (!mPending.isEmpty())
        return update([] { return true; });
    QMap<QString, QVariant> values;
    if (!read(values))
        return false;
    mValues = values;
    return true;
}

bool Settings::update(const std::function<bool()> &change)
{
    if (mUpdating > 0)
        return change();
    mError.clear();
    const QString folder = QFileInfo(mFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        mError = QStringLiteral("Cannot write the settings file %1: its folder cannot be created.").arg(mFile);
        return false;
    }
    if (mOwnFolder)
        restrictFolderToOwner(folder);
    FileLock lock(mFile + QStringLiteral(".lock"));
    if (!lock.tryLock(mLockTimeout)) {
        mError = QStringLiteral("Cannot write the settings file %1: %2").arg(mFile, lock.errorString());
        return false;
    }
    QMap<QString, QVariant> values;
    if (!read(values))
        return false;
    mValues = values;
    for (const Change &pending : std::as_const(mPending))
        apply(pending);

    const QMap<QString, QVariant> valuesBefore = mValues;
    const QList<Change> pendingBefore = mPending;
    ++mUpdating;
    bool changed = false;
    try {
        changed = change();
    } catch (...) {
        --mUpdating;
        throw;
    }
    --mUpdating;
    if (!changed) {
        mValues = valuesBefore;
        mPending = pendingBefore;
        return false;
    }
    if (mPending.isEmpty())
        return true;
    if (!write())
        return false;
    mPending.clear();
    return true;
}

bool Settings::read(QMap<QString, QVariant> &values)
{
    QByteArray bytes;
    QString reason;
    switch (BoundedRead::readFile(mFile, bytes, &reason, maximumFileSize)) {
    case BoundedRead::Result::Read:
        values = SettingsFile::parse(bytes);
        return true;
    case BoundedRead::Result::CannotOpen:
        // A file not made yet (or a link to nothing, which writing replaces).
        if (!QFileInfo::exists(mFile)) {
            values.clear();
            return true;
        }
        break;
    default:
        break;
    }
    // Whatever lies there is not written over unread.
    mError = QStringLiteral("Cannot read the settings file %1: %2").arg(mFile, reason);
    return false;
}

bool Settings::write()
{
    QString reason;
    if (SafeWrite::replaceFile(mFile, SettingsFile::serialise(mValues), &reason, SafeWrite::Owner::ProgramPrivate)
        != SafeWrite::Result::Written) {
        mError = QStringLiteral("Cannot write the settings file %1: %2").arg(mFile, reason);
        return false;
    }
    return true;
}

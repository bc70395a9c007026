#include "publishrecord.h"

#include "platform/boundedread.h"
#include "platform/programfolder.h"
#include "platform/safewrite.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int formatVersion = 1;

QJsonObject fileObject(const QString &name, const PublishedFile &file)
{
    QJsonObject object{{QStringLiteral("name"), name},
                       {QStringLiteral("local"), file.localPath},
                       {QStringLiteral("size"), file.size},
                       {QStringLiteral("modified"), file.modified},
                       {QStringLiteral("sha256"), QString::fromLatin1(file.sha256.toHex())}};
    if (!file.temporary.isEmpty())
        object.insert(QStringLiteral("temporary"), file.temporary);
    return object;
}

QHash<QString, PublishedFile> filesOf(const QJsonArray &array)
{
    QHash<QString, PublishedFile> files;
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        const QString name = object.value(QStringLiteral("name")).toString();
        const QByteArray sha256 = QByteArray::fromHex(object.value(QStringLiteral("sha256")).toString().toLatin1());
        PublishedFile file{object.value(QStringLiteral("local")).toString(),
                           qint64(object.value(QStringLiteral("size")).toDouble(-1)),
                           qint64(object.value(QStringLiteral("modified")).toDouble(-1)), sha256,
                           object.value(QStringLiteral("temporary")).toString()};
        // An entry that cannot be compared with a local file is no entry.
        if (!name.isEmpty() && !file.localPath.isEmpty() && file.size >= 0 && sha256.size() == 32)
            files.insert(name, file);
    }
    return files;
}

std::optional<PublishedFile> lookUp(const QHash<QString, PublishedFile> &files, const QString &name)
{
    const auto found = files.constFind(name);
    return found == files.cend() ? std::nullopt : std::optional<PublishedFile>(*found);
}

QJsonArray arrayOf(const QHash<QString, PublishedFile> &files)
{
    // Sorted, so that the file changes only where the record does.
    QStringList names = files.keys();
    names.sort();
    QJsonArray array;
    for (const QString &name : std::as_const(names))
        array.append(fileObject(name, files.value(name)));
    return array;
}

}

PublishRecord::PublishRecord(const QString &path)
    : mPath(path)
{
}

QString PublishRecord::pathIn(const ProgramFolder &folder)
{
    return folder.path() + QStringLiteral("Published.json");
}

void PublishRecord::load()
{
    if (mPath.isEmpty())
        return;
    mDestinations.clear();
    mChanged.clear();
    if (!QFileInfo(mPath).isFile())
        return;
    QByteArray bytes;
    if (BoundedRead::readFile(mPath, bytes, nullptr, maximumBytes) == BoundedRead::Result::Read)
        mDestinations = parse(bytes);
}

bool PublishRecord::save(QString *error)
{
    if (mPath.isEmpty() || mChanged.isEmpty())
        return true;
    QList<Entries> merged;
    QByteArray bytes;
    if (QFileInfo(mPath).isFile() && BoundedRead::readFile(mPath, bytes, nullptr, maximumBytes) == BoundedRead::Result::Read)
        merged = parse(bytes);
    for (const PublishDestination &changed : std::as_const(mChanged)) {
        merged.removeIf([&](const Entries &e) { return e.destination == changed; });
        if (const Entries *mine = find(changed))
            merged.append(*mine);
    }
    if (SafeWrite::replaceCopy(mPath, serialize(merged), error) != SafeWrite::Result::Written)
        return false;
    mChanged.clear();
    return true;
}

std::optional<PublishedFile> PublishRecord::published(const PublishDestination &destination, const QString &name) const
{
    const Entries *e = find(destination);
    return e ? lookUp(e->published, name) : std::nullopt;
}

void PublishRecord::setPublished(const PublishDestination &destination, const QString &name, const PublishedFile &file)
{
    entries(destination).published.insert(name, file);
}

std::optional<PublishedFile> PublishRecord::unfinished(const PublishDestination &destination, const QString &name) const
{
    const Entries *e = find(destination);
    return e ? lookUp(e->unfinished, name) : std::nullopt;
}

void PublishRecord::setUnfinished(const PublishDestination &destination, const QString &name, const PublishedFile &file)
{
    entries(destination).unfinished.insert(name, file);
}

void PublishRecord::clearUnfinished(const PublishDestination &destination, const QString &name)
{
    if (find(destination) && find(destination)->unfinished.contains(name))
        entries(destination).unfinished.remove(name);
}

const PublishRecord::Entries *PublishRecord::find(const PublishDestination &destination) const
{
    for (const Entries &e : mDestinations) {
        if (e.destination == destination)
            return &e;
    }
    return nullptr;
}

PublishRecord::Entries &PublishRecord::entries(const PublishDestination &destination)
{
    if (!mChanged.contains(destination))
        mChanged.append(destination);
    for (Entries &e : mDestinations) {
        if (e.destination == destination)
            return e;
    }
    mDestinations.append(Entries{destination, {}, {}});
    return mDestinations.last();
}

QList<PublishRecord::Entries> PublishRecord::parse(const QByteArray &bytes)
{
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    if (root.value(QStringLiteral("format")).toInt() != formatVersion)
        return {};
    QList<Entries> destinations;
    for (const QJsonValue &value : root.value(QStringLiteral("destinations")).toArray()) {
        const QJsonObject object = value.toObject();
        const PublishDestination destination{object.value(QStringLiteral("profile")).toString(),
                                             object.value(QStringLiteral("host")).toString(),
                                             object.value(QStringLiteral("port")).toString(),
                                             object.value(QStringLiteral("user")).toString(),
                                             object.value(QStringLiteral("folder")).toString()};
        destinations.append(Entries{destination, filesOf(object.value(QStringLiteral("files")).toArray()),
                                    filesOf(object.value(QStringLiteral("unfinished")).toArray())});
    }
    return destinations;
}

QByteArray PublishRecord::serialize(const QList<Entries> &destinations)
{
    QJsonArray array;
    for (const Entries &e : destinations) {
        if (e.published.isEmpty() && e.unfinished.isEmpty())
            continue;
        QJsonObject object{{QStringLiteral("profile"), e.destination.profile},
                           {QStringLiteral("host"), e.destination.host},
                           {QStringLiteral("port"), e.destination.port},
                           {QStringLiteral("user"), e.destination.user},
                           {QStringLiteral("folder"), e.destination.folder},
                           {QStringLiteral("files"), arrayOf(e.published)}};
        if (!e.unfinished.isEmpty())
            object.insert(QStringLiteral("unfinished"), arrayOf(e.unfinished));
        array.append(object);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), formatVersion}, {QStringLiteral("destinations"), array}})
        .toJson(QJsonDocument::Indented);
}

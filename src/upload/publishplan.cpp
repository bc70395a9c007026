#include "publishplan.h"

#include "upload/uploadlist.h"

#include <QFileInfo>

namespace PublishPlan {

namespace {

const QString kTemporarySuffix = QStringLiteral(".vxpart");

bool isPage(const QString &name)
{
    return name.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) || name.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive);
}

PlannedFile measure(const QString &path, const PublishRecord &record, const PublishDestination &destination, bool sendAll)
{
    PlannedFile file;
    file.localPath = path;
    file.remoteName = UploadList::bareFileName(path);
    file.isPage = isPage(file.remoteName);
    const QFileInfo info(path);
    if (info.isFile()) {
        file.size = info.size();
        file.modified = info.lastModified().toMSecsSinceEpoch();
    }
    const std::optional<PublishedFile> published = record.published(destination, file.remoteName);
    if (!published)
        file.state = FileState::New;
    else if (file.size >= 0 && published->localPath == path && published->size == file.size && published->modified == file.modified)
        file.state = FileState::Unchanged;
    else
        file.state = FileState::Changed;
    file.send = sendAll || file.state != FileState::Unchanged;
    return file;
}

}

QList<PlannedFile> make(const QStringList &files, const PublishRecord &record, const PublishDestination &destination,
                        bool sendAll)
{
    QList<PlannedFile> pictures;
    QList<PlannedFile> pages;
    for (qsizetype i = files.size() - 1; i >= 0; --i) {
        PlannedFile file = measure(files.at(i), record, destination, sendAll);
        (file.isPage ? pages : pictures).append(file);
    }
    return pictures + pages;
}

QString stateText(FileState state)
{
    switch (state) {
    case FileState::New:
        return QStringLiteral("new");
    case FileState::Changed:
        return QStringLiteral("changed");
    case FileState::Unchanged:
        return QStringLiteral("unchanged");
    }
    return QString();
}

QString temporaryName(const QString &remoteName)
{
    return u'.' + remoteName + kTemporarySuffix;
}

bool isTemporaryName(const QString &name)
{
    return name.size() > kTemporarySuffix.size() + 1 && name.startsWith(u'.') && name.endsWith(kTemporarySuffix);
}

PublishedFile entryFor(const PlannedFile &file)
{
    return PublishedFile{file.localPath, file.size, file.modified, {}, {}};
}

}

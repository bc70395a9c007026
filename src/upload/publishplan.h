#pragma once

#include "upload/publishrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// A file of the upload list measured against what was published to a destination.
enum class FileState : quint8 {
    New,       // never published there
    Changed,   // published, but the local file's size or modification time differs
    Unchanged, // published as it is now
};

struct PlannedFile
{
    QString localPath;
    QString remoteName;
    qint64 size = -1;     // -1: the local file is not there
    qint64 modified = -1; // milliseconds since the epoch
    FileState state = FileState::New;
    bool send = true;
    bool isPage = false; // an HTML page, put in place after everything it may show
};

namespace PublishPlan {

// The files of the upload list in the order a run handles them: the pictures and other
// files first, from the last entry of the list to the first (so that of two with the
// same name, the one nearer the start is left on the server), then the pages the same
// way. A file is sent when it is new or changed, or always with sendAll. The files'
// contents are not read: size and modification time decide.
QList<PlannedFile> make(const QStringList &files, const PublishRecord &record, const PublishDestination &destination,
                        bool sendAll);

// "new", "changed", "unchanged".
QString stateText(FileState state);

// The name a file is stored under until it is complete and checked: ".name.vxpart".
QString temporaryName(const QString &remoteName);
bool isTemporaryName(const QString &name);

// The published entry for a file as it is now (hash still to be filled in).
PublishedFile entryFor(const PlannedFile &file);

}

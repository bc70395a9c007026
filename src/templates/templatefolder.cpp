#include "templatefolder.h"

#include "model/routines.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace TemplateFolder {

QStringList entryCaptions(const QString &folder, const QString &extension)
{
    QStringList captions;
    if (folder.isEmpty())
        return captions;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (name.endsWith(extension, Qt::CaseSensitive))
            captions.append(Routines::StripExtension(name));
    }
    // Enumeration order is whatever the file system gives: sort so the list is stable.
    // Captions equal but for letter case keep one order through the exact comparison.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(captions.begin(), captions.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return captions;
}

QString documentPath(const QString &folder, const QString &caption, const QString &extension)
{
    return folder + caption + u'.' + extension;
}

QString companionOf(const QString &documentPath)
{
    const QFileInfo info(documentPath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return info.dir().filePath((dot < 0 ? name : name.left(dot)) + QStringLiteral(".html"));
}

DeleteResult deleteDocument(const QString &folder, const QString &caption, const QString &extension, QString *error)
{
    const QString path = documentPath(folder, caption, extension);
    if (!QFileInfo::exists(path))
        return DeleteResult::Missing;
    QFile document(path);
    if (!document.remove()) {
        if (error)
            *error = document.errorString();
        return DeleteResult::Failed;
    }
    // A companion that stays behind is never listed and does no harm.
    QFile::remove(folder + caption + QStringLiteral(".html"));
    return DeleteResult::Deleted;
}

}

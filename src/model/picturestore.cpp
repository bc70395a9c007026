#include "picturestore.h"

#include <QFile>
#include <QFileInfo>

namespace PictureStore {

bool sameContents(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    constexpr qint64 chunk = 64 * 1024;
    while (!a.atEnd()) {
        const QByteArray left = a.read(chunk);
        if (left.isEmpty() || left != b.read(chunk))
            return false;
    }
    return true;
}

QString place(const QString &source, const QString &folder, QString *error)
{
    const QFileInfo chosen(source);
    const QString base = chosen.completeBaseName();
    const QString suffix = chosen.suffix().isEmpty() ? QString() : u'.' + chosen.suffix();
    QString target = folder + chosen.fileName();
    for (int n = 2; QFileInfo::exists(target); ++n) {
        if (sameContents(source, target))
            return target;
        target = folder + base + u'-' + QString::number(n) + suffix;
    }
    // One file, copied as it is: a comma in its path is just a character.
    QFile file(source);
    if (!file.copy(target)) {
        if (error)
            *error = file.errorString();
        return QString();
    }
    return target;
}

}

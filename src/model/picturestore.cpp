#include "picturestore.h"

#include "platform/boundedread.h"
#include "platform/safewrite.h"

#include <QFile>
#include <QFileInfo>

namespace PictureStore {

bool sameContents(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    if (!BoundedRead::openRegularFile(a) || !BoundedRead::openRegularFile(b) || a.size() != b.size())
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
    // A name that anything holds is taken, a link to nothing included.
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
        if (sameContents(source, target))
            return target;
        target = folder + base + u'-' + QString::number(n) + suffix;
    }
    // One file, copied as it is (a comma in its path is just a character); a pipe or a
    // device chosen as a picture is refused, not waited for.
    QByteArray bytes;
    QString reason;
    if (BoundedRead::readFile(source, bytes, &reason) != BoundedRead::Result::Read
        || SafeWrite::replaceFile(target, bytes, &reason, SafeWrite::Owner::Program) != SafeWrite::Result::Written) {
        if (error)
            *error = reason;
        return QString();
    }
    return target;
}

}

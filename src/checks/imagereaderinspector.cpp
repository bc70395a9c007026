#include "imagereaderinspector.h"

#include <QFileInfo>
#include <QImageReader>

PictureFacts ImageReaderInspector::inspect(const QString &path) const
{
    PictureFacts facts;
    const QFileInfo info(path);
    facts.exists = info.exists();
    // A folder, pipe or device of that name is no picture, and reading a pipe could
    // wait for ever.
    if (!info.isFile())
        return facts;
    facts.bytes = info.size();
    QImageReader reader(path);
    if (!reader.canRead())
        return facts;
    facts.readable = true;
    // A format that cannot tell its size without decoding leaves it unknown.
    facts.size = reader.size();
    return facts;
}

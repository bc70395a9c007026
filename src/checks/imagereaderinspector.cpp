#include "imagereaderinspector.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// The format a file's first bytes name, for the formats whose files always start with
// a signature of their own; empty for any other file.
QByteArray formatFromSignature(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray head = file.read(8);
    if (head.startsWith("\xFF\xD8"))
        return "jpeg";
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return "png";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (head.startsWith("BM"))
        return "bmp";
    return QByteArray();
}

}

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
    // Finding the format from the content asks every image plugin in turn, loading each
    // (and the SVG one loads a library of its own) before the built-in formats are
    // tried. A signature names the one reader to ask; whatever it refuses, and any
    // other file, is left to the search as before, so the verdict is the same.
    const QByteArray format = formatFromSignature(path);
    QImageReader named(path, format);
    named.setAutoDetectImageFormat(false);
    QImageReader searched(path);
    QImageReader &reader = !format.isEmpty() && named.canRead() ? named : searched;
    if (!reader.canRead())
        return facts;
    facts.readable = true;
    // A format that cannot tell its size without decoding leaves it unknown.
    facts.size = reader.size();
    return facts;
}

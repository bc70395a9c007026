#pragma once

#include <QSize>
#include <QString>

// What the checks need to know of a picture file, read without decoding the picture.
struct PictureFacts
{
    bool exists = false;   // there is something at the path
    bool readable = false; // a file whose header reads as a picture
    QSize size;            // in pixels; invalid when unknown
    qint64 bytes = 0;      // the file's size, when it exists
};

// Reading pictures needs Qt's image plugins, which the core does not link: the caller
// hands in a reader (ImageReaderInspector, or a fake in tests).
class PictureInspector
{
public:
    virtual ~PictureInspector() = default;
    virtual PictureFacts inspect(const QString &path) const = 0;
};

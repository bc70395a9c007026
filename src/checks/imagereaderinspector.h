#pragma once

#include "pictureinspector.h"

// Reads a picture's size from its header through Qt's image plugins; the picture
// itself is never decoded.
class ImageReaderInspector : public PictureInspector
{
public:
    PictureFacts inspect(const QString &path) const override;
};

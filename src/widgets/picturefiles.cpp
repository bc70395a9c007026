#include "picturefiles.h"

#include <QImageReader>
#include <QStringList>

namespace PictureFiles {

QString dialogFilter()
{
    // Only kinds a visitor's browser shows: Qt also reads icons, bitmaps for X and the
    // portable any-maps, which no page should carry.
    static const char *const webKinds[][2] = {{"png", "*.png"}, {"jpeg", "*.jpg;*.jpeg"}, {"gif", "*.gif"},
                                              {"bmp", "*.bmp"}, {"webp", "*.webp"},       {"svg", "*.svg"}};
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    QStringList patterns;
    for (const auto &[format, pattern] : webKinds) {
        if (readable.contains(QByteArray(format)))
            patterns.append(QLatin1StringView(pattern));
    }
    return QStringLiteral("Image Files|%1|All Files|*").arg(patterns.join(u';'));
}

}

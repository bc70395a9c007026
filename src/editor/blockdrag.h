#pragma once

#include <QString>

class QMimeData;

// What a drag of a block carries: where it started and which row was dragged.
struct BlockDrag
{
    enum class Source { None, Palette, Pagelettes };

    Source source = Source::None;
    int row = -1;

    // The drag's data, or a drag of Source::None for data that is not a block drag.
    static BlockDrag fromMimeData(const QMimeData *data);
    QMimeData *toMimeData() const;

    static QString mimeType();
};

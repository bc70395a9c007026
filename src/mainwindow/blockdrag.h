#pragma once

#include <QString>

class QMimeData;
class QWidget;

// What a drag of a block carries: where it started and which row was dragged. The data
// also name the window the drag started in, so that only that window's lists take it:
// a drag from a second running instance (or any other program) is never a block drag.
struct BlockDrag
{
    enum class Source { None, Palette, Pagelettes };

    Source source = Source::None;
    int row = -1;

    // The drag's data as seen by receiver, or a drag of Source::None for data that is
    // not a block drag of receiver's window.
    static BlockDrag fromMimeData(const QMimeData *data, const QWidget &receiver);
    // The data of a drag that starts in sender's window.
    QMimeData *toMimeData(const QWidget &sender) const;

    static QString mimeType();
};

#include "blockdrag.h"

#include <QMimeData>

QString BlockDrag::mimeType()
{
    return QStringLiteral("application/x-vendrix-block-drag");
}

BlockDrag BlockDrag::fromMimeData(const QMimeData *data)
{
    BlockDrag drag;
    if (!data || !data->hasFormat(mimeType()))
        return drag;
    const QList<QByteArray> parts = data->data(mimeType()).split(' ');
    if (parts.size() != 2)
        return drag;
    bool ok = false;
    const int row = parts[1].toInt(&ok);
    if (!ok || row < 0)
        return drag;
    if (parts[0] == "palette")
        drag.source = Source::Palette;
    else if (parts[0] == "pagelettes")
        drag.source = Source::Pagelettes;
    else
        return drag;
    drag.row = row;
    return drag;
}

QMimeData *BlockDrag::toMimeData() const
{
    auto *data = new QMimeData;
    const QByteArray tag = source == Source::Palette ? "palette" : source == Source::Pagelettes ? "pagelettes" : "none";
    data->setData(mimeType(), tag + ' ' + QByteArray::number(row));
    return data;
}

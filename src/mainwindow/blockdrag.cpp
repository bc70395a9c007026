#include "blockdrag.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QWidget>

namespace {

// The process and the top-level window: unique among the windows running on a desktop.
QByteArray ownerOf(const QWidget &widget)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
           + QByteArray::number(quintptr(widget.window()), 16);
}

}

QString BlockDrag::mimeType()
{
    return QStringLiteral("application/x-vendrix-block-drag");
}

BlockDrag BlockDrag::fromMimeData(const QMimeData *data, const QWidget &receiver)
{
    BlockDrag drag;
    if (!data || !data->hasFormat(mimeType()))
        return drag;
    const QList<QByteArray> parts = data->data(mimeType()).split(' ');
    if (parts.size() != 3 || parts[2] != ownerOf(receiver))
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

QMimeData *BlockDrag::toMimeData(const QWidget &sender) const
{
    auto *data = new QMimeData;
    const QByteArray tag = source == Source::Palette ? "palette" : source == Source::Pagelettes ? "pagelettes" : "none";
    data->setData(mimeType(), tag + ' ' + QByteArray::number(row) + ' ' + ownerOf(sender));
    return data;
}

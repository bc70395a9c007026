#include "rowdrag.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>

RowDrag::RowDrag(QAbstractItemView &view)
    : QObject(&view), mView(view), mViewport(view.viewport())
{
    view.setDragDropMode(QAbstractItemView::NoDragDrop);
    view.viewport()->setAcceptDrops(true);
    view.viewport()->installEventFilter(this);
}

QString RowDrag::mimeType()
{
    return QStringLiteral("application/x-vendrix-row");
}

void RowDrag::acceptDropsFrom(const QAbstractItemView &other)
{
    mPartners.append(&other);
}

int RowDrag::selectedRow() const
{
    const QModelIndex current = mView.currentIndex();
    const QItemSelectionModel *selection = mView.selectionModel();
    if (!current.isValid() || !selection || !selection->isSelected(current))
        return -1;
    return current.row();
}

void RowDrag::startDrag(int row)
{
    auto *data = new QMimeData;
    data->setData(mimeType(), QByteArray::number(row));
    auto *drag = new QDrag(&mView);
    drag->setMimeData(data);
    if (!mCursor.isNull())
        drag->setDragCursor(mCursor, Qt::MoveAction);
    drag->exec(Qt::MoveAction);
}

bool RowDrag::accepts(const QDropEvent &event) const
{
    const QObject *source = event.source();
    return (source == &mView || mPartners.contains(source)) && event.mimeData()->hasFormat(mimeType());
}

bool RowDrag::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept at construction: the view may be half destroyed
    // when its viewport sends its last events.
    if (watched != mViewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        mPressed = (mouse->button() & mButtons) != 0;
        mPressPos = mouse->position().toPoint();
        break;
    }
    case QEvent::MouseButtonRelease:
        mPressed = false;
        break;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const int row = selectedRow();
        if (mPressed && (mouse->buttons() & mButtons) && row >= 0
            && (mouse->position().toPoint() - mPressPos).manhattanLength() >= QApplication::startDragDistance()) {
            mPressed = false;
            startDrag(row);
            return true;
        }
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (accepts(*drag))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!accepts(*drop)) {
            drop->ignore();
            return true;
        }
        bool ok = false;
        const int dragged = drop->mimeData()->data(mimeType()).toInt(&ok);
        drop->acceptProposedAction();
        if (!ok)
            return true;
        const int target = mView.indexAt(drop->position().toPoint()).row();
        if (drop->source() == &mView)
            emit rowDropped(dragged, target);
        else
            emit rowDroppedFrom(static_cast<const QAbstractItemView *>(drop->source()), dragged, target);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

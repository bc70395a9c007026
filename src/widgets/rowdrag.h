#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPoint>

class QAbstractItemView;

// Lets the user exchange (or move) rows of a list by dragging the selected row onto
// another one. It watches the view's viewport: a drag of the selected row (with the
// left button unless set otherwise) starts once the pointer has moved by the
// platform's drag distance; only drags that started in this same view (or in a view
// named with acceptDropsFrom) are accepted, so nothing from another list or another
// program can be dropped here. What a drop does is the owner's business.
class RowDrag : public QObject
{
    Q_OBJECT
public:
    // Watches view; the helper is owned by the view.
    explicit RowDrag(QAbstractItemView &view);

    // The picture the pointer shows while a row is dragged (none: the platform's).
    void setDragCursor(const QPixmap &cursor) { mCursor = cursor; }

    // The mouse buttons whose drag moves a row (the left button unless set).
    void setDragButtons(Qt::MouseButtons buttons) { mButtons = buttons; }

    // Also accepts the rows dragged out of other (by its own RowDrag); their drops are
    // reported by rowDroppedFrom.
    void acceptDropsFrom(const QAbstractItemView &other);

    // The selected row (the current row when it is selected), -1 when none is.
    int selectedRow() const;

    // The MIME type of a row drag; its data is the dragged row as decimal text.
    static QString mimeType();

signals:
    // The dragged row was dropped on targetRow (-1: below the last row or outside
    // the rows).
    void rowDropped(int draggedRow, int targetRow);
    // A row of a view named with acceptDropsFrom was dropped on targetRow.
    void rowDroppedFrom(const QAbstractItemView *source, int draggedRow, int targetRow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startDrag(int row);
    bool accepts(const class QDropEvent &event) const;

    QAbstractItemView &mView;
    QObject *mViewport = nullptr;
    QPixmap mCursor;
    QList<const QObject *> mPartners;
    Qt::MouseButtons mButtons = Qt::LeftButton;
    QPoint mPressPos;
    bool mPressed = false;
};

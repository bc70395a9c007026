#pragma once

#include "blockdrag.h"
#include "model/pagelette.h"

#include <QLabel>
#include <QListWidget>

// A list of block rows (caption and kind picture) from which a left-button drag
// starts once the pointer has moved by the platform's drag threshold.
class BlockListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit BlockListWidget(BlockDrag::Source source, QWidget *parent = nullptr);

    // Adds a row with the kind's caption and picture.
    void addBlockRow(TBlockType kind);
    void insertBlockRow(int row, TBlockType kind);
    static TBlockType rowKind(const QListWidgetItem &item);

    // The marker that points where a dropped block goes; shown and hidden by the lists.
    void setInsertionMarker(QWidget *marker) { mMarker = marker; }
    void hideMarker();

protected:
    virtual bool canDragRow(int row) const = 0;
    virtual QPixmap dragCursor() const { return QPixmap(); }
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    QWidget *marker() const { return mMarker; }

private:
    void startDrag(int row);

    BlockDrag::Source mSource;
    QWidget *mMarker = nullptr;
    QPoint mPressPos;
    int mPressRow = -1;
};

// The palette: one 40-pixel row per block kind that can be added, picture above
// caption. Dropping on it does nothing; a drag over it hides the insertion marker.
class PaletteList : public BlockListWidget
{
    Q_OBJECT
public:
    explicit PaletteList(QWidget *parent = nullptr);

    // The kind a drop from the palette creates: the selected row's kind.
    TBlockType paletteKind() const;

signals:
    // Enter or Insert on a row: its block should be added after the selected pagelette.
    void addRequested(int row);

protected:
    bool canDragRow(int row) const override;
    QPixmap dragCursor() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// The pagelette list: row i stands for page item i. Rows are drawn as raised buttons;
// row 0 (the page details) cannot be dragged.
class PageletteList : public BlockListWidget
{
    Q_OBJECT
public:
    explicit PageletteList(QWidget *parent = nullptr);

    // The drop index of a point in the list's viewport: the row under it, the row count
    // below the last row, -1 outside the list's client area.
    int dropIndexAt(const QPoint &viewportPos) const;

signals:
    // A left click on a row, or the keyboard moving to a row.
    void rowClicked(int row);
    // A block was dropped on the list at that index.
    void blockDropped(BlockDrag drag, int targetIndex);
    // A right click, Shift+F10 or the Menu key: the context menu should open there
    // (global position).
    void menuRequested(const QPoint &globalPos);

protected:
    bool canDragRow(int row) const override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// The bin at the bottom of the left pane: pagelettes dropped on it are deleted. It
// shows its design picture until the first deletion, then full or empty.
class TrashBin : public QLabel
{
    Q_OBJECT
public:
    enum class State { Design, Empty, Full };

    explicit TrashBin(QWidget *parent = nullptr);

    State state() const { return mState; }
    void setState(State state);

signals:
    void pageletteDropped();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    State mState = State::Design;
};

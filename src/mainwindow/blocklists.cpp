#include "blocklists.h"

#include "widgets/keyboardmenu.h"
#include "widgets/pictures.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <qdrawutil.h>

namespace {

constexpr int kPaletteRowHeight = 40;
constexpr int kPageletteRowHeight = 32;
constexpr int kKindRole = Qt::UserRole + 1;

// The keyboard's row: the rows are drawn by hand, so the focus frame is too.
void drawFocusFrame(QPainter &painter, const QStyleOptionViewItem &option, const QRect &frame)
{
    if (!option.state.testFlag(QStyle::State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = frame;
    focus.backgroundColor = option.palette.color(QPalette::Window);
    const QWidget *widget = option.widget;
    (widget ? widget->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
}

// Palette rows: the picture centred 4 pixels below the row's top, the caption centred
// directly below it, on the highlight colour when selected.
class PaletteDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QRect row = option.rect;
        painter->fillRect(row, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        const int pictureLeft = row.left() + (row.width() - picture.width()) / 2;
        painter->drawPixmap(pictureLeft, row.top() + 4, picture);
        const QString caption = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        const int captionTop = row.top() + 4 + picture.height();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRect(row.left(), captionTop, row.width(), metrics.height()), Qt::AlignHCenter | Qt::AlignTop, caption);
        // The style's focus frame is drawn in the highlight colour, which the selected
        // row is filled with: a dotted frame in the text's colour shows on it.
        if (option.state.testFlag(QStyle::State_HasFocus)) {
            painter->setPen(QPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text), 1, Qt::DotLine));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(row.adjusted(2, 2, -3, -3));
        }
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), kPaletteRowHeight);
    }
};

// Pagelette rows: a raised button inset by 2 pixels, so a selected row shows as a
// button with a highlight frame; picture at (10, 8), caption after it.
class PageletteDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QRect row = option.rect;
        const QPalette &palette = option.palette;
        painter->fillRect(row, palette.color(selected ? QPalette::Highlight : QPalette::Button));
        const QRect inset = row.adjusted(2, 2, -2, -2);
        const QBrush face = palette.brush(QPalette::Button);
        qDrawWinButton(painter, inset, palette, false, &face);
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        painter->drawPixmap(row.left() + 10, row.top() + 8, picture);
        painter->setFont(option.font);
        painter->setPen(palette.color(QPalette::ButtonText));
        const int captionLeft = row.left() + picture.width() + 16;
        painter->drawText(QRect(captionLeft, row.top() + 8, row.right() - captionLeft, row.height() - 8),
                          Qt::AlignLeft | Qt::AlignTop, index.data(Qt::DisplayRole).toString());
        drawFocusFrame(*painter, option, inset.adjusted(2, 2, -2, -2));
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), kPageletteRowHeight);
    }
};

}

BlockListWidget::BlockListWidget(BlockDrag::Source source, QWidget *parent)
    : QListWidget(parent), mSource(source)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setMouseTracking(true);
}

void BlockListWidget::addBlockRow(TBlockType kind)
{
    insertBlockRow(count(), kind);
}

void BlockListWidget::insertBlockRow(int row, TBlockType kind)
{
    auto *item = new QListWidgetItem(BlockTypeCaption(kind));
    item->setData(Qt::DecorationRole, Pictures::kind(kind));
    item->setData(kKindRole, int(kind));
    insertItem(row, item);
}

TBlockType BlockListWidget::rowKind(const QListWidgetItem &item)
{
    return TBlockType(item.data(kKindRole).toInt());
}

void BlockListWidget::hideMarker()
{
    if (mMarker)
        mMarker->hide();
}

void BlockListWidget::mousePressEvent(QMouseEvent *event)
{
    mPressRow = -1;
    if (event->button() != Qt::LeftButton)
        return;
    QListWidget::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) {
        mPressRow = index.row();
        mPressPos = event->position().toPoint();
    }
}

void BlockListWidget::mouseMoveEvent(QMouseEvent *event)
{
    // Moving with the button down never changes the selection: it can only start a drag.
    if (!event->buttons().testFlag(Qt::LeftButton) || mPressRow < 0)
        return;
    if ((event->position().toPoint() - mPressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int row = mPressRow;
    mPressRow = -1;
    if (canDragRow(row))
        startDrag(row);
}

void BlockListWidget::mouseReleaseEvent(QMouseEvent *event)
{
    mPressRow = -1;
    QListWidget::mouseReleaseEvent(event);
}

void BlockListWidget::startDrag(int row)
{
    auto *drag = new QDrag(this);
    drag->setMimeData(BlockDrag{mSource, row}.toMimeData(*this));
    const QPixmap cursor = dragCursor();
    if (!cursor.isNull())
        drag->setDragCursor(cursor, Qt::MoveAction);
    drag->exec(Qt::MoveAction);
    hideMarker();
}

PaletteList::PaletteList(QWidget *parent)
    : BlockListWidget(BlockDrag::Source::Palette, parent)
{
    setObjectName(QStringLiteral("lstPalette"));
    setAccessibleName(tr("Palette"));
    setItemDelegate(new PaletteDelegate(this));
    setFixedWidth(84);
    for (int kind = btHeading; kind <= btForms; ++kind)
        addBlockRow(TBlockType(kind));
    setCurrentRow(0);
}

TBlockType PaletteList::paletteKind() const
{
    // Row n holds the kind n + 1: the palette offers everything but the page details.
    return TBlockType(qMax(0, currentRow()) + 1);
}

bool PaletteList::canDragRow(int) const
{
    return true;
}

QPixmap PaletteList::dragCursor() const
{
    return Pictures::newDragCursor().pixmap();
}

void PaletteList::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Insert) && currentRow() >= 0) {
        emit addRequested(currentRow());
        event->accept();
        return;
    }
    BlockListWidget::keyPressEvent(event);
}

void PaletteList::dragEnterEvent(QDragEnterEvent *event)
{
    hideMarker();
    if (BlockDrag::fromMimeData(event->mimeData(), *this).source == BlockDrag::Source::Palette)
        event->acceptProposedAction();
    else
        event->ignore();
}

void PaletteList::dragMoveEvent(QDragMoveEvent *event)
{
    hideMarker();
    if (BlockDrag::fromMimeData(event->mimeData(), *this).source == BlockDrag::Source::Palette)
        event->acceptProposedAction();
    else
        event->ignore();
}

void PaletteList::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
}

PageletteList::PageletteList(QWidget *parent)
    : BlockListWidget(BlockDrag::Source::Pagelettes, parent)
{
    setObjectName(QStringLiteral("lstBlocks"));
    setAccessibleName(tr("Pagelettes"));
    setItemDelegate(new PageletteDelegate(this));
    setFrameShape(QFrame::NoFrame);
    setToolTip(tr("Right-Click on me!"));
    setBackgroundRole(QPalette::Button);
    viewport()->setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    KeyboardMenu::enable(*this);
}

void PageletteList::contextMenuEvent(QContextMenuEvent *event)
{
    // A right click has opened the menu on the button's press already.
    if (event->reason() != QContextMenuEvent::Keyboard) {
        event->ignore();
        return;
    }
    emit menuRequested(event->globalPos());
}

int PageletteList::dropIndexAt(const QPoint &viewportPos) const
{
    if (!viewport()->rect().contains(viewportPos))
        return -1;
    const QModelIndex index = indexAt(viewportPos);
    return index.isValid() ? index.row() : count();
}

bool PageletteList::canDragRow(int row) const
{
    return row >= 1;
}

void PageletteList::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // The menu's Delete Pagelette acts on the selected row: a right click first
        // selects the row it points at, as a left click would.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            setCurrentRow(index.row());
            emit rowClicked(index.row());
        }
        emit menuRequested(event->globalPosition().toPoint());
        return;
    }
    BlockListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            emit rowClicked(index.row());
    }
}

void PageletteList::mouseMoveEvent(QMouseEvent *event)
{
    if (!event->buttons())
        hideMarker();
    BlockListWidget::mouseMoveEvent(event);
}

void PageletteList::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+Up and Ctrl+Down move the pagelette (the window's Move Up and Move Down);
    // where it cannot go they do nothing rather than move the selection.
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && event->modifiers() == Qt::ControlModifier) {
        event->accept();
        return;
    }
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0)
        emit rowClicked(currentRow());
}

void PageletteList::dragEnterEvent(QDragEnterEvent *event)
{
    if (BlockDrag::fromMimeData(event->mimeData(), *this).source != BlockDrag::Source::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void PageletteList::dragMoveEvent(QDragMoveEvent *event)
{
    if (BlockDrag::fromMimeData(event->mimeData(), *this).source == BlockDrag::Source::None) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QModelIndex index = indexAt(event->position().toPoint());
    QWidget *pointer = marker();
    if (!pointer)
        return;
    if (!index.isValid() || index.row() == 0) {
        pointer->hide();
        return;
    }
    // The marker points at the row before which a palette block would go.
    const int top = y() + visualItemRect(item(index.row())).top() + pointer->height();
    pointer->move(pointer->x(), top);
    pointer->show();
    pointer->raise();
}

void PageletteList::dragLeaveEvent(QDragLeaveEvent *event)
{
    event->accept();
}

void PageletteList::dropEvent(QDropEvent *event)
{
    hideMarker();
    const BlockDrag drag = BlockDrag::fromMimeData(event->mimeData(), *this);
    if (drag.source == BlockDrag::Source::None) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const int target = dropIndexAt(event->position().toPoint());
    if (target >= 0)
        emit blockDropped(drag, target);
}

TrashBin::TrashBin(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("imgTrash"));
    setAccessibleName(tr("Trash"));
    setFixedSize(148, 38);
    setAcceptDrops(true);
    setPixmap(Pictures::trashDesign());
}

void TrashBin::setState(State state)
{
    mState = state;
    switch (state) {
    case State::Design:
        setPixmap(Pictures::trashDesign());
        break;
    case State::Empty:
        setPixmap(Pictures::trashEmpty());
        break;
    case State::Full:
        setPixmap(Pictures::trashFull());
        break;
    }
}

void TrashBin::dragEnterEvent(QDragEnterEvent *event)
{
    if (BlockDrag::fromMimeData(event->mimeData(), *this).source == BlockDrag::Source::Pagelettes)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TrashBin::dropEvent(QDropEvent *event)
{
    if (BlockDrag::fromMimeData(event->mimeData(), *this).source != BlockDrag::Source::Pagelettes) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit pageletteDropped();
}

#include "listboxhrz.h"

#include "platform/textfile.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextOption>

namespace {

// Draws the lines with the list's tab stops, so name and value columns line up.
class TabStopDelegate : public QStyledItemDelegate
{
public:
    explicit TabStopDelegate(TListBoxHrz &list)
        : QStyledItemDelegate(&list), mList(list)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyle *style = opt.widget ? opt.widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        if (mList.tabWidth() > 0)
            textOption.setTabStopDistance(mList.tabWidth());
        const bool selected = opt.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group = opt.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(opt.rect).adjusted(2, 0, 0, 0), text, textOption);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // Every line is as wide as the extent, so the list's own sizing of the scroll
        // bar agrees with CurrentWidth; otherwise the two would show and hide the bar
        // in turn, without end, when the box is wider than a line but narrower than
        // the extent.
        const QSize base = QStyledItemDelegate::sizeHint(option, index);
        return QSize(qMax(mList.lineWidth(index.data(Qt::DisplayRole).toString()), mList.CurrentWidth()), base.height());
    }

private:
    TListBoxHrz &mList;
};

}

TListBoxHrz::TListBoxHrz(QWidget *parent)
    : QListWidget(parent)
{
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
    setItemDelegate(new TabStopDelegate(*this));
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { linesInserted(first, last); });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { recalculate(); });
    connect(model(), &QAbstractItemModel::modelReset, this, [this] { setCurrentWidth(0); });
    // A line whose text was replaced counts as deleted and added anew, so the extent
    // also shrinks when the widest line becomes shorter.
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                recalculate(topLeft.row(), bottomRight.row());
                linesInserted(topLeft.row(), bottomRight.row());
            });
}

TListBoxHrz::~TListBoxHrz()
{
    // The base classes empty the model while they are destroyed; its signals must not
    // reach this part of the object any more.
    disconnect(model(), nullptr, this, nullptr);
}

void TListBoxHrz::setCurrentWidth(int width)
{
    mCurrentWidth = qMax(0, width);
    // Lay the lines out again at once: sized to the old extent, the list would hide
    // and show its scroll bars in turn.
    doItemsLayout();
    updateGeometries();
}

void TListBoxHrz::setTabStops(int dialogUnits)
{
    mTabDialogUnits = qMax(0, dialogUnits);
    updateTabWidth();
    viewport()->update();
}

int TListBoxHrz::lineWidth(const QString &text) const
{
    const QString measured = text + QStringLiteral("XX");
    const QFontMetrics metrics = fontMetrics();
    if (mTabWidth > 0 && measured.contains(u'\t')) {
        const QRect bounds = metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 10), Qt::TextSingleLine | Qt::TextExpandTabs,
                                                  measured, mTabWidth);
        return bounds.width();
    }
    return metrics.horizontalAdvance(measured);
}

QString TListBoxHrz::joinedLines() const
{
    QString text;
    for (int i = 0; i < count(); ++i)
        text += item(i)->text() + QStringLiteral("\r\n");
    return text;
}

void TListBoxHrz::setJoinedLines(const QString &text)
{
    clear();
    addItems(TextFile::splitLines(text));
}

void TListBoxHrz::updateGeometries()
{
    QListWidget::updateGeometries();
    QScrollBar *bar = horizontalScrollBar();
    const int visible = viewport()->width();
    bar->setRange(0, qMax(0, mCurrentWidth - visible));
    bar->setPageStep(qMax(1, visible));
    bar->setSingleStep(qMax(1, fontMetrics().averageCharWidth()));
}

void TListBoxHrz::changeEvent(QEvent *event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateTabWidth();
        recalculate();
    }
}

void TListBoxHrz::linesInserted(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        QListWidgetItem *line = item(row);
        if (!line)
            continue;
        // A screen reader would read the tab character out; the columns are a pause.
        if (line->text().contains(u'\t'))
            line->setData(Qt::AccessibleTextRole, QString(line->text()).replace(u'\t', QStringLiteral(", ")));
        else if (line->data(Qt::AccessibleTextRole).isValid())
            line->setData(Qt::AccessibleTextRole, QVariant());
        const int width = lineWidth(line->text());
        if (width > mCurrentWidth)
            setCurrentWidth(width + mTabWidth);
    }
}

void TListBoxHrz::recalculate(int skipFirst, int skipLast)
{
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        if (row < skipFirst || row > skipLast)
            widest = qMax(widest, lineWidth(item(row)->text()));
    setCurrentWidth(widest + mTabWidth);
}

void TListBoxHrz::updateTabWidth()
{
    mTabWidth = mTabDialogUnits * fontMetrics().averageCharWidth() / 4;
}

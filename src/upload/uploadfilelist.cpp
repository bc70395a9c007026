#include "uploadfilelist.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Draws the path, then its state in the colour of secondary text.
class StateDelegate : public QStyledItemDelegate
{
public:
    StateDelegate(UploadFileList &list, int gap)
        : QStyledItemDelegate(&list), mList(list), mGap(gap)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString path = opt.text;
        const QString state = index.data(UploadFileList::StateRole).toString();
        opt.text.clear();
        if (QStyle *style = opt.widget ? opt.widget->style() : nullptr)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        const bool selected = opt.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group = opt.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QRect text = opt.rect.adjusted(2, 0, 0, 0);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, path);
        if (!state.isEmpty()) {
            if (!selected)
                painter->setPen(opt.palette.color(group, QPalette::PlaceholderText));
            const int x = painter->fontMetrics().horizontalAdvance(path) + mGap;
            painter->drawText(text.adjusted(x, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, state);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QSize base = QStyledItemDelegate::sizeHint(option, index);
        const QString state = index.data(UploadFileList::StateRole).toString();
        int width = mList.lineWidth(index.data(Qt::DisplayRole).toString());
        if (!state.isEmpty())
            width += mGap + mList.fontMetrics().horizontalAdvance(state);
        return QSize(qMax(width, mList.CurrentWidth()), base.height());
    }

private:
    UploadFileList &mList;
    int mGap;
};

}

UploadFileList::UploadFileList(QWidget *parent)
    : TListBoxHrz(parent)
{
    setItemDelegate(new StateDelegate(*this, stateGap()));
}

QStringList UploadFileList::paths() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(item(i)->text());
    return list;
}

void UploadFileList::setStates(const QHash<QString, QString> &states)
{
    for (int i = 0; i < count(); ++i) {
        QListWidgetItem *line = item(i);
        const QString state = states.value(line->text());
        line->setData(StateRole, state);
        // Screen readers read the state with the path.
        line->setData(Qt::AccessibleTextRole, state.isEmpty() ? line->text() : line->text() + QStringLiteral(", ") + state);
    }
    widenForStates();
}

QString UploadFileList::stateOf(int row) const
{
    const QListWidgetItem *line = item(row);
    return line ? line->data(StateRole).toString() : QString();
}

int UploadFileList::stateGap() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("XXX"));
}

// The scroll extent reaches the end of the widest line, its state included.
void UploadFileList::widenForStates()
{
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const QString state = stateOf(i);
        int width = lineWidth(item(i)->text());
        if (!state.isEmpty())
            width += stateGap() + fontMetrics().horizontalAdvance(state);
        widest = qMax(widest, width);
    }
    if (widest > CurrentWidth())
        setCurrentWidth(widest);
}

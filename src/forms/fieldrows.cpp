#include "fieldrows.h"

#include "platform/prompter.h"
#include "widgets/pictures.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

namespace {

class ListKeys : public QObject
{
public:
    ListKeys(QTreeWidget &list, std::function<void()> enter, std::function<void()> remove)
        : QObject(&list), mEnter(std::move(enter)), mRemove(std::move(remove))
    {
        list.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            const std::function<void()> &command
                = (key == Qt::Key_Return || key == Qt::Key_Enter) ? mEnter : key == Qt::Key_Delete ? mRemove : mNone;
            if (command) {
                command();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> mEnter;
    std::function<void()> mRemove;
    std::function<void()> mNone;
};

}

namespace FieldRows {

void onKeys(QTreeWidget &list, std::function<void()> enter, std::function<void()> remove)
{
    new ListKeys(list, std::move(enter), std::move(remove));
}

QTreeWidgetItem *append(QTreeWidget &list, const BankField &field)
{
    return insert(list, list.topLevelItemCount(), field);
}

QTreeWidgetItem *insert(QTreeWidget &list, int index, const BankField &field)
{
    auto *row = new QTreeWidgetItem;
    set(*row, field);
    list.insertTopLevelItem(index, row);
    return row;
}

void set(QTreeWidgetItem &row, const BankField &field)
{
    row.setText(0, field.name);
    row.setIcon(0, QIcon(Pictures::fieldKind(field.kind)));
    row.setData(0, Qt::UserRole, int(field.kind));
    row.setText(1, FieldDisplayName(field.kind));
}

BankField fieldOf(const QTreeWidgetItem &row)
{
    return {row.text(0), TFieldKind(qBound(int(fkText), row.data(0, Qt::UserRole).toInt(), int(fkButton)))};
}

QList<BankField> fieldsOf(const QTreeWidget &list)
{
    QList<BankField> fields;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        fields.append(fieldOf(*list.topLevelItem(i)));
    return fields;
}

void fill(QTreeWidget &list, const QList<BankField> &fields)
{
    list.clear();
    for (const BankField &field : fields)
        append(list, field);
}

int selectedRow(const QTreeWidget &list)
{
    QTreeWidgetItem *current = list.currentItem();
    return current && current->isSelected() ? list.indexOfTopLevelItem(current) : -1;
}

int focusedRow(const QTreeWidget &list)
{
    QTreeWidgetItem *current = list.currentItem();
    return current ? list.indexOfTopLevelItem(current) : -1;
}

void selectRow(QTreeWidget &list, int row)
{
    QTreeWidgetItem *item = list.topLevelItem(row);
    if (!item)
        return;
    list.setCurrentItem(item);
    item->setSelected(true);
}

void setUpList(QTreeWidget &list, const QStringList &headers, const QList<int> &widths)
{
    list.setColumnCount(int(headers.size()));
    list.setHeaderLabels(headers);
    for (int i = 0; i < widths.size(); ++i)
        list.setColumnWidth(i, widths[i]);
    list.header()->setStretchLastSection(false);
    list.header()->setObjectName(list.objectName() + QStringLiteral("Header"));
    list.setRootIsDecorated(false);
    list.setUniformRowHeights(true);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

}

bool LoadFieldSection(const IniFile &file, const QString &section, QTreeWidget &list, QList<BankField> *fields)
{
    const std::optional<QList<BankField>> read = FieldBank::readFields(file, section);
    if (!read)
        return false;
    FieldRows::fill(list, *read);
    if (fields)
        *fields = *read;
    return true;
}

bool ExchangeRows(QTreeWidget &list, int target)
{
    const int selected = FieldRows::selectedRow(list);
    QTreeWidgetItem *a = list.topLevelItem(selected);
    QTreeWidgetItem *b = list.topLevelItem(target);
    if (!a || !b || a == b)
        return false;
    for (int column = 0; column < list.columnCount(); ++column) {
        for (int role : {int(Qt::DisplayRole), int(Qt::DecorationRole), int(Qt::UserRole)}) {
            const QVariant kept = a->data(column, role);
            a->setData(column, role, b->data(column, role));
            b->setData(column, role, kept);
        }
    }
    FieldRows::selectRow(list, target);
    return true;
}

bool DeleteSelectedRow(QTreeWidget &list, const QString &what, Prompter &prompter)
{
    const int selected = FieldRows::selectedRow(list);
    if (selected < 0)
        return false;
    if (list.topLevelItemCount() == 1) {
        prompter.information(QStringLiteral("There must be at least one %1.").arg(what));
        return false;
    }
    delete list.takeTopLevelItem(selected);
    if (QTreeWidgetItem *focused = list.currentItem())
        focused->setSelected(true);
    return true;
}

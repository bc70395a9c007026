#include "editwatcher.h"

#include "widgets/updown.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

EditWatcher::EditWatcher(QWidget &root, const QList<const QWidget *> &ignored, QObject *parent)
    : QObject(parent)
{
    for (QWidget *control : root.findChildren<QWidget *>()) {
        if (!ignored.contains(control))
            watch(*control);
    }
}

void EditWatcher::watch(QWidget &control)
{
    if (auto *line = qobject_cast<QLineEdit *>(&control)) {
        // A read-only box only shows what another control chose.
        if (!line->isReadOnly())
            connect(line, &QLineEdit::textChanged, this, &EditWatcher::edited);
    } else if (auto *memo = qobject_cast<QPlainTextEdit *>(&control)) {
        connect(memo, &QPlainTextEdit::textChanged, this, &EditWatcher::edited);
    } else if (auto *button = qobject_cast<QAbstractButton *>(&control)) {
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, &EditWatcher::edited);
    } else if (auto *combo = qobject_cast<QComboBox *>(&control)) {
        // An editable list's typing reaches its line edit, which is watched as well.
        connect(combo, &QComboBox::currentIndexChanged, this, &EditWatcher::edited);
    } else if (auto *list = qobject_cast<QListWidget *>(&control)) {
        const QAbstractItemModel *model = list->model();
        connect(model, &QAbstractItemModel::rowsInserted, this, &EditWatcher::edited);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &EditWatcher::edited);
        connect(model, &QAbstractItemModel::rowsMoved, this, &EditWatcher::edited);
        connect(model, &QAbstractItemModel::modelReset, this, &EditWatcher::edited);
        // Lines are sized and decorated as well; only their text is the page's.
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                    if (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole))
                        emit edited();
                });
    } else if (auto *arrows = qobject_cast<UpDown *>(&control)) {
        connect(arrows, &UpDown::clicked, this, &EditWatcher::edited);
    }
}

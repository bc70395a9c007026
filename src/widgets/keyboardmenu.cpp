#include "keyboardmenu.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>

namespace {

class KeyboardMenuFilter : public QObject
{
public:
    explicit KeyboardMenuFilter(QAbstractItemView &list)
        : QObject(&list), mList(list)
    {
        list.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &mList)
            return false;
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)
                || (key->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)) {
                openAtCurrentRow();
                return true;
            }
        } else if (event->type() == QEvent::ContextMenu
                   && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
            openAtCurrentRow();
            return true;
        }
        return false;
    }

private:
    void openAtCurrentRow()
    {
        QWidget *viewport = mList.viewport();
        const QModelIndex current = mList.currentIndex();
        QPoint at(16, 8);
        if (current.isValid()) {
            mList.scrollTo(current);
            const QRect row = mList.visualRect(current);
            // Inside the row near its start: the menu then lies over the row's end and
            // below it, and the row stays readable.
            at = QPoint(qMin(row.left() + 16, row.right()), row.center().y());
        }
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, viewport->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport, &request);
    }

    QAbstractItemView &mList;
};

}

namespace KeyboardMenu {

void enable(QAbstractItemView &list)
{
    new KeyboardMenuFilter(list);
}

}

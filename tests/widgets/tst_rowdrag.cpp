#include "widgets/rowdrag.h"
#include "testregistry.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

class TestRowDrag : public QObject
{
    Q_OBJECT

private slots:
    void dragsFromElsewhereAreRefused();
};

void TestRowDrag::dragsFromElsewhereAreRefused()
{
    QListWidget list;
    list.addItems({"a", "b", "c"});
    auto *drag = new RowDrag(list);
    list.setCurrentRow(0);
    QCOMPARE(drag->selectedRow(), 0);
    list.clearSelection();
    QCOMPARE(drag->selectedRow(), -1);

    // A row drag of the right type that did not start in this list (here: from no
    // widget of this program) is neither accepted nor dropped. The events go straight
    // to the filter: outside a real drag the application's drag state is not ours.
    QSignalSpy dropped(drag, &RowDrag::rowDropped);
    QMimeData data;
    data.setData(RowDrag::mimeType(), "0");
    QObject &filter = *drag;
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, {});
    QVERIFY(filter.eventFilter(list.viewport(), &enter));
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(QPointF(list.visualItemRect(list.item(1)).center()), Qt::MoveAction, &data, Qt::LeftButton, {});
    QVERIFY(filter.eventFilter(list.viewport(), &drop));
    QVERIFY(!drop.isAccepted());
    QCOMPARE(dropped.count(), 0);
}

VENDRIX_TEST(TestRowDrag)
#include "tst_rowdrag.moc"

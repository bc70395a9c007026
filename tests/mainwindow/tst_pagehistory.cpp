#include "testregistry.h"

#include "mainwindow/pagehistory.h"

#include <QRandomGenerator>
#include <QTest>

// The undo history's bookkeeping, on plain bytes.
class TestPageHistory : public QObject
{
    Q_OBJECT

private slots:
    void thousandStepsUndoAndRedoExactly();
    void sameBytesRedoAndSavedState();
};

void TestPageHistory::thousandStepsUndoAndRedoExactly()
{
    // Replaced, inserted, removed and moved runs of a 20 KB page under a 256 KB budget.
    constexpr qsizetype budget = 256 * 1024;
    QRandomGenerator random(20240611);
    const auto letters = [&](qsizetype n) {
        QByteArray run(n, Qt::Uninitialized);
        for (char &c : run)
            c = char('a' + random.bounded(26));
        return run;
    };
    QByteArray page = letters(20000);
    PageHistory history(budget);
    history.reset(page, true);
    QList<QByteArray> states{page};
    for (int i = 0; i < 1000; ++i) {
        const qsizetype at = random.bounded(page.size());
        const qsizetype length = qMin<qsizetype>(1 + random.bounded(2000), page.size() - at);
        switch (i % 4) {
        case 0: page.replace(at, qMin<qsizetype>(length, 50), letters(qMin<qsizetype>(length, 50))); break;
        case 1: page.insert(at, letters(length)); break;
        case 2: page.remove(at, qMax<qsizetype>(0, qMin(length, page.size() - 1000))); break;
        default: {
            const QByteArray moved = page.mid(at, length) + 'X';
            page.remove(at, length);
            page.insert(random.bounded(page.size() + 1), moved);
        }
        }
        QVERIFY(history.record(QString::number(i), page, i, i + 1));
        states.append(page);
        QVERIFY(history.memoryUsed() <= budget);
    }

    const int kept = history.stepCount();
    QVERIFY2(kept > 50 && kept < 1000, qPrintable(QString::number(kept)));
    for (int step = 999; step > 999 - kept; --step) {
        QCOMPARE(history.undoAction(), QString::number(step));
        QCOMPARE(history.undo(), step);
        QCOMPARE(history.page(), states[step]);
    }
    QVERIFY(!history.canUndo());
    QCOMPARE(history.undo(), -1);
    for (int step = 1000 - kept; step < 1000; ++step) {
        QCOMPARE(history.redoAction(), QString::number(step));
        QCOMPARE(history.redo(), step + 1);
        QCOMPARE(history.page(), states[step + 1]);
    }
    QVERIFY(!history.canRedo());
}

void TestPageHistory::sameBytesRedoAndSavedState()
{
    PageHistory history;
    history.reset("saved page", true);
    QVERIFY(history.isSaved());
    QVERIFY(!history.record("Nothing", "saved page", 0, 0));
    QVERIFY(!history.canUndo());

    QVERIFY(history.record("Edit", "edited page", 0, 0));
    QVERIFY(!history.isSaved());
    history.undo();
    QVERIFY(history.isSaved());
    QVERIFY(history.canRedo());
    // A new step drops what could be redone.
    QVERIFY(history.record("Other", "other page", 0, 2));
    QVERIFY(!history.canRedo());
    QCOMPARE(history.stepCount(), 1);
    history.markSaved("other page");
    QVERIFY(history.isSaved());

    // A page of unknown saved state (recovered) never counts as saved.
    history.reset("recovered", false);
    QVERIFY(history.record("Edit", "recovered!", 1, 1));
    history.undo();
    QVERIFY(!history.isSaved());

    // A single step larger than the budget is still kept, alone.
    PageHistory small(64);
    small.reset(QByteArray(10, 'a'), false);
    small.record("Big", QByteArray(500, 'b'), 0, 0);
    small.record("Bigger", QByteArray(900, 'c'), 0, 0);
    QCOMPARE(small.stepCount(), 1);
    QCOMPARE(small.undo(), 0);
    QCOMPARE(small.page(), QByteArray(500, 'b'));
}

VENDRIX_TEST(TestPageHistory)
#include "tst_pagehistory.moc"

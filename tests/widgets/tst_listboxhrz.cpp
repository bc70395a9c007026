#include "widgets/listboxhrz.h"
#include "testregistry.h"

#include <QScrollBar>
#include <QTest>

class TestListBoxHrz : public QObject
{
    Q_OBJECT

private slots:
    void addingGrowsOnlyForWiderLines_data();
    void addingGrowsOnlyForWiderLines();
    void deletingShrinksToWidestRemaining();
    void clearingSetsZeroNotTabWidth();
    void fontChangeRecalculates();
    void tabStopsWidenMeasuredLines();
    void scrollBarFollowsExtent();
    void joinedLinesRoundTrip_data();
    void joinedLinesRoundTrip();
};

void TestListBoxHrz::addingGrowsOnlyForWiderLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("tabStops");
    QTest::addColumn<int>("widestIndex");

    QTest::newRow("one line") << QStringList{"Description\tA page"} << 0 << 0;
    QTest::newRow("narrower after wider") << QStringList{"a much longer line of text", "short"} << 0 << 0;
    QTest::newRow("wider after narrower") << QStringList{"short", "a much longer line of text"} << 0 << 1;
    QTest::newRow("with tab stops") << QStringList{"x", "Keywords\tcats, dogs, birds"} << 30 << 1;
}

void TestListBoxHrz::addingGrowsOnlyForWiderLines()
{
    QFETCH(QStringList, lines);
    QFETCH(int, tabStops);
    QFETCH(int, widestIndex);

    TListBoxHrz list;
    list.setTabStops(tabStops);
    int expected = 0;
    for (const QString &line : lines) {
        list.addItem(line);
        const int width = list.lineWidth(line);
        // Each added line widens the extent to itself plus the tab width only when it
        // is wider than the extent so far.
        if (width > expected)
            expected = width + list.tabWidth();
        QCOMPARE(list.CurrentWidth(), expected);
    }
    QVERIFY(list.CurrentWidth() >= list.lineWidth(lines.at(widestIndex)));
    QCOMPARE(list.property("CurrentWidth").toInt(), list.CurrentWidth());
}

void TestListBoxHrz::deletingShrinksToWidestRemaining()
{
    TListBoxHrz list;
    list.setTabStops(20);
    list.addItems({"medium length", "the very widest line of them all", "tiny"});
    QVERIFY(list.tabWidth() > 0);
    delete list.takeItem(1);
    QCOMPARE(list.CurrentWidth(), list.lineWidth("medium length") + list.tabWidth());
    // A line replaced by a shorter one is deleted and added again: the extent shrinks.
    list.item(0)->setText("x");
    QCOMPARE(list.CurrentWidth(), list.lineWidth("tiny") + list.tabWidth());
    delete list.takeItem(0);
    delete list.takeItem(0);
    // Deleting the last line leaves just the tab width; only clearing gives 0.
    QCOMPARE(list.CurrentWidth(), list.tabWidth());
}

void TestListBoxHrz::clearingSetsZeroNotTabWidth()
{
    TListBoxHrz list;
    list.setTabStops(30);
    list.addItems({"Description\tsomething", "Keywords\tother"});
    QVERIFY(list.CurrentWidth() > 0);
    list.clear();
    QCOMPARE(list.CurrentWidth(), 0);
}

void TestListBoxHrz::fontChangeRecalculates()
{
    TListBoxHrz list;
    list.addItems({"first line", "second and wider line"});
    const int before = list.CurrentWidth();
    QFont bigger = list.font();
    bigger.setPointSize(bigger.pointSize() * 3);
    list.setFont(bigger);
    QVERIFY(list.CurrentWidth() > before);
    QCOMPARE(list.CurrentWidth(), list.lineWidth("second and wider line"));
}

void TestListBoxHrz::tabStopsWidenMeasuredLines()
{
    TListBoxHrz list;
    const QString line = QStringLiteral("a\tb");
    list.setTabStops(40);
    QCOMPARE(list.tabWidth(), 40 * list.fontMetrics().averageCharWidth() / 4);
    const int narrow = list.lineWidth(line);
    list.setTabStops(80);
    const int wide = list.lineWidth(line);
    // The text after the tab starts at the next stop, so the line grows by exactly
    // the difference of the stops.
    QCOMPARE(wide - narrow, list.tabWidth() - 40 * list.fontMetrics().averageCharWidth() / 4);
    QVERIFY(wide > list.tabWidth());
}

void TestListBoxHrz::scrollBarFollowsExtent()
{
    TListBoxHrz list;
    list.resize(120, 100);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.addItem(QString(80, u'W'));
    const int visible = list.viewport()->width();
    QVERIFY(list.CurrentWidth() > visible);
    QCOMPARE(list.horizontalScrollBar()->maximum(), list.CurrentWidth() - visible);
    list.setCurrentWidth(0);
    QCOMPARE(list.horizontalScrollBar()->maximum(), 0);
}

void TestListBoxHrz::joinedLinesRoundTrip_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("joined");

    QTest::newRow("empty") << QString() << QStringList{} << QString();
    QTest::newRow("crlf") << "a\tb\r\nc\td\r\n" << QStringList{"a\tb", "c\td"} << "a\tb\r\nc\td\r\n";
    QTest::newRow("no final break") << "one\r\ntwo" << QStringList{"one", "two"} << "one\r\ntwo\r\n";
    QTest::newRow("bare line feeds") << "x\ny\n" << QStringList{"x", "y"} << "x\r\ny\r\n";
}

void TestListBoxHrz::joinedLinesRoundTrip()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, lines);
    QFETCH(QString, joined);

    TListBoxHrz list;
    list.addItem("left over from before");
    list.setJoinedLines(stored);
    QStringList shown;
    for (int i = 0; i < list.count(); ++i)
        shown.append(list.item(i)->text());
    QCOMPARE(shown, lines);
    QCOMPARE(list.joinedLines(), joined);
}

VENDRIX_TEST(TestListBoxHrz)
#include "tst_listboxhrz.moc"

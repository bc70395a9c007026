#include "testdatafolder.h"
#include "testregistry.h"
#include "themes/palette.h"

#include <QTemporaryDir>
#include <QTest>

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void colorLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("isColorLine");
        QTest::addColumn<qint32>("color");

        QTest::newRow("three numbers") << "255 128 64" << true << Palette::rgb(255, 128, 64);
        QTest::newRow("zeros") << "0 0 0" << true << Palette::rgb(0, 0, 0);
        QTest::newRow("above 255 counts as 255") << "256 1 999" << true << Palette::rgb(255, 1, 255);
        QTest::newRow("double space skipped") << "1  2   3" << true << Palette::rgb(1, 2, 3);
        QTest::newRow("leading space") << " 10 20 30" << true << Palette::rgb(10, 20, 30);
        QTest::newRow("four digits skipped") << "0100 5 6 7" << true << Palette::rgb(5, 6, 7);
        QTest::newRow("only a long piece") << "0100" << true << Palette::rgb(255, 255, 255);
        QTest::newRow("two values keep blue") << "12 3" << true << Palette::rgb(12, 3, 255);
        QTest::newRow("fourth value ignored") << "1 2 3 4" << true << Palette::rgb(1, 2, 3);
        QTest::newRow("three characters") << "256" << false << 0;
        QTest::newRow("short numbers") << "1 2" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("title") << "Web Palette" << false << 0;
        QTest::newRow("letter inside") << "12 3a 4" << false << 0;
        QTest::newRow("tab separated") << "1\t2\t3" << false << 0;
    }

    void colorLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, isColorLine);
        QFETCH(qint32, color);
        QCOMPARE(Palette::isColorLine(line), isColorLine);
        if (isColorLine)
            QCOMPARE(Palette::parseColorLine(line, 0x00FFFFFF), color);
    }

    void tableFill()
    {
        PaletteTable table;
        QVERIFY(!table.isLoaded());
        table.setLines({QStringLiteral("My palette"), QStringLiteral("1 2 3"), QStringLiteral(""),
                        QStringLiteral("256"), QStringLiteral("40 50 60"), QStringLiteral("0100")});
        QVERIFY(table.isLoaded());
        QCOMPARE(table.at(0), Palette::rgb(1, 2, 3));
        QCOMPARE(table.at(1), Palette::rgb(40, 50, 60));
        QCOMPARE(table.at(2), Palette::rgb(255, 255, 255));
        QCOMPARE(table.at(3), Palette::rgb(255, 255, 255));
        QCOMPARE(table.at(255), Palette::rgb(255, 255, 255));

        // A second palette starts from white again.
        table.setLines({QStringLiteral("9 9 9")});
        QCOMPARE(table.at(0), Palette::rgb(9, 9, 9));
        QCOMPARE(table.at(1), Palette::rgb(255, 255, 255));
    }

    void tableStopsAt256Colors()
    {
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines.append(QStringLiteral("%1 %2 %3").arg(i % 256).arg(i / 256).arg(7));
        PaletteTable table;
        table.setLines(lines);
        QCOMPARE(table.at(0), Palette::rgb(0, 0, 7));
        QCOMPARE(table.at(255), Palette::rgb(255, 0, 7));
    }

    void unreadableFileKeepsTable()
    {
        PaletteTable table;
        QString error;
        QVERIFY(!table.load(QStringLiteral("/nonexistent/Web Palette.pal"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!table.isLoaded());

        table.setLines({QStringLiteral("1 2 3")});
        QVERIFY(!table.load(QStringLiteral("/nonexistent/Web Palette.pal")));
        QCOMPARE(table.at(0), Palette::rgb(1, 2, 3));
    }

    void listing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char *name : {"Zed.PAL", "Web Palette.pal", "notes.txt", "old.pal.bak", "Autumn.pal"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QList<Palette::Entry> entries = Palette::list(dir.path() + u'/');
        QStringList names;
        for (const Palette::Entry &entry : entries) {
            names.append(entry.name);
            QVERIFY2(QFileInfo::exists(entry.path), qPrintable(entry.path));
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Autumn"), QStringLiteral("Web Palette"), QStringLiteral("Zed")}));
        QVERIFY(entries.at(2).path.endsWith(QStringLiteral("Zed.PAL")));
    }

    void shippedPalettes()
    {
        TestDataFolder data;
        QVERIFY(data.isValid());
        PaletteTable table;
        QVERIFY(table.load(data.folder().palettesFolder() + QStringLiteral("Web Palette.pal")));
        // The 216 browser-safe colours, blue varying fastest, then the greys.
        QCOMPARE(table.at(0), Palette::rgb(0, 0, 0));
        QCOMPARE(table.at(1), Palette::rgb(0, 0, 51));
        QCOMPARE(table.at(215), Palette::rgb(255, 255, 255));
        for (int i = 0; i < 216; ++i) {
            const qint32 c = table.at(i);
            QVERIFY(Palette::red(c) % 51 == 0 && Palette::green(c) % 51 == 0 && Palette::blue(c) % 51 == 0);
        }
        for (int i = 216; i < 256; ++i) {
            const qint32 c = table.at(i);
            QVERIFY(Palette::red(c) == Palette::green(c) && Palette::green(c) == Palette::blue(c));
        }
        QVERIFY(Palette::list(data.folder().palettesFolder()).size() >= 4);
    }
};

VENDRIX_TEST(TestPalette)
#include "tst_palette.moc"

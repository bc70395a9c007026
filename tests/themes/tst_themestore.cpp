#include "testdatafolder.h"
#include "testregistry.h"

#include "model/componentstream.h"
#include "model/pagelette.h"
#include "themes/themestore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestThemeStore : public QObject
{
    Q_OBJECT

private slots:
    void theShippedStoreHasADefaultThemeMatchingTheNewPage()
    {
        QString error;
        auto store = ThemeStore::load(buildDataFolder() + "/Themes.dat", &error);
        QVERIFY2(store, qPrintable(error));
        QVERIFY(store->Items().Count() >= 8);
        const QStringList names = ThemeStore::themeNames(*store);
        QStringList unique = names;
        QCOMPARE(unique.removeDuplicates(), 0);
        const int index = ThemeStore::findTheme(names, QStringLiteral("default"));
        QVERIFY(index >= 0);

        TPagelette page;
        page.NewPage();
        TPagePropertiesBlock expected = page.Page().Items(0).PagePropertiesBlock();
        TPagePropertiesBlock applied;
        ThemeStore::applyTheme(store->Items().Items(index), applied);
        QCOMPARE(applied.ThemeName, expected.ThemeName);
        QCOMPARE(applied.IndentMargin, expected.IndentMargin);
        QCOMPARE(applied.Background, expected.Background);
        QCOMPARE(applied.BGColor, expected.BGColor);
        QCOMPARE(applied.TextColor, expected.TextColor);
        QCOMPARE(applied.LinkColor, expected.LinkColor);
        QCOMPARE(applied.ALinkColor, expected.ALinkColor);
        QCOMPARE(applied.VLinkColor, expected.VLinkColor);
    }

    void applyingTouchesOnlyTheThemeFields()
    {
        TThemeItem theme;
        theme.ThemeName = QStringLiteral("Night");
        theme.LeftMargin = QStringLiteral("abc");
        theme.BGColor = 1;
        theme.TextColor = 2;
        theme.LinkColor = 3;
        theme.ALinkColor = 4;
        theme.VLinkColor = 5;
        TPagePropertiesBlock page;
        page.PageTitle = QStringLiteral("title");
        page.MetaText = QStringLiteral("meta");
        page.Underline = true;
        page.Background = QStringLiteral("old.gif");
        ThemeStore::applyTheme(theme, page);
        QCOMPARE(page.ThemeName, QStringLiteral("Night"));
        QCOMPARE(page.Background, QString()); // an empty picture clears the page's
        QCOMPARE(page.IndentMargin, QStringLiteral("abc")); // applied unchanged
        QCOMPARE(page.BGColor + page.TextColor + page.LinkColor + page.ALinkColor + page.VLinkColor, 15);
        QCOMPARE(page.PageTitle, QStringLiteral("title"));
        QCOMPARE(page.MetaText, QStringLiteral("meta"));
        QVERIFY(page.Underline);
    }

    void saveAndLoadRoundTrip()
    {
        QTemporaryDir dir;
        TWebTheme store;
        store.Name = QStringLiteral("WebTheme1");
        for (int i = 0; i < 3; ++i) {
            TThemeItem &t = store.Items().Add();
            t.ThemeName = QStringLiteral("Theme %1").arg(i);
            t.BGImage = i == 1 ? QStringLiteral("paper.jpg") : QString();
            t.LeftMargin = QString::number(i * 100);
            t.BGColor = 0xABCDEF * i;
            t.VLinkColor = -i;
        }
        store.Items().move(2, 0);
        const QString path = dir.filePath("Themes.dat");
        QString error;
        QVERIFY2(ThemeStore::save(path, store, &error), qPrintable(error));
        auto loaded = ThemeStore::load(path, &error);
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(loaded->Name, QStringLiteral("WebTheme1"));
        QCOMPARE(dumpProperties(*loaded), dumpProperties(store));
        QCOMPARE(ThemeStore::themeNames(*loaded), (QStringList{"Theme 2", "Theme 0", "Theme 1"}));
    }

    void emptyStores()
    {
        QTemporaryDir dir;
        TWebTheme store;
        const QString path = dir.filePath("Themes.dat");
        QVERIFY(ThemeStore::save(path, store, nullptr));
        QString error;
        auto loaded = ThemeStore::load(path, &error);
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(loaded->Items().Count(), 0);
        QVERIFY(ThemeStore::themeNames(*loaded).isEmpty());
    }

    void loadFailures()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!ThemeStore::load(dir.filePath("missing.dat"), &error));
        QVERIFY(error.contains("missing.dat"));

        TPagelette page;
        const QString pagePath = dir.filePath("page.dat");
        ComponentWriter().write(pagePath, page);
        QVERIFY(!ThemeStore::load(pagePath, &error));
        QVERIFY(!error.isEmpty());
    }

    void copiesAndReplacement()
    {
        TWebTheme a;
        a.Items().Add().ThemeName = QStringLiteral("one");
        a.Items().Items(0).LinkColor = 77;
        TWebTheme b;
        b.Items().Add().ThemeName = QStringLiteral("old");
        b.setItems(a.Items());
        QCOMPARE(b.Items().Count(), 1);
        QCOMPARE(b.Items().Items(0).ThemeName, QStringLiteral("one"));
        QCOMPARE(b.Items().Items(0).LinkColor, 77);
        QVERIFY(&b.Items().Items(0) != &a.Items().Items(0));
        b.setItems(b.Items());
        QCOMPARE(b.Items().Count(), 1);
    }

    void findThemeIgnoresLetterCase()
    {
        const QStringList names{"Default", "Ocean", "ocean"};
        QCOMPARE(ThemeStore::findTheme(names, QStringLiteral("OCEAN")), 1);
        QCOMPARE(ThemeStore::findTheme(names, QStringLiteral("Forest")), -1);
        QCOMPARE(ThemeStore::findTheme({}, QStringLiteral("Default")), -1);
    }

    void themeSourceParsing()
    {
        QString error;
        auto store = ThemeStore::parseSource(QStringLiteral("# c\n[Blue Sky]\nBGImage=sky.jpg\nLeftMargin=40\n"
                                                            "BGColor=#0080FF\n\n[Plain]\n"),
                                             &error);
        QVERIFY2(store, qPrintable(error));
        QCOMPARE(store->Items().Count(), 2);
        const TThemeItem &sky = store->Items().Items(0);
        QCOMPARE(sky.ThemeName, QStringLiteral("Blue Sky"));
        QCOMPARE(sky.BGImage, QStringLiteral("sky.jpg"));
        QCOMPARE(sky.LeftMargin, QStringLiteral("40"));
        QCOMPARE(sky.BGColor, 0xFF8000);
        QCOMPARE(store->Items().Items(1).LeftMargin, QStringLiteral("0"));

        QVERIFY(!ThemeStore::parseSource(QStringLiteral("BGColor=#FFFFFF\n"), &error));
        QVERIFY(error.startsWith("line 1"));
        QVERIFY(!ThemeStore::parseSource(QStringLiteral("[A]\nBGColor=white\n"), &error));
        QVERIFY(error.startsWith("line 2"));
        QVERIFY(!ThemeStore::parseSource(QStringLiteral("[A]\nColour=#FFFFFF\n"), &error));
    }
};

VENDRIX_TEST(TestThemeStore)
#include "tst_themestore.moc"

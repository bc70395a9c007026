#include "templates/templatesource.h"
#include "model/documents.h"
#include "model/pagelette.h"
#include "platform/textfile.h"
#include "testdatafolder.h"
#include "testregistry.h"
#include "themes/themestore.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

std::unique_ptr<TWebTheme> shippedThemes()
{
    QStringList lines;
    TextFile::readLines(QStringLiteral(VENDRIX_SOURCE_DATA "/themes.txt"), lines);
    QString error;
    auto themes = ThemeStore::parseSource(lines.join(u'\n'), &error);
    if (!themes)
        qWarning() << error;
    return themes;
}

}

class TestTemplateSource : public QObject
{
    Q_OBJECT

private slots:
    void buildsThePage()
    {
        const auto themes = shippedThemes();
        QVERIFY(themes);
        const QString source = QStringLiteral(
            "# comment\n"
            "[Page Details]\n"
            "Theme=ocean breeze\n"
            "PageTitle=Mine\n"
            "MetaText=description\\tA page\\n\n"
            "MetaText=keywords\\tmine\\n\n"
            "[Heading]\n"
            "Heading=Hello \\\\ world\n"
            "ApplyFont=1\n"
            "BlockOnNewLine=False\n"
            "[Bullet List]\n"
            "Style=lsSquare\n"
            "[Forms]\n"
            "Email=me@example.com\n"
            "FormFooter=True\n"
            "[Field]\n"
            "FieldKind=fkTextArea\n"
            "Strings=Cols=40\n"
            "Strings=Rows=8\n"
            "[Page Details]\n"
            "BGColor=#102030\n");
        TPagelette page;
        QString error;
        QVERIFY2(TemplateSource::build(source, *themes, page, &error), qPrintable(error));

        QCOMPARE(page.Page().Count(), 4);
        const TPagePropertiesBlock &details = page.Page().Items(0).PagePropertiesBlock();
        QCOMPARE(details.ThemeName, QStringLiteral("Ocean Breeze"));
        QCOMPARE(details.TextColor, 0x663300); // the theme's #003366
        QCOMPARE(details.BGColor, 0x302010);
        QCOMPARE(details.MetaText, QStringLiteral("description\tA page\r\nkeywords\tmine\r\n"));
        const TPageItem &heading = page.Page().Items(1);
        QCOMPARE(heading.BlockType, btHeading);
        QCOMPARE(heading.BlockAlign, baCenter); // what a palette drop gives
        QVERIFY(!heading.BlockOnNewLine);
        QCOMPARE(heading.HeadingBlock().Heading, QStringLiteral("Hello \\ world"));
        QCOMPARE(heading.HeadingBlock().ApplyFont, 1);
        QCOMPARE(page.Page().Items(2).BulletBlock().Style, lsSquare);
        QCOMPARE(page.Page().Items(3).BlockType, btForms);
        QCOMPARE(page.Email, QStringLiteral("me@example.com"));
        QVERIFY(page.FormFooter);
        QCOMPARE(page.WebForm().Count(), 1);
        QCOMPARE(page.WebForm().Items(0).FieldKind, fkTextArea);
        QCOMPARE(page.WebForm().Items(0).Strings, (QStringList{"Cols=40", "Rows=8"}));
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("error");

        QTest::newRow("key before a section") << "PageTitle=x" << "line 1: expected a [section] or a key=value line";
        QTest::newRow("unknown section") << "[Table]" << "line 1: unknown section [Table]";
        QTest::newRow("key of another block") << "[Heading]\nBullets=x" << "line 2: unknown key Bullets";
        QTest::newRow("kind from the section") << "[Heading]\nBlockType=btImage" << "line 2: BlockType is given by the section";
        QTest::newRow("enumeration") << "[Bullet List]\nStyle=lsStar" << "line 2: lsStar is not a value of TListStyle";
        QTest::newRow("number") << "[Line]\nWidth=wide" << "line 2: wide is neither a number nor #RRGGBB";
        QTest::newRow("byte") << "[Heading]\nApplyFont=256" << "line 2: 256 is not a byte";
        QTest::newRow("escape") << "[Heading]\n\nHeading=a\\qb" << "line 3: unknown escape \\q";
        QTest::newRow("theme") << "[Page Details]\nTheme=Nowhere" << "line 2: no theme Nowhere";
        QTest::newRow("second form") << "[Forms]\n[Forms]" << "line 2: a page has one e-mail form";
    }

    void refusesWhatItCannotRead()
    {
        QFETCH(QString, source);
        QFETCH(QString, error);
        const auto themes = shippedThemes();
        QVERIFY(themes);
        TPagelette page;
        QString reported;
        QVERIFY(!TemplateSource::build(source, *themes, page, &reported));
        QCOMPARE(reported, error);
    }

    void shippedTemplatesOpenWithTheirPictures()
    {
        const QDir built(buildDataFolder());
        const QStringList templates = QDir(built.filePath("Templates")).entryList({"*.vxt"}, QDir::Files);
        QVERIFY2(templates.size() >= 2, qPrintable(templates.join(", ")));
        for (const QString &name : templates) {
            const QString path = built.filePath("Templates/" + name);
            TPagelette page;
            QString error;
            QVERIFY2(Documents::LoadDocument(path, page, &error), qPrintable(name + ": " + error));
            QVERIFY2(QFileInfo::exists(built.filePath("Templates/" + QFileInfo(name).completeBaseName() + ".html")),
                     qPrintable(name));
            const QString background = page.Page().Items(0).PagePropertiesBlock().Background;
            if (!background.isEmpty())
                QVERIFY2(QFileInfo::exists(built.filePath("Upload/backgrounds/" + background)), qPrintable(background));
            for (int i = 0; i < page.Page().Count(); ++i) {
                const TPageItem &item = page.Page().Items(i);
                if (item.BlockType == btImage)
                    QVERIFY2(QFileInfo::exists(built.filePath("Upload/images/" + item.ImageBlock().FileName)),
                             qPrintable(name + ": " + item.ImageBlock().FileName));
            }
        }
    }
};

// What the build made from data/Templates: each template opens, has its preview, and
// finds every picture it names where the program folder keeps pictures.
VENDRIX_TEST(TestTemplateSource)
#include "tst_templatesource.moc"

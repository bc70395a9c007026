#include "testfiles.h"
#include "testregistry.h"

#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProgramFolder : public QObject
{
    Q_OBJECT

private slots:
    void resolveOrder()
    {
        QTemporaryDir exeDir;
        QTemporaryDir other;
        qunsetenv("VENDRIX_DATA_DIR");
        // An executable folder without Themes.dat is no program folder.
        QVERIFY(ProgramFolder::resolve(QString(), exeDir.path()).path() != exeDir.path() + u'/');
        writeFile(exeDir.filePath("Themes.dat"), "TPF0");
        QCOMPARE(ProgramFolder::resolve(QString(), exeDir.path()).path(), exeDir.path() + u'/');
        qputenv("VENDRIX_DATA_DIR", other.path().toLocal8Bit());
        QCOMPARE(ProgramFolder::resolve(QString(), exeDir.path()).path(), other.path() + u'/');
        QCOMPARE(ProgramFolder::resolve(exeDir.path() + "/sub", exeDir.path()).path(), exeDir.path() + "/sub/");
        qunsetenv("VENDRIX_DATA_DIR");
    }

    void seedingCreatesFoldersAndNeverOverwrites_data()
    {
        QTest::addColumn<bool>("inTwoParts");
        QTest::newRow("at once") << false;
        QTest::newRow("for the window, then the rest") << true;
    }
    void seedingCreatesFoldersAndNeverOverwrites()
    {
        QFETCH(bool, inTwoParts);
        QTemporaryDir installed;
        writeFile(installed.filePath("Themes.dat"), "shipped themes");
        writeFile(installed.filePath("Tips.txt"), "shipped tips");
        writeFile(installed.filePath("Palettes/Web Palette.pal"), "255 255 255");
        writeFile(installed.filePath("Templates/Shop.vxt"), "TPF0");
        writeFile(installed.filePath("Upload/images/sample.jpg"), "picture");
        QTemporaryDir target;
        const ProgramFolder folder(target.path());
        writeFile(folder.tipsFile(), "my own tips");

        QString error;
        QStringList copied;
        if (inTwoParts) {
            QVERIFY2(folder.seed(installed.path(), &error, &copied, ProgramFolder::Part::ForTheWindow), qPrintable(error));
            QCOMPARE(copied, QStringList{folder.themesFile()});
            QVERIFY(!QFileInfo::exists(folder.templatesFolder()));
            QVERIFY2(folder.seed(installed.path(), &error, &copied, ProgramFolder::Part::TheRest), qPrintable(error));
        } else {
            QVERIFY2(folder.seed(installed.path(), &error, &copied), qPrintable(error));
        }
        QCOMPARE(copied, (QStringList{folder.themesFile(), folder.palettesFolder() + "Web Palette.pal",
                                      folder.templatesFolder() + "Shop.vxt", folder.imagesFolder() + "sample.jpg"}));
        QVERIFY(QDir(folder.path()).entryList({"*.part"}, QDir::Files).isEmpty());
        for (const QString &dir : {folder.documentsFolder(), folder.templatesFolder(), folder.imagesFolder(),
                                   folder.backgroundsFolder(), folder.palettesFolder()})
            QVERIFY2(QFileInfo(dir).isDir(), qPrintable(dir));
        QCOMPARE(readFile(folder.themesFile()), QByteArray("shipped themes"));
        QCOMPARE(readFile(folder.tipsFile()), QByteArray("my own tips"));
        QCOMPARE(readFile(folder.palettesFolder() + "Web Palette.pal"), QByteArray("255 255 255"));
        // The shipped templates come with the pictures they show.
        QCOMPARE(readFile(folder.templatesFolder() + "Shop.vxt"), QByteArray("TPF0"));
        QCOMPARE(readFile(folder.imagesFolder() + "sample.jpg"), QByteArray("picture"));
    }

    void seedingReportsAFolderItCannotMake()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("file"), "x");
        QString error;
        QVERIFY(!ProgramFolder(dir.filePath("file")).seed(dir.path(), &error));
        QVERIFY(!error.isEmpty());
    }
};

VENDRIX_TEST(TestProgramFolder)
#include "tst_programfolder.moc"
